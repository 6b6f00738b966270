// The about dialog (stand-in: the program's name).
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"

class CAboutDlg : public CModalDialog {
public:
    explicit CAboutDlg(HWND parent);
};
