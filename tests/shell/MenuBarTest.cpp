// The soft-key menu bar: keys from a bar resource or a menu, the toolbar and
// menu-bar messages, F1/F2 and taps, and the bar going with its window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "MenuBar.h"
#include "Screen.h"
#include "Shell.h"
#include "ShellTestIds.h"
#include "ShellTestSupport.h"
#include "support/SoftKeyText.h"

namespace {

HWND MakeBar(HWND owner, UINT id, DWORD flags = 0)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = owner;
    info.dwFlags = flags;
    info.nToolBarId = id;
    info.hInstRes = TestModule();
    return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
}

int KeyCommand(HWND bar, int index)
{
    TBBUTTON button = {};
    if (!SendMessageW(bar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)))
        return -1;
    return button.idCommand;
}

bool SetKeyText(HWND bar, int command, const wchar_t* text)
{
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = const_cast<wchar_t*>(text);
    return SendMessageW(bar, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) != 0;
}

POINT KeyCentre(HWND bar, int index)
{
    RECT key = {};
    SendMessageW(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&key));
    return POINT{(key.left + key.right) / 2, (key.top + key.bottom) / 2};
}

int LastCommand(const CTestHost& host)
{
    const RecordedMessage* command = host.Last(WM_COMMAND);
    return command ? LOWORD(command->wParam) : -1;
}

} // namespace

TEST(MenuBarResource, KeysCarryCommandsTextsAndDropDowns)
{
    CTestHost host;
    HWND bar = MakeBar(host.Window(), IDR_MENU_BAR);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SHFindMenuBar(host.Window()), bar);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 2);
    EXPECT_EQ(KeyCommand(bar, 0), IDK_LEFT);
    EXPECT_EQ(KeyCommand(bar, 1), IDK_RIGHT);
    EXPECT_EQ(KeyCommand(bar, 2), -1);
    EXPECT_EQ(SoftKeyText(bar, IDK_LEFT), L"Menu");
    EXPECT_EQ(SoftKeyText(bar, IDK_RIGHT), L"Item");

    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDK_LEFT)), GetSubMenu(menu, 0));
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDK_RIGHT)), GetSubMenu(menu, 1));
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 12345), 0);
}

TEST(MenuBarResource, BarSitsAlongTheBottomOfTheScreen)
{
    CTestHost host;
    HWND bar = MakeBar(host.Window(), IDR_OK_CANCEL_BAR);
    ASSERT_NE(bar, nullptr);
    RECT screen = Platform::GetScreenRect();
    RECT place;
    GetWindowRect(bar, &place);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.right, screen.right);
    EXPECT_EQ(place.bottom, screen.bottom);
    EXPECT_EQ(place.bottom - place.top, Platform::GetMenuBarHeight());
    EXPECT_EQ(Platform::GetMenuBarHeight(), (26 * Platform::GetScreenDpiY() + 48) / 96);
    EXPECT_EQ(GetWindow(bar, GW_OWNER), host.Window());
}

TEST(MenuBarResource, BadResourcesMakeNoBar)
{
    CTestHost host;
    EXPECT_EQ(MakeBar(host.Window(), IDR_BROKEN_BAR), nullptr);
    EXPECT_EQ(MakeBar(host.Window(), IDR_MISSING_MENU_BAR), nullptr);
    EXPECT_EQ(MakeBar(host.Window(), 4999), nullptr);
    EXPECT_EQ(MakeBar(nullptr, IDR_OK_CANCEL_BAR), nullptr);
    EXPECT_EQ(SHFindMenuBar(host.Window()), nullptr);
    HWND empty = MakeBar(host.Window(), 0, SHCMBF_EMPTYBAR);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SendMessageW(empty, TB_BUTTONCOUNT, 0, 0), 0);
}

TEST(MenuBarFromMenu, EachTopLevelItemIsAKey)
{
    CTestHost host;
    HWND bar = MakeBar(host.Window(), IDM_OK_CANCEL, SHCMBF_HMENU);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(KeyCommand(bar, 0), IDOK);
    EXPECT_EQ(KeyCommand(bar, 1), IDCANCEL);
    EXPECT_EQ(SoftKeyText(bar, IDCANCEL), L"Cancel");

    HWND popups = MakeBar(host.Window(), IDM_SOFTKEY_MENUS, SHCMBF_HMENU);
    ASSERT_NE(popups, nullptr);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popups, SHCMBM_GETMENU, 0, 0));
    int left = KeyCommand(popups, 0);
    int right = KeyCommand(popups, 1);
    EXPECT_NE(left, right);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessageW(popups, SHCMBM_GETSUBMENU, 0, right)), GetSubMenu(menu, 1));
    EXPECT_EQ(SHFindMenuBar(host.Window()), popups);  // the newest bar is the window's
}

TEST(MenuBarMessages, TextsChangeAndKeysEnable)
{
    CTestHost host;
    HWND bar = MakeBar(host.Window(), IDR_OK_CANCEL_BAR);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(SetKeyText(bar, IDOK, L"Done"));
    EXPECT_EQ(SoftKeyText(bar, IDOK), L"Done");
    EXPECT_FALSE(SetKeyText(bar, 777, L"None"));
    EXPECT_EQ(SendMessageW(bar, TB_COMMANDTOINDEX, IDCANCEL, 0), 1);

    EXPECT_EQ(SHEnableSoftkey(bar, IDCANCEL, FALSE, FALSE), S_OK);
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, IDCANCEL, 0));
    EXPECT_EQ(SHEnableSoftkey(bar, 1, TRUE, TRUE), S_OK);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, IDCANCEL, 0));
    EXPECT_EQ(SHEnableSoftkey(bar, 5, TRUE, TRUE), E_FAIL);
    EXPECT_EQ(SHEnableSoftkey(bar, 778, FALSE, TRUE), E_FAIL);
}

TEST(MenuBarKeys, F1AndF2SendTheKeysCommands)
{
    CTestHost host;
    HWND bar = MakeBar(host.Window(), IDR_OK_CANCEL_BAR);
    ASSERT_NE(bar, nullptr);
    PostKey(host.Window(), VK_F1);
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) == 1; }));
    EXPECT_EQ(LastCommand(host), IDOK);
    PostKey(host.Window(), VK_F2);
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) == 2; }));
    EXPECT_EQ(LastCommand(host), IDCANCEL);
    // The keys never reach the window as keys.
    EXPECT_EQ(host.Count(WM_KEYDOWN), 0);

    SHEnableSoftkey(bar, IDCANCEL, FALSE, FALSE);
    PostKey(host.Window(), VK_F2);
    PumpFor(50);
    EXPECT_EQ(host.Count(WM_COMMAND), 2);
}

TEST(MenuBarKeys, ATapOnAKeySendsItsCommand)
{
    CTestHost host;
    HWND bar = MakeBar(host.Window(), IDR_OK_CANCEL_BAR);
    ASSERT_NE(bar, nullptr);
    POINT right = KeyCentre(bar, 1);
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(right.x, right.y));
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(right.x, right.y));
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) == 1; }));
    EXPECT_EQ(LastCommand(host), IDCANCEL);

    // Pressed on one key and lifted over the other: nothing.
    POINT left = KeyCentre(bar, 0);
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(right.x, right.y));
    PostMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(left.x, left.y));
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(left.x, left.y));
    PumpFor(50);
    EXPECT_EQ(host.Count(WM_COMMAND), 1);
}

TEST(MenuBarDoneButton, SitsMidBarBetweenTheKeysAndSendsOk)
{
    CTestHost host;
    HWND bar = MakeBar(host.Window(), IDR_OK_CANCEL_BAR);
    ASSERT_NE(bar, nullptr);
    RECT left = {}, right = {}, client = {};
    SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&left));
    SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&right));
    GetClientRect(bar, &client);
    EXPECT_EQ(left.right, right.left) << "no Done button: the keys share the bar";

    ASSERT_TRUE(SHDoneButton(host.Window(), SHDB_SHOW));
    SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&left));
    SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&right));
    const int gap = right.left - left.right;
    EXPECT_EQ(gap, (36 * Platform::GetScreenDpiX() + 48) / 96);
    EXPECT_EQ(left.left, client.left);
    EXPECT_EQ(right.right, client.right);
    EXPECT_LE(std::abs((left.right + right.left) / 2 - client.right / 2), 1) << "centred";

    // A tap on it, then F3, each send IDOK; the keys still work beside it.
    const int middle = (left.right + right.left) / 2;
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle, 5));
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(middle, 5));
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) == 1; }));
    EXPECT_EQ(LastCommand(host), IDOK);
    PostKey(host.Window(), VK_F3);
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) == 2; }));
    EXPECT_EQ(LastCommand(host), IDOK);
    EXPECT_EQ(host.Count(WM_KEYDOWN), 0);
    PostKey(host.Window(), VK_F2);
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) == 3; }));
    EXPECT_EQ(LastCommand(host), IDCANCEL);

    // The Cancel form sends IDCANCEL; hidden, F3 is an ordinary key again.
    SHDoneButton(host.Window(), SHDB_SHOWCANCEL);
    PostKey(host.Window(), VK_F3);
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) == 4; }));
    EXPECT_EQ(LastCommand(host), IDCANCEL);
    SHDoneButton(host.Window(), SHDB_HIDE);
    PostKey(host.Window(), VK_F3);
    PumpFor(50);
    EXPECT_EQ(host.Count(WM_COMMAND), 4);
    EXPECT_EQ(host.Count(WM_KEYDOWN), 1);
}

TEST(MenuBarDoneButton, WorksOnAnEmptyBarAndWithoutABar)
{
    // The about box's form: an empty bar with only the Done button.
    CTestHost host;
    HWND bar = MakeBar(host.Window(), 0, SHCMBF_EMPTYBAR);
    ASSERT_NE(bar, nullptr);
    SHDoneButton(host.Window(), SHDB_SHOW);
    RECT client;
    GetClientRect(bar, &client);
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right / 2, 5));
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(client.right / 2, 5));
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) == 1; }));
    EXPECT_EQ(LastCommand(host), IDOK);

    // A tap beside it does nothing.
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 5));
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(2, 5));
    PumpFor(50);
    EXPECT_EQ(host.Count(WM_COMMAND), 1);

    CTestHost bare;
    SHDoneButton(bare.Window(), SHDB_SHOW);
    PostKey(bare.Window(), VK_F3);
    ASSERT_TRUE(PumpUntil([&] { return bare.Count(WM_COMMAND) == 1; }));
    EXPECT_EQ(LOWORD(bare.Last(WM_COMMAND)->wParam), IDOK);
}

TEST(MenuBarKeys, ADropDownKeyOpensItsMenuForTheOwner)
{
    CTestHost host;
    HWND bar = MakeBar(host.Window(), IDR_MENU_BAR);
    ASSERT_NE(bar, nullptr);
    HMENU opened = nullptr;
    host.onMessage = [&](UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_INITMENUPOPUP && !opened) {
            opened = reinterpret_cast<HMENU>(wParam);
            // Pick the second item with the keys, as a user would.
            PostKey(host.Window(), VK_DOWN);
            PostKey(host.Window(), VK_DOWN);
            PostKey(host.Window(), VK_RETURN);
        }
    };
    PostKey(host.Window(), VK_F1);
    ASSERT_TRUE(PumpUntil([&] { return host.Count(WM_COMMAND) == 1; }));
    EXPECT_EQ(opened, reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDK_LEFT)));
    EXPECT_EQ(LastCommand(host), IDM_SECOND);
}

TEST(MenuBarOwner, TheBarHidesShowsAndGoesWithItsWindow)
{
    auto host = std::make_unique<CTestHost>();
    HWND bar = MakeBar(host->Window(), IDR_OK_CANCEL_BAR);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(IsWindowVisible(bar));
    ShowWindow(host->Window(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(bar));
    SetWindowPos(host->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    EXPECT_TRUE(IsWindowVisible(bar));

    HWND hidden = MakeBar(host->Window(), IDR_OK_CANCEL_BAR, SHCMBF_HIDDEN);
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(IsWindowVisible(hidden));

    // A hidden bar leaves F1 to the window.
    PostKey(host->Window(), VK_F1);
    PumpFor(30);
    EXPECT_EQ(host->Count(WM_COMMAND), 0);
    EXPECT_EQ(host->Count(WM_KEYDOWN), 1);

    host.reset();
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_FALSE(IsWindow(hidden));
}
