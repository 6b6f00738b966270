#include "contactlist/PreferencesDlg.h"

#include "contactlist/AccountsPage.h"
#include "contactlist/ControlText.h"
#include "contactlist/DialogSkin.h"
#include "core/AppGlobals.h"

namespace {

const int kAccountsImage = 46;

HINSTANCE ProgramModule()
{
    return g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr);
}

} // namespace

CPreferencesDlg::CPreferencesDlg(HWND parent, int initialPage)
    : CTabsDialog(parent, IDM_APPLY_CANCEL, initialPage), m_tabImages(10)
{
    SetTitle(18, L"Preferences");
}

CPreferencesDlg::~CPreferencesDlg()
{
    // The strip's drawing loaded them.
    for (int i = 0; i < m_tabImages.Count(); ++i)
        DialogSkin().ReleaseImage(static_cast<unsigned int>(m_tabImages[i]));
}

bool CPreferencesDlg::GetPanels(CJOVArray<CPanelInfo>& panels)
{
    CPanelInfo accounts;
    accounts.title = LangText(47, L"Accounts");
    accounts.image = kAccountsImage;
    accounts.module = ProgramModule();
    accounts.dialog = IDD_ACCOUNTS_PAGE;
    accounts.dataExchange = AccountsPageProc;
    accounts.message = AccountsPageCommand;
    panels.Append(accounts);
    if (m_tabImages.Count() == 0) {
        for (int i = 0; i < panels.Count(); ++i) {
            if (panels[i].image != -1)
                m_tabImages.Append(panels[i].image);
        }
    }
    return true;
}

int ShowPreferences(HWND parent, int page)
{
    CPreferencesDlg dialog(parent, page);
    return dialog.DoModal();
}
