// The account against the scripted login and BOS servers on 127.0.0.1,
// through the real sockets manager on a real bus.
#include <gtest/gtest.h>

#include <memory>

#include "EventArgData.h"
#include "ICQProtocol.h"
#include "ServiceIds.h"
#include "OscarLogin.h"
#include "ScriptedOscarServer.h"
#include "common/RecordingClient.h"
#include "core/sockets/JOVSocket.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "icqaccount/AccountFixture.h"
#include "support/FastSocketTimings.h"

namespace {

using OscarWire::Frame;

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*m_bus, FastSocketTimings());
        m_hostId = m_bus->RegisterEventsClient(&m_host, CJOVString(L"host"));
        m_settings.Set(L"Account name", L"123456");
        m_settings.SetPassword("secret");
        m_settings.Set(L"Server name", L"127.0.0.1");
        m_settings.SetWord(L"Server port", m_login.GetPort());
        m_account = std::make_unique<CICQProtocol>(m_bus.get(), 7, m_hostId, &m_settings, ICQTimings());
    }

    void TearDown() override
    {
        m_account.reset();
        m_bus->UnregisterEventsClient(m_hostId);
        m_sockets.reset();
        for (int i = 0; i < 300 && JOVSockets::CJOVSocket::RunningWorkers() > 0; ++i)
            Sleep(10);
        m_bus.reset();
    }

    int SetStatus(Protocols::Status status)
    {
        return m_bus->SendEventToClient(m_account->GetClientId(), GUID_ProtocolsManager, CJOVString(L"Set status"),
                                        new CEventArg_Data<Protocols::Status>(status), nullptr, true);
    }

    int Warnings()
    {
        int n = 0;
        for (const auto& delivery : m_host.Deliveries())
            n += delivery.name == L"Warning" ? 1 : 0;
        return n;
    }

    std::unique_ptr<Services::CServicesManagerImpl> m_bus = std::make_unique<Services::CServicesManagerImpl>();
    std::unique_ptr<JOVSockets::CSocketsManagerImpl> m_sockets;
    CScriptedOscarServer m_login;
    CScriptedOscarServer m_bos;
    CFakeSettings m_settings;
    CRecordingClient m_host;
    unsigned int m_hostId = 0;
    std::unique_ptr<CICQProtocol> m_account;
};

} // namespace

TEST_F(EndToEndTest, LogsInThroughBothServersLoadsTheListAndGoesAway)
{
    ASSERT_NE(m_login.GetPort(), 0);
    ASSERT_NE(m_bos.GetPort(), 0);
    ScriptIcqLogin(m_login, m_bos.GetPort());
    ScriptIcqBosToList(m_bos)
        // The own information before the last list part: the login steps
        // must still run.
        .Send(OscarWire::OwnInfo("123456", 0x0001))
        .Send(OscarWire::SsiReply({{"Friends", 1, 0, 1, {}}}, 1, true))
        // Away asks for privacy mode 4, kept in a new privacy settings item.
        .ExpectSnac(0x13, 0x08)
        .Send(OscarWire::SsiReply({{"654321", 1, 5, 0, {}}}, 1234))
        .ExpectSnac(0x02, 0x04)
        .ExpectSnac(0x04, 0x02)
        .ExpectSnac(0x04, 0x02)
        .ExpectSnac(0x04, 0x02)
        .ExpectSnac(0x01, 0x1E)
        .ExpectSnac(0x01, 0x02)
        .ExpectSnac(0x13, 0x07)
        .ExpectSnac(0x01, 0x11)
        .ExpectSnac(0x15, 0x02)
        .ExpectClosed();
    m_login.Start();
    m_bos.Start();

    ASSERT_EQ(SetStatus(Protocols::StatusAway), 0);
    // Away on the wire is 0x0001; read without exchanging its bytes it would
    // be taken for Invisible.
    ASSERT_TRUE(WaitUntil([&] { return m_account->GetStatus() == Protocols::StatusAway; }, 5000))
        << m_login.Report() << m_bos.Report();
    EXPECT_TRUE(m_login.Wait(5000)) << m_login.Report();
    ASSERT_TRUE(WaitUntil([&] { return m_bos.Received().size() >= 20; }, 5000)) << m_bos.Report();
    SetStatus(Protocols::StatusOffline);
    EXPECT_TRUE(m_bos.Wait(5000)) << m_bos.Report();
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
}

TEST_F(EndToEndTest, ARefusedConnectionReconnectsTenSecondsLater)
{
    // Real time: the wait of the device.
    m_settings.SetWord(L"Server port", 1);  // nothing listens there
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(WaitUntil([&] { return m_account->IsReconnectPending(); }, 5000));
    DWORD failedAt = GetTickCount();
    CScriptedOscarServer login(15000);
    m_settings.SetWord(L"Server port", login.GetPort());
    login.Accept().Send(OscarWire::Hello()).Expect("version", [](const Frame& frame, std::string&) {
        return frame.channel == 1;
    });
    login.Start();
    EXPECT_TRUE(login.Wait(15000)) << login.Report();
    DWORD waited = GetTickCount() - failedAt;
    EXPECT_GE(waited, 9500u);
    EXPECT_LT(waited, 14000u);
}

TEST_F(EndToEndTest, ABosServerThatClosesBeforeItsGreetingEndsTheLoginWithAWarning)
{
    m_settings.SetByte(L"Keep alive", 0);
    ScriptIcqLogin(m_login, m_bos.GetPort());
    m_bos.Accept().Close();
    m_login.Start();
    m_bos.Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_bos.Wait(5000)) << m_bos.Report();
    EXPECT_TRUE(WaitUntil([&] { return m_account->GetStatus() == Protocols::StatusOffline; }, 5000))
        << "still " << m_account->GetStatus();
    EXPECT_TRUE(WaitUntil([&] { return Warnings() == 1; }));
    EXPECT_FALSE(m_account->IsReconnectPending());
}

TEST_F(EndToEndTest, ABosServerThatClosesBeforeItsGreetingReconnectsWhenKeepAliveAsks)
{
    ICQTimings fast;
    fast.reconnectDelayMs = 50;
    m_account.reset();
    m_account = std::make_unique<CICQProtocol>(m_bus.get(), 7, m_hostId, &m_settings, fast);
    // The second login is the reconnect: the login server sees it greet again.
    ScriptIcqLogin(m_login, m_bos.GetPort())
        .Accept()
        .Send(OscarWire::Hello())
        .Expect("version", [](const Frame& frame, std::string&) { return frame.channel == 1; });
    m_bos.Accept().Close();
    m_login.Start();
    m_bos.Start();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_login.Wait(5000)) << m_login.Report() << m_bos.Report();
    EXPECT_EQ(m_account->GetWantedStatus(), Protocols::StatusOnline);
    SetStatus(Protocols::StatusOffline);
}
