// The program's modal dialog base: OK (ends with 1) and Cancel (ends with 2)
// soft keys.
// UI thread.
#pragma once

#include "JOVModalDialog.h"

class CModalDialog : public CJOVModalDialog {
public:
    CModalDialog(HWND parent, int dialogId, int menuBarId, int softKeysFlag);

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;
    HBRUSH GetBkBrush() override;
};
