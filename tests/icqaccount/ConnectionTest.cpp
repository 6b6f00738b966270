// Login, framing and the error paths of the connection, against the fake
// sockets service so that the test cuts the stream where it likes.
#include "icqaccount/AccountFixture.h"

using OscarWire::Frame;

namespace {

// The frames of a client SNAC, family and subtype each.
std::vector<std::pair<unsigned int, unsigned int>> SnacsOf(const std::vector<Frame>& frames)
{
    std::vector<std::pair<unsigned int, unsigned int>> snacs;
    for (const Frame& frame : frames) {
        if (frame.channel == 2) {
            OscarWire::Snac snac = frame.GetSnac();
            snacs.emplace_back(snac.family, snac.subtype);
        }
    }
    return snacs;
}

} // namespace

TEST_F(AccountTest, LoginGoesThroughTheLoginServerToTheBosServerAndOnline)
{
    LoginToBos();
    std::vector<Frame> sent = m_sockets.Sent();
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(sent[0].channel, 1u);  // version
    EXPECT_TRUE(sent[1].IsSnac(0x17, 0x06));
    ASSERT_TRUE(sent[2].IsSnac(0x17, 0x02));
    auto tlvs = OscarWire::ParseTlvs(sent[2].GetSnac().body);
    const OscarWire::Tlv* digest = OscarWire::FindTlv(tlvs, 0x25);
    ASSERT_NE(digest, nullptr);
    EXPECT_EQ(digest->value, OscarWire::LoginDigest("1234567890", "secret"));
    EXPECT_EQ(sent[3].channel, 1u);  // the cookie
    auto cookieTlvs = OscarWire::ParseTlvs(sent[3].payload, 4);
    const OscarWire::Tlv* cookie = OscarWire::FindTlv(cookieTlvs, 0x06);
    ASSERT_NE(cookie, nullptr);
    EXPECT_EQ(cookie->value, OscarWire::Bytes(256, 0x42));
    auto connects = m_sockets.Connects();
    EXPECT_EQ(std::wstring(connects[1].host.Data(), connects[1].host.GetLength()), L"127.0.0.1");
    EXPECT_EQ(connects[1].port, 5191);

    m_sockets.ClearSent();
    NegotiateServices();
    std::vector<std::pair<unsigned int, unsigned int>> expected = {
        {0x01, 0x17}, {0x01, 0x06}, {0x01, 0x08}, {0x13, 0x02}, {0x02, 0x02}, {0x03, 0x02}, {0x04, 0x04},
        {0x09, 0x02}, {0x02, 0x04},
        // the login steps
        {0x02, 0x04}, {0x04, 0x02}, {0x04, 0x02}, {0x04, 0x02}, {0x01, 0x1E}, {0x01, 0x02}, {0x13, 0x07},
        {0x01, 0x11}, {0x15, 0x02}};
    EXPECT_EQ(SnacsOf(m_sockets.Sent()), expected);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusConnecting);

    Deliver(OwnInfo(0x0000));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOnline);
    EXPECT_EQ(Manager(L"Get status"), Protocols::StatusOnline);
    EXPECT_TRUE(WaitUntil([&] { return Count(L"Status changed") == 2; }));
}

TEST_F(AccountTest, SequenceNumbersRunUpToHexEightThousandAndThenZero)
{
    EXPECT_EQ(CICQProtocol::FollowingSequence(0x7FFF), 0x8000);
    EXPECT_EQ(CICQProtocol::FollowingSequence(0x8000), 0);
    m_account->SetSequenceForTest(0x7FFE);
    LoginToBos();
    std::vector<Frame> sent = m_sockets.Sent();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[0].sequence, 0x7FFFu);
    EXPECT_EQ(sent[1].sequence, 0x8000u);
    EXPECT_EQ(sent[2].sequence, 0u);
}

TEST_F(AccountTest, AFrameCutAnywhereIsReassembled)
{
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect");
    OscarWire::Bytes hello = OscarWire::FlapBytes(1, 1, OscarWire::Hello().payload);
    OscarWire::Bytes key = OscarWire::FlapBytes(2, 2, OscarWire::AuthKeyResponse("abc").payload);
    OscarWire::Bytes stream = hello;
    stream.insert(stream.end(), key.begin(), key.end());
    for (size_t cut = 1; cut < stream.size(); ++cut) {
        SCOPED_TRACE(cut);
        m_sockets.ClearSent();
        Deliver(OscarWire::Bytes(stream.begin(), stream.begin() + static_cast<long>(cut)));
        Deliver(OscarWire::Bytes(stream.begin() + static_cast<long>(cut), stream.end()));
        // version, key request, login
        std::vector<Frame> sent = m_sockets.Sent();
        ASSERT_EQ(sent.size(), 3u);
        EXPECT_TRUE(sent[2].IsSnac(0x17, 0x02));
    }
}

TEST_F(AccountTest, TwoFramesInOneReadAreBothHandled)
{
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect");
    OscarWire::Bytes both = OscarWire::FlapBytes(1, 1, OscarWire::Hello().payload);
    OscarWire::Bytes key = OscarWire::FlapBytes(2, 2, OscarWire::AuthKeyResponse("abc").payload);
    both.insert(both.end(), key.begin(), key.end());
    Deliver(both);
    EXPECT_EQ(m_sockets.Sent().size(), 3u);
}

TEST_F(AccountTest, AStreamThatLosesItsFramingDropsTheConnection)
{
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect");
    Deliver(OscarWire::Bytes{0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00});
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
}

TEST_F(AccountTest, ConnectNeedsNameAndPassword)
{
    m_settings.SetData(0, CJOVString(L"Account password"), {});
    EXPECT_EQ(SetStatus(Protocols::StatusOnline), 0);  // the event's answer
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_TRUE(m_sockets.Connects().empty());
    EXPECT_TRUE(WaitUntil([&] { return Count(L"Warning") == 1; }));
}

TEST_F(AccountTest, SetStatusRequestsOfflineAndConnecting)
{
    EXPECT_EQ(SetStatus(Protocols::StatusConnecting), 0);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    EXPECT_EQ(Manager(L"Get status"), Protocols::StatusConnecting);
    SetStatus(Protocols::StatusOffline);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_EQ(m_sockets.Current(), nullptr);
}

TEST_F(AccountTest, LoginErrorTwentyFourReconnectsAndFiveStaysOffline)
{
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect");
    Deliver(OscarWire::LoginError("123456", 5));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_FALSE(m_account->IsReconnectPending());

    ASSERT_EQ(SetStatus(Protocols::StatusAway), 0);
    SocketEvent(L"Connect");
    Deliver(OscarWire::LoginError("123456", 24));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    // The reconnect asks for the status of the last connect.
    ASSERT_TRUE(WaitUntil([&] { return m_sockets.Connects().size() == 3; }));
    EXPECT_EQ(m_account->GetWantedStatus(), Protocols::StatusAway);
    EXPECT_TRUE(WaitUntil([&] { return Count(L"Warning") == 2; }));
}

TEST_F(AccountTest, ALoginReplyWithoutServerOrErrorFails)
{
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect");
    Deliver(OscarWire::SnacFrame(0x17, 0x03, OscarWire::Builder().Tlv(0x0001, std::string("123456"))));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_EQ(m_sockets.Connects().size(), 1u);
    EXPECT_TRUE(WaitUntil([&] { return Count(L"Warning") == 1; }));
}

TEST_F(AccountTest, ClosingTheLoginConnectionAfterAGoodReplyKeepsTheAccount)
{
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect");
    JOVSockets::CJOVSocket* login = m_sockets.Current();
    Deliver(OscarWire::Hello());
    Deliver(OscarWire::AuthKeyResponse("k"));
    Deliver(OscarWire::LoginReply("123456", "127.0.0.1:5191", OscarWire::Bytes(16, 1)));
    SocketEvent(L"Close", nullptr, login);
    ASSERT_TRUE(WaitUntil([&] { return m_sockets.Connects().size() == 2; }));
    SocketEvent(L"Connect");
    Deliver(OscarWire::Hello());
    // Once greeted, a late close of the old connection still changes nothing.
    SocketEvent(L"Close", nullptr, login);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusConnecting);
    SocketEvent(L"Close");
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
}

TEST_F(AccountTest, AFailedConnectWarnsAndReconnects)
{
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect", new CEventArg_Data<int>(10061));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_TRUE(WaitUntil([&] { return m_sockets.Connects().size() == 2; }));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusConnecting);
}

TEST_F(AccountTest, WithKeepAliveOffNothingReconnects)
{
    m_settings.SetByte(L"Keep alive", 0);
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect", new CEventArg_Data<int>(10061));
    EXPECT_FALSE(m_account->IsReconnectPending());
    Sleep(150);
    EXPECT_EQ(m_sockets.Connects().size(), 1u);
}

TEST_F(AccountTest, SetStatusOfflineStopsAWaitingReconnect)
{
    MakeAccount([] {
        ICQTimings timings = FastTimings();
        timings.reconnectDelayMs = 100000;
        return timings;
    }());
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect", new CEventArg_Data<int>(10061));
    EXPECT_TRUE(m_account->IsReconnectPending());
    SetStatus(Protocols::StatusOffline);
    EXPECT_FALSE(m_account->IsReconnectPending());
}

TEST_F(AccountTest, SignoffAndServerPause)
{
    LoginToOnline();
    Deliver(OscarWire::Signoff(0x09, 1));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_FALSE(m_account->IsReconnectPending());

    LoginToOnline();
    Deliver(OscarWire::SnacFrame(0x01, 0x0B, {}));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_TRUE(WaitUntil([&] { return Count(L"Warning") == 2; }));
}

TEST_F(AccountTest, KeepAliveFramesFlowWhileOnlineAndStopAtDisconnect)
{
    LoginToOnline();
    EXPECT_TRUE(m_account->IsKeepAliveRunning());
    auto keepAlives = [&] {
        int n = 0;
        for (const Frame& frame : m_sockets.Sent())
            n += frame.channel == 5 ? 1 : 0;
        return n;
    };
    EXPECT_TRUE(WaitUntil([&] { return keepAlives() >= 2; }));
    SetStatus(Protocols::StatusOffline);
    EXPECT_FALSE(m_account->IsKeepAliveRunning());
    int after = keepAlives();
    Sleep(100);
    EXPECT_EQ(keepAlives(), after);
    // Sent under one lock, the numbers still go up by one.
    std::vector<Frame> sent = m_sockets.Sent();
    for (size_t i = 1; i < sent.size(); ++i)
        EXPECT_EQ(sent[i].sequence, CICQProtocol::FollowingSequence(static_cast<unsigned short>(sent[i - 1].sequence)));
}

TEST_F(AccountTest, AnEmailLoginTakesItsUinFromTheLoginReply)
{
    m_settings.Set(L"Account name", L"alice@example.com");
    LoginToBos();  // the reply names UIN 123456
    m_sockets.ClearSent();
    NegotiateServices();
    const Frame* metaRequest = nullptr;
    std::vector<Frame> sent = m_sockets.Sent();
    for (const Frame& frame : sent) {
        if (frame.IsSnac(0x15, 0x02))
            metaRequest = &frame;
    }
    ASSERT_NE(metaRequest, nullptr);
    OscarWire::Snac snac = metaRequest->GetSnac();
    OscarWire::Cursor body(snac.body, 4);
    body.U16LE();  // length
    EXPECT_EQ(body.U32LE(), 123456u);
    EXPECT_EQ(body.U16LE(), 0x3Cu);  // the offline messages asked for the right UIN
}

TEST_F(AccountTest, AReconnectRestoresTheStatusLastChosen)
{
    LoginToOnline();
    SetStatus(Protocols::StatusAway);
    Deliver(OwnInfo(0x0001));
    ASSERT_EQ(m_account->GetStatus(), Protocols::StatusAway);
    SocketEvent(L"Close");
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    ASSERT_TRUE(WaitUntil([&] { return m_sockets.Connects().size() == 3; }));
    EXPECT_EQ(m_account->GetWantedStatus(), Protocols::StatusAway);

    SocketEvent(L"Connect");
    Deliver(OscarWire::Hello());
    Deliver(OscarWire::AuthKeyResponse("1234567890"));
    Deliver(OscarWire::LoginReply("123456", "127.0.0.1:5191", OscarWire::Bytes(256, 0x42)));
    ASSERT_TRUE(WaitUntil([&] { return m_sockets.Connects().size() == 4; }));
    SocketEvent(L"Connect");
    Deliver(OscarWire::Hello());
    m_sockets.ClearSent();
    NegotiateServices();
    unsigned int statusWord = 0xFFFF;
    for (const Frame& frame : m_sockets.Sent()) {
        if (!frame.IsSnac(0x01, 0x1E))
            continue;
        auto tlvs = OscarWire::ParseTlvs(frame.GetSnac().body);
        const OscarWire::Tlv* status = OscarWire::FindTlv(tlvs, 0x0006);
        ASSERT_NE(status, nullptr);
        ASSERT_EQ(status->value.size(), 4u);
        statusWord = static_cast<unsigned int>(status->value[2] << 8 | status->value[3]);
    }
    EXPECT_EQ(statusWord, 0x0001u);  // away on the wire
}

TEST_F(AccountTest, LoginServerRepliesOnAnEstablishedSessionAreIgnored)
{
    LoginToOnline();
    JOVSockets::CJOVSocket* bos = m_sockets.Current();
    const size_t connects = m_sockets.Connects().size();
    m_sockets.ClearSent();
    Deliver(OscarWire::AuthKeyResponse("stray"));
    Deliver(OscarWire::LoginReply("123456", "127.0.0.1:5192", OscarWire::Bytes(16, 7)));
    EXPECT_FALSE(SentSnac(0x17, 0x02)) << "no login answers a stray key";
    EXPECT_EQ(m_sockets.Current(), bos) << "the session keeps its one connection";
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOnline);
    EXPECT_TRUE(m_account->IsKeepAliveRunning());
    // Keep-alives still go out on the same connection, and nothing connects anew.
    EXPECT_TRUE(WaitUntil([&] {
        for (const Frame& frame : m_sockets.Sent()) {
            if (frame.channel == 5)
                return true;
        }
        return false;
    }));
    EXPECT_EQ(m_sockets.Connects().size(), connects);

    // While logging in the same replies still lead on to the BOS server.
    SetStatus(Protocols::StatusOffline);
    LoginToOnline();
}

TEST_F(AccountTest, AGreetingOnAnEstablishedSessionStartsNoLogin)
{
    LoginToOnline();
    JOVSockets::CJOVSocket* bos = m_sockets.Current();
    m_sockets.ClearSent();
    Deliver(OscarWire::Hello());
    for (const Frame& frame : m_sockets.Sent())
        EXPECT_NE(frame.channel, 1u) << "no version frame answers a stray greeting";
    EXPECT_FALSE(SentSnac(0x17, 0x06)) << "no key request answers a stray greeting";
    EXPECT_EQ(m_sockets.Current(), bos);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOnline);
}
