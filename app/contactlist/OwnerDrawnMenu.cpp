#include "contactlist/OwnerDrawnMenu.h"

#include "HiDpi.h"

namespace {

const int kItemHeight = 20;
const int kSeparatorHeight = 5;
const int kTextIndent = 20;

const CMenuItemInfo* ItemOf(ULONG_PTR data)
{
    return reinterpret_cast<const CMenuItemInfo*>(data);
}

} // namespace

HMENU BuildPopupMenu(const CMenuInfo& menu, int& nextCommandId, HMENU target)
{
    HMENU popup = target ? target : CreatePopupMenu();
    if (!popup)
        return nullptr;
    for (int i = 0; i < menu.Count(); ++i) {
        const CMenuItemInfo& item = menu[i];
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STATE;
        info.fType = MFT_OWNERDRAW | (item.type == CMenuItemInfo::MenuItemSeparator ? MFT_SEPARATOR : 0);
        info.wID = item.commandId ? item.commandId : static_cast<UINT>(nextCommandId++);
        info.dwItemData = reinterpret_cast<ULONG_PTR>(&item);
        info.fState = (item.checked ? MFS_CHECKED : 0) |
                      (item.type == CMenuItemInfo::MenuItemGrayed || item.type == CMenuItemInfo::MenuItemTitle
                           ? MFS_DISABLED
                           : 0);
        if (item.type == CMenuItemInfo::MenuItemSubmenu && item.GetSubmenu()) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = BuildPopupMenu(*item.GetSubmenu(), nextCommandId, nullptr);
        }
        if (!InsertMenuItemW(popup, GetMenuItemCount(popup), TRUE, &info)) {
            if (info.hSubMenu)
                DestroyMenu(info.hSubMenu);
            if (!target)
                DestroyMenu(popup);
            return nullptr;
        }
    }
    return popup;
}

void MeasureMenuItem(MEASUREITEMSTRUCT* measure)
{
    const CMenuItemInfo* item = ItemOf(measure->itemData);
    if (!item)
        return;
    if (item->type == CMenuItemInfo::MenuItemSeparator) {
        measure->itemWidth = 1;
        measure->itemHeight = HIDPI_ScaleY(kSeparatorHeight);
        return;
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    CJOVString caption = item->caption;
    GetTextExtentPoint32W(dc, caption, caption.GetLength(), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    measure->itemWidth = size.cx + HIDPI_ScaleX(kTextIndent * 2);
    measure->itemHeight = HIDPI_ScaleY(kItemHeight);
}

void DrawMenuItem(DRAWITEMSTRUCT* draw)
{
    const CMenuItemInfo* item = ItemOf(draw->itemData);
    if (!item)
        return;
    RECT rect = draw->rcItem;
    bool selected = (draw->itemState & ODS_SELECTED) && item->type != CMenuItemInfo::MenuItemTitle;
    FillRect(draw->hDC, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (item->type == CMenuItemInfo::MenuItemSeparator) {
        RECT line = {rect.left + 2, (rect.top + rect.bottom) / 2, rect.right - 2, (rect.top + rect.bottom) / 2 + 1};
        FillRect(draw->hDC, &line, GetSysColorBrush(COLOR_GRAYTEXT));
        return;
    }
    HGDIOBJ old = SelectObject(draw->hDC, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(draw->hDC, TRANSPARENT);
    bool grayed = (draw->itemState & ODS_DISABLED) && item->type != CMenuItemInfo::MenuItemTitle;
    SetTextColor(draw->hDC, GetSysColor(grayed     ? COLOR_GRAYTEXT
                                        : selected ? COLOR_HIGHLIGHTTEXT
                                                   : COLOR_MENUTEXT));
    if (item->checked) {
        RECT mark = rect;
        mark.right = mark.left + HIDPI_ScaleX(kTextIndent);
        DrawTextW(draw->hDC, L"\x221A", 1, &mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    rect.left += HIDPI_ScaleX(kTextIndent);
    CJOVString caption = item->caption;
    DrawTextW(draw->hDC, caption, caption.GetLength(), &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    SelectObject(draw->hDC, old);
}
