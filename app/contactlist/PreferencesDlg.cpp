#include "contactlist/PreferencesDlg.h"

#include "contactlist/AccountsPage.h"
#include "contactlist/ControlText.h"
#include "contactlist/DialogSkin.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/PreferencesPages.h"
#include "core/AppGlobals.h"

namespace {

struct PageRecord {
    int textId;
    const wchar_t* title;
    int image;
    unsigned int dialog;
    PanelDataExchangeProc dataExchange;
    PanelMessageProc message;
};

// In tab order: the page numbers are ShowPreferences's.
const PageRecord kPages[] = {
    {40, L"General", 3, IDD_GENERAL_PAGE, GeneralPageProc, nullptr},
    {41, L"Contact list", 41, IDD_CONTACT_LIST_PAGE, ContactListPageProc, nullptr},
    {42, L"Events", 42, IDD_EVENTS_PAGE, EventsPageProc, EventsPageCommand},
    {43, L"Messaging", 43, IDD_MESSAGING_PAGE, MessagingPageProc, MessagingPageCommand},
    {44, L"History", 32, IDD_HISTORY_PAGE, HistoryPageProc, HistoryPageCommand},
    {45, L"Sounds", 44, IDD_SOUNDS_PAGE, SoundsPageProc, SoundsPageCommand},
    {46, L"Interface", 45, IDD_INTERFACE_PAGE, InterfacePageProc, InterfacePageCommand},
    {48, L"Connection", 47, IDD_CONNECTION_PAGE, ConnectionPageProc, ConnectionPageCommand},
    {47, L"Accounts", 46, IDD_ACCOUNTS_PAGE, AccountsPageProc, AccountsPageCommand},
};

HINSTANCE ProgramModule()
{
    return g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr);
}

} // namespace

CPreferencesDlg::CPreferencesDlg(HWND parent, int initialPage)
    : CTabsDialog(parent, IDM_APPLY_CANCEL, initialPage), m_tabImages(10)
{
    SetTitle(18, L"Preferences");
    KeepsSettings();
}

CPreferencesDlg::~CPreferencesDlg()
{
    // The strip's drawing loaded them.
    for (int i = 0; i < m_tabImages.Count(); ++i)
        DialogSkin().ReleaseImage(static_cast<unsigned int>(m_tabImages[i]));
}

bool CPreferencesDlg::GetPanels(CJOVArray<CPanelInfo>& panels)
{
    for (const PageRecord& record : kPages) {
        CPanelInfo info;
        info.title = LangText(record.textId, record.title);
        info.image = record.image;
        info.module = ProgramModule();
        info.dialog = record.dialog;
        info.dataExchange = record.dataExchange;
        info.message = record.message;
        panels.Append(info);
    }
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
