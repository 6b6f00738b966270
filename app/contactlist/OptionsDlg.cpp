#include "contactlist/OptionsDlg.h"

#include "core/AppGlobals.h"
#include "core/protocols/ProtocolsManagerImpl.h"

COptionsDlg::COptionsDlg(HWND parent, unsigned int accountId)
    : CTabsDialog(parent, IDM_APPLY_CANCEL, 0), m_accountId(accountId)
{
    SetTitle(25, L"Network settings");
    KeepsSettings();
}

bool COptionsDlg::GetPanels(CJOVArray<CPanelInfo>& panels)
{
    if (g_App.pProtocolsManager)
        g_App.pProtocolsManager->GetOptionsDlgInfo(m_accountId, &panels);
    return true;
}

int ShowOptionsDlg(HWND parent, unsigned int accountId)
{
    COptionsDlg dialog(parent, accountId);
    return dialog.DoModal();
}
