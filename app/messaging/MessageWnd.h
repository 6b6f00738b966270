// Stand-in for the messaging window: a hidden modeless dialog of the main
// window that takes the language and smilies notices.
// UI thread.
#pragma once

#include <windows.h>

class CMessageWnd {
public:
    explicit CMessageWnd(HWND parent);
    virtual ~CMessageWnd();
    CMessageWnd(const CMessageWnd&) = delete;
    CMessageWnd& operator=(const CMessageWnd&) = delete;

    // Creates the dialog window from its resource; false when it cannot.
    bool Create();
    HWND GetWnd() const { return m_hWnd; }

protected:
    virtual void OnLangChange();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hParent;
    HWND m_hWnd;
};
