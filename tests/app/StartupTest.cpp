// JOV.exe as the user meets it: one instance on the pocket screen, the
// soft-key menu bar, the main menu, and its settings written on quitting and
// when a change is confirmed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "RunningProgram.h"
#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"
#include "core/settings/NamedValueMap.h"

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
    wchar_t text[2048] = {};
    GetDlgItemTextW(dialog, id, text, 2048);
    return text;
}

// The preferences' "Accounts" page's list of accounts.
HWND AccountsList(HWND preferences)
{
    for (HWND page = FindWindowExW(preferences, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(preferences, page, L"#32770", nullptr)) {
        wchar_t name[64] = {};
        HWND list = GetDlgItem(page, 1000);
        if (list && GetClassNameW(list, name, 64) && std::wstring(name) == L"SysListView32")
            return list;
    }
    return nullptr;
}

int Rows(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool WaitForRows(HWND list, int rows)
{
    const DWORD start = GetTickCount();
    while (Rows(list) != rows && GetTickCount() - start < 5000)
        Sleep(50);
    return Rows(list) == rows;
}

void ClickButton(HWND list, int id)
{
    HWND page = GetParent(list);
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

// A tap on the middle of the window's soft-key bar: its Done button.
void TapDone(const CRunningProgram& program, HWND window)
{
    HWND bar = nullptr;
    const DWORD start = GetTickCount();
    while (!bar && GetTickCount() - start < 5000) {
        for (HWND w = program.FindWindowOf(L"JOV Soft-key Bar", nullptr); w; w = nullptr)
            bar = GetWindow(w, GW_OWNER) == window ? w : nullptr;
        if (!bar)
            Sleep(50);
    }
    RECT client = {};
    GetClientRect(bar, &client);
    LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(bar, WM_LBUTTONUP, 0, middle);
}

// The accounts "settings.jov" holds; sizes gets the size of each one's settings.
int SavedAccounts(const std::wstring& path, std::vector<unsigned>* sizes = nullptr)
{
    Database::CJOVDatabase store{Database::CSettingsFile(CJOVString(path.c_str()))};
    unsigned size = 0;
    if (!store.GetValueSize(GUID_ProtocolsManager, L"Accounts data", &size) || size == 0)
        return 0;
    std::vector<unsigned char> bytes(size);
    store.GetData(GUID_ProtocolsManager, L"Accounts data", bytes.data(), &size);
    NamedValueMap accounts;
    accounts.Unpack(bytes.data(), size);
    for (int i = 0; sizes && i < accounts.GetCount(); ++i)
        sizes->push_back(accounts.GetAt(i)->GetSize());
    return accounts.GetCount();
}

// "Add" offers the protocols; the first that makes accounts adds a row.
void AddAccountRow(const CRunningProgram& program, HWND list)
{
    const int rows = Rows(list);
    for (int item = 1; item <= 2 && Rows(list) == rows; ++item) {
        ClickButton(list, 1001);
        HWND menu = program.WaitForWindow(L"#32768", nullptr, 5000);
        ASSERT_NE(menu, nullptr) << "Add opens no menu";
        for (int i = 0; i < item; ++i)
            PostKey(menu, VK_DOWN);
        PostKey(menu, VK_RETURN);
        ASSERT_TRUE(CRunningProgram::WaitUntilGone(menu));
        WaitForRows(list, rows + 1);
    }
    ASSERT_EQ(Rows(list), rows + 1);
}

// The page of the preferences that holds control id.
HWND PageWith(HWND preferences, int id)
{
    for (HWND page = FindWindowExW(preferences, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(preferences, page, L"#32770", nullptr)) {
        if (GetDlgItem(page, id))
            return page;
    }
    return nullptr;
}

// Returns once the window's thread has handled what came before: what a
// command there started has run to its end.
bool Settled(HWND window)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer) != 0;
}

} // namespace

TEST(Startup, RunsOnePocketScreenInstanceWithItsMenusAndSavesItsSettings)
{
    CRunningProgram program;
    ASSERT_TRUE(program.Start());

    // With no account the preferences open on the accounts page first.
    HWND preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    HWND list = AccountsList(preferences);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(Rows(list), 0);
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

    // The main menu, from the bottom: Quit, About, Preferences. The about
    // box has only the Done button to close it.
    ChooseFromMainMenu(program, main, 2);
    HWND about = program.WaitForWindow(nullptr, L"About");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(DialogText(about, 1121), L"Build: 2020");
    EXPECT_EQ(DialogText(about, 1056).find(L"protocol:"), std::wstring::npos) << "no plug-in here";
    TapDone(program, about);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(about));

    ChooseFromMainMenu(program, main, 3);
    preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_NE(AccountsList(preferences), nullptr);
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

TEST(Startup, AccountsAreAddedAndDeletedOnTheAccountsPage)
{
    CRunningProgram program;
    ASSERT_TRUE(program.Start(true));
    HWND preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    HWND list = AccountsList(preferences);
    ASSERT_NE(list, nullptr);

    AddAccountRow(program, list);
    ASSERT_EQ(Rows(list), 1);
    PostMessageW(preferences, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(preferences));

    // About names each loaded plug-in.
    HWND main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    ChooseFromMainMenu(program, main, 2);
    HWND about = program.WaitForWindow(nullptr, L"About");
    ASSERT_NE(about, nullptr);
    std::wstring text = DialogText(about, 1056);
    EXPECT_NE(text.find(L"ICQ protocol:"), std::wstring::npos);
    EXPECT_NE(text.find(L"Jabber protocol:"), std::wstring::npos);
    TapDone(program, about);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(about));

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(10000));
    EXPECT_EQ(SavedAccounts(program.File(L"settings.jov")), 1);

    // With an account the preferences wait for the menu; "Delete" asks first.
    ASSERT_TRUE(program.Restart());
    main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    ChooseFromMainMenu(program, main, 3);
    preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    list = AccountsList(preferences);
    ASSERT_TRUE(WaitForRows(list, 1));
    ClickButton(list, 1004);
    HWND question = program.WaitForWindow(nullptr, L"Delete");
    ASSERT_NE(question, nullptr) << "Delete asks first";
    EXPECT_EQ(Rows(list), 1);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitForRows(list, 0));
    PostMessageW(preferences, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(preferences));
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(10000));
    EXPECT_EQ(SavedAccounts(program.File(L"settings.jov")), 0);
}

TEST(Startup, ConfirmedSettingsAndAccountsOutliveAnEndWithoutAClose)
{
    const int kFullScreen = 1028;
    const int kProxyPort = 1010;
    CRunningProgram program;
    ASSERT_TRUE(program.Start(true));
    const std::wstring file = program.File(L"settings.jov");
    HWND preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    HWND list = AccountsList(preferences);
    ASSERT_NE(list, nullptr);
    AddAccountRow(program, list);

    // The new account's options, confirmed; then the program dies.
    ClickButton(list, 1002);
    HWND options = program.WaitForWindow(nullptr, L"Network settings");
    ASSERT_NE(options, nullptr);
    PostMessageW(options, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(options));
    ASSERT_TRUE(Settled(preferences));
    ASSERT_TRUE(program.Kill());
    std::vector<unsigned> sizes;
    EXPECT_EQ(SavedAccounts(file, &sizes), 1) << "the account added is lost";
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_GT(sizes[0], 0u) << "the options confirmed are lost";

    // The restart has it; values confirmed in the preferences outlive the next end.
    ASSERT_TRUE(program.Restart());
    HWND main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    ChooseFromMainMenu(program, main, 3);
    preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    list = AccountsList(preferences);
    EXPECT_TRUE(WaitForRows(list, 1));
    HWND general = PageWith(preferences, kFullScreen);
    ASSERT_NE(general, nullptr);
    SendDlgItemMessageW(general, kFullScreen, BM_SETCHECK, BST_CHECKED, 0);
    HWND connection = PageWith(preferences, kProxyPort);
    ASSERT_NE(connection, nullptr);
    SendDlgItemMessageW(connection, kProxyPort, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1080"));
    PostMessageW(preferences, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(preferences));
    ASSERT_TRUE(Settled(main));
    ASSERT_TRUE(program.Kill());
    {
        Database::CJOVDatabase stored{Database::CSettingsFile(CJOVString(file.c_str()))};
        unsigned char fullScreen = 0;
        unsigned int port = 0;
        EXPECT_EQ(stored.GetByte(GUID_GUI, L"Full screen", &fullScreen), 1);
        EXPECT_EQ(fullScreen, 1);
        EXPECT_EQ(stored.GetDWord(GUID_SocketsManager, L"Proxy port", &port), 1) << "a value its owner keeps";
        EXPECT_EQ(port, 1080u);
    }
    EXPECT_EQ(SavedAccounts(file), 1);

    // Deleted, and the program dies with the preferences still open.
    ASSERT_TRUE(program.Restart());
    main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    ChooseFromMainMenu(program, main, 3);
    preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    list = AccountsList(preferences);
    ASSERT_TRUE(WaitForRows(list, 1));
    ClickButton(list, 1004);
    HWND question = program.WaitForWindow(nullptr, L"Delete");
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitForRows(list, 0));
    ASSERT_TRUE(Settled(preferences));
    ASSERT_TRUE(program.Kill());
    EXPECT_EQ(SavedAccounts(file), 0) << "the account deleted comes back";

    // No account: the preferences open by themselves.
    ASSERT_TRUE(program.Restart());
    preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    PostMessageW(preferences, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(preferences));
    main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}
