// JOV.exe on its first run, driven from outside as a user drives it: no
// "settings.jov", so the preferences open on "Accounts"; "Add", "Jabber",
// "Settings", the "Account" page filled in, OK, OK; then Online from the
// account's status menu. The server's own session list must show the
// account; after a restart the account logs in again from what was saved.
// The program trusts the servers through the prefix's root store
// (trust/TrustRoot.cpp, run by the test fixture).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/RunningProgram.h"
#include "contactlist/DialogIds.h"
#include "core/StatusToolbar.h"
#include "xmpp/SessionLists.h"
#include "xmpp/XmppServers.h"

namespace {

const char kSession[] = "alice@localhost/JOV PDA";

bool WaitUntilTrue(const std::function<bool()>& done, DWORD ms = 15000)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(50);
    }
    return true;
}

struct ChildSearch {
    int id;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (GetDlgCtrlID(window) == search->id && lstrcmpiW(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A control anywhere inside a dialog and its pages.
HWND FindControl(HWND dialog, int id, const wchar_t* className)
{
    ChildSearch search = {id, className, nullptr};
    EnumChildWindows(dialog, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The popup menu the program has open, waited for.
HWND WaitForMenu(const CRunningProgram& program)
{
    return program.WaitForWindow(L"#32768", nullptr, 10000);
}

void Keys(HWND window, std::initializer_list<UINT> keys)
{
    for (UINT key : keys) {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    }
}

// Sent, not posted: each is done before the next, as a user's taps are.
void Tap(HWND control)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
}

void Type(HWND control, const std::wstring& text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 5000, &result);
}

// A control's text in another process: asked, not the window's caption.
std::wstring TextOf(HWND control)
{
    wchar_t text[256] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &result);
    return text;
}

bool Lists(const std::vector<std::string>& sessions)
{
    return std::find(sessions.begin(), sessions.end(), kSession) != sessions.end();
}

class FirstRunTest : public ::testing::Test {
protected:
    // The Jabber plug-in alone in the program's "Protos": the protocol menu has one item.
    void CopyPlugin(const CRunningProgram& program)
    {
        std::wstring from = std::wstring(GetAppDir()) + L"Protos\\Jabber";
        std::wstring protos = program.File(L"Protos"), to = protos + L"\\Jabber";
        CreateDirectoryW(protos.c_str(), nullptr);
        CreateDirectoryW(to.c_str(), nullptr);
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((from + L"\\*.*").c_str(), &found);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                ASSERT_TRUE(CopyFileW((from + L"\\" + found.cFileName).c_str(),
                                      (to + L"\\" + found.cFileName).c_str(), FALSE));
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    // The first-run path up to the account's settings stored.
    void AddAccount(const CRunningProgram& program, int port)
    {
        HWND preferences = program.WaitForWindow(nullptr, L"Preferences", 20000);
        ASSERT_NE(preferences, nullptr) << "no preferences on the first run";
        HWND list = FindControl(preferences, IDC_ACCOUNTS_LIST, L"SysListView32");
        HWND add = FindControl(preferences, IDC_ACCOUNT_ADD, L"Button");
        ASSERT_NE(list, nullptr) << "the \"Accounts\" page is not there";
        ASSERT_NE(add, nullptr);
        EXPECT_TRUE(IsWindowVisible(list)) << "the preferences open on \"Accounts\"";
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
        PostMessageW(add, BM_CLICK, 0, 0);
        HWND menu = WaitForMenu(program);
        ASSERT_NE(menu, nullptr) << "no menu of protocols";
        Keys(menu, {VK_DOWN, VK_RETURN});
        ASSERT_TRUE(WaitUntilTrue([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));

        PostMessageW(FindControl(preferences, IDC_ACCOUNT_SETTINGS, L"Button"), BM_CLICK, 0, 0);
        HWND options = program.WaitForWindow(nullptr, L"Network settings");
        ASSERT_NE(options, nullptr);
        HWND name = FindControl(options, 1015, L"Edit");
        ASSERT_NE(name, nullptr) << "no \"Account\" page";
        HWND portEdit = FindControl(options, 1021, L"Edit");
        Type(name, L"alice");
        Type(FindControl(options, 1016, L"Edit"), L"alice-pw1");
        Tap(FindControl(options, 1018, L"Button"));
        Type(FindControl(options, 1020, L"Edit"), L"localhost");
        Tap(FindControl(options, 1022, L"Button"));
        EXPECT_EQ(TextOf(portEdit), L"5223") << "\"Use SSL\" proposes the SSL port";
        Type(portEdit, std::to_wstring(port));
        PostMessageW(options, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(CRunningProgram::WaitUntilGone(options));
        PostMessageW(preferences, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(CRunningProgram::WaitUntilGone(preferences));
    }

    // Online from the account's own status menu.
    void GoOnline(const CRunningProgram& program)
    {
        HWND main = program.WaitForWindow(L"JOV", L"JOV");
        ASSERT_NE(main, nullptr);
        // The window shows before its toolbar is made.
        HWND toolbar = nullptr;
        ASSERT_TRUE(WaitUntilTrue([&] { return (toolbar = GetDlgItem(main, kStatusToolbarId)) != nullptr; }));
        ASSERT_TRUE(WaitUntilTrue([&] { return SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) == 2; }))
            << "the account's button and the overall one";
        // The account's button has no text; the overall status's has its name.
        UINT account = 0;
        for (UINT command = kFirstStatusButtonCommand; command < kFirstStatusButtonCommand + 2; ++command) {
            if (SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0) >= 0 &&
                SendMessageW(toolbar, TB_GETBUTTONTEXTW, command, 0) <= 0)
                account = command;
        }
        ASSERT_NE(account, 0u);
        PostMessageW(main, WM_COMMAND, account, 0);
        HWND menu = WaitForMenu(program);
        ASSERT_NE(menu, nullptr) << "no status menu";
        // From the bottom: Offline, Invisible, Online.
        Keys(menu, {VK_UP, VK_UP, VK_UP, VK_RETURN});
    }

    void Quit(CRunningProgram& program)
    {
        HWND main = program.FindWindowOf(L"JOV", L"JOV");
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit(15000));
    }

    void FirstRunAndRestart(const std::function<std::vector<std::string>()>& sessions, int port)
    {
        CRunningProgram program;
        CopyPlugin(program);
        ASSERT_TRUE(program.Start());
        AddAccount(program, port);
        if (HasFatalFailure())
            return;
        GoOnline(program);
        EXPECT_TRUE(WaitUntilTrue([&] { return Lists(sessions()); }, 20000)) << "the server lists no session";
        Quit(program);
        EXPECT_TRUE(WaitUntilTrue([&] { return !Lists(sessions()); })) << "still listed after the program ended";
        EXPECT_NE(GetFileAttributesW(program.File(L"settings.jov").c_str()), INVALID_FILE_ATTRIBUTES);

        // Again from what was saved: no preferences, only the status.
        ASSERT_TRUE(program.Restart());
        GoOnline(program);
        EXPECT_TRUE(WaitUntilTrue([&] { return Lists(sessions()); }, 20000)) << "no login after the restart";
        EXPECT_EQ(program.FindWindowOf(nullptr, L"Preferences"), nullptr);
        Quit(program);
    }
};

} // namespace

TEST_F(FirstRunTest, JovSetsUpAJabberAccountAndLogsInToEjabberdThenAgainAfterARestart)
{
    REQUIRE_XMPP_SERVERS(servers);
    const int http = servers->Port("ejabberd_http");
    FirstRunAndRestart([http] { return EjabberdSessions(http); }, servers->Port("ejabberd_tls"));
}

TEST_F(FirstRunTest, JovSetsUpAJabberAccountAndLogsInToProsodyThenAgainAfterARestart)
{
    REQUIRE_XMPP_SERVERS(servers);
    const int console = servers->Port("prosody_console");
    FirstRunAndRestart([console] { return ProsodySessions(console); }, servers->Port("prosody_tls"));
}
