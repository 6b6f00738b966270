// The first run of JOV.exe in a folder without "settings.jov": the
// preferences open on "Accounts"; the user adds an ICQ account, types its
// login and password on "Account" and the scripted server on "Connection",
// confirms, closes the preferences and chooses Online from the account's
// status menu; the server sees the MD5 login. After quitting, the settings
// file holds the account, and after a restart Online logs in again.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "MD5.h"
#include "ServiceIds.h"
#include "app/RunningProgram.h"
#include "core/settings/JOVDatabase.h"
#include "core/settings/NamedValueMap.h"
#include "icqpages/LoginScript.h"

namespace {

const wchar_t kMenuClass[] = L"#32768";
// The first account of every run.
const unsigned int kFirstAccountId = 0x10000001;
const char kUin[] = "123456789";
const char kPassword[] = "secret";

void PostKey(HWND window, UINT key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

void ClickButton(HWND page, int id)
{
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

// Typed into a control of the program, as WM_SETTEXT carries text across processes.
void Type(HWND control, const wchar_t* text)
{
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

struct PageSearch {
    int controlId;
    HWND found;
};

BOOL CALLBACK MatchPage(HWND window, LPARAM param)
{
    PageSearch* search = reinterpret_cast<PageSearch*>(param);
    wchar_t name[16] = {};
    if (GetClassNameW(window, name, 16) && lstrcmpW(name, L"#32770") == 0 && GetDlgItem(window, search->controlId)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The page of a tabbed dialog that holds the control.
HWND PageWith(HWND dialog, int controlId)
{
    PageSearch search = {controlId, nullptr};
    EnumChildWindows(dialog, MatchPage, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Rows(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool Eventually(const std::function<bool()>& done, DWORD ms = 10000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(50);
    }
    return true;
}

// A tap on the middle of the window's soft-key bar: its Done button.
void TapDone(const CRunningProgram& program, HWND window)
{
    HWND bar = nullptr;
    Eventually([&] {
        HWND found = program.FindWindowOf(L"JOV Soft-key Bar", nullptr);
        bar = found && GetWindow(found, GW_OWNER) == window ? found : nullptr;
        return bar != nullptr;
    }, 5000);
    RECT client = {};
    GetClientRect(bar, &client);
    LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(bar, WM_LBUTTONUP, 0, middle);
}

// The status toolbar's buttons, read in the program's own memory.
class CRemoteToolbar {
public:
    CRemoteToolbar(HANDLE process, HWND toolbar) : m_process(process), m_toolbar(toolbar)
    {
        m_remote = static_cast<Block*>(
            VirtualAllocEx(process, nullptr, sizeof(Block), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~CRemoteToolbar()
    {
        if (m_remote)
            VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    }

    // The command of the button of that account, 0 when there is none.
    UINT CommandOf(unsigned int accountId)
    {
        const int count = static_cast<int>(SendMessageW(m_toolbar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count && m_remote; ++i) {
            Block local = {};
            if (!SendMessageW(m_toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&m_remote->button)) ||
                !ReadProcessMemory(m_process, m_remote, &local, sizeof(local), nullptr))
                continue;
            if (static_cast<unsigned int>(local.button.dwData) == accountId)
                return static_cast<UINT>(local.button.idCommand);
        }
        return 0;
    }

    std::wstring TextOf(UINT command)
    {
        Block local = {};
        if (!m_remote || !WriteProcessMemory(m_process, m_remote, &local, sizeof(local), nullptr) ||
            SendMessageW(m_toolbar, TB_GETBUTTONTEXTW, command, reinterpret_cast<LPARAM>(m_remote->text)) < 0 ||
            !ReadProcessMemory(m_process, m_remote, &local, sizeof(local), nullptr))
            return L"<unread>";
        return local.text;
    }

private:
    struct Block {
        TBBUTTON button;
        wchar_t text[128];
    };
    HANDLE m_process;
    HWND m_toolbar;
    Block* m_remote;
};

// Online from the account's status menu: the status items come first from
// the bottom after "X status", "Privacy status" and Offline.
void ChooseOnline(const CRunningProgram& program, HWND main)
{
    // The main window shows a moment before its toolbar is made.
    HWND toolbar = nullptr;
    ASSERT_TRUE(Eventually([&] { return (toolbar = GetDlgItem(main, 1)) != nullptr; }));
    CRemoteToolbar buttons(program.Process(), toolbar);
    UINT command = 0;
    ASSERT_TRUE(Eventually([&] { return (command = buttons.CommandOf(kFirstAccountId)) != 0; }))
        << "no status button of the account";
    PostMessageW(main, WM_COMMAND, command, 0);
    HWND menu = program.WaitForWindow(kMenuClass, nullptr, 5000);
    ASSERT_NE(menu, nullptr) << "the status button opens no menu";
    for (int i = 0; i < 6; ++i)
        PostKey(menu, VK_UP);
    PostKey(menu, VK_RETURN);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(menu));
}

// The overall status's name on the toolbar's first button.
std::wstring OverallStatus(const CRunningProgram& program, HWND main)
{
    CRemoteToolbar buttons(program.Process(), GetDlgItem(main, 1));
    UINT command = buttons.CommandOf(0);
    return command ? buttons.TextOf(command) : L"<none>";
}

// The first account's values in "settings.jov".
NamedValueMap SavedAccount(const std::wstring& path)
{
    NamedValueMap account;
    Database::CJOVDatabase store{Database::CSettingsFile(CJOVString(path.c_str()))};
    unsigned size = 0;
    if (!store.GetValueSize(GUID_ProtocolsManager, L"Accounts data", &size) || size == 0)
        return account;
    std::vector<unsigned char> bytes(size);
    store.GetData(GUID_ProtocolsManager, L"Accounts data", bytes.data(), &size);
    NamedValueMap accounts;
    accounts.Unpack(bytes.data(), size);
    if (const NamedValue* first = accounts.GetAt(0))
        account.Unpack(first->GetData(), first->GetSize());
    return account;
}

std::wstring Wide(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", s.GetLength());
}

} // namespace

TEST(FirstRun, AnICQAccountSetUpInThePreferencesLogsInAndAgainAfterARestart)
{
    CScriptedOscarServer login(20000);
    CScriptedOscarServer bos(30000);
    ASSERT_NE(login.GetPort(), 0);
    LoginSession session;
    AppendLogin(login, bos, kUin, kPassword, {OnlinePrivacyItem()}, session);
    AppendLogin(login, bos, kUin, kPassword, {OnlinePrivacyItem()}, session);
    login.Start();
    bos.Start();

    CRunningProgram program;
    ASSERT_TRUE(program.Start(true));
    ASSERT_EQ(GetFileAttributesW(program.File(L"settings.jov").c_str()), INVALID_FILE_ATTRIBUTES);
    HWND preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    HWND accountsPage = PageWith(preferences, 1000);
    ASSERT_NE(accountsPage, nullptr) << "the preferences open on Accounts";
    HWND list = GetDlgItem(accountsPage, 1000);

    // "Add", then the protocols in the order of their ids: Jabber, ICQ.
    ClickButton(accountsPage, 1001);
    HWND protocols = program.WaitForWindow(kMenuClass, nullptr, 5000);
    ASSERT_NE(protocols, nullptr) << "Add opens no menu";
    PostKey(protocols, VK_DOWN);
    PostKey(protocols, VK_DOWN);
    PostKey(protocols, VK_RETURN);
    ASSERT_TRUE(Eventually([&] { return Rows(list) == 1; })) << "no account added";

    ClickButton(accountsPage, 1002);
    HWND options = program.WaitForWindow(nullptr, L"Network settings");
    ASSERT_NE(options, nullptr) << "Settings opens no options";
    HWND accountPage = PageWith(options, 1069);
    HWND connectionPage = PageWith(options, 1105);
    ASSERT_NE(accountPage, nullptr) << "no ICQ account page";
    ASSERT_NE(connectionPage, nullptr) << "no ICQ connection page";
    EXPECT_TRUE(IsWindowVisible(accountPage));
    Type(GetDlgItem(accountPage, 1015), L"123-456-789");
    Type(GetDlgItem(accountPage, 1016), L"secret");
    EXPECT_EQ(IsDlgButtonChecked(accountPage, 1018), BST_CHECKED) << "the typed password is to be saved";

    // A tap on the "Connection" tab, the second of the strip along the bottom.
    RECT client = {};
    GetClientRect(options, &client);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const LPARAM tab = MAKELPARAM(80 * dpi / 96, client.bottom - 10 * dpi / 96);
    PostMessageW(options, WM_LBUTTONDOWN, MK_LBUTTON, tab);
    PostMessageW(options, WM_LBUTTONUP, 0, tab);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(connectionPage) != FALSE; }, 5000));
    Type(GetDlgItem(connectionPage, 1001), L"127.0.0.1");
    Type(GetDlgItem(connectionPage, 1002), std::to_wstring(login.GetPort()).c_str());
    TapDone(program, options);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(options)) << "the options did not take the values";
    PostMessageW(preferences, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(preferences));

    HWND main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    ChooseOnline(program, main);
    EXPECT_TRUE(Eventually([&] { return session.afterRoster.load(); }, 15000))
        << login.Report() << bos.Report();
    std::wstring status;
    EXPECT_TRUE(Eventually([&] { return (status = OverallStatus(program, main)) == L"Online"; }))
        << "status " << std::string(status.begin(), status.end());

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(15000));
    NamedValueMap saved = SavedAccount(program.File(L"settings.jov"));
    const NamedValue* name = saved.Find(CJOVString(L"Account name"));
    const NamedValue* password = saved.Find(CJOVString(L"Account password"));
    const NamedValue* server = saved.Find(CJOVString(L"Server name"));
    const NamedValue* port = saved.Find(CJOVString(L"Server port"));
    ASSERT_TRUE(name && password && server && port) << "settings.jov lacks the account";
    EXPECT_EQ(Wide(name->AsString()), L"123456789");
    unsigned char digest[16];
    CMD5::Hash(kPassword, static_cast<unsigned>(strlen(kPassword)), digest);
    ASSERT_EQ(password->GetSize(), 16u);
    EXPECT_EQ(std::vector<unsigned char>(password->GetData(), password->GetData() + 16),
              std::vector<unsigned char>(digest, digest + 16));
    EXPECT_EQ(Wide(server->AsString()), L"127.0.0.1");
    EXPECT_EQ(port->AsWord(), login.GetPort());

    // Restarted, the account is there at once: Online logs in again.
    ASSERT_TRUE(program.Restart());
    main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    ChooseOnline(program, main);
    EXPECT_TRUE(login.Wait(15000)) << login.Report();
    EXPECT_TRUE(Eventually([&] { return OverallStatus(program, main) == L"Online"; }));
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(15000));
    EXPECT_TRUE(bos.Wait(15000)) << bos.Report();
}
