#include "icqpages/PluginWorld.h"

#include <commctrl.h>

#include "MD5.h"
#include "ServiceIds.h"
#include "core/AppGlobals.h"

using OscarWire::Frame;

std::wstring Str(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", s.GetLength());
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start > static_cast<DWORD>(timeoutMs))
            return false;
        // Keep this thread's windows alive while waiting.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

void PluginWorldTest::SetUp()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    bus = std::make_unique<Services::CServicesManagerImpl>();
    store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
    m_storeId = bus->RegisterService(GUID_Database, store.get());
    skins = std::make_unique<Skins::CSkinManagerImpl>(bus.get(), &m_skinWindows);
    JOVSockets::SocketTimings timings;
    timings.busyPollMs = 20;
    timings.idlePollMs = 50;
    timings.closeWaitMs = 500;
    timings.apiReadyWaitMs = 200;
    sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*bus, timings);
    model = std::make_unique<CL::CContactListImpl>(*bus);
    manager = std::make_unique<Protocols::CProtocolsManagerImpl>(bus.get(), nullptr);
    model->SetAccountDirectory(manager.get());
    bus->FireLoaded();
    g_App.hInstance = GetModuleHandleW(nullptr);
    g_App.pServices = &gui;
    g_App.pProtocolsManager = manager.get();
    g_App.pContactList = model.get();
    login = std::make_unique<CScriptedOscarServer>();
    bos = std::make_unique<CScriptedOscarServer>(20000);
}

void PluginWorldTest::TearDown()
{
    g_App.pContactList = nullptr;
    g_App.pProtocolsManager = nullptr;
    g_App.pServices = nullptr;
    // As the program ends: the model goes before the accounts' manager it asks.
    model.reset();
    manager.reset();
    sockets.reset();
    login.reset();
    bos.reset();
    skins.reset();
    bus->UnregisterService(m_storeId);
    store.reset();
    bus.reset();
}

unsigned int PluginWorldTest::AddIcqAccount()
{
    unsigned int account = manager->AddAccount(GUID_ICQProtocol);
    EXPECT_NE(account, 0u);
    manager->SetString(account, CJOVString(L"Server name"), CJOVString(L"127.0.0.1"));
    WORD port = login->GetPort();
    manager->SetWord(account, CJOVString(L"Server port"), &port);
    return account;
}

void PluginWorldTest::SetLogin(unsigned int account, const wchar_t* uin, const char* password)
{
    manager->SetString(account, CJOVString(L"Account name"), CJOVString(uin));
    unsigned char digest[16];
    CMD5::Hash(password, static_cast<unsigned>(strlen(password)), digest);
    unsigned size = 16;
    manager->SetData(account, CJOVString(L"Account password"), digest, &size);
}

std::wstring PluginWorldTest::Setting(unsigned int account, const wchar_t* name)
{
    CJOVString value;
    manager->GetString(account, CJOVString(name), value);
    return Str(value);
}

void PluginWorldTest::ScriptLogin(const std::string& uin, const std::string& password,
                                  const std::vector<OscarWire::SsiItem>& roster)
{
    const OscarWire::Bytes cookie(64, 0x5A);
    const std::string key = "1234567890";
    login->Accept()
        .Send(OscarWire::Hello())
        .Expect("version", [](const Frame& frame, std::string&) { return frame.channel == 1; })
        .ExpectSnac(0x17, 0x06)
        .Send(OscarWire::AuthKeyResponse(key))
        .ExpectSnac(0x17, 0x02,
                    [uin, key, password](const OscarWire::Snac& snac, std::string& why) {
                        auto tlvs = OscarWire::ParseTlvs(snac.body);
                        const OscarWire::Tlv* name = OscarWire::FindTlv(tlvs, 0x01);
                        const OscarWire::Tlv* digest = OscarWire::FindTlv(tlvs, 0x25);
                        why = "wrong login or digest";
                        return name && std::string(name->value.begin(), name->value.end()) == uin && digest &&
                               digest->value == OscarWire::LoginDigest(key, password);
                    })
        .Send(OscarWire::LoginReply(uin, "127.0.0.1:" + std::to_string(bos->GetPort()), cookie))
        .ExpectClosed();

    OscarWire::Builder ownInfo;
    ownInfo.U8(static_cast<unsigned int>(uin.size())).Text(uin).U16(0).U16(1).Tlv32(0x0006, 0x10000000);
    const std::vector<OscarWire::SsiItem> items = roster;
    bos->Ignore([this](const Frame&) { return m_afterRoster.load(); })
        .Accept()
        .Send(OscarWire::Hello())
        .Expect("cookie",
                [cookie](const Frame& frame, std::string& why) {
                    auto tlvs = OscarWire::ParseTlvs(frame.payload, 4);
                    const OscarWire::Tlv* sent = OscarWire::FindTlv(tlvs, 0x06);
                    why = "no cookie";
                    return frame.channel == 1 && sent && sent->value == cookie;
                })
        .Send(OscarWire::Families({0x01, 0x02, 0x03, 0x04, 0x13, 0x15}))
        .ExpectSnac(0x01, 0x17)
        .Send(OscarWire::FamilyVersions({{0x01, 4}, {0x13, 4}}))
        .ExpectSnac(0x01, 0x06)
        .Send(OscarWire::RateInfo(3, 0))
        .ExpectSnac(0x01, 0x08)
        .ExpectSnac(0x13, 0x02)
        .ExpectSnac(0x02, 0x02)
        .ExpectSnac(0x03, 0x02)
        .ExpectSnac(0x04, 0x04)
        .ExpectSnac(0x09, 0x02)
        .Send(OscarWire::SnacFrame(0x02, 0x03, {}))
        .ExpectSnac(0x02, 0x04)
        .Send(OscarWire::SnacFrame(0x13, 0x03, {}))
        .ExpectSnac(0x13, 0x04)
        .Send([this, items]() {
            m_rosterFrames = bos->Received().size();
            m_afterRoster = true;
            return OscarWire::SsiReply(items, 1234);
        })
        .Send(OscarWire::SnacFrame(0x01, 0x0F, ownInfo))
        .ExpectClosed();
    login->Start();
    bos->Start();
}

bool PluginWorldTest::GoOnline(unsigned int account)
{
    manager->SetStatus(account, Protocols::StatusOnline);
    return WaitUntil([&] { return Status(account) == Protocols::StatusOnline; }, 10000);
}

void PluginWorldTest::GoOffline(unsigned int account)
{
    manager->SetStatus(account, Protocols::StatusOffline);
    WaitUntil([&] { return Status(account) == Protocols::StatusOffline; }, 10000);
}

std::vector<Frame> PluginWorldTest::AfterRoster()
{
    std::vector<Frame> all = bos->Received();
    if (m_rosterFrames >= all.size())
        return {};
    return std::vector<Frame>(all.begin() + static_cast<long>(m_rosterFrames), all.end());
}

Protocols::Status PluginWorldTest::Status(unsigned int account)
{
    Protocols::Status status = Protocols::StatusOffline;
    manager->GetStatus(account, &status);
    return status;
}
