// JOV.exe quit as a user quits it, with an ICQ account online at the scripted
// OSCAR servers and a Jabber account online at the local ejabberd, in real
// time: the process ends soon after the close, having closed ICQ's
// connection, ended its XMPP stream (ejabberd's debug log shows the
// </stream:stream> it received, and the session is gone) and written
// "settings.jov" again.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "AccountRig.h"
#include "OscarLogin.h"
#include "ScriptedOscarServer.h"
#include "ServiceIds.h"
#include "core/settings/SettingsFile.h"
#include "msgwnd/ProgramWindows.h"
#include "notify/DebuggedProgram.h"
#include "support/WaitUntil.h"
#include "xmpp/SessionLists.h"
#include "xmpp/XmppServers.h"

namespace {

const int kStepMs = 30000;
// Generous for a busy machine; a quit takes tens of milliseconds here.
const double kQuitBoundMs = 3000;
const char kJov[] = "alice@localhost/JOV PDA";
const wchar_t kListClass[] = L"Contact List Wnd Class";

bool Listed(int httpPort)
{
    const std::vector<std::string> sessions = EjabberdSessions(httpPort);
    return std::find(sessions.begin(), sessions.end(), kJov) != sessions.end();
}

} // namespace

TEST(ProgramQuit, WithIcqAndJabberOnlineItEndsWithinABoundAfterBothGoodbyesAndTheSettings)
{
    REQUIRE_XMPP_SERVERS(servers);
    const int http = servers->Port("ejabberd_http");
    ASSERT_TRUE(WaitUntil([&] { return !Listed(http); }, kStepMs)) << "a session of an earlier test is still listed";

    std::atomic<bool> icqOnline{false};
    CScriptedOscarServer login(kStepMs), bos(kStepMs);
    ASSERT_TRUE(login.GetPort() && bos.GetPort());
    // Once online, whatever the account sends is skipped: the close is what counts.
    bos.Ignore([&](const OscarWire::Frame&) { return icqOnline.load(); });
    ScriptIcqLogin(login, bos.GetPort());
    ScriptIcqBosToOnline(bos,
                         {OscarWire::SsiGroup("", 0, {1}), OscarWire::SsiGroup("Friends", 1, {1, 2}),
                          OscarWire::SsiBuddy("111111", 1, 1, "Alice"), OscarWire::SsiBuddy("222222", 1, 2, "Bob")},
                         icqOnline)
        .Send([] { return OscarWire::UserOnline("222222", {{0x0006, OscarWire::Builder().U32(0x10000000).Get()}}); })
        .ExpectClosed();

    CDebuggedProgram program;
    ASSERT_TRUE(program.PrepareWhole());
    const std::wstring settings = program.Folder() + L"\\settings.jov";
    ASSERT_TRUE(CAccountRig::StoreIcqAccount(settings, L"123456", "secret", login.GetPort()));
    ASSERT_TRUE(CAccountRig::StoreJabberAccount(settings, L"alice", L"alice-pw1",
                                                static_cast<unsigned short>(servers->Port("ejabberd_tls"))));
    login.Start();
    bos.Start();
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitForWindow(L"JOV", 20000);
    ASSERT_NE(main, nullptr);
    HWND list = WaitForChild(main, kListClass, 10000);
    ASSERT_NE(list, nullptr);

    // Both online from the whole program's status menu (digit 1): from its
    // end, Offline, Invisible for All, Invisible, Online.
    PostMessageW(list, WM_CHAR, L'1', 1);
    HWND statusMenu = WaitForMenu(5000);
    ASSERT_NE(statusMenu, nullptr);
    Sleep(500);  // the menu takes keys once it is tracking
    for (WPARAM key : {VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN}) {
        PostMessageW(statusMenu, WM_KEYDOWN, key, 1);
        PostMessageW(statusMenu, WM_KEYUP, key, 0xC0000001);
    }
    ASSERT_TRUE(WaitUntilGone(statusMenu));
    ASSERT_TRUE(WaitUntil([&] { return icqOnline.load(); }, kStepMs)) << login.Report() << bos.Report();
    ASSERT_TRUE(WaitUntil([&] { return Listed(http); }, kStepMs)) << "alice never came online";

    const std::wstring log = servers->Text("ejabberd_log");
    const long logStart = static_cast<long>(LogFrom(log, 0).size());
    ASSERT_GT(logStart, 0) << "no ejabberd log";
    ASSERT_TRUE(SetEjabberdLogLevel(http, "debug"));
    // What the quit writes, and nothing older.
    ASSERT_TRUE(DeleteFileW(settings.c_str()));

    const auto closed = std::chrono::steady_clock::now();
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(kStepMs));
    const double quitMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - closed).count();
    EXPECT_LT(quitMs, kQuitBoundMs);

    EXPECT_TRUE(bos.Wait(kStepMs)) << "ICQ's connection was not closed: " << bos.Report();
    std::string logged;
    EXPECT_TRUE(WaitUntil([&] {
        logged = LogFrom(log, logStart);
        return logged.find("Received XML on stream = <<\"</stream:stream>\">>") != std::string::npos;
    }, 10000)) << "ejabberd received no end of the stream; its log ends:\n"
               << logged.substr(logged.size() > 2000 ? logged.size() - 2000 : 0);
    SetEjabberdLogLevel(http, "info");
    EXPECT_TRUE(WaitUntil([&] { return !Listed(http); }, kStepMs)) << "ejabberd still lists the session";

    Database::SectionMap sections;
    ASSERT_TRUE(Database::CSettingsFile(CJOVString(settings.c_str())).Load(sections)) << "settings.jov not written";
    EXPECT_NE(sections[GUID_ProtocolsManager.GetString()].Find(CJOVString(L"Accounts data")), nullptr);
}
