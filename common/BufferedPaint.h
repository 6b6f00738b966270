// Double-buffered painting of a window or dialog, and the control colours
// that let a window's background show through its controls. Brushes are
// aligned to the screen so a skin's pattern runs on across windows.
// UI thread.
#pragma once

#include <windows.h>

#include "JOVCommon.h"

// Between BeginPaint and EndPaint: an off-screen bitmap of the client size,
// filled with the background brush, text background transparent. The
// destructor copies it to the window.
class JOV_COMMON_API CBufferedPaint {
public:
    CBufferedPaint(HWND window, HBRUSH background);
    ~CBufferedPaint();
    CBufferedPaint(const CBufferedPaint&) = delete;
    CBufferedPaint& operator=(const CBufferedPaint&) = delete;

    // The off-screen device context; null when none could be made.
    HDC GetDC() const { return m_memory; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint;
    HDC m_memory;
    HBITMAP m_bitmap;
    HGDIOBJ m_oldBitmap;
    int m_width;
    int m_height;
};

// WM_CTLCOLOR* answer: the control's text background transparent, the brush
// origin at the control's screen position negated; answers brush.
JOV_COMMON_API HBRUSH PrepareControlColor(HDC dc, HWND control, HBRUSH brush);
// The WM_CTLCOLOR* messages every window of the program answers so.
inline bool IsControlColorMessage(UINT message)
{
    return message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX || message == WM_CTLCOLORDLG ||
           message == WM_CTLCOLORSCROLLBAR || message == WM_CTLCOLORSTATIC;
}
// The answer to one of them (wParam the control's device context, lParam the control).
inline LRESULT AnswerControlColor(WPARAM wParam, LPARAM lParam, HBRUSH brush)
{
    return reinterpret_cast<LRESULT>(
        PrepareControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), brush));
}
