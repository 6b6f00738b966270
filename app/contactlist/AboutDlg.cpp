#include "contactlist/AboutDlg.h"

#include "core/JOVResource.h"

CAboutDlg::CAboutDlg(HWND parent) : CModalDialog(parent, IDD_ABOUT, IDR_DIALOG_MENUBAR, 1)
{
}
