// The about box: the product, its build and the loaded protocol plug-ins
// with their authors. It has no soft keys: the Done button closes it.
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"

constexpr int kBuildNumber = 2020;

class CAboutDlg : public CModalDialog {
public:
    explicit CAboutDlg(HWND parent);
    ~CAboutDlg() override;

    // The text of the scrolling box, as the dialog shows it.
    static CJOVString BuildAboutText();

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog() override;

private:
    HFONT m_productFont;
};
