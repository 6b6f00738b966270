// A CWnd with a vertical scroll bar moved by lines (the scroll step) and pages.
// UI thread.
#pragma once

#include "Wnd.h"

class JOV_COMMON_API CScrollWnd : public CWnd {
public:
    CScrollWnd(HINSTANCE instance, HWND parent, int scrollStep);

    // CWnd::Create with a border, the vertical scroll bar and a tab stop.
    int Create(DWORD style, const RECT& rect);

    void SetScrollTic(int step) { m_scrollStep = step; }
    int GetScrollTic() const { return m_scrollStep; }

    // The vertical scroll bar's values; the platform keeps the position in range.
    void SetScrollPos(int pos);
    void SetScrollInfo(int min, int max, int page, int pos);
    void GetScrollRange(int* min, int* max) const;
    int GetScrollMinRange() const;
    int GetScrollMaxRange() const;
    int GetScrollPos() const;
    int GetScrollPage() const;

protected:
    void OnCreate() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // After every scroll.
    virtual void OnScroll();

    int m_scrollStep;
};
