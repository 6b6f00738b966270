#include "core/StatusToolbar.h"

#include "HiDpi.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "core/AppGlobals.h"
#include "core/MainMenu.h"

namespace {

const DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_CUSTOMERASE |
                            TBSTYLE_LIST | TBSTYLE_WRAPABLE | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_BOTTOM;
// Room for the terminator in the toolbar's 100-character text buffer.
const int kMaxButtonText = 99;

int IconWidth()
{
    return ((g_HIDPI_LogPixelsX + 3) * 16) / 96;
}

int IconHeight()
{
    return ((g_HIDPI_LogPixelsY + 3) * 16) / 96;
}

int FindButton(HWND toolbar, unsigned int accountId, TBBUTTON* found)
{
    int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) &&
            static_cast<unsigned int>(button.dwData) == accountId) {
            if (found)
                *found = button;
            return i;
        }
    }
    return -1;
}

bool AccountOfCommand(HWND toolbar, UINT command, unsigned int* accountId)
{
    int index = static_cast<int>(SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0));
    TBBUTTON button = {};
    if (index < 0 || !SendMessageW(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)))
        return false;
    *accountId = static_cast<unsigned int>(button.dwData);
    return true;
}

} // namespace

HWND CreateStatusToolbar(HWND parent)
{
    HWND toolbar = CreateToolbarEx(parent, kToolbarStyle, kStatusToolbarId, 0, nullptr, 0, nullptr, 0, IconWidth(),
                                   IconHeight(), IconWidth(), IconHeight(), sizeof(TBBUTTON));
    if (toolbar) {
        // The control's own padding is in pixels of 96 dpi: without a button size
        // of the screen's scale the band cuts the icons at 192 dpi.
        int padX = ((g_HIDPI_LogPixelsX + 12) * 7) / 96;
        int padY = ((g_HIDPI_LogPixelsY + 12) * 6) / 96;
        SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(IconWidth() + padX, IconHeight() + padY));
        SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    }
    return toolbar;
}

void UpdateAccountStatusButton(HWND toolbar, unsigned int accountId, const AccountStatus& info)
{
    g_App.accountStatusMap[accountId] = info;
    if (!toolbar)
        return;
    TBBUTTON button = {};
    if (FindButton(toolbar, accountId, &button) < 0) {
        int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
        TBBUTTON last = {};
        bool hasLast = count > 0 && SendMessageW(toolbar, TB_GETBUTTON, count - 1, reinterpret_cast<LPARAM>(&last));
        button = TBBUTTON{};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = hasLast ? last.idCommand + 1 : static_cast<int>(kFirstStatusButtonCommand);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        button.dwData = accountId;
        button.iString = -1;
        SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    if (accountId == 0) {
        // The overall button's own command: it is not always the first button.
        CJOVString name = info.name.GetLength() > kMaxButtonText ? info.name.Substring(0, kMaxButtonText)
                                                                  : info.name;
        TBBUTTONINFOW text = {};
        text.cbSize = sizeof(text);
        text.dwMask = TBIF_TEXT;
        text.pszText = name;
        SendMessageW(toolbar, TB_SETBUTTONINFOW, button.idCommand, reinterpret_cast<LPARAM>(&text));
    }
    InvalidateRect(toolbar, nullptr, TRUE);
}

void RemoveToolbarButton(HWND toolbar, unsigned int accountId)
{
    int index = FindButton(toolbar, accountId, nullptr);
    if (index >= 0)
        SendMessageW(toolbar, TB_DELETEBUTTON, index, 0);
}

LRESULT OnStatusToolbarCustomDraw(NMTBCUSTOMDRAW* draw, CGuiServices& services)
{
    NMCUSTOMDRAW& item = draw->nmcd;
    switch (item.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT:
        break;
    default:
        return 0;
    }
    unsigned int accountId = 0;
    if (AccountOfCommand(item.hdr.hwndFrom, static_cast<UINT>(item.dwItemSpec), &accountId)) {
        auto found = g_App.accountStatusMap.find(accountId);
        if (found != g_App.accountStatusMap.end()) {
            RECT square;
            square.left = item.rc.left + ((g_HIDPI_LogPixelsX + 12) * 4) / 96;
            square.right = square.left + IconWidth();
            int middle = (item.rc.top + item.rc.bottom) / 2;
            int half = ((g_HIDPI_LogPixelsY + 6) * 8) / 96;
            square.top = middle - half;
            square.bottom = middle + half;
            const CJOVArray<unsigned int>& images = found->second.images;
            for (int i = 0; i < images.Count(); ++i)
                services.DrawImage(images[i], item.hdc, square);
        }
    }
    RECT edge = item.rc;
    DrawEdge(item.hdc, &edge, item.uItemState ? EDGE_SUNKEN : EDGE_ETCHED, BF_RECT);
    return 0;
}

void ShowStatusMenu(HWND owner, HWND toolbar, UINT command, CGuiServices& services)
{
    unsigned int accountId = 0;
    if (!toolbar || !AccountOfCommand(toolbar, command, &accountId))
        return;
    CMenuInfo menu;
    services.GetStatusMenuInfo(accountId, &menu);
    if (accountId != 0) {
        CMenuItemInfo title(CMenuItemInfo::MenuItemTitle, services.GetAccountName(accountId) + CJOVString(L" - ") +
                                                               services.GetAccountProtocolName(accountId));
        menu.Insert(0, title);
    }
    unsigned int nextCommand = kFirstStatusMenuCommand;
    HMENU popup = BuildPopupMenu(menu, nextCommand, nullptr);
    if (!popup)
        return;
    int index = static_cast<int>(SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0));
    RECT rect = {};
    SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_LEFTALIGN, rect.left, rect.top, 0,
                                 owner, nullptr);
    if (chosen >= static_cast<UINT>(kFirstStatusMenuCommand) && chosen < 700)
        RunMenuItemHandler(popup, chosen, accountId);
    DestroyMenu(popup);
}
