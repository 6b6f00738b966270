// Base of the plug-in's own dialogs: a template of the plug-in's module, no
// parent, the OK/Cancel soft keys of its menu 138 with the plug-in's texts,
// and the skin's background. OK ends with 1 once the fields are taken, Cancel
// with 2.
// UI thread.
#pragma once

#include "JOVModalDialog.h"

class CICQModalDialog : public CJOVModalDialog {
public:
    CICQModalDialog(HWND parent, int dialogId);

    HWND GetHwnd() const { return m_hDlg; }

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    // "OK" and "Cancel", in English when the language file lacks them.
    int GetSoftKeyCap(int index, CJOVString& caption) override;
    HBRUSH GetBkBrush() override;
    // The window's title, a language text.
    void SetTitle(int textId, const wchar_t* english);
};
