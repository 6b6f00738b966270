#include "contactlist/AccountsPage.h"

#include <commctrl.h>

#include "HiDpi.h"
#include "contactlist/ControlText.h"
#include "contactlist/DialogIds.h"
#include "contactlist/DialogSkin.h"
#include "contactlist/OptionsDlg.h"
#include "core/AppGlobals.h"
#include "core/protocols/ProtocolsManagerImpl.h"

namespace {

const UINT kFirstProtocolCommand = 1000;
const UINT kLastProtocolCommand = 1099;
const int kRowHeight = 20;
const int kMenuItemHeight = 18;
const int kMenuTextExtra = 28;
const int kIconLeft = 4;
const int kIconSize = 16;
const int kTextGap = 4;
const int kRowTextGap = 2;

Protocols::CProtocolsManager* Manager()
{
    return g_App.pProtocolsManager;
}

bool AskUser(HWND page, const CJOVString& accountText)
{
    CJOVString question =
        LangTextWith(202, L"Delete the account %s with its settings and contact list?", accountText);
    CJOVString caption = LangText(117, L"Delete");
    return MessageBoxW(page, question, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

ConfirmDeleteFn s_confirm = AskUser;

HWND List(HWND page)
{
    return GetDlgItem(page, IDC_ACCOUNTS_LIST);
}

unsigned int RowAccount(HWND list, int row)
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return static_cast<unsigned int>(item.lParam);
}

int InsertRow(HWND list, int row, unsigned int accountId)
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(accountId);
    return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void SelectRow(HWND list, int row)
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// "ICQ 123456", or "ICQ <empty>" for an account without a name yet.
CJOVString AccountText(unsigned int accountId)
{
    Protocols::CProtocolsManager* manager = Manager();
    if (!manager)
        return CJOVString();
    CJOVString name = manager->GetAccountName(accountId, false);
    CJOVString protocol = manager->GetAccountProtocol(accountId).name;
    if (name.GetLength() == 0)
        return protocol + LangText(118, L" <empty>");
    return protocol + CJOVString(L" ") + name;
}

// The protocol's icon in a 16-unit square at left, vertically centred.
void DrawProtocolIcon(HDC dc, const Protocols::ProtocolInfo& protocol, int left, int middle)
{
    RECT square = {left, middle - HIDPI_ScaleY(kIconSize / 2), left + HIDPI_ScaleX(kIconSize),
                   middle + HIDPI_ScaleY(kIconSize / 2)};
    unsigned int image = DialogSkin().AddImage(protocol.guid, protocol.iconFile);
    if (image && g_App.pServices)
        g_App.pServices->DrawImage(image, dc, square);
    if (image)
        DialogSkin().ReleaseImage(image);
}

void LoadList(HWND page)
{
    HWND list = List(page);
    ClearListView(list);
    RECT client;
    GetClientRect(list, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - client.left;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    WantReturnKey(list);
    RemeasureListRows(list);

    if (Protocols::CProtocolsManager* manager = Manager()) {
        const int count = manager->GetAccountCount();
        for (int i = 0; i < count; ++i)
            InsertRow(list, i, manager->GetAccountId(i));
    }
    SetFocus(list);
    if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0)
        SelectRow(list, 0);

    SetListBackground(list);
}

void OpenSettings(HWND page)
{
    HWND list = List(page);
    int row = GetSelectedListViewItem(list);
    if (row < 0)
        return;
    unsigned int accountId = RowAccount(list, row);
    if (accountId)
        ShowOptionsDlg(page, accountId);
}

void DeleteSelected(HWND page)
{
    HWND list = List(page);
    int row = GetSelectedListViewItem(list);
    if (row < 0)
        return;
    unsigned int accountId = RowAccount(list, row);
    // Its settings and contact list go with it: only when the user says so.
    if (!s_confirm(page, AccountText(accountId)))
        return;
    SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0)
        SelectRow(list, row > 0 ? row - 1 : 0);
    SetFocus(list);
    if (accountId && Manager())
        Manager()->DeleteAccount(accountId);
}

void AddAccount(HWND page)
{
    Protocols::CProtocolsManager* manager = Manager();
    const int count = manager ? manager->GetProtocolCount() : 0;
    if (count == 0)
        return;
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    for (int i = 0; i < count && kFirstProtocolCommand + i <= kLastProtocolCommand; ++i)
        AppendMenuW(menu, MF_OWNERDRAW, kFirstProtocolCommand + i,
                    reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(i)));
    RECT button;
    GetWindowRect(GetDlgItem(page, IDC_ACCOUNT_ADD), &button);
    UINT chosen = static_cast<UINT>(TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_TOPALIGN,
                                                     button.right, button.bottom, page, nullptr));
    DestroyMenu(menu);
    if (chosen < kFirstProtocolCommand || chosen > kLastProtocolCommand)
        return;
    Protocols::ProtocolInfo protocol = manager->GetProtocol(static_cast<int>(chosen - kFirstProtocolCommand));
    unsigned int accountId = manager->AddAccount(protocol.guid);
    if (!accountId)
        return;
    HWND list = List(page);
    int row = InsertRow(list, static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)), accountId);
    if (row >= 0) {
        SelectRow(list, row);
        SetFocus(list);
    }
}

int MeasureItem(HWND page, MEASUREITEMSTRUCT* measure)
{
    if (measure->CtlType == ODT_LISTVIEW) {
        measure->itemHeight = static_cast<UINT>(HIDPI_ScaleY(kRowHeight));
        return 1;
    }
    if (measure->CtlType != ODT_MENU || !Manager())
        return 0;
    RECT button;
    GetWindowRect(GetDlgItem(page, IDC_ACCOUNT_ADD), &button);
    CJOVString name = Manager()->GetProtocol(static_cast<int>(measure->itemID - kFirstProtocolCommand)).name;
    SIZE size = {};
    HDC dc = GetDC(page);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GetTextExtentPoint32W(dc, name, name.GetLength(), &size);
    SelectObject(dc, old);
    ReleaseDC(page, dc);
    const int textWidth = size.cx + HIDPI_ScaleX(kMenuTextExtra);
    const int buttonWidth = button.right - button.left;
    measure->itemWidth = static_cast<UINT>(textWidth > buttonWidth ? textWidth : buttonWidth);
    measure->itemHeight = static_cast<UINT>(HIDPI_ScaleY(kMenuItemHeight));
    return 1;
}

void DrawMenuProtocol(DRAWITEMSTRUCT* draw)
{
    RECT rect = draw->rcItem;
    FillRect(draw->hDC, &rect, GetSysColorBrush((draw->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_MENU));
    Protocols::ProtocolInfo protocol =
        Manager()->GetProtocol(static_cast<int>(draw->itemID - kFirstProtocolCommand));
    const int middle = (rect.top + rect.bottom) / 2;
    DrawProtocolIcon(draw->hDC, protocol, rect.left + HIDPI_ScaleX(kIconLeft), middle);
    RECT text = rect;
    text.left += HIDPI_ScaleX(kIconLeft + kIconSize + kTextGap);
    SetBkMode(draw->hDC, TRANSPARENT);
    HGDIOBJ old = SelectObject(draw->hDC, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(draw->hDC, protocol.name, protocol.name.GetLength(), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS);
    SelectObject(draw->hDC, old);
}

void DrawAccountRow(DRAWITEMSTRUCT* draw)
{
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    if (draw->itemState & ODS_SELECTED)
        FillRect(dc, &rect, GetSysColorBrush(GetFocus() == draw->hwndItem ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    const unsigned int accountId = static_cast<unsigned int>(draw->itemData);
    Protocols::CProtocolsManager* manager = Manager();
    if (!manager)
        return;
    const int middle = (rect.top + rect.bottom) / 2;
    DrawProtocolIcon(dc, manager->GetAccountProtocol(accountId), rect.left, middle);
    RECT text = rect;
    text.left += HIDPI_ScaleX(kIconSize + kRowTextGap);
    CJOVString caption = AccountText(accountId);
    SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(draw->hwndItem, WM_GETFONT, 0, 0)));
    DrawTextW(dc, caption, caption.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColor);
}

} // namespace

PanelCheckResult AccountsPageProc(HWND page, int direction, unsigned int)
{
    if (direction == 0) {
        SetLocalizedWindowText(GetDlgItem(page, IDC_ACCOUNT_ADD), 113, L"Add");
        SetLocalizedWindowText(GetDlgItem(page, IDC_ACCOUNT_SETTINGS), 114, L"Settings");
        SetLocalizedWindowText(GetDlgItem(page, IDC_ACCOUNT_ENABLE), 115, L"Enable");
        SetLocalizedWindowText(GetDlgItem(page, IDC_ACCOUNT_DELETE), 117, L"Delete");
        LoadList(page);
    }
    return PanelCheckResult();
}

int AccountsPageCommand(HWND page, unsigned int first, unsigned int second, void* data)
{
    switch (second) {
    case WM_MEASUREITEM:
        return data ? MeasureItem(page, static_cast<MEASUREITEMSTRUCT*>(data)) : 0;
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT* draw = static_cast<DRAWITEMSTRUCT*>(data);
        if (!draw)
            return 0;
        if (draw->CtlType == ODT_MENU && Manager())
            DrawMenuProtocol(draw);
        else if (draw->CtlType == ODT_LISTVIEW)
            DrawAccountRow(draw);
        return 1;
    }
    }
    if (first == IDC_ACCOUNTS_LIST && second == static_cast<unsigned int>(LVN_KEYDOWN)) {
        const NMLVKEYDOWN* key = static_cast<const NMLVKEYDOWN*>(data);
        if (key && key->wVKey == VK_RETURN)
            OpenSettings(page);
        return 0;
    }
    if (second != BN_CLICKED)
        return 0;
    switch (first) {
    case IDC_ACCOUNT_ADD:
        AddAccount(page);
        break;
    case IDC_ACCOUNT_SETTINGS:
        OpenSettings(page);
        break;
    case IDC_ACCOUNT_DELETE:
        DeleteSelected(page);
        break;
    }
    return 0;
}

void SetAccountDeleteConfirmation(ConfirmDeleteFn confirm)
{
    s_confirm = confirm ? confirm : AskUser;
}
