// The Verdel module as the program uses it: loaded by the protocols manager,
// its account keeping its settings there and logging in through the sockets
// manager to a scripted login server, and its texts following the program's
// language.
#include <gtest/gtest.h>

#include <memory>

#include "EventArgData.h"
#include "EventNames.h"
#include "Localization.h"
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
#include "support/ModuleRig.h"

TEST(VerdelModule, LoadsLogsInWithItsStoredSettingsAndReportsTheRefusal)
{
    CModuleRig rig;
    Protocols::CProtocolsManagerImpl* manager = rig.manager.get();
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

}

namespace {

// The program's side of the language: its name at start; no texts of its own.
class LanguageHost final : public Protocols::CProtocolsManagerHost {
public:
    explicit LanguageHost(const wchar_t* language) : m_language(language) {}
    bool GetString(int, CJOVString&) override { return false; }
    CJOVString GetLanguageName() override { return m_language; }
    void ShowWarning(unsigned int, const CJOVString&) override {}

private:
    CJOVString m_language;
};

CJOVString VerdelText(const wchar_t* language, int id)
{
    CLocalization file(GetAppDir() + CJOVString(L"Langs"), CJOVString(L"Verdel_"));
    CJOVString text;
    EXPECT_TRUE(file.ChangeLang(CJOVString(language)));
    EXPECT_TRUE(file.GetString(id, text));
    return text;
}

} // namespace

TEST(VerdelModule, StatusNamesFollowTheProgramsLanguageOrEnglish)
{
    const int kFreeForChatText = 8;
    const CJOVString english = VerdelText(L"English", kFreeForChatText);
    const CJOVString czech = VerdelText(L"Czech", kFreeForChatText);
    ASSERT_TRUE(english == CJOVString(L"Free for chat"));  // the file's, not the built-in "Free 4 chat"
    ASSERT_FALSE(czech == english);

    LanguageHost host(L"Russian");  // no Russian ICQ file exists
    CModuleRig rig(&host);
    Protocols::CProtocolsManagerImpl* manager = rig.manager.get();
    unsigned int account = manager->AddAccount(GUID_ICQProtocol);
    ASSERT_NE(account, 0u);
    auto nameNow = [&] {
        Protocols::StatusInfo info;
        manager->GetStatusInfo(account, Protocols::StatusFreeForChat, &info);  // queued after "Lang change"
        return info.name;
    };
    auto switchTo = [&](const wchar_t* language) {
        rig.bus->SendEventToClient(manager->GetClientId(), GUID_GUI, CJOVString(EVENT_LanChanged),
                               new CEventArg_Data<CJOVString>(CJOVString(language)), nullptr, true);
    };

    EXPECT_TRUE(nameNow() == english);
    switchTo(L"Czech");
    EXPECT_TRUE(nameNow() == czech);
    switchTo(L"Russian");
    EXPECT_TRUE(nameNow() == english);  // not the Czech of the switch before
    switchTo(L"Czech");
    EXPECT_TRUE(nameNow() == czech);

}

// The library the listing loaded serves the account too; without an account
// it is freed once the stored accounts are made, and with the manager at last.
TEST(VerdelModule, LibraryStaysForItsAccountAndGoesWithoutOne)
{
    auto loaded = [] { return GetModuleHandleW(L"Verdel.dll") != nullptr; };
    auto rig = std::make_unique<CModuleRig>();
    EXPECT_FALSE(loaded()) << "kept with no account";  // "Loaded" is delivered and handled at once

    ASSERT_NE(rig->manager->AddAccount(GUID_ICQProtocol), 0u);
    EXPECT_TRUE(loaded());
    rig.reset();
    EXPECT_FALSE(loaded());

    // An account made before the stored ones were read keeps its library past that.
    Services::CServicesManagerImpl bus;
    CTempFolder folder;
    Database::CJOVDatabase store(Database::CSettingsFile(folder.Path(L"settings.jov")));
    const unsigned int storeId = bus.RegisterService(GUID_Database, &store);
    {
        Protocols::CProtocolsManagerImpl manager(&bus, nullptr, GetAppDir() + CJOVString(L"Protos\\"));
        EXPECT_TRUE(loaded());  // listed, held for the stored accounts
        ASSERT_NE(manager.AddAccount(GUID_ICQProtocol), 0u);
        bus.FireLoaded();
        EXPECT_EQ(manager.GetAccountCount(), 1);
        EXPECT_TRUE(loaded());
    }
    EXPECT_FALSE(loaded());
    bus.UnregisterService(storeId);
}
