// Every language's texts measured where they are shown on the 240-pixel
// screen at 96 dpi, in the font they are drawn with: soft-key captions in
// their key, menu items in a menu as wide as the screen, tab titles in the
// strip between its arrows. A text too long is worded shorter in its list.
#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "LanguageFiles.h"
#include "MenuInfo.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "contactlist/TabStrip.h"
#include "support/DialogFontProbe.h"

namespace {

const int kScreenWidth = 240;
const int kDpi = 96;

struct Place {
    const wchar_t* component;
    std::vector<int> ids;
};

// Soft-key captions: the program's keys, the history dialog's find key, the
// list's right key, the messaging window's keys, the ICQ dialogs' keys.
const std::vector<Place> kSoftKeys = {
    {L"JOV", {15, 21, 26, 32, 120, 121, 161, 162, 173, 174, 175, 176, 177, 178, 179, 180, 191}},
    {L"Verdel", {139, 140}},
};

// Menu items: the main menu, the list's account, group and contact menus,
// the messaging window's and chat view's menus, the history, sounds and file
// picker menus; the status names of the status menus; the plug-ins' own
// items of those menus.
const std::vector<Place> kMenuItems = {
    {L"JOV", {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 16, 17, 18,  19,  20,  22,  23,  24,  25,
              27, 28, 29, 30, 31, 33, 34, 35, 36, 37, 38, 39, 69, 70, 71, 97, 98, 99, 120, 121, 122, 123, 124, 125,
              126, 127, 128, 129, 130, 164, 165, 166, 178, 192, 193, 194, 195, 196}},
    {L"Verdel", {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 31, 32, 39, 40, 41, 42, 43, 44}},
    {L"Jabber", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 27, 28, 29, 31, 32, 33, 34}},
};
// Items that open a submenu: they carry its arrow too.
const std::vector<Place> kSubmenuItems = {
    {L"JOV", {17, 39, 130}},
    {L"Verdel", {16, 39}},
    {L"Jabber", {31}},
};

// Tab titles: the preferences' pages, the ICQ options and details pages,
// the XMPP options pages.
const std::vector<Place> kTabTitles = {
    {L"JOV", {40, 41, 42, 43, 44, 45, 46, 47, 48}},
    {L"Verdel", {49, 53, 59, 60, 61, 62, 63, 64, 65, 66, 67}},
    {L"Jabber", {14, 22}},
};

bool Listed(const std::vector<Place>& places, const std::wstring& component, int id)
{
    for (const Place& place : places) {
        if (component == place.component) {
            for (int listed : place.ids)
                if (listed == id)
                    return true;
        }
    }
    return false;
}

int Scale(int units)
{
    return (units * kDpi + 48) / 96;
}

int TextWidth(HFONT font, const std::wstring& text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

// The dialogs' font, as the dialog manager makes it from the templates'
// "MS Shell Dlg" 8: taken from a dialog made the same way.
class CDialogFont {
public:
    CDialogFont() : m_dialog(CreateDialogFontProbe()) {}
    ~CDialogFont()
    {
        if (m_dialog)
            DestroyWindow(m_dialog);
    }
    HFONT Get() const { return reinterpret_cast<HFONT>(SendMessageW(m_dialog, WM_GETFONT, 0, 0)); }

private:
    HWND m_dialog = nullptr;
};

// The texts of every file of component that do not fit: "file id: text (width > room)".
template <typename Fits>
std::string Unfit(const std::vector<Place>& places, const Fits& fits)
{
    std::ostringstream out;
    for (const LanguageFileName& name : AllLanguageFiles()) {
        CLanguageFile file(name);
        for (const Place& place : places) {
            if (std::wstring(place.component) != name.component)
                continue;
            for (int id : place.ids) {
                const std::wstring text = file.Text(id);
                int width = 0, room = 0;
                if (!fits(name.component, id, text, &width, &room)) {
                    std::string narrow;
                    Encode(text, CP_UTF8, narrow);
                    out << "\n  " << std::string(file.Name().begin(), file.Name().end()) << " " << id << ": \""
                        << narrow << "\" (" << width << " > " << room << ")";
                }
            }
        }
    }
    return out.str();
}

} // namespace

TEST(TextsFit, SoftKeyCaptionsFitTheirKeyBesideTheMiddleButton)
{
    // The bar's keys, Tahoma bold 12 units; with the middle "ok" button (36
    // units) each of two keys has what is left of half the bar.
    HFONT font = CreateFontW(-Scale(12), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
    const int room = (Scale(kScreenWidth) - Scale(36)) / 2 - 2 * Scale(2);
    const std::string unfit = Unfit(kSoftKeys, [&](const wchar_t*, int, const std::wstring& text, int* width,
                                                   int* available) {
        *width = TextWidth(font, text);
        *available = room;
        return *width <= room;
    });
    DeleteObject(font);
    EXPECT_EQ(unfit, "");
}

TEST(TextsFit, MenuItemsFitAMenuAsWideAsTheScreen)
{
    // Measured by the menus' own measure, borders beside.
    const int room = Scale(kScreenWidth) - 2 * GetSystemMetrics(SM_CXFIXEDFRAME);
    const std::string unfit = Unfit(kMenuItems, [&](const wchar_t* component, int id, const std::wstring& text,
                                                    int* width, int* available) {
        CMenuInfo submenu;
        submenu.Append(CMenuItemInfo(CJOVString(L"-"), 1u, 0));
        CMenuItemInfo item = Listed(kSubmenuItems, component, id) ? CMenuItemInfo(CJOVString(text.c_str()), submenu)
                                                                  : CMenuItemInfo(CJOVString(text.c_str()), 1u, 0);
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemData = reinterpret_cast<ULONG_PTR>(&item);
        MeasureMenuItem(nullptr, &measure);
        *width = static_cast<int>(measure.itemWidth);
        *available = room;
        return *width <= room;
    });
    EXPECT_EQ(unfit, "");
}

TEST(TextsFit, TabTitlesFitTheStripBetweenItsArrows)
{
    CDialogFont dialogFont;
    ASSERT_NE(dialogFont.Get(), nullptr);
    CTabStrip strip;
    strip.SetMetrics(CTabStrip::MetricsFor(kDpi, kDpi));
    const CTabStrip::Metrics& metrics = strip.GetMetrics();
    const int room = Scale(kScreenWidth) - 2 * metrics.arrowWidth - metrics.arrowGap;
    const std::string unfit = Unfit(kTabTitles, [&](const wchar_t*, int, const std::wstring& text, int* width,
                                                    int* available) {
        *width = strip.TabWidth(TextWidth(dialogFont.Get(), text), true);
        *available = room;
        return *width <= room;
    });
    EXPECT_EQ(unfit, "");
}

TEST(TextsFit, TheMeasureTellsALongTextFromAShortOne)
{
    // The fonts are there: a sentence is wider than a soft key and a tab.
    CDialogFont dialogFont;
    const std::wstring longText = L"Show history in messaging window, with every message of the contact";
    EXPECT_GT(TextWidth(dialogFont.Get(), longText), Scale(kScreenWidth));
    EXPECT_LT(TextWidth(dialogFont.Get(), L"OK"), Scale(30));
}
