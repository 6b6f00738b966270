// The account against the scripted login and BOS servers on 127.0.0.1,
// through the real sockets manager on a real bus.
#include <gtest/gtest.h>

#include <memory>

#include "EventArgData.h"
#include "ICQProtocol.h"
#include "ServiceIds.h"
#include "ScriptedOscarServer.h"
#include "common/RecordingClient.h"
#include "core/sockets/JOVSocket.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "icqaccount/AccountFixture.h"

namespace {

using OscarWire::Frame;

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        JOVSockets::SocketTimings timings;
        timings.busyPollMs = 20;
        timings.idlePollMs = 50;
        timings.closeWaitMs = 500;
        timings.apiReadyWaitMs = 200;
        m_sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*m_bus, timings);
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

    std::unique_ptr<Services::CServicesManagerImpl> m_bus = std::make_unique<Services::CServicesManagerImpl>();
    std::unique_ptr<JOVSockets::CSocketsManagerImpl> m_sockets;
    CScriptedOscarServer m_login;
    CScriptedOscarServer m_bos;
    CFakeSettings m_settings;
    CRecordingClient m_host;
    unsigned int m_hostId = 0;
    std::unique_ptr<CICQProtocol> m_account;
};

OscarWire::Frame OwnInfo(unsigned int statusWord)
{
    OscarWire::Builder body;
    body.U8(6).Text("123456").U16(0).U16(1).Tlv32(0x0006, 0x10000000 | statusWord);
    return OscarWire::SnacFrame(0x01, 0x0F, body);
}

} // namespace

TEST_F(EndToEndTest, LogsInThroughBothServersLoadsTheListAndGoesAway)
{
    ASSERT_NE(m_login.GetPort(), 0);
    ASSERT_NE(m_bos.GetPort(), 0);
    const OscarWire::Bytes cookie(64, 0x5A);
    m_login.Accept()
        .Send(OscarWire::Hello())
        .Expect("version", [](const Frame& frame, std::string&) { return frame.channel == 1; })
        .ExpectSnac(0x17, 0x06)
        .Send(OscarWire::AuthKeyResponse("0987654321"))
        .ExpectSnac(0x17, 0x02,
                    [](const OscarWire::Snac& snac, std::string& why) {
                        auto tlvs = OscarWire::ParseTlvs(snac.body);
                        const OscarWire::Tlv* digest = OscarWire::FindTlv(tlvs, 0x25);
                        why = "wrong digest";
                        return digest && digest->value == OscarWire::LoginDigest("0987654321", "secret");
                    })
        .Send(OscarWire::LoginReply("123456", "127.0.0.1:" + std::to_string(m_bos.GetPort()), cookie))
        .ExpectClosed();
    m_bos.Accept()
        .Send(OscarWire::Hello())
        .Expect("cookie",
                [&](const Frame& frame, std::string& why) {
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
        // The own information before the last list part: the login steps
        // must still run.
        .Send(OwnInfo(0x0001))
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
