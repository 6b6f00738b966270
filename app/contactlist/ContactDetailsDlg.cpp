#include "contactlist/ContactDetailsDlg.h"

#include "core/AppGlobals.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"

namespace {

CContactDetailsDlg* s_open = nullptr;

} // namespace

CContactDetailsDlg::CContactDetailsDlg(HWND parent, unsigned int contactId)
    : CTabsDialog(parent, IDM_UPDATE_CLOSE, 0), m_contactId(contactId)
{
    SetTitle(34, L"Contact details");
}

CContactDetailsDlg::~CContactDetailsDlg() {}

INT_PTR CContactDetailsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_UPDATE_COMMAND) {
        DoDataExchange(1);
        return 1;
    }
    return CTabsDialog::DialogProc(dialog, message, wParam, lParam);
}

int CContactDetailsDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    return GetUpdateCloseSoftKeyCap(index, caption);
}

bool CContactDetailsDlg::GetPanels(CJOVArray<CPanelInfo>& panels)
{
    if (!g_App.pContactList || !g_App.pProtocolsManager)
        return true;
    unsigned int accountId = g_App.pContactList->GetItemKey(m_contactId);
    g_App.pProtocolsManager->GetContactDetailsDlgInfo(accountId, m_contactId, &panels);
    return true;
}

int ShowContactDetails(HWND parent, unsigned int contactId)
{
    CContactDetailsDlg* dialog = new CContactDetailsDlg(parent, contactId);
    CContactDetailsDlg* outer = s_open;
    s_open = dialog;
    int code = dialog->DoModal();
    s_open = outer;
    delete dialog;
    return code;
}

void RefreshContactDetails(unsigned int contactId)
{
    if (s_open && s_open->GetContactId() == contactId && s_open->GetHwnd())
        s_open->ReloadUneditedPages();
}

CContactDetailsDlg* GetOpenContactDetails()
{
    return s_open;
}
