// The one-row bar of recently used smilies in the messaging window's
// toolbar: animated smilies, most recent first, as many as fit. It fills
// itself from the start of the set when first shown or painted, and again
// after the set was replaced. Choosing one (a tap,
// or Enter on the selection) is sent to the parent as WM_JOV_SMILEY_CHOSEN.
// UI thread.
#pragma once

#include <deque>

#include "Wnd.h"
#include "messaging/AppChatSkin.h"

class CSmailyCtrl;

// wParam: the chosen smiley's index in the set.
constexpr UINT WM_JOV_SMILEY_CHOSEN = WM_USER + 10;

class CQuickSmailyPanel : public CWnd {
public:
    // Makes the window: visible, bordered, a tab stop.
    CQuickSmailyPanel(HWND parent, const RECT& rect);
    ~CQuickSmailyPanel() override;

    // To the front; a smiley already in the bar keeps its place.
    void AddRecent(int smiley);
    // The set's first smilies, as many as fit, smiley 0 in front.
    void Rebuild();
    void Clear();
    // Drops the smilies that no longer fit; the first always stays.
    void Trim();
    void PauseAll();
    void PlayAll();
    // The smiley's position in the bar, or -1.
    int IndexOf(int smiley) const;

    int GetCount() const { return static_cast<int>(m_recent.size()); }
    int GetSmileyAt(int position) const;
    CSmailyCtrl* GetControlAt(int position) const;
    int GetSelection() const { return m_selection; }
    bool IsRebuildPending() const { return m_rebuildPending != 0; }

protected:
    void OnPaint(CJOVDrawContext* context) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH GetBkBrush() override;

private:
    int CellWidth(int smileyWidth) const;
    void LayoutControls();
    void Repaint();
    // False for a point outside the bar.
    bool OnTap(int x, int y);
    bool OnKey(UINT key);

    std::deque<CSmailyCtrl*> m_recent;
    int m_selection;
    int m_rebuildPending;
    CAppChatSkin m_skin;
};
