// The main window's own behaviour: full-screen mode on activation and the
// accelerator table of the message loop.
#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "Shell.h"
#include "ShellTrace.h"
#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"
#include "core/TempFolder.h"

namespace {

const DWORD kHiddenBars = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;

} // namespace

TEST_F(MainWindowTest, FullScreenHidesTheShellBarsWhileTheWindowIsActive)
{
    CTempFolder folder;
    Database::CJOVDatabase database{Database::CSettingsFile(folder.Path(L"settings.jov"))};
    g_App.pDatabase = &database;
    unsigned char on = 1;
    database.SetByte(GUID_GUI, L"Full screen", &on);
    MoveWindow(main, 0, 10, 240, 284, FALSE);

    SendMessageW(main, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(Platform::GetFullScreenState(main), kHiddenBars);
    RECT rect;
    GetWindowRect(main, &rect);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.bottom, 294) << "the old bottom becomes the height";

    SendMessageW(main, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Platform::GetFullScreenState(main), 0u);
    g_App.pDatabase = nullptr;
}

TEST_F(MainWindowTest, WithoutFullScreenActivationLeavesTheShellBarsAlone)
{
    CTempFolder folder;
    Database::CJOVDatabase database{Database::CSettingsFile(folder.Path(L"settings.jov"))};
    g_App.pDatabase = &database;
    Platform::ClearShellCalls();
    SendMessageW(main, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageW(main, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Platform::FindShellCall("SHFullScreen"), -1);
    EXPECT_NE(Platform::FindShellCall("SHHandleWMActivate"), -1);
    g_App.pDatabase = nullptr;
}

TEST(Accelerators, CtrlAAndCtrlQGiveTheirCommands)
{
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2));
    ASSERT_NE(table, nullptr);
    ACCEL entries[4] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 4), 2);
    for (const ACCEL& entry : entries) {
        if (entry.key == 'A')
            EXPECT_EQ(entry.cmd, 40002);
        else if (entry.key == 'Q')
            EXPECT_EQ(entry.cmd, 40000);
        else
            continue;
        EXPECT_EQ(entry.fVirt & (FVIRTKEY | FCONTROL), FVIRTKEY | FCONTROL);
    }
    DestroyAcceleratorTable(table);
}
