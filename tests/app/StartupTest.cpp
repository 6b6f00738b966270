// JOV.exe as the user meets it: one instance on the pocket screen, the
// soft-key menu bar, the main menu, and its settings written on quitting.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "RunningProgram.h"

namespace {

const wchar_t kBarClass[] = L"JOV Soft-key Bar";
const wchar_t kMenuClass[] = L"#32768";
const UINT kLeftKey = 32779;
const UINT kRightKey = 32778;

void PostKey(HWND window, UINT key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

// Opens the left soft key's menu with F1 and picks the item that many
// places up from the bottom (1: the last).
void ChooseFromMainMenu(const CRunningProgram& program, HWND main, int fromBottom)
{
    PostKey(main, VK_F1);
    HWND menu = program.WaitForWindow(kMenuClass, nullptr, 5000);
    ASSERT_NE(menu, nullptr) << "F1 opens no menu";
    for (int i = 0; i < fromBottom; ++i)
        PostKey(menu, VK_UP);
    PostKey(menu, VK_RETURN);
}

HWND MenuBarOf(const CRunningProgram& program, HWND main)
{
    HWND bar = program.WaitForWindow(kBarClass, nullptr, 5000);
    return bar && GetWindow(bar, GW_OWNER) == main ? bar : nullptr;
}

std::wstring DialogText(HWND dialog, int id)
{
    wchar_t text[64] = {};
    GetDlgItemTextW(dialog, id, text, 64);
    return text;
}

} // namespace

TEST(Startup, RunsOnePocketScreenInstanceWithItsMenusAndSavesItsSettings)
{
    CRunningProgram program;
    ASSERT_TRUE(program.Start());

    // With no account the preferences open on the accounts page first.
    HWND preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(DialogText(preferences, 1001), L"Page 8");
    PostMessageW(preferences, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(preferences));

    HWND main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    HWND bar = MenuBarOf(program, main);
    ASSERT_NE(bar, nullptr);
    RECT window, barRect;
    GetWindowRect(main, &window);
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right, 240);
    EXPECT_EQ(window.bottom, barRect.top) << "the window ends where the menu bar begins";
    EXPECT_EQ(barRect.left, 0);
    EXPECT_EQ(barRect.right, 240);
    EXPECT_EQ(barRect.bottom, 320);

    // "Menu" on the left; the right key, with no contact-list item selected, is off and blank.
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 2);
    EXPECT_EQ(program.SoftKeyText(bar, kLeftKey), L"Menu");
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, kLeftKey, 0));
    EXPECT_EQ(program.SoftKeyText(bar, kRightKey), L"");
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, kRightKey, 0));

    // A second start hands over to the running one and ends at once.
    HANDLE second = program.StartAnother();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(WaitForSingleObject(second, 10000), WAIT_OBJECT_0);
    DWORD secondCode = 1;
    GetExitCodeProcess(second, &secondCode);
    CloseHandle(second);
    EXPECT_EQ(secondCode, 0u);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(program.FindWindowOf(L"JOV", L"JOV"), main);

    // The main menu, from the bottom: Quit, About, Preferences.
    ChooseFromMainMenu(program, main, 2);
    HWND about = program.WaitForWindow(nullptr, L"About JOV");
    ASSERT_NE(about, nullptr);
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(about));

    ChooseFromMainMenu(program, main, 3);
    preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(DialogText(preferences, 1001), L"Page 0");
    PostMessageW(preferences, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(preferences));

    EXPECT_EQ(GetFileAttributesW(program.File(L"settings.jov").c_str()), INVALID_FILE_ATTRIBUTES);
    ChooseFromMainMenu(program, main, 1);
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_NE(GetFileAttributesW(program.File(L"settings.jov").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Startup, ClosingTheWindowEndsTheProgram)
{
    CRunningProgram program;
    ASSERT_TRUE(program.Start());
    HWND preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    PostMessageW(preferences, WM_COMMAND, IDOK, 0);
    HWND main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_NE(GetFileAttributesW(program.File(L"settings.jov").c_str()), INVALID_FILE_ATTRIBUTES);
}
