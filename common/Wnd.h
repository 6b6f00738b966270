// Base of the system's own child windows: one window class ("JOV Wnd Class")
// for all of them, messages routed to virtual operations, painting through an
// off-screen bitmap. Messages that no operation takes go to the default
// window procedure.
// UI thread: a window and its object belong to the thread that made them.
#pragma once

#include <windows.h>

#include "JOVCommon.h"
#include "JOVDrawContext.h"

class JOV_COMMON_API CWnd {
public:
    CWnd(HINSTANCE instance, HWND parent);
    CWnd(const CWnd& other);
    CWnd& operator=(const CWnd& other);
    // Destroys the window.
    virtual ~CWnd();

    operator HWND() const { return m_hWnd; }
    HWND GetParent() const { return m_hParent; }
    HINSTANCE GetInstance() const { return m_hInstance; }

    // Shown: raised to the top of the Z order; hidden: Z order untouched.
    void Show(bool show);
    void Move(int x, int y);
    void Resize(int width, int height);
    void MoveAndResize(int x, int y, int width, int height);
    void MoveAndResize(const RECT& rect);
    void UpInZOrder();
    int GetClientWidth() const;
    int GetClientHeight() const;

    static LRESULT CALLBACK sWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // A child window of the parent with the given style at rect (parent's
    // client coordinates). 1 when made, 0 when not.
    int Create(DWORD style, const RECT& rect);

    virtual void OnCreate();
    virtual void OnPaint(CJOVDrawContext* context);
    virtual void OnDestroy();
    virtual void OnChangeWindowSize();
    virtual void OnWindowPosChanged(WINDOWPOS* pos);
    // For WM_CREATE, wParam is the window handle.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual HBRUSH GetBkBrush();

    HWND m_hWnd;
    HWND m_hParent;
    HINSTANCE m_hInstance;
};
