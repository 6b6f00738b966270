// Base of every modal dialog: runs a dialog template of a module as a
// full-screen dialog with a soft-key menu bar, paints double-buffered,
// exchanges data with its controls on opening and on OK, and relabels its two
// soft keys when the language changes (WM_JOV_LANG_CHANGED).
// UI thread: DoModal blocks the caller until EndDialog.
#pragma once

#include <windows.h>

#include "JOVCommon.h"
#include "JOVString.h"
#include "Shell.h"

constexpr UINT WM_JOV_LANG_CHANGED = WM_USER + 104;

class JOV_COMMON_API CJOVModalDialog {
public:
    // softKeysFlag: 1 when menuBarId names a soft-key bar resource, 0 when it
    // names a menu resource the bar is built from.
    CJOVModalDialog(HINSTANCE instance, HWND parent, int dialogId, int menuBarId, int softKeysFlag);
    CJOVModalDialog(const CJOVModalDialog& other);
    CJOVModalDialog& operator=(const CJOVModalDialog& other);
    virtual ~CJOVModalDialog();

    // The code given to EndDialog; -1 when the template cannot be run.
    int DoModal();

    static INT_PTR CALLBACK sDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // save 0: controls from the data; 1: data from the controls, 0 to refuse.
    virtual int DoDataExchange(int save);
    virtual void OnInitDialog();
    virtual void OnPaint(HDC dc);
    virtual void OnChangeWindowSize();
    virtual void OnWindowPosChanged(WINDOWPOS* pos);
    virtual void OnLangChange();
    // OK (1) ends only when DoDataExchange(1) accepts; answers 0 when it stays open.
    virtual int EndDialog(int code);
    // Caption of soft key index; false for none ("???" is shown).
    virtual int GetSoftKeyCap(int index, CJOVString& caption);
    virtual HBRUSH GetBkBrush();

    void SetSoftKeys();

    HWND m_hParent;
    HWND m_hDlg;
    HWND m_hMenuBar;
    HINSTANCE m_hInstance;
    int m_dialogId;
    int m_menuBarId;
    int m_softKeysFlag;
    SHACTIVATEINFO m_activateInfo;
};
