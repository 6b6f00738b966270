#include "contactlist/ContactDetailsDlg.h"

#include "core/AppGlobals.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"

namespace {

CContactDetailsDlg* s_open = nullptr;

} // namespace

CContactDetailsDlg::CContactDetailsDlg(HWND parent, unsigned int contactId)
    : CDetailsDialog(parent, contactId, 34, L"Contact details")
{
}

bool CContactDetailsDlg::GetPanels(CJOVArray<CPanelInfo>& panels)
{
    if (!g_App.pContactList || !g_App.pProtocolsManager)
        return true;
    unsigned int accountId = g_App.pContactList->GetItemKey(m_ownerId);
    g_App.pProtocolsManager->GetContactDetailsDlgInfo(accountId, m_ownerId, &panels);
    return true;
}

int ShowContactDetails(HWND parent, unsigned int contactId)
{
    CContactDetailsDlg dialog(parent, contactId);
    return CDetailsDialog::RunAsOpen(s_open, &dialog);
}

void RefreshContactDetails(unsigned int contactId)
{
    CDetailsDialog::Refresh(s_open, contactId);
}

CContactDetailsDlg* GetOpenContactDetails()
{
    return s_open;
}
