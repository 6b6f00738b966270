// A smiley on screen: a small child window that paints the current frame of
// one smiley of the smilies set. Every control of one smiley shares the
// animator's player for it; a paused control stops painting while the
// player goes on. A tap on it reaches the parent as a tap at that place.
// UI thread; the ticker thread only invalidates it.
#pragma once

#include <atomic>

#include "Wnd.h"

class CChatSkin;
class CChatSmilies;
class CGifPlayer;

class CSmailyCtrl : public CWnd {
public:
    // A visible child at (0, 0) of the smiley's size; paused, not registered.
    CSmailyCtrl(HINSTANCE instance, HWND parent, int smileyIndex, CChatSkin* skin);
    ~CSmailyCtrl() override;

    // Registers with the animator (when one exists) and paints frames.
    void Play();
    // Stops painting; the player goes on.
    void Pause();
    // Leaves the animator.
    void Stop();
    // From the player: repaint the current frame unless paused.
    void Invalidate();
    // Moves the window when it is not there already: every paint of the chat
    // places its smilies, and moving a window is dear.
    void MoveTo(int x, int y);

    int GetSmileyIndex() const { return m_smileyIndex; }
    CChatSmilies* GetSmilies() const { return m_smilies; }
    int GetSmileyWidth() const { return m_width; }
    int GetSmileyHeight() const { return m_height; }
    CGifPlayer* GetPlayer() const { return m_player; }
    bool IsRegistered() const { return m_registered != 0; }
    bool IsPaused() const { return m_paused != 0; }

protected:
    void OnPaint(CJOVDrawContext* context) override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH GetBkBrush() override;

private:
    int m_smileyIndex;
    CGifPlayer* m_player;
    int m_registered;
    std::atomic<int> m_paused;
    CChatSkin* m_skin;
    CChatSmilies* m_smilies;
    int m_width;
    int m_height;
    POINT m_position;
};
