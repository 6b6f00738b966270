#include "ScrollWnd.h"

CScrollWnd::CScrollWnd(HINSTANCE instance, HWND parent, int scrollStep)
    : CWnd(instance, parent), m_scrollStep(scrollStep)
{
}

int CScrollWnd::Create(DWORD style, const RECT& rect)
{
    return CWnd::Create(style | WS_BORDER | WS_VSCROLL | WS_TABSTOP, rect);
}

void CScrollWnd::SetScrollPos(int pos)
{
    ::SetScrollPos(m_hWnd, SB_VERT, pos, TRUE);
}

void CScrollWnd::SetScrollInfo(int min, int max, int page, int pos)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    info.nMin = min;
    info.nMax = max;
    info.nPage = static_cast<UINT>(page);
    info.nPos = pos;
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

void CScrollWnd::GetScrollRange(int* min, int* max) const
{
    int low = 0;
    int high = 0;
    ::GetScrollRange(m_hWnd, SB_VERT, &low, &high);
    if (min)
        *min = low;
    if (max)
        *max = high;
}

int CScrollWnd::GetScrollMinRange() const
{
    int min = 0;
    GetScrollRange(&min, nullptr);
    return min;
}

int CScrollWnd::GetScrollMaxRange() const
{
    int max = 0;
    GetScrollRange(nullptr, &max);
    return max;
}

int CScrollWnd::GetScrollPos() const
{
    return ::GetScrollPos(m_hWnd, SB_VERT);
}

int CScrollWnd::GetScrollPage() const
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_PAGE;
    ::GetScrollInfo(m_hWnd, SB_VERT, &info);
    return static_cast<int>(info.nPage);
}

void CScrollWnd::OnCreate()
{
    SetScrollInfo(0, 0, 0, 0);
}

void CScrollWnd::OnScroll() {}

LRESULT CScrollWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_VSCROLL)
        return CWnd::OnMessage(message, wParam, lParam);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, SB_VERT, &info);
    int pos = info.nPos;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        pos -= m_scrollStep;
        break;
    case SB_LINEDOWN:
        pos += m_scrollStep;
        break;
    case SB_PAGEUP:
        pos -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        pos += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
        pos = info.nTrackPos;
        break;
    case SB_TOP:
        pos = info.nMin;
        break;
    case SB_BOTTOM:
        pos = info.nMax;
        break;
    }
    SetScrollPos(pos);
    OnScroll();
    InvalidateRect(m_hWnd, nullptr, FALSE);
    UpdateWindow(m_hWnd);
    return 1;
}
