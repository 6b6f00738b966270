#include "contactlist/UserDetailsDlg.h"

#include "core/AppGlobals.h"
#include "core/protocols/ProtocolsManagerImpl.h"

namespace {

CUserDetailsDlg* s_open = nullptr;

} // namespace

CUserDetailsDlg::CUserDetailsDlg(HWND parent, unsigned int accountId)
    : CDetailsDialog(parent, accountId, 17, L"View/change my details")
{
}

bool CUserDetailsDlg::GetPanels(CJOVArray<CPanelInfo>& panels)
{
    if (g_App.pProtocolsManager)
        g_App.pProtocolsManager->GetAccountDetailsDlgInfo(m_ownerId, &panels);
    return true;
}

int ShowUserDetails(HWND parent, unsigned int accountId)
{
    CUserDetailsDlg dialog(parent, accountId);
    return CDetailsDialog::RunAsOpen(s_open, &dialog);
}

void RefreshUserDetails(unsigned int accountId)
{
    CDetailsDialog::Refresh(s_open, accountId);
}

CUserDetailsDlg* GetOpenUserDetails()
{
    return s_open;
}
