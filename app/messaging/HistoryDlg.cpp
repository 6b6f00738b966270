#include "messaging/HistoryDlg.h"

#include <cwchar>

#include "HiDpi.h"
#include "MenuInfo.h"
#include "contactlist/ControlText.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "contactlist/SelectFileDlg.h"
#include "core/AppGlobals.h"
#include "core/bus/ServicesManagerImpl.h"
#include "messaging/ChatCtrl.h"
#include "messaging/ChatEntry.h"
#include "messaging/GrowingTextBuffer.h"
#include "messaging/HistoryDlgIds.h"
#include "messaging/HistoryExport.h"
#include "messaging/HistoryFiles.h"
#include "messaging/MessageDialogCtrl.h"
#include "messaging/MessagingIds.h"

namespace {

const int kFindControls[] = {IDC_HISTORY_FIND_LABEL,   IDC_HISTORY_FIND_TEXT, IDC_HISTORY_FIND_GO,
                             IDC_HISTORY_WHOLE_WORD,   IDC_HISTORY_WHOLE_WORD_LABEL,
                             IDC_HISTORY_MATCH_CASE,   IDC_HISTORY_MATCH_CASE_LABEL};

const unsigned int kImageTotal = 32;
const unsigned int kImageRefresh = 50;
const unsigned int kImageDelete = 52;
const unsigned int kImageSaveAs = 51;
const unsigned int kImageClose = 54;

CMenuItemInfo Item(int textId, const wchar_t* english, unsigned int command, unsigned int image,
                   CMenuItemInfo::MenuItemType type = CMenuItemInfo::MenuItemCommand)
{
    CMenuItemInfo item(LangText(textId, english), command, 0);
    item.type = type;
    item.images.Append(image);
    return item;
}

CMenuItemInfo Separator()
{
    return CMenuItemInfo(CMenuItemInfo::MenuItemSeparator);
}

bool FileExists(const CJOVString& path)
{
    CJOVString name = path;
    return path.GetLength() > 0 && GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

CHistoryDlg::CHistoryDlg(HWND parent, CMessageDialogCtrl* page, unsigned int contactId,
                         Services::CServicesManager* bus)
    : CModalDialog(parent, IDD_HISTORY, IDM_MESSAGE_WND_KEYS, 0), m_chat(nullptr),
      m_quoteWindow(page ? page->GetMessageWnd() : nullptr), m_contactId(contactId), m_messageCount(0),
      m_findShown(false), m_lastSearch(nullptr), m_lastHit(-1), m_bus(bus ? bus : &g_ServicesManager)
{
}

CHistoryDlg::~CHistoryDlg()
{
    delete[] m_lastSearch;
    delete m_chat;
}

void CHistoryDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_HISTORY_FIND_LABEL), 158, L"Find text:");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_HISTORY_WHOLE_WORD_LABEL), 159, L"Whole word");
    SetLocalizedWindowText(GetDlgItem(m_hDlg, IDC_HISTORY_MATCH_CASE_LABEL), 160, L"Match case");
    SetSoftKeys();

    RECT client;
    GetClientRect(m_hDlg, &client);
    m_chat = new CChatCtrl(m_hInstance, m_hDlg, nullptr, 1);
    m_chat->SetQuoteContact(m_quoteWindow, m_contactId);
    m_chat->Create(client);
    Load();
}

int CHistoryDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    if (index == 0)
        caption = m_findShown ? LangText(162, L"Find <") : LangText(161, L"Find >");
    else if (index == 1)
        caption = LangText(176, L"Menu");
    else
        return 0;
    return 1;
}

void CHistoryDlg::Load()
{
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    m_chat->Clear();
    CJOVArray<SMessage> messages(10);
    ReadHistory(*m_bus, m_contactId, messages);
    m_messageCount = messages.Count();
    if (m_messageCount > 0)
        m_chat->AddEvents(&messages[0], m_messageCount);
    SetCursor(old);
}

void CHistoryDlg::OnChangeWindowSize()
{
    if (!m_chat)
        return;
    RECT client;
    GetClientRect(m_hDlg, &client);
    if (m_findShown) {
        RECT box;
        GetWindowRect(GetDlgItem(m_hDlg, IDC_HISTORY_MATCH_CASE), &box);
        MapWindowPoints(nullptr, m_hDlg, reinterpret_cast<POINT*>(&box), 2);
        client.top = box.bottom + (g_HIDPI_LogPixelsY + 48) / 96;
    }
    SetWindowPos(m_chat->GetViewWindow(), nullptr, client.left, client.top, client.right - client.left,
                 client.bottom - client.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHistoryDlg::ToggleFindPanel()
{
    m_findShown = !m_findShown;
    for (int id : kFindControls)
        ShowWindow(GetDlgItem(m_hDlg, id), m_findShown ? SW_SHOW : SW_HIDE);
    OnChangeWindowSize();
    SetSoftKeys();
    if (m_findShown)
        SetFocus(GetDlgItem(m_hDlg, IDC_HISTORY_FIND_TEXT));
}

void CHistoryDlg::Find()
{
    HWND edit = GetDlgItem(m_hDlg, IDC_HISTORY_FIND_TEXT);
    const int length = GetWindowTextLengthW(edit);
    if (length <= 0)
        return;
    wchar_t* text = new wchar_t[length + 1];
    GetWindowTextW(edit, text, length + 1);
    FindFlags flags;
    flags.wholeWord = IsDlgButtonChecked(m_hDlg, IDC_HISTORY_WHOLE_WORD) == BST_CHECKED;
    flags.matchCase = IsDlgButtonChecked(m_hDlg, IDC_HISTORY_MATCH_CASE) == BST_CHECKED;
    if (m_lastSearch && wcscmp(m_lastSearch, text) == 0) {
        delete[] text;
        m_lastHit = m_chat->Find(m_lastSearch, flags);
        return;
    }
    delete[] m_lastSearch;
    m_lastSearch = text;
    m_lastHit = m_chat->FindFromStart(m_lastSearch, flags);
}

void CHistoryDlg::DescribeMenu(CMenuInfo& menu) const
{
    menu.RemoveAll();
    CJOVString total;
    wchar_t count[16];
    swprintf(count, 16, L"%d", m_messageCount);
    if (g_App.pServices && g_App.pServices->GetString(163, total))
        total += CJOVString(count);
    else
        total = CJOVString(L"Total: ") + CJOVString(count);
    CMenuItemInfo first(total, kHistoryCmdTotal, 0);
    first.type = CMenuItemInfo::MenuItemGrayed;
    first.images.Append(kImageTotal);
    menu.Append(first);
    menu.Append(Separator());
    menu.Append(Item(164, L"Refresh", kHistoryCmdRefresh, kImageRefresh));
    menu.Append(Item(165, L"Delete", kHistoryCmdDelete, kImageDelete));
    menu.Append(Item(166, L"Save as...", kHistoryCmdSaveAs, kImageSaveAs));
    menu.Append(Separator());
    menu.Append(Item(178, L"Close", kHistoryCmdClose, kImageClose));
}

void CHistoryDlg::ShowMenu()
{
    CMenuInfo menu;
    DescribeMenu(menu);
    unsigned int nextId = kHistoryCmdClose + 1;
    HMENU popup = BuildPopupMenu(menu, nextId, nullptr);
    if (!popup)
        return;
    RECT window;
    GetWindowRect(m_hDlg, &window);
    const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_RIGHTALIGN,
                                                           window.right, window.bottom, m_hDlg, nullptr));
    unsigned int command = 0;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    if (chosen && GetMenuItemInfoW(popup, chosen, FALSE, &info) && info.dwItemData)
        command = reinterpret_cast<const CMenuItemInfo*>(info.dwItemData)->commandId;
    DestroyMenu(popup);
    switch (command) {
    case kHistoryCmdRefresh:
        Load();
        break;
    case kHistoryCmdDelete:
        Delete();
        break;
    case kHistoryCmdSaveAs:
        SaveAs();
        break;
    case kHistoryCmdClose:
        EndDialog(IDCANCEL);
        break;
    }
}

void CHistoryDlg::Warn(const wchar_t* text)
{
    MessageBoxW(m_hDlg, text, LangText(170, L"Warning"), MB_OK | MB_ICONEXCLAMATION);
}

void CHistoryDlg::Delete()
{
    // Nothing is kept: the user says so first.
    if (MessageBoxW(m_hDlg, LangText(207, L"Delete the whole message history of this contact?"), LangText(165, L"Delete"),
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    const CJOVString path = GetHistoryFilePath(*m_bus, m_contactId);
    if (!DeleteHistory(*m_bus, m_contactId) && FileExists(path)) {
        Warn(LangText(208, L"The message history could not be deleted."));
        return;
    }
    m_chat->Clear();
    m_messageCount = 0;
}

void CHistoryDlg::SaveAs()
{
    CSelectFileDlg picker(m_hDlg, L"*.txt;", 0);
    if (picker.DoModal() != IDOK)
        return;
    CGrowingTextBuffer text;
    m_chat->GetAllText(text);
    switch (SaveTextAsUtf8(CSelectFileDlg::GetChosenPath(), text.GetText(), text.GetLength())) {
    case kExportCannotCreate:
        Warn(LangText(209, L"The file could not be created."));
        break;
    case kExportShortWrite:
        Warn(LangText(210, L"The file could not be written whole."));
        break;
    }
}

INT_PTR CHistoryDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWITEM:
        if (wParam == 0)
            return DrawMenuItem(dialog, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        break;
    case WM_MEASUREITEM:
        if (wParam == 0)
            return MeasureMenuItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_HISTORY_FIND_GO:
            if (HIWORD(wParam) == BN_CLICKED)
                Find();
            return 1;
        case IDC_MENU_KEY:
            ShowMenu();
            return 1;
        case IDC_FUNCTION_KEY:
            ToggleFindPanel();
            return 1;
        }
        break;
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}

void ShowHistory(HWND parent, CMessageDialogCtrl* page, unsigned int contactId)
{
    CHistoryDlg dialog(parent, page, contactId);
    dialog.DoModal();
}
