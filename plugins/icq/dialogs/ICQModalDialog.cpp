#include "ICQModalDialog.h"

#include "SkinManager.h"
#include "VerdelResource.h"
#include "PluginModule.h"

CICQModalDialog::CICQModalDialog(HWND parent, int dialogId)
    : CJOVModalDialog(GetPluginInstance(), parent, dialogId, IDM_ICQ_OK_CANCEL, 0)
{
}

INT_PTR CICQModalDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(LOWORD(wParam));
        return 1;
    }
    return CJOVModalDialog::DialogProc(dialog, message, wParam, lParam);
}

int CICQModalDialog::GetSoftKeyCap(int index, CJOVString& caption)
{
    if (index == 0)
        caption = GetPluginText(139, L"OK");
    else if (index == 1)
        caption = GetPluginText(140, L"Cancel");
    else
        return 0;
    return 1;
}

HBRUSH CICQModalDialog::GetBkBrush()
{
    if (Skins::CSkinManager* skins = GetPluginSkinManager())
        return skins->GetBackgroundBrush(0);
    return CJOVModalDialog::GetBkBrush();
}

void CICQModalDialog::SetTitle(int textId, const wchar_t* english)
{
    CJOVString title = GetPluginText(textId, english);
    SetWindowTextW(m_hDlg, title);
}
