// The Verdel module as the program uses it: loaded by the protocols manager,
// its account keeping its settings there and logging in through the sockets
// manager to a scripted login server.
#include <gtest/gtest.h>

#include <memory>

#include "MD5.h"
#include "ScriptedOscarServer.h"
#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"
#include "core/sockets/JOVSocket.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "core/TempFolder.h"
#include "icqaccount/AccountFixture.h"

TEST(VerdelModule, LoadsLogsInWithItsStoredSettingsAndReportsTheRefusal)
{
    CTempFolder folder;
    auto bus = std::make_unique<Services::CServicesManagerImpl>();
    auto store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(folder.Path(L"settings.jov")));
    unsigned int storeId = bus->RegisterService(GUID_Database, store.get());
    auto sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*bus);
    auto manager = std::make_unique<Protocols::CProtocolsManagerImpl>(bus.get(), nullptr,
                                                                      GetAppDir() + CJOVString(L"Protos\\"));
    bus->FireLoaded();
    ASSERT_NE(manager->FindProtocol(GUID_ICQProtocol), nullptr);
    EXPECT_TRUE(manager->FindProtocol(GUID_ICQProtocol)->info.name == CJOVString(L"ICQ"));

    unsigned int account = manager->AddAccount(GUID_ICQProtocol);
    ASSERT_NE(account, 0u);
    CScriptedOscarServer login;
    manager->SetString(account, CJOVString(L"Account name"), CJOVString(L"123456"));
    unsigned char digest[16];
    CMD5::Hash("secret", 6, digest);
    unsigned size = 16;
    manager->SetData(account, CJOVString(L"Account password"), digest, &size);
    manager->SetString(account, CJOVString(L"Server name"), CJOVString(L"127.0.0.1"));
    WORD port = login.GetPort();
    manager->SetWord(account, CJOVString(L"Server port"), &port);
    BYTE off = 0;
    manager->SetByte(account, CJOVString(L"Keep alive"), &off);
    CJOVString name = manager->GetAccountName(account, false);
    EXPECT_TRUE(name == CJOVString(L"123456"));

    login.Accept()
        .Send(OscarWire::Hello())
        .Expect("version", [](const OscarWire::Frame& frame, std::string&) { return frame.channel == 1; })
        .ExpectSnac(0x17, 0x06)
        .Send(OscarWire::AuthKeyResponse("k"))
        .ExpectSnac(0x17, 0x02)
        .Send(OscarWire::LoginError("123456", 5))
        .ExpectClosed();
    login.Start();
    EXPECT_EQ(manager->SetStatus(account, Protocols::StatusOnline), 1);  // queued to the account
    EXPECT_TRUE(login.Wait(5000)) << login.Report();
    Protocols::Status status = Protocols::StatusConnecting;
    EXPECT_TRUE(WaitUntil([&] { return manager->GetStatus(account, &status) == 0 && status == 0; }));

    manager.reset();
    sockets.reset();
    for (int i = 0; i < 300 && JOVSockets::CJOVSocket::RunningWorkers() > 0; ++i)
        Sleep(10);
    bus->UnregisterService(storeId);
    store.reset();
    bus.reset();
}
