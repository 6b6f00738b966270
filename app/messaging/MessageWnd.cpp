#include "messaging/MessageWnd.h"

#include "AlertManager.h"
#include "HiDpi.h"
#include "ServiceIds.h"
#include "cl/ContactList.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/ControlText.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "core/AppGlobals.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/GifAnimator.h"
#include "messaging/HistoryFiles.h"
#include "messaging/MessageDialogCtrl.h"
#include "messaging/MessageWndToolBar.h"
#include "messaging/MessagingIds.h"
#include "messaging/MessagingSkin.h"
#include "messaging/QuickSmailyPanel.h"
#include "messaging/SelectionSmailyDlg.h"
#include "protocols/ProtocolsManager.h"

namespace {

const int kToolbarHeight = 25;
// The shell's full-screen call: task bar and start icon hidden, or shown again.
const DWORD kFullScreenHide = SHFS_HIDETASKBAR | SHFS_HIDESTARTICON;
const DWORD kFullScreenShow = SHFS_SHOWTASKBAR | SHFS_SHOWSTARTICON;
// A status request that timed out leaves this in the status.
const unsigned int kUnansweredStatus = 0xCCCCCCCC;

} // namespace

CMessageWnd::CMessageWnd(HWND parent, Services::CServicesManager* bus)
    : CModelessTabsDlg(parent, IDM_MESSAGE_WND_KEYS), m_toolbar(nullptr), m_bus(bus ? bus : &g_ServicesManager),
      m_settings(nullptr), m_animator(nullptr)
{
    m_settings = new MessageWndSettings(this, m_bus);
}

CMessageWnd::~CMessageWnd()
{
    NoteWindow(nullptr);
    for (auto& entry : m_pages) {
        NotePageClosed(entry.first);
        delete entry.second;
    }
    m_pages.clear();
    // The record holds the fonts and saves the settings.
    delete m_settings;
    m_settings = nullptr;
    delete m_toolbar;
    m_toolbar = nullptr;
    // After every smiley control of the pages and the toolbar.
    delete m_animator;
    m_animator = nullptr;
}

void CMessageWnd::OnInitDialog()
{
    CModelessTabsDlg::OnInitDialog();
    SetTitle();
    Show(false);
    m_animator = new CGifAnimator;
    if (m_settings->GetControls().toolbar)
        CreateToolBar();
    NoteWindow(m_hDlg);
}

void CMessageWnd::SetTitle()
{
    SetLocalizedWindowText(m_hDlg, 119, L"Messages");
}

void CMessageWnd::OnLangChange()
{
    CModelessTabsDlg::OnLangChange();
    SetTitle();
}

HBRUSH CMessageWnd::GetBkBrush()
{
    return GetSkinBackgroundBrush();
}

int CMessageWnd::GetToolbarHeight()
{
    return m_settings && m_settings->GetControls().toolbar ? HIDPI_ScaleY(kToolbarHeight) : 0;
}

void CMessageWnd::CreateToolBar()
{
    RECT client;
    GetClientRect(m_hDlg, &client);
    RECT band = {client.left, client.bottom - GetToolbarHeight(), client.right, client.bottom};
    m_toolbar = new CToolBar(this, band);
}

void CMessageWnd::PlaceToolBar()
{
    RECT client;
    GetClientRect(m_hDlg, &client);
    const int height = GetToolbarHeight();
    SetWindowPos(*m_toolbar, nullptr, client.left, client.bottom - height, client.right - client.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CMessageWnd::IsFullScreen() const
{
    auto* store = static_cast<Database::CJOVDatabase*>(m_bus->GetService(GUID_Database));
    unsigned char fullScreen = 0;
    return store && store->GetByte(GUID_GUI, CJOVString(L"Full screen"), &fullScreen) && fullScreen;
}

void CMessageWnd::OnChangeWindowSize()
{
    if (IsFullScreen()) {
        RECT window;
        GetWindowRect(m_hDlg, &window);
        MoveWindow(m_hDlg, 0, 0, window.right, window.bottom, FALSE);
    }
    CModelessTabsDlg::OnChangeWindowSize();
    if (GetToolbarHeight() > 0 && m_toolbar)
        PlaceToolBar();
}

void CMessageWnd::ApplyFullScreen(bool active)
{
    if (!IsFullScreen())
        return;
    if (active) {
        SHFullScreen(m_hDlg, kFullScreenHide);
        RECT window;
        GetWindowRect(m_hDlg, &window);
        MoveWindow(m_hDlg, 0, 0, window.right, window.bottom, TRUE);
    } else {
        SHFullScreen(m_hDlg, kFullScreenShow);
    }
}

CMessageDialogCtrl* CMessageWnd::GetCurrentPage() const
{
    return static_cast<CMessageDialogCtrl*>(GetPage(CModelessTabsDlg::m_current));
}

unsigned int CMessageWnd::GetPageContact(const CMessageDialogCtrl* page) const
{
    if (!page)
        return 0;
    for (const auto& entry : m_pages) {
        if (entry.second == page)
            return entry.first;
    }
    return 0;
}

CMessageDialogCtrl* CMessageWnd::FindPage(unsigned int contactId) const
{
    auto found = m_pages.find(contactId);
    return found == m_pages.end() ? nullptr : found->second;
}

CJOVString CMessageWnd::Alias(unsigned int contactId)
{
    CJOVString alias;
    if (auto* model = static_cast<CL::CContactList*>(m_bus->GetService(GUID_ContactList)))
        model->GetString(contactId, CJOVString(L"CL Alias"), alias);
    return alias;
}

unsigned int CMessageWnd::AccountOf(unsigned int contactId)
{
    auto* model = static_cast<CL::CContactList*>(m_bus->GetService(GUID_ContactList));
    return model ? model->GetItemKey(contactId) : 0;
}

CJOVArray<unsigned int> CMessageWnd::StatusImages(unsigned int contactId)
{
    auto* protocols = static_cast<Protocols::CProtocolsManager*>(m_bus->GetService(GUID_ProtocolsManager));
    Protocols::ContactStatusInfo info;
    if (protocols && protocols->GetContactStatusInfo(AccountOf(contactId), contactId, &info) &&
        info.statusImages.Count() > 0)
        return info.statusImages[0];
    return CJOVArray<unsigned int>();
}

void CMessageWnd::OpenContact(unsigned int contactId, int pendingCount)
{
    if (g_App.pSkinManager)
        g_App.pSkinManager->GetSmilies();  // waits for a set still loading
    if (CMessageDialogCtrl* page = FindPage(contactId)) {
        SelectPage(page);
        if (!IsWindowVisible(m_hDlg)) {
            Show(true);
            SetFocus(page->GetWnd());
        }
        return;
    }
    auto* page = new CMessageDialogCtrl(this);
    m_pages[contactId] = page;
    NotePageOpened(contactId);
    page->Create();
    AddPage(page, Alias(contactId), StatusImages(contactId));
    ShowHistoryTail(page, contactId, pendingCount);
    if (!IsWindowVisible(m_hDlg))
        Show(true);
    SetFocus(page->GetWnd());
}

void CMessageWnd::ShowHistoryTail(CMessageDialogCtrl* page, unsigned int contactId, int pendingCount)
{
    const MessageWndSettings::HistoryView& view = m_settings->GetHistoryView();
    const int wanted = (view.showHistory ? view.historyCount : 0) + (pendingCount > 0 ? pendingCount : 0);
    if (wanted <= 0)
        return;
    CJOVArray<SMessage> messages(10);
    ReadHistoryTail(*m_bus, contactId, wanted, messages);
    // The last pendingCount messages are the entries the caller adds itself.
    const int shown = messages.Count() - (pendingCount > 0 ? pendingCount : 0);
    if (shown <= 0)
        return;
    SMessage separator;
    separator.kind = SMessage::HistorySeparator;
    separator.subKind = 0;
    messages.Insert(shown, separator);
    page->AddEvents(&messages[0], shown + 1);
}

void CMessageWnd::AddMessage(unsigned int contactId, const SMessage* message)
{
    CMessageDialogCtrl* page = FindPage(contactId);
    if (!page || !message)
        return;
    page->AddEvent(message);
    if (IsWindowVisible(m_hDlg) && page == GetCurrentPage())
        return;
    CCLCtrl* control = CCLCtrl::GetInstance();
    const int image = control ? control->GetNotifyIcon(contactId) : -1;
    if (image != -1)
        StartPageBlink(page, static_cast<unsigned int>(image));
}

void CMessageWnd::UpdateContactPage(unsigned int contactId, int iconOnly, int stopBlink)
{
    CMessageDialogCtrl* page = FindPage(contactId);
    if (!page)
        return;
    if (stopBlink) {
        StopPageBlink(page);
        return;
    }
    const CJOVArray<unsigned int> images = StatusImages(contactId);
    if (iconOnly)
        SetPageImages(page, images);
    else
        SetPageTitle(page, Alias(contactId), images);
}

void CMessageWnd::ClosePage(unsigned int contactId)
{
    CloseContactPage(contactId);
}

void CMessageWnd::CloseContactPage(unsigned int contactId)
{
    auto found = m_pages.find(contactId);
    if (found == m_pages.end())
        return;
    CMessageDialogCtrl* page = found->second;
    // Out of the map first: the neighbour's activation looks its contact up there.
    m_pages.erase(found);
    NotePageClosed(contactId);
    RemovePage(page);
}

void CMessageWnd::OnTabDoubleTap()
{
    CloseContactPage(GetPageContact(GetCurrentPage()));
}

void CMessageWnd::ActivatePage()
{
    if (CMessageDialogCtrl* page = GetCurrentPage())
        StopPageBlink(page);
    CModelessTabsDlg::ActivatePage();
    // The tab order as on screen: the tabs, the page shown, the toolbar.
    if (CMessageDialogCtrl* page = GetCurrentPage())
        SetWindowPos(page->GetWnd(), GetFocusButton() ? GetFocusButton() : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (m_toolbar)
        SetWindowPos(*m_toolbar, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const unsigned int contactId = GetPageContact(GetCurrentPage());
    NoteCurrentContact(contactId);
    if (contactId) {
        if (CCLCtrl* control = CCLCtrl::GetInstance())
            control->ClearNotifications(contactId);
    }
}

void CMessageWnd::SendCurrentMessage()
{
    CMessageDialogCtrl* page = GetCurrentPage();
    if (!page)
        return;
    const unsigned int contactId = GetPageContact(page);
    const unsigned int accountId = AccountOf(contactId);
    auto* protocols = static_cast<Protocols::CProtocolsManager*>(m_bus->GetService(GUID_ProtocolsManager));
    Protocols::Status status = Protocols::StatusOffline;
    if (!protocols || protocols->GetStatus(accountId, &status) != 0)
        return;
    const unsigned int value = static_cast<unsigned int>(status);
    if (value <= Protocols::StatusConnecting || value == kUnansweredStatus)
        return;
    CJOVString text;
    if (!page->TakeEditText(text))
        return;
    Protocols::MessageInfo message;
    message.contactId = contactId;
    message.kind = 0;
    message.imageIndex = -1;
    message.text = text;
    if (!protocols->SendMessage(accountId, &message)) {
        // The account went away since its status was read: the text stays.
        page->RestoreEditText(text);
        return;
    }
    if (auto* alerts = static_cast<Alert::CAlertManager*>(m_bus->GetService(GUID_AlertManager)))
        alerts->PlayAlert(Alert::kAlertMessageSent);
}

bool CMessageWnd::AreSmiliesOff()
{
    return g_App.pSkinManager && g_App.pSkinManager->GetSkinChoice().textSmilies;
}

void CMessageWnd::ChooseSmiley()
{
    if (AreSmiliesOff())
        return;
    CSelectionSmailyDlg dialog(m_hDlg);
    if (dialog.DoModal() != IDOK)
        return;
    const int smiley = CSelectionSmailyDlg::GetChosenIndex();
    if (smiley == -1)
        return;
    InsertSmiley(smiley);
    if (m_toolbar && m_toolbar->GetQuickBar())
        m_toolbar->GetQuickBar()->AddRecent(smiley);
}

void CMessageWnd::InsertSmiley(int smiley)
{
    CMessageDialogCtrl* page = GetCurrentPage();
    if (!page)
        return;
    page->InsertSmiley(smiley);
    SetFocus(page->GetWnd());
}

void CMessageWnd::ApplySettings(int kind)
{
    if (kind == MessageWndSettings::ApplyAll || kind == MessageWndSettings::ApplyControls) {
        const bool wanted = m_settings->GetControls().toolbar != 0;
        if (!wanted && m_toolbar) {
            delete m_toolbar;
            m_toolbar = nullptr;
        } else if (wanted && !m_toolbar && m_hDlg) {
            CreateToolBar();
        }
        if (m_hDlg) {
            OnChangeWindowSize();
            // A toolbar that kept its size is not told of its buttons' settings.
            if (m_toolbar)
                m_toolbar->Relayout();
            UpdateSoftKeyCaps();
        }
    }
    if (kind == MessageWndSettings::ApplyAll || kind == MessageWndSettings::ApplyChatViews ||
        kind == MessageWndSettings::ApplyEditBoxes) {
        for (auto& entry : m_pages)
            entry.second->ApplySettings(kind);
    }
}

INT_PTR CMessageWnd::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        ApplyFullScreen(LOWORD(wParam) != WA_INACTIVE);
        if (LOWORD(wParam) == WA_ACTIVE)
            ActivatePage();
        break;
    case WM_CLOSE:
        Show(false);
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDCANCEL:
            Show(false);
            return 1;
        case IDC_FUNCTION_KEY:
            if (m_settings->GetControls().reverseKeys)
                ShowMenu();
            else
                RunFunctionKey();
            return 1;
        case IDC_MENU_KEY:
            if (m_settings->GetControls().reverseKeys)
                RunFunctionKey();
            else
                ShowMenu();
            return 1;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == 0) {
            if (lParam)
                DrawMenuItem(m_hDlg, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return 1;
        }
        break;
    case WM_MEASUREITEM:
        if (wParam == 0) {
            MeasureMenuItem(m_hDlg, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return 1;
        }
        break;
    case WM_CHAR: {
        LRESULT answer = 0;
        if (wParam != VK_TAB) {
            if (CMessageDialogCtrl* page = GetCurrentPage())
                answer = SendMessageW(page->GetWnd(), WM_CHAR, wParam, lParam);
        }
        SetWindowLongPtrW(m_hDlg, DWLP_MSGRESULT, answer);
        return 1;
    }
    case WM_JOV_SMILIES_CHANGE:
        for (auto& entry : m_pages)
            SendMessageW(entry.second->GetWnd(), message, wParam, lParam);
        if (m_toolbar)
            SendMessageW(*m_toolbar, message, wParam, lParam);
        break;
    }
    return CModelessTabsDlg::DialogProc(message, wParam, lParam);
}
