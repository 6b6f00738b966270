#include "contactlist/OwnerDrawnMenu.h"

#include "HiDpi.h"
#include "contactlist/DialogSkin.h"
#include "core/AppGlobals.h"

namespace {

const int kMinWidth = 50;
const int kItemHeight = 18;
const int kTextExtra = 24;
const int kSubmenuExtra = 16;
const int kImageLeft = 4;
const int kImageSize = 16;
const int kCaptionGap = 4;

const CMenuItemInfo* ItemOf(ULONG_PTR data)
{
    return reinterpret_cast<const CMenuItemInfo*>(data);
}

bool SetItemData(HMENU menu, UINT position, CMenuItemInfo* item)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    return SetMenuItemInfoW(menu, position, TRUE, &info) != 0;
}

TRIVERTEX Vertex(int x, int y, COLORREF color)
{
    TRIVERTEX vertex = {};
    vertex.x = x;
    vertex.y = y;
    vertex.Red = static_cast<COLOR16>(GetRValue(color) * 255);
    vertex.Green = static_cast<COLOR16>(GetGValue(color) * 255);
    vertex.Blue = static_cast<COLOR16>(GetBValue(color) * 255);
    return vertex;
}

void DrawHeading(HDC dc, const RECT& rect)
{
    CDialogSkin& skin = DialogSkin();
    TRIVERTEX vertices[2] = {Vertex(rect.left, rect.top, skin.GetColor(SkinColorFocus)),
                             Vertex(rect.right, rect.bottom, skin.GetColor(SkinColorFocusGradient))};
    GRADIENT_RECT band = {0, 1};
    GradientFill(dc, vertices, 2, &band, 1, GRADIENT_FILL_RECT_V);
    HPEN pen = CreatePen(PS_SOLID, 1, skin.GetColor(SkinColorFocusFrame));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

} // namespace

HMENU BuildPopupMenu(CMenuInfo& info, unsigned int& nextId, HMENU menu)
{
    HMENU popup = menu ? menu : CreatePopupMenu();
    if (!popup)
        return nullptr;
    for (int i = 0; i < info.Count(); ++i) {
        CMenuItemInfo& item = info[i];
        const UINT position = static_cast<UINT>(GetMenuItemCount(popup));
        bool appended = true;
        switch (item.type) {
        case CMenuItemInfo::MenuItemSeparator:
            appended = AppendMenuW(popup, MF_SEPARATOR, 0, nullptr) != 0;
            break;
        case CMenuItemInfo::MenuItemSubmenu: {
            if (!item.GetSubmenu())
                continue;
            HMENU submenu = BuildPopupMenu(*item.GetSubmenu(), nextId, nullptr);
            appended = submenu && AppendMenuW(popup, MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                                              reinterpret_cast<LPCWSTR>(&item));
            if (submenu && !appended)
                DestroyMenu(submenu);
            break;
        }
        default: {
            const UINT id = item.commandId ? item.commandId : nextId++;
            const bool inactive =
                item.type == CMenuItemInfo::MenuItemGrayed || item.type == CMenuItemInfo::MenuItemTitle;
            appended = AppendMenuW(popup, MF_OWNERDRAW | (inactive ? MF_GRAYED : 0), id, nullptr) &&
                       SetItemData(popup, position, &item);
            if (appended && !inactive && item.checked)
                CheckMenuItem(popup, position, MF_BYPOSITION | MF_CHECKED);
            break;
        }
        }
        if (!appended) {
            if (!menu)
                DestroyMenu(popup);
            return nullptr;
        }
    }
    return popup;
}

BOOL MeasureMenuItem(HWND owner, MEASUREITEMSTRUCT* measure)
{
    if (!measure)
        return TRUE;
    measure->itemWidth = static_cast<UINT>(HIDPI_ScaleX(kMinWidth));
    measure->itemHeight = static_cast<UINT>(HIDPI_ScaleY(kItemHeight));
    const CMenuItemInfo* item = ItemOf(measure->itemData);
    if (!item)
        return TRUE;
    CJOVString caption = item->caption;
    HDC dc = GetDC(owner);
    if (!dc)
        return TRUE;
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    if (GetTextExtentPoint32W(dc, caption, caption.GetLength(), &size)) {
        int width = size.cx + HIDPI_ScaleX(kTextExtra);
        if (item->GetSubmenu())
            width += HIDPI_ScaleX(kSubmenuExtra);
        if (width > HIDPI_ScaleX(kMinWidth))
            measure->itemWidth = static_cast<UINT>(width);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(owner, dc);
    return TRUE;
}

BOOL DrawMenuItem(HWND, DRAWITEMSTRUCT* draw)
{
    if (!draw)
        return TRUE;
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    FillRect(dc, &rect, GetSysColorBrush((draw->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_MENU));
    const CMenuItemInfo* item = ItemOf(draw->itemData);
    if (!item)
        return TRUE;

    const bool heading = item->type == CMenuItemInfo::MenuItemTitle;
    if (heading) {
        DrawHeading(dc, rect);
    } else if (item->checked) {
        RECT edge = rect;
        InflateRect(&edge, -HIDPI_ScaleX(1), -HIDPI_ScaleY(1));
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT | BF_FLAT);
    }

    const int middle = (rect.top + rect.bottom) / 2;
    RECT image = {rect.left + HIDPI_ScaleX(kImageLeft), middle - HIDPI_ScaleY(kImageSize / 2),
                  rect.left + HIDPI_ScaleX(kImageLeft + kImageSize), middle + HIDPI_ScaleY(kImageSize / 2)};
    if (g_App.pServices) {
        for (int i = 0; i < item->images.Count(); ++i)
            g_App.pServices->DrawImage(item->images[i], dc, image);
    }

    RECT text = {image.right + HIDPI_ScaleX(kCaptionGap), image.top, rect.right, image.bottom};
    if (heading && item->images.Count() == 0)
        text.left = rect.left + HIDPI_ScaleX(kCaptionGap);
    SetBkMode(dc, TRANSPARENT);
    const bool grayedLook = item->type == CMenuItemInfo::MenuItemGrayed || heading;
    COLORREF oldColor = 0;
    if (grayedLook)
        oldColor = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    CJOVString caption = item->caption;
    DrawTextW(dc, caption, caption.GetLength(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    if (grayedLook)
        SetTextColor(dc, oldColor);
    return TRUE;
}
