// Owner-drawn popup menus from menu descriptions: numbering across submenus,
// the native items' data and states, measuring and drawing; and the image
// button's clicks.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "HiDpi.h"
#include "contactlist/DialogSkin.h"
#include "contactlist/JOVButton.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "dialogs/DialogsFixture.h"
#include "support/ScreenPixels.h"

namespace {

CMenuInfo Submenu(std::initializer_list<CMenuItemInfo> items)
{
    CMenuInfo menu;
    for (const CMenuItemInfo& item : items)
        menu.Append(item);
    return menu;
}

CMenuItemInfo Command(const wchar_t* caption, unsigned int id = 0, int checked = 0)
{
    return CMenuItemInfo(CJOVString(caption), id, checked);
}

UINT ItemId(HMENU menu, int position)
{
    return GetMenuItemID(menu, position);
}

ULONG_PTR ItemData(HMENU menu, int position)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info.dwItemData;
}

UINT ItemState(HMENU menu, int position)
{
    return GetMenuState(menu, position, MF_BYPOSITION);
}

// A memory bitmap to draw an item into, read back pixel by pixel.
class CCanvas {
public:
    CCanvas(int width, int height) : m_dc(CreateCompatibleDC(nullptr))
    {
        void* bits = nullptr;
        m_bitmap = CreateTopDownBitmap(m_dc, width, height, &bits);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~CCanvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC DC() const { return m_dc; }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

DRAWITEMSTRUCT DrawItemOf(const CCanvas& canvas, const CMenuItemInfo& item, RECT rect, UINT state)
{
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemState = state;
    draw.hDC = canvas.DC();
    draw.rcItem = rect;
    draw.itemData = reinterpret_cast<ULONG_PTR>(&item);
    return draw;
}

// A skin whose focus colours are easy to tell apart.
class CFocusSkin final : public CDialogSkin {
public:
    HBRUSH GetBackgroundBrush() override { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }
    HBITMAP CreateBackgroundBitmap(HWND) override { return nullptr; }
    COLORREF GetColor(int index) override
    {
        switch (index) {
        case SkinColorFocus:
            return RGB(255, 0, 0);
        case SkinColorFocusGradient:
            return RGB(0, 0, 255);
        case SkinColorFocusFrame:
            return RGB(0, 255, 0);
        }
        return 0;
    }
    bool GetSkinColors(const CJOVString&, COLORREF*) override { return false; }
    void SetSkinColors(const CJOVString&, const COLORREF*) override {}
    bool ReadColorsIni(const CJOVString&, COLORREF*) override { return false; }
    unsigned int AddImage(const JOV_GUID&, const CJOVString&) override { return 0; }
    void ReleaseImage(unsigned int) override {}
};

} // namespace

TEST_F(DialogsTest, MenuItemsAreNumberedDepthFirstAcrossSubmenus)
{
    CMenuInfo info;
    info.Append(Command(L"First"));
    info.Append(Command(L"Own id", 77));
    info.Append(CMenuItemInfo(CMenuItemInfo::MenuItemSeparator));
    info.Append(CMenuItemInfo(CJOVString(L"More"), Submenu({Command(L"Inner"), Command(L"Inner own", 88),
                                                             Command(L"Inner last")})));
    info.Append(CMenuItemInfo(CMenuItemInfo::MenuItemGrayed, CJOVString(L"Grayed")));
    info.Append(CMenuItemInfo(CMenuItemInfo::MenuItemTitle, CJOVString(L"Heading")));
    info.Append(CMenuItemInfo(CMenuItemInfo::MenuItemSubmenu, CJOVString(L"Empty submenu")));
    info.Append(Command(L"Checked", 0, 1));

    unsigned int next = 1000;
    HMENU menu = BuildPopupMenu(info, next, nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(next, 1006u);
    ASSERT_EQ(GetMenuItemCount(menu), 7) << "a submenu item without a submenu makes no item";
    EXPECT_EQ(ItemId(menu, 0), 1000u);
    EXPECT_EQ(ItemId(menu, 1), 77u);
    HMENU inner = GetSubMenu(menu, 3);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(ItemId(inner, 0), 1001u);
    EXPECT_EQ(ItemId(inner, 1), 88u);
    EXPECT_EQ(ItemId(inner, 2), 1002u);
    EXPECT_EQ(ItemId(menu, 4), 1003u);
    EXPECT_EQ(ItemId(menu, 5), 1004u);
    EXPECT_EQ(ItemId(menu, 6), 1005u);

    // Each item carries its description; the states follow the types.
    EXPECT_EQ(ItemData(menu, 0), reinterpret_cast<ULONG_PTR>(&info[0]));
    EXPECT_EQ(ItemData(menu, 3), reinterpret_cast<ULONG_PTR>(&info[3]));
    EXPECT_EQ(ItemData(inner, 1), reinterpret_cast<ULONG_PTR>(&info[3].GetSubmenu()->At(1)));
    EXPECT_TRUE(ItemState(menu, 2) & MF_SEPARATOR);
    EXPECT_TRUE(ItemState(menu, 4) & MF_GRAYED);
    EXPECT_TRUE(ItemState(menu, 5) & MF_GRAYED);
    EXPECT_TRUE(ItemState(menu, 6) & MF_CHECKED);
    EXPECT_FALSE(ItemState(menu, 0) & (MF_CHECKED | MF_GRAYED));
    DestroyMenu(menu);

    // Items that all carry their own ids leave the counter alone; a given
    // menu is appended to.
    CMenuInfo own;
    own.Append(Command(L"A", 5));
    own.Append(Command(L"B", 6));
    HMENU target = CreatePopupMenu();
    AppendMenuW(target, MF_STRING, 1, L"Already there");
    next = 2000;
    EXPECT_EQ(BuildPopupMenu(own, next, target), target);
    EXPECT_EQ(next, 2000u);
    EXPECT_EQ(GetMenuItemCount(target), 3);
    DestroyMenu(target);
}

TEST_F(DialogsTest, MenuItemsMeasureTheirCaptionWithRoomForASubmenuArrow)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CMenuInfo sub;
    sub.Append(Command(L"x"));
    CMenuItemInfo plain = Command(L"A rather long caption");
    CMenuItemInfo withSubmenu(CJOVString(L"A rather long caption"), sub);
    CMenuItemInfo tiny = Command(L"i");

    auto measure = [&](const CMenuItemInfo* item) {
        MEASUREITEMSTRUCT m = {};
        m.CtlType = ODT_MENU;
        m.itemData = reinterpret_cast<ULONG_PTR>(item);
        EXPECT_TRUE(MeasureMenuItem(owner, &m));
        return m;
    };
    MEASUREITEMSTRUCT a = measure(&plain), b = measure(&withSubmenu), c = measure(&tiny), none = measure(nullptr);
    EXPECT_EQ(b.itemWidth - a.itemWidth, static_cast<UINT>(HIDPI_ScaleX(16)));
    EXPECT_GT(a.itemWidth, static_cast<UINT>(HIDPI_ScaleX(50)));
    EXPECT_EQ(c.itemWidth, static_cast<UINT>(HIDPI_ScaleX(50))) << "no item narrower than 50 units";
    EXPECT_EQ(a.itemHeight, static_cast<UINT>(HIDPI_ScaleY(18)));
    EXPECT_EQ(none.itemWidth, static_cast<UINT>(HIDPI_ScaleX(50)));
    DestroyWindow(owner);
}

TEST_F(DialogsTest, HeadingsGetTheFocusGradientAndCheckedItemsAnEtchedFrame)
{
    CFocusSkin skin;
    SetDialogSkin(&skin);
    const int width = 120, height = HIDPI_ScaleY(18);
    RECT rect = {0, 0, width, height};

    CMenuItemInfo heading(CMenuItemInfo::MenuItemTitle, CJOVString(L""));
    heading.images.Append(61);
    heading.images.Append(62);
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        CCanvas canvas(width, height);
        services.drawnImages.clear();
        DRAWITEMSTRUCT draw = DrawItemOf(canvas, heading, rect, state);
        EXPECT_TRUE(DrawMenuItem(nullptr, &draw));
        EXPECT_EQ(canvas.At(0, 0), RGB(0, 255, 0)) << "the focus frame";
        COLORREF top = canvas.At(width - 30, 1), bottom = canvas.At(width - 30, height - 2);
        EXPECT_GT(GetRValue(top), 200) << "focus at the top, whether selected or not";
        EXPECT_GT(GetBValue(bottom), 200) << "focus gradient at the bottom";
        EXPECT_EQ(services.drawnImages, (std::vector<unsigned int>{61, 62})) << "images layered in order";
    }

    CMenuItemInfo checked = Command(L"", 0, 1);
    CCanvas canvas(width, height);
    FillRect(canvas.DC(), &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT draw = DrawItemOf(canvas, checked, rect, 0);
    DrawMenuItem(nullptr, &draw);
    const int one = HIDPI_ScaleX(1);
    EXPECT_EQ(canvas.At(width / 2, one), GetSysColor(COLOR_BTNSHADOW)) << "the etched frame, 1 unit in";
    EXPECT_EQ(canvas.At(width / 2, 0), GetSysColor(COLOR_MENU));
    EXPECT_EQ(canvas.At(HIDPI_ScaleX(8), height / 2), GetSysColor(COLOR_MENU)) << "no check mark";
    SetDialogSkin(nullptr);
}

TEST_F(DialogsTest, AnImageButtonClicksWhereverTheStylusIsLifted)
{
    std::vector<LPARAM> clicks;
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                nullptr);
    SetWindowSubclass(
        host,
        [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) -> LRESULT {
            if (message == WM_COMMAND && LOWORD(wParam) == IDC_JOV_BUTTON_CLICK)
                reinterpret_cast<std::vector<LPARAM>*>(data)->push_back(lParam);
            return DefSubclassProc(window, message, wParam, lParam);
        },
        1, reinterpret_cast<DWORD_PTR>(&clicks));
    RECT place = {10, 10, 40, 40};
    CJOVButton button(host, 60, place);
    HWND window = button;
    ASSERT_NE(window, nullptr);

    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsPressed());
    EXPECT_EQ(GetFocus(), window);
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    EXPECT_FALSE(button.IsPressed());
    ASSERT_EQ(clicks.size(), 1u) << "released outside, still a click";
    EXPECT_EQ(clicks[0], reinterpret_cast<LPARAM>(window));

    // Space presses it and its release clicks; other characters go to the parent.
    SendMessageW(window, WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(button.IsPressed());
    EXPECT_TRUE(clicks.size() == 1);
    SendMessageW(window, WM_KEYUP, VK_SPACE, 1);
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTTAB);
    DestroyWindow(host);
}
