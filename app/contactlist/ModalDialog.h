// The program's modal dialog base: the program's module and the skin's
// background, OK (ends with 1, once the data is stored), Cancel (ends with 2)
// and "Apply" (stores and stays open), and the captions of the
// "Apply"/"Cancel" soft-key bar.
// UI thread.
#pragma once

#include "JOVModalDialog.h"
#include "contactlist/DialogIds.h"

class CModalDialog : public CJOVModalDialog {
public:
    // softKeysFlag: 1 when softKeyBarId names a soft-key bar resource, 0 when a menu.
    CModalDialog(HWND parent, int dialogId, int softKeyBarId, int softKeysFlag);

    HWND GetHwnd() const { return m_hDlg; }

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    // "Apply" and "Cancel" for bar 137; none for the others.
    int GetSoftKeyCap(int index, CJOVString& caption) override;
    HBRUSH GetBkBrush() override;

    // A dialog of settings: once it stored its values (OK, "Apply"), the
    // program's settings are written to "settings.jov" at once.
    void KeepsSettings() { m_keepsSettings = true; }
    // Stores the values; true when no value was refused.
    bool Store();

private:
    bool m_keepsSettings = false;
};

// Captions of the three bars, for the dialogs that use them.
int GetApplyCancelSoftKeyCap(int index, CJOVString& caption);
int GetOkCancelSoftKeyCap(int index, CJOVString& caption);
int GetUpdateCloseSoftKeyCap(int index, CJOVString& caption);
