// Dialog set-up, full-screen mode, setting changes and the trace of the
// calls that show nothing here.
#include <gtest/gtest.h>

#include "MenuBar.h"
#include "Screen.h"
#include "Shell.h"
#include "ShellTrace.h"
#include "ShellTestSupport.h"

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

HWND MakeFramedPopup(const RECT& rect)
{
    return CreateWindowExW(WS_EX_DLGMODALFRAME, L"STATIC", L"Framed", WS_POPUP | WS_CAPTION | WS_SYSMENU, rect.left,
                           rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, TestModule(),
                           nullptr);
}

} // namespace

TEST(Screen, IsThePortraitPocketScreen)
{
    RECT screen = Platform::GetScreenRect();
    int dpi = Platform::GetScreenDpiY();
    EXPECT_TRUE(dpi == 96 || dpi == 192) << dpi;
    // 240x320 at 96 dpi, 480x640 at 192 dpi.
    EXPECT_EQ(screen.right, 240 * dpi / 96);
    EXPECT_EQ(screen.bottom, 320 * dpi / 96);
    EXPECT_EQ(Platform::GetScreenDpiX(), dpi);
}

TEST(ShellInitDialog, FullScreenDialogAndItsBarFillTheScreen)
{
    RECT small = {10, 10, 110, 90};
    HWND dialog = MakeFramedPopup(small);
    ASSERT_NE(dialog, nullptr);
    SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    ASSERT_TRUE(SHInitDialog(&init));
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = dialog;
    info.dwFlags = SHCMBF_EMPTYBAR;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    ShowWindow(dialog, SW_SHOW);

    RECT screen = Platform::GetScreenRect();
    RECT placed, bar, client;
    GetWindowRect(dialog, &placed);
    GetWindowRect(info.hwndMB, &bar);
    GetClientRect(dialog, &client);
    EXPECT_TRUE(SameRect(placed, Platform::GetFullScreenRect(true)));
    EXPECT_EQ(placed.bottom, bar.top);
    EXPECT_EQ(bar.bottom, screen.bottom);
    // No frame of its own: the client area is the whole band.
    EXPECT_EQ(client.right, screen.right);
    EXPECT_EQ(client.bottom, placed.bottom - placed.top);
    EXPECT_EQ(Platform::GetDoneButtonState(dialog), static_cast<DWORD>(SHDB_SHOW));

    // A screen change sizes it to the screen again.
    MoveWindow(dialog, 0, 0, 50, 50, FALSE);
    EXPECT_TRUE(SHHandleWMSettingChange(dialog, SETTINGCHANGE_RESET, 0, nullptr));
    GetWindowRect(dialog, &placed);
    EXPECT_TRUE(SameRect(placed, Platform::GetFullScreenRect(true)));
    EXPECT_FALSE(SHHandleWMSettingChange(dialog, SPI_SETDESKWALLPAPER, 0, nullptr));
    DestroyWindow(dialog);
}

TEST(ShellInitDialog, EmptyMenuAndNoMenuBarFlags)
{
    RECT small = {0, 0, 50, 50};
    HWND dialog = MakeFramedPopup(small);
    SHINITDLGINFO init = {SHIDIM_FLAGS, dialog, SHIDIF_FULLSCREENNOMENUBAR | SHIDIF_EMPTYMENU | SHIDIF_CANCELBUTTON};
    ASSERT_TRUE(SHInitDialog(&init));
    RECT placed;
    GetWindowRect(dialog, &placed);
    EXPECT_TRUE(SameRect(placed, Platform::GetScreenRect()));
    HWND bar = SHFindMenuBar(dialog);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 0);
    EXPECT_EQ(Platform::GetDoneButtonState(dialog), static_cast<DWORD>(SHDB_SHOWCANCEL));

    // Without SHIDIM_FLAGS the flags are not read.
    HWND plain = MakeFramedPopup(small);
    SHINITDLGINFO none = {0, plain, SHIDIF_SIZEDLGFULLSCREEN};
    ASSERT_TRUE(SHInitDialog(&none));
    GetWindowRect(plain, &placed);
    EXPECT_TRUE(SameRect(placed, small));
    DestroyWindow(plain);
    DestroyWindow(dialog);
}

TEST(ShellFullScreen, HidesAndShowsThePartsAndTheWindowFillsTheScreen)
{
    RECT below = Platform::GetScreenRect();
    below.top = 26;
    CTestHost host(&below);
    HWND window = host.Window();
    EXPECT_EQ(Platform::GetFullScreenState(window), 0u);
    // The main window's "Full screen" activation: hide all three, move to the origin.
    ASSERT_TRUE(SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON));
    RECT rect;
    GetWindowRect(window, &rect);
    MoveWindow(window, 0, 0, rect.right, rect.bottom, TRUE);
    GetWindowRect(window, &rect);
    EXPECT_TRUE(SameRect(rect, Platform::GetScreenRect()));
    EXPECT_EQ(Platform::GetFullScreenState(window),
              static_cast<DWORD>(SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON));
    // The messaging window shows two back; the Start icon stays hidden.
    SHFullScreen(window, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON);
    EXPECT_EQ(Platform::GetFullScreenState(window), static_cast<DWORD>(SHFS_HIDESTARTICON));
    SHFullScreen(window, SHFS_SHOWSTARTICON);
    EXPECT_EQ(Platform::GetFullScreenState(window), 0u);
    EXPECT_FALSE(SHFullScreen(nullptr, SHFS_HIDETASKBAR));
}

TEST(ShellTrace, RecordsTheCallsThatShowNothing)
{
    Platform::ClearShellCalls();
    CTestHost host;
    SHInitExtraControls();
    SHFullScreen(host.Window(), SHFS_HIDETASKBAR);
    SHDoneButton(host.Window(), SHDB_HIDE);
    ASSERT_EQ(Platform::GetShellCallCount(), 3);
    Platform::ShellCall call;
    ASSERT_TRUE(Platform::GetShellCall(1, &call));
    EXPECT_STREQ(call.name, "SHFullScreen");
    EXPECT_EQ(call.window, host.Window());
    EXPECT_EQ(call.value, static_cast<uintptr_t>(SHFS_HIDETASKBAR));
    EXPECT_EQ(Platform::FindShellCall("SHDoneButton"), 2);
    EXPECT_EQ(Platform::FindShellCall("SHInitExtraControls", 1), -1);
    EXPECT_FALSE(Platform::GetShellCall(3, &call));
    EXPECT_FALSE(SHDoneButton(host.Window(), 99));
}
