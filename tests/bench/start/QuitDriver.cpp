// The quit of a program with accounts online against a minimal Win32
// program's, measured from outside under the same Wine session: each run
// starts the program with an ICQ account at the scripted OSCAR servers and a
// Jabber account at the local ejabberd, takes both online from the status
// menu, closes the program as a user does and times the close to the end of
// its process; then starts and closes the minimal one the same way. A run
// counts when ICQ's connection was closed and ejabberd no longer lists the
// session.
//
//   bench_quit <runs> <program.exe> <minimal.exe> <servers file>
// The servers file is the one tests/xmpp/servers/servers.sh writes; the
// program must trust its authority (quit_bench.sh sees to both).
#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "AccountRig.h"
#include "OscarLogin.h"
#include "ProgramRun.h"
#include "ScriptedOscarServer.h"
#include "bench/BenchRow.h"
#include "bench/ServersFile.h"
#include "msgwnd/ProgramWindows.h"
#include "support/WaitUntil.h"
#include "xmpp/SessionLists.h"

namespace {

const int kStepMs = 30000;
const DWORD kCloseTimeoutMs = 15000;
const char kJabberSession[] = "alice@localhost/JOV PDA";
const wchar_t kListClass[] = L"Contact List Wnd Class";

std::wstring FullPath(const wchar_t* path)
{
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(path, MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(full) : std::wstring(path);
}

bool Listed(int httpPort)
{
    const std::vector<std::string> sessions = EjabberdSessions(httpPort);
    return std::find(sessions.begin(), sessions.end(), kJabberSession) != sessions.end();
}

// Every account online from the whole program's status menu (digit 1): from
// its end, Offline, Invisible for All, Invisible, Online.
bool ChooseOnline(HWND main)
{
    HWND list = WaitForChild(main, kListClass, 10000);
    if (!list)
        return false;
    PostMessageW(list, WM_CHAR, L'1', 1);
    HWND menu = WaitForMenu(5000);
    if (!menu)
        return false;
    Sleep(500);  // the menu takes keys once it is tracking
    for (WPARAM key : {VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN}) {
        PostMessageW(menu, WM_KEYDOWN, key, 1);
        PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
    }
    return WaitUntilGone(menu);
}

// One quit of the program with both accounts online: its time in ms, or negative.
double QuitOnline(const std::wstring& exe, const std::map<std::string, std::string>& servers)
{
    const int http = std::atoi(servers.at("ejabberd_http").c_str());
    const int jabberPort = std::atoi(servers.at("ejabberd_tls").c_str());
    std::atomic<bool> online{false};
    CScriptedOscarServer login(kStepMs), bos(kStepMs);
    if (!login.GetPort() || !bos.GetPort())
        return -1;
    bos.Ignore([&](const OscarWire::Frame&) { return online.load(); });
    ScriptIcqLogin(login, bos.GetPort());
    ScriptIcqBosToOnline(bos,
                         {OscarWire::SsiGroup("", 0, {1}), OscarWire::SsiGroup("Friends", 1, {1, 2}),
                          OscarWire::SsiBuddy("111111", 1, 1, "Alice"), OscarWire::SsiBuddy("222222", 1, 2, "Bob")},
                         online)
        .ExpectClosed();

    const std::wstring settings = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"settings.jov";
    DeleteFileW(settings.c_str());
    if (!CAccountRig::StoreIcqAccount(settings, L"123456", "secret", login.GetPort()) ||
        !CAccountRig::StoreJabberAccount(settings, L"alice", L"alice-pw1", static_cast<unsigned short>(jabberPort))) {
        std::fprintf(stderr, "cannot write the accounts into %ls\n", settings.c_str());
        return -1;
    }
    login.Start();
    bos.Start();
    CProgramRun run(exe);
    if (!run.Start() || run.WaitDrawn(kStepMs) < 0 || !ChooseOnline(run.MainWindow())) {
        std::fprintf(stderr, "%ls did not start or show its status menu\n", exe.c_str());
        return -1;
    }
    if (!WaitUntil([&] { return online.load(); }, kStepMs) || !WaitUntil([&] { return Listed(http); }, kStepMs)) {
        std::fprintf(stderr, "the accounts did not come online: %s%s\n", login.Report().c_str(),
                     bos.Report().c_str());
        return -1;
    }
    const double took = run.TimedClose(kCloseTimeoutMs);
    if (took < 0) {
        std::fprintf(stderr, "%ls did not end in time and was ended\n", exe.c_str());
        return -1;
    }
    if (!bos.Wait(kStepMs) || !WaitUntil([&] { return !Listed(http); }, kStepMs)) {
        std::fprintf(stderr, "a server was not left: %s\n", bos.Report().c_str());
        return -1;
    }
    return took;
}

double QuitMinimal(const std::wstring& exe)
{
    CProgramRun run(exe);
    if (!run.Start() || run.WaitDrawn(kStepMs) < 0)
        return -1;
    return run.TimedClose(kCloseTimeoutMs);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_quit <runs> <program.exe> <minimal.exe> <servers file>\n");
        return 2;
    }
    BeginRows();
    const int runs = std::max(1, _wtoi(argv[1]));
    const std::wstring program = FullPath(argv[2]);
    const std::wstring minimal = FullPath(argv[3]);
    const std::map<std::string, std::string> servers = ReadServers(argv[4]);
    if (!servers.count("ejabberd_http") || !servers.count("ejabberd_tls")) {
        std::fprintf(stderr, "no ejabberd in %ls\n", argv[4]);
        return 1;
    }
    std::vector<double> own, baseline;
    for (int i = 0; i < runs; ++i) {
        const double a = QuitOnline(program, servers);
        const double b = QuitMinimal(minimal);
        if (a < 0 || b < 0)
            return 1;
        own.push_back(a);
        baseline.push_back(b);
    }
    PrintRow("close to end, ICQ+XMPP online", own, "ms", "minimal program", baseline);
    return 0;
}
