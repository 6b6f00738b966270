#include "contactlist/UserDetailsDlg.h"

#include "core/AppGlobals.h"
#include "core/protocols/ProtocolsManagerImpl.h"

namespace {

CUserDetailsDlg* s_open = nullptr;

} // namespace

CUserDetailsDlg::CUserDetailsDlg(HWND parent, unsigned int accountId)
    : CTabsDialog(parent, IDM_UPDATE_CLOSE, 0), m_accountId(accountId)
{
    SetTitle(17, L"View/change my details");
}

INT_PTR CUserDetailsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_UPDATE_COMMAND) {
        DoDataExchange(1);
        return 1;
    }
    return CTabsDialog::DialogProc(dialog, message, wParam, lParam);
}

int CUserDetailsDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    return GetUpdateCloseSoftKeyCap(index, caption);
}

bool CUserDetailsDlg::GetPanels(CJOVArray<CPanelInfo>& panels)
{
    if (g_App.pProtocolsManager)
        g_App.pProtocolsManager->GetAccountDetailsDlgInfo(m_accountId, &panels);
    return true;
}

int ShowUserDetails(HWND parent, unsigned int accountId)
{
    CUserDetailsDlg* dialog = new CUserDetailsDlg(parent, accountId);
    CUserDetailsDlg* outer = s_open;
    s_open = dialog;
    int code = dialog->DoModal();
    s_open = outer;
    delete dialog;
    return code;
}

void RefreshUserDetails(unsigned int accountId)
{
    if (s_open && s_open->GetAccountId() == accountId && s_open->GetHwnd())
        s_open->ReloadUneditedPages();
}

CUserDetailsDlg* GetOpenUserDetails()
{
    return s_open;
}
