// Pictures of the dialogs on the pocket screen, for a person to look at: a
// tabbed dialog with more tabs than fit, a menu with a heading, a checked
// item and an open submenu, both pickers, the colour-scheme editor, the about
// box and the "Accounts" page. Images are drawn as plain coloured marks (the
// skin's pictures are not part of these tests).
#include <gtest/gtest.h>

#include <windows.h>

#include "HiDpi.h"
#include "Screen.h"
#include "contactlist/AboutDlg.h"
#include "contactlist/DialogSkin.h"
#include "contactlist/JOVColorsDlg.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "contactlist/PreferencesDlg.h"
#include "contactlist/SelectColorDlg.h"
#include "contactlist/TabsDialog.h"
#include "dialogs/DialogScript.h"
#include "dialogs/DialogsFixture.h"
#include "dialogs/Screenshot.h"
#include "dialogs/ScreenshotFixture.h"
#include "plugins/PagesPlugin.h"

namespace {

// An account's options with more pages than the strip holds.
class CManyTabs : public CTabsDialog {
public:
    CManyTabs()
        : CTabsDialog(nullptr, IDM_APPLY_CANCEL, 0),
          m_module(LoadLibraryW(GetAppDir() + CJOVString(L"test_protos\\dialogs\\Protos\\Pages\\Pages.dll")))
    {
        SetTitle(-1, L"Account options");
    }
    ~CManyTabs() override { FreeLibrary(m_module); }

protected:
    bool GetPanels(CJOVArray<CPanelInfo>& panels) override
    {
        const struct {
            const wchar_t* title;
            unsigned int dialog;
        } pages[] = {{L"Login", IDD_LOGIN_PAGE}, {L"Server", IDD_SERVER_PAGE}, {L"Port", IDD_PORT_PAGE},
                     {L"Privacy", IDD_NICK_PAGE}, {L"Status", IDD_NOTE_PAGE}, {L"Proxy", IDD_NICK_PAGE}};
        int image = 0;
        for (const auto& page : pages) {
            CPanelInfo info;
            info.title = CJOVString(page.title);
            info.image = image++;
            info.module = m_module;
            info.dialog = page.dialog;
            panels.Append(info);
        }
        return true;
    }

private:
    HMODULE m_module;
};


LRESULT CALLBACK MenuOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MEASUREITEM)
        return MeasureMenuItem(window, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    if (message == WM_DRAWITEM)
        return DrawMenuItem(window, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

TEST_F(ScreenshotTest, ATabbedDialogWithMoreTabsThanFit)
{
    CManyTabs dialog;
    Shoot(L"tabs", L"Account options", [&] { return dialog.DoModal(); }, [&](HWND) {
        SetDlgItemTextW(dialog.GetPageWnd(0), IDC_LOGIN, L"alice@example.org");
        CheckDlgButton(dialog.GetPageWnd(0), IDC_SAVE_PASSWORD, BST_CHECKED);
        EXPECT_TRUE(dialog.Strip().NextArrowShown());
    });
}

TEST_F(ScreenshotTest, AMenuWithAHeadingACheckedItemAndASubmenu)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MenuOwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"JOV menu shot";
    RegisterClassW(&wc);
    RECT screen = Platform::GetScreenRect();
    HWND owner = CreateWindowExW(0, wc.lpszClassName, L"Menu shot", WS_POPUP | WS_VISIBLE, 0, 0, screen.right,
                                 screen.bottom, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(owner, nullptr);

    auto item = [](const wchar_t* caption, unsigned int image, int checked = 0) {
        CMenuItemInfo info(CJOVString(caption), 0u, checked);
        info.images.Append(image);
        return info;
    };
    CMenuInfo xStatus;
    xStatus.Append(item(L"Coffee", 1));
    xStatus.Append(item(L"Music", 2));
    xStatus.Append(item(L"Working", 3));
    CMenuInfo menu;
    CMenuItemInfo heading(CMenuItemInfo::MenuItemTitle, CJOVString(L"ICQ 123456"));
    heading.images.Append(0);
    menu.Append(heading);
    menu.Append(item(L"Online", 0, 1));
    menu.Append(item(L"Away", 1));
    menu.Append(item(L"Occupied", 3));
    menu.Append(CMenuItemInfo(CMenuItemInfo::MenuItemSeparator));
    CMenuItemInfo sub(CJOVString(L"X status"), xStatus);
    menu.Append(sub);
    menu.Append(CMenuItemInfo(CMenuItemInfo::MenuItemGrayed, CJOVString(L"Online since 9:41")));
    unsigned int next = 600;
    HMENU popup = BuildPopupMenu(menu, next, nullptr);
    ASSERT_NE(popup, nullptr);

    bool saved = false;
    CDialogScript script;
    script
        .WhenMenu([](HWND window) {
            // Down to "X status" (the separator is skipped) and into it.
            for (int i = 0; i < 5; ++i)
                PostMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
            PostMessageW(window, WM_KEYDOWN, VK_RIGHT, 1);
        })
        .When(L"Menu shot", [&](HWND window) {
            Sleep(100);
            saved = SaveScreenshot(L"menu");
            PostMessageW(window, WM_CANCELMODE, 0, 0);
        });
    script.Start();
    // Where the status menu opens: above the soft-key bar, from the left.
    TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN, 0, screen.bottom - Platform::GetMenuBarHeight(), owner,
                     nullptr);
    EXPECT_TRUE(saved);
    DestroyMenu(popup);
    DestroyWindow(owner);
}

TEST_F(ScreenshotTest, TheColourPickerAndThePalette)
{
    CSelectColorDlg picker(nullptr, RGB(0x31, 0x6A, 0xC5));
    bool pickerSaved = false, paletteSaved = false;
    CDialogScript script;
    script
        .When(L"Color",
              [&](HWND dialog) {
                  pickerSaved = SaveScreenshot(L"colorpicker");
                  Click(dialog, IDC_FROM_PALETTE);
              })
        .When(L"Palette",
              [&](HWND palette) {
                  paletteSaved = SaveScreenshot(L"palette");
                  PostCommand(palette, IDCANCEL);
              })
        .When(L"Color", [&](HWND dialog) { PostCommand(dialog, IDCANCEL); });
    script.Start();
    picker.DoModal();
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(pickerSaved);
    EXPECT_TRUE(paletteSaved);
}

TEST_F(ScreenshotTest, TheColourSchemeEditor)
{
    CJOVColorsDlg editor(nullptr, CJOVString(L"JOV PDA skin"));
    Shoot(L"colorscheme", L"Colors", [&] { return editor.DoModal(); });
}

TEST_F(ScreenshotTest, TheAboutBox)
{
    AddPagesAccount();
    CAboutDlg about(nullptr);
    Shoot(L"about", L"About", [&] { return about.DoModal(); });
}

TEST_F(ScreenshotTest, TheAccountsPage)
{
    AddPagesAccount();
    AddPagesAccount();
    CPreferencesDlg preferences(nullptr, 8);
    Shoot(L"accounts", L"Preferences", [&] { return preferences.DoModal(); });
}
