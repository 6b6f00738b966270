// The Jabber module as the program uses it: loaded by the protocols manager,
// its accounts keeping their settings there, and shown by JOV.exe; and the
// registry of accounts.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "AccountRegistry.h"
#include "JabberProtocol.h"
#include "ServiceIds.h"
#include "app/RunningProgram.h"
#include "core/StatusToolbar.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/sockets/JOVSocket.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "support/FakeSettings.h"
#include "support/ModuleRig.h"
#include "xmpp/JabberAccountFixture.h"
#include "xmpp/XmppServers.h"

TEST(JabberModule, TwoAccountsGetTheirOwnClientsAndAreFoundByAccountId)
{
    Services::CServicesManagerImpl bus;
    CFakeSettings settings;
    SetAccountEnvironment(&settings, JabberTimings());
    unsigned int first = CreateJabberAccount(&bus, 21, 1);
    unsigned int second = CreateJabberAccount(&bus, 22, 1);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    EXPECT_NE(first, second);
    ASSERT_NE(FindAccount(22), nullptr);
    EXPECT_EQ(FindAccount(22)->GetClientId(), second);
    EXPECT_EQ(FindAccount(21)->GetClientId(), first);
    EXPECT_EQ(FindAccount(23), nullptr);
    EXPECT_EQ(GetPluginServices(), &bus);
    DestroyJabberAccount(12345);  // unknown: nothing happens
    DestroyJabberAccount(first);
    EXPECT_EQ(FindAccount(21), nullptr);
    EXPECT_NE(FindAccount(22), nullptr);
    DestroyJabberAccount(second);
    SetAccountEnvironment(nullptr, JabberTimings());
}

TEST(JabberModule, LoadedByTheProtocolsManagerItLogsInToEachServerWithItsStoredSettings)
{
    REQUIRE_XMPP_SERVERS(servers);
    CModuleRig rig;
    Protocols::CProtocolsManagerImpl* manager = rig.manager.get();
    ASSERT_NE(manager->FindProtocol(GUID_JabberProtocol), nullptr);
    EXPECT_TRUE(manager->FindProtocol(GUID_JabberProtocol)->info.name == CJOVString(L"Jabber"));

    unsigned int account = manager->AddAccount(GUID_JabberProtocol);
    ASSERT_NE(account, 0u);
    // What the "Account" page stores; no manual settings: the account's own server and port.
    manager->SetString(account, CJOVString(L"Account name"), CJOVString(L"alice"));
    manager->SetString(account, CJOVString(L"Account password"), CJOVString(L"alice-pw1"));
    manager->SetString(account, CJOVString(L"Account server"), CJOVString(L"localhost"));
    BYTE ssl = 1;
    manager->SetByte(account, CJOVString(L"SSL"), &ssl);
    EXPECT_TRUE(manager->GetAccountName(account, false) == CJOVString(L"alice@localhost"));

    Protocols::Status status = Protocols::StatusOffline;
    // A port nobody listens on: the connection fails and the account is offline again.
    DWORD closed = 1;
    manager->SetDWord(account, CJOVString(L"Account port"), &closed);
    EXPECT_EQ(manager->SetStatus(account, Protocols::StatusOnline), 1);  // queued to the account
    EXPECT_TRUE(WaitUntil([&] { return manager->GetStatus(account, &status) == 0 && status == 0; }, 10000));

    for (const char* server : {"ejabberd_tls", "prosody_tls"}) {
        SCOPED_TRACE(server);
        DWORD port = static_cast<DWORD>(servers->Port(server));
        manager->SetDWord(account, CJOVString(L"Account port"), &port);
        EXPECT_EQ(manager->SetStatus(account, Protocols::StatusOnline), 1);
        EXPECT_TRUE(WaitUntil([&] { return manager->GetStatus(account, &status) == 0 && status == 2; }, 15000))
            << "status " << status;
        EXPECT_EQ(manager->SetStatus(account, Protocols::StatusOffline), 1);
        EXPECT_TRUE(WaitUntil([&] { return manager->GetStatus(account, &status) == 0 && status == 0; }));
    }

}

TEST(JabberModule, JovShowsAJabberAccountsButtonOnTheStatusToolbar)
{
    CRunningProgram program;
    // The program's folder: its settings with one Jabber account, and the plug-in.
    std::wstring protos = program.File(L"Protos");
    std::wstring jabber = protos + L"\\Jabber";
    std::wstring module = jabber + L"\\Jabber.dll";
    {
        Services::CServicesManagerImpl bus;
        Database::CJOVDatabase store{Database::CSettingsFile(CJOVString(program.File(L"settings.jov").c_str()))};
        unsigned int storeId = bus.RegisterService(GUID_Database, &store);
        {
            Protocols::CProtocolsManagerImpl manager(&bus, nullptr, GetAppDir() + CJOVString(L"Protos\\"));
            bus.FireLoaded();
            unsigned int account = manager.AddAccount(GUID_JabberProtocol);
            ASSERT_NE(account, 0u);
            manager.SetString(account, CJOVString(L"Account name"), CJOVString(L"alice"));
            manager.SetString(account, CJOVString(L"Account server"), CJOVString(L"localhost"));
        }
        bus.UnregisterService(storeId);
    }
    ASSERT_TRUE(CreateDirectoryW(protos.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(jabber.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW((GetAppDir() + CJOVString(L"Protos\\Jabber\\Jabber.dll")), module.c_str(), FALSE));

    ASSERT_TRUE(program.Start());
    HWND main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    // The window shows before its toolbar is made.
    HWND toolbar = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (toolbar = GetDlgItem(main, kStatusToolbarId)) != nullptr; }, 10000));
    // The account's button and the overall status's.
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) == 2; }, 10000))
        << SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) << " buttons";

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
    DeleteFileW(module.c_str());
    RemoveDirectoryW(jabber.c_str());
    RemoveDirectoryW(protos.c_str());
}
