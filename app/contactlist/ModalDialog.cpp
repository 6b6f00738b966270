#include "contactlist/ModalDialog.h"

#include "core/AppGlobals.h"
#include "core/skins/SkinManagerImpl.h"

CModalDialog::CModalDialog(HWND parent, int dialogId, int menuBarId, int softKeysFlag)
    : CJOVModalDialog(g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr), parent, dialogId, menuBarId,
                      softKeysFlag)
{
}

INT_PTR CModalDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(LOWORD(wParam));
        return TRUE;
    }
    return CJOVModalDialog::DialogProc(dialog, message, wParam, lParam);
}

int CModalDialog::GetSoftKeyCap(int index, CJOVString& caption)
{
    if (index == 0)
        caption = L"OK";
    else if (index == 1)
        caption = L"Cancel";
    else
        return 0;
    return 1;
}

HBRUSH CModalDialog::GetBkBrush()
{
    if (g_App.pSkinManager)
        return g_App.pSkinManager->GetBackgroundBrush(0);
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}
