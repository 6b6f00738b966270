#include "contactlist/DetailsDialog.h"

#include "contactlist/DialogIds.h"

CDetailsDialog::CDetailsDialog(HWND parent, unsigned int ownerId, int titleId, const wchar_t* title)
    : CTabsDialog(parent, IDM_UPDATE_CLOSE, 0), m_ownerId(ownerId)
{
    SetTitle(titleId, title);
    // Own details and a contact's are kept in the settings.
    KeepsSettings();
}

void CDetailsDialog::Refresh(CDetailsDialog* open, unsigned int ownerId)
{
    if (open && open->m_ownerId == ownerId && open->GetHwnd())
        open->ReloadUneditedPages();
}

INT_PTR CDetailsDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_UPDATE_COMMAND) {
        Store();
        return 1;
    }
    return CTabsDialog::DialogProc(dialog, message, wParam, lParam);
}

int CDetailsDialog::GetSoftKeyCap(int index, CJOVString& caption)
{
    return GetUpdateCloseSoftKeyCap(index, caption);
}
