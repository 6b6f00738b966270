// The animation of one smiley: its current frame and the time left until the
// next, shared by every control that shows that smiley.
// The ticker thread advances it; controls paint it on the UI thread.
#pragma once

#include <windows.h>

#include "JOVArray.h"

class CChatSmilies;
class CSmailyCtrl;

class CGifPlayer {
public:
    CGifPlayer(CChatSmilies* smilies, int smileyIndex);
    ~CGifPlayer();
    CGifPlayer(const CGifPlayer&) = delete;
    CGifPlayer& operator=(const CGifPlayer&) = delete;

    // Moves on by elapsed milliseconds; answers the milliseconds until the
    // next frame (0x7FFFFFFF for a still smiley).
    int Tick(int elapsed);
    void AddControl(CSmailyCtrl* control);
    // True when no control is left. The player goes on with the smilies of a
    // control still shown, never those of one removed.
    bool RemoveControl(CSmailyCtrl* control);

    int GetSmileyIndex() const { return m_smileyIndex; }
    int GetControlCount() const { return m_controls.Count(); }
    bool IsAnimated() const;
    int GetCurrentFrame();

    // Holds the frame while a control paints it.
    class CFrameLock {
    public:
        explicit CFrameLock(CGifPlayer& player) : m_player(player) { EnterCriticalSection(&m_player.m_lock); }
        ~CFrameLock() { LeaveCriticalSection(&m_player.m_lock); }
        CFrameLock(const CFrameLock&) = delete;
        CFrameLock& operator=(const CFrameLock&) = delete;
        int Current() const { return m_player.m_frame; }

    private:
        CGifPlayer& m_player;
    };

private:
    CChatSmilies* m_smilies;
    int m_frame;
    int m_remaining;
    int m_smileyIndex;
    CRITICAL_SECTION m_lock;
    CJOVArray<CSmailyCtrl*> m_controls;
};
