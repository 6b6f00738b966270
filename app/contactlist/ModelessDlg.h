// Base of the program's modeless dialogs: a dialog from a module's template
// living beside the main window, shown and hidden with its own soft-key bar
// (a menu resource; bar id -1 for none, and then no shell set-up either).
// UI thread.
#pragma once

#include <windows.h>

#include "JOVString.h"
#include "Shell.h"

class CModelessDlg {
public:
    CModelessDlg(HINSTANCE module, HWND parent, int dialogId, int softKeyBarId);
    // Destroys the dialog window.
    virtual ~CModelessDlg();
    CModelessDlg(const CModelessDlg&) = delete;
    CModelessDlg& operator=(const CModelessDlg&) = delete;

    // Makes the dialog from its template; false when it cannot be made.
    bool Create();
    // Shown: raised to the top; hidden: the Z order stays. The bar follows.
    void Show(bool show);
    HWND GetWnd() const { return m_hDlg; }
    HWND GetMenuBar() const { return m_hMenuBar; }
    void UpdateSoftKeyCaps();

    static INT_PTR CALLBACK sDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual void OnInitDialog();
    virtual void OnPaint(HDC dc);
    virtual void OnWindowPosChanged(WINDOWPOS* pos);
    virtual void OnChangeWindowSize();
    virtual void OnDestroy();
    // For WM_INITDIALOG, wParam is the dialog window.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnLangChange();
    // "Apply"/"Cancel" for bar 137; none for the others.
    virtual int GetSoftKeyCap(int index, CJOVString& caption);
    virtual HBRUSH GetBkBrush();

    HINSTANCE m_hInstance;
    HWND m_hParent;
    HWND m_hDlg;
    HWND m_hMenuBar;
    int m_dialogId;
    int m_softKeyBarId;
    SHACTIVATEINFO m_activateInfo;
};
