// The account as the protocols manager and the sockets service drive it:
// its status, its socket's events, the receive loop and iq routing.
#include "xmpp/JabberAccountFixture.h"

#include "AccountRegistry.h"
#include "common/CountingArg.h"
#include "support/AllocationWatch.h"

#include <atomic>
#include <thread>

namespace {

const char kStreamHeader[] =
    "<?xml version='1.0' encoding='UTF-8'?><stream:stream to='localhost' xmlns='jabber:client' "
    "xmlns:stream='http://etherx.jabber.org/streams' xml:lang='en' version='1.0'>";

std::string Refusal(const std::string& attributes)
{
    return "<iq type='error'" + attributes + "><error type='cancel'><service-unavailable "
           "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>";
}

int g_answers = 0;
void CountAnswer(CJabberProtocol*, XmlNode*, const IqCallbackEntry&)
{
    ++g_answers;
}

} // namespace

TEST_F(JabberAccountTest, SetStatusConnectsToTheManualHostAndOpensTheStreamOnConnect)
{
    m_settings.SetByte(L"SSL", 1);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_EQ(SetStatus(Protocols::StatusAway), 0);
    ASSERT_EQ(m_sockets.Connects().size(), 1u);
    JOVSockets::SocketParams params = m_sockets.Connects()[0];
    EXPECT_TRUE(params.host == CJOVString(L"127.0.0.1"));
    EXPECT_EQ(params.port, 5333);
    EXPECT_EQ(params.sslMode, JOVSockets::kSslSsl);
    // During the login the account reports Connecting, whatever was asked for.
    EXPECT_EQ(Manager(L"Get status"), Protocols::StatusConnecting);
    EXPECT_EQ(m_account->GetState(), 1);
    EXPECT_TRUE(WaitUntil([&] { return Statuses() == std::vector<int>{Protocols::StatusConnecting}; }));
    EXPECT_TRUE(m_sockets.SentBytes().empty()) << "nothing before the connection is made";

    SocketEvent(L"Connect");
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0], kStreamHeader);
    Deliver("<?xml version='1.0'?><stream:stream xmlns='jabber:client' id='abc' version='1.0'>");
    EXPECT_EQ(m_account->GetStreamId(), "abc");
}

TEST_F(JabberAccountTest, AFailedConnectionEndsOffline)
{
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect", new CEventArg_Data<int>(10061));
    EXPECT_EQ(Manager(L"Get status"), Protocols::StatusOffline);
    EXPECT_FALSE(m_sockets.IsValidSocket(m_sockets.Current()));
    EXPECT_TRUE(WaitUntil([&] {
        return Statuses() == std::vector<int>{Protocols::StatusConnecting, Protocols::StatusOffline};
    }));

    // Refused at once by the sockets service: still offline, nothing kept.
    m_sockets.SetConnectResult(10065);
    EXPECT_EQ(m_account->SetStatus(Protocols::StatusOnline), 10065);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_EQ(m_sockets.Current(), nullptr);
}

TEST_F(JabberAccountTest, CloseWhileOfflineDoesNothingAndCloseWhileConnectingEndsOffline)
{
    SocketEvent(L"Close");
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Close", new CEventArg_Data<int>(10054));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
    EXPECT_TRUE(WaitUntil([&] { return Statuses().size() == 2; }));
    SocketEvent(L"Close");
    Sleep(50);
    EXPECT_EQ(Statuses().size(), 2u);
    EXPECT_EQ(Statuses().back(), Protocols::StatusOffline);
}

TEST_F(JabberAccountTest, EventsOfAnEarlierSocketDoNotTouchTheCurrentConnection)
{
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    JOVSockets::CJOVSocket* first = m_sockets.Current();
    ASSERT_EQ(SetStatus(Protocols::StatusOffline), 0);
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    JOVSockets::CJOVSocket* second = m_sockets.Current();
    ASSERT_NE(first, second);

    // The late events of the first connection.
    SocketEvent(L"Close", new CEventArg_Data<int>(10054), first);
    SocketEvent(L"Connect", new CEventArg_Data<int>(10061), first);
    SocketEvent(L"Connect", nullptr, first);
    Deliver("<stream:stream>", first);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusConnecting);
    EXPECT_TRUE(m_sockets.SentBytes().empty());

    SocketEvent(L"Connect", nullptr, second);
    EXPECT_EQ(Sent().size(), 1u);
    SocketEvent(L"Close", nullptr, second);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
}

TEST_F(JabberAccountTest, AStanzaLargerThanTheBufferArrivingInPiecesIsReadWhole)
{
    OpenStream();
    EXPECT_EQ(m_account->GetReceiveCapacity(), CJabberProtocol::kInitialBufferSize);
    std::string big = "<iq type='get' id='big' from='bob@localhost/pc'><query xmlns='x:unknown' pad='" +
                      std::string(7000, 'p') + "'/></iq>";
    Deliver(big.substr(0, 1000));
    Deliver(big.substr(1000, 3000));
    EXPECT_TRUE(m_sockets.SentBytes().empty());
    Deliver(big.substr(4000));
    EXPECT_EQ(m_account->GetReceiveCapacity(), 8192);
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0], Refusal(" to='bob@localhost/pc' id='big'"));
}

TEST_F(JabberAccountTest, AStanzaOrATagOverTheLimitIsReadInPartsAndSkippedAndTheNextOneAnswered)
{
    OpenStream();
    Deliver("<message from='bob@localhost/pc'><body>");
    for (int i = 0; i < 600; ++i)
        Deliver(std::string(2048, 'x'));
    Deliver("</body></message><iq type='get' id='v1' from='bob@localhost/pc'><query xmlns='x:unknown'/></iq>");
    EXPECT_NE(m_account->GetStatus(), Protocols::StatusOffline);
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0], Refusal(" to='bob@localhost/pc' id='v1'"));

    // A request whose own tag the server's escaping made longer than the
    // buffer holds: refused as too large.
    Deliver("<iq type='get' id='v2' from='bob@localhost/pc' a='");
    std::string quotes;
    for (int i = 0; i < 341; ++i)
        quotes += "&quot;";
    for (int i = 0; i < 550; ++i)
        Deliver(quotes);
    Deliver("'><query xmlns='x:unknown'/></iq>");
    EXPECT_NE(m_account->GetStatus(), Protocols::StatusOffline);
    ASSERT_EQ(Sent().size(), 2u);
    EXPECT_EQ(Sent()[1], "<iq type='error' to='bob@localhost/pc' id='v2'><error type='modify'><policy-violation "
                         "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>");
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(JabberAccountTest, ANulByteOrBrokenXmlEndsTheConnectionWithAWarning)
{
    for (const std::string& bad : {std::string("<presence>\0</presence>", 22), std::string("<presence <x>")}) {
        OpenStream();
        Deliver(bad);
        EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
        ASSERT_GE(Sent().size(), 2u);
        EXPECT_NE(Sent()[Sent().size() - 2].find("<not-well-formed"), std::string::npos);
        EXPECT_EQ(Sent().back(), "</stream:stream>");
    }
    ASSERT_TRUE(WaitUntil([&] { return Warnings().size() >= 2; }));
    ASSERT_EQ(Warnings().size(), 2u);
    EXPECT_EQ(Warnings()[1], L"Disconnected: the server sent data that is not XML");

    // The next connection parses afresh.
    OpenStream();
    Deliver("<iq type='get' id='q1'><ping xmlns='urn:xmpp:ping'/></iq>");
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0], Refusal(" id='q1'"));
}

TEST_F(JabberAccountTest, RequestsNobodyServesAreRefusedAndAnswersAreNeverAnswered)
{
    OpenStream();
    Deliver("<iq type='get' id='v1' from='bob@localhost/pc'><query xmlns='jabber:iq:version'/></iq>"
            "<iq type='set'><query xmlns='jabber:iq:roster'/></iq>"
            "<iq type='result' id='r1' from='bob@localhost/pc'/><iq type='error' id='jov_99'/><iq id='x'/>");
    ASSERT_EQ(Sent().size(), 2u);
    EXPECT_EQ(Sent()[0], Refusal(" to='bob@localhost/pc' id='v1'"));
    // Neither a "from" nor an id is made up for a request that had none.
    EXPECT_EQ(Sent()[1], Refusal(""));
}

TEST_F(JabberAccountTest, AnAnswerIsTakenOnlyFromTheEntityAsked)
{
    OpenStream();
    g_answers = 0;
    IqCallbackTable& table = m_account->GetIqCallbacks();
    table.Add(1, 0, &CountAnswer);
    table.Add(2, 0, &CountAnswer, 0, 0, 0, CJOVString(L"bob@localhost"));
    Deliver("<iq type='result' id='jov_1' from='eve@localhost'/><iq type='result' id='jov_2' from='eve@localhost'/>"
            "<iq type='result' id='jov_2'/>");
    EXPECT_EQ(g_answers, 0);
    Deliver("<iq type='result' id='jov_1' from='localhost'/><iq type='result' id='jov_2' from='bob@localhost/pc'/>");
    EXPECT_EQ(g_answers, 2);
    table.Add(3, 0, &CountAnswer);
    table.Add(4, 0, &CountAnswer);
    m_account->SetFullJid(CJOVString(L"alice@localhost/JOV PDA"));
    Deliver("<iq type='result' id='jov_3' from='ALICE@localhost/JOV PDA'/><iq type='result' id='jov_4'/>");
    EXPECT_EQ(g_answers, 4);
}

TEST_F(JabberAccountTest, DestroyStopsTheQueueDropsTheSocketAndUnregistersLast)
{
    OpenStream();
    EXPECT_TRUE(m_account->GetRequestQueue().IsRunning());
    JOVSockets::CJOVSocket* socket = m_sockets.Current();
    unsigned int clientId = m_account->GetClientId();
    EXPECT_EQ(Manager(L"Destroy"), 0);
    EXPECT_FALSE(m_account->GetRequestQueue().IsRunning());
    EXPECT_FALSE(m_sockets.IsValidSocket(socket));
    EXPECT_EQ(m_account->GetClientId(), 0u);
    EXPECT_EQ(m_bus->SendEventToClient(clientId, GUID_ProtocolsManager, CJOVString(L"Get status"), nullptr, nullptr,
                                       true),
              Services::kNotFound);
}

namespace {

// A timed-out request's callback on the queue's worker, held while the
// account is destroyed: whether the account's client id changed under it.
struct HeldCallback {
    std::atomic<bool> entered{false};
    std::atomic<bool> destroying{false};
    std::atomic<bool> changedUnderIt{false};
    unsigned int clientId = 0;
};
HeldCallback* g_held = nullptr;

void HoldWhileDestroyed(PendingRequest&, XmlNode*, CJabberProtocol* account)
{
    g_held->entered = true;
    WaitUntil([] { return g_held->destroying.load(); });
    // The destructor's first steps run meanwhile; the account must stay whole for the worker.
    g_held->changedUnderIt = WaitUntil([&] { return account->GetClientId() != g_held->clientId; }, 300);
}

} // namespace

TEST_F(JabberAccountTest, DestroyingTheAccountStopsTheQueuesWorkerBeforeItsClientIdGoes)
{
    OpenStream();
    HeldCallback held;
    held.clientId = m_account->GetClientId();
    g_held = &held;
    m_account->GetRequestQueue().Add(900, &HoldWhileDestroyed, 0, 0, CJOVString());
    ASSERT_TRUE(WaitUntil([&] { return held.entered.load(); }));
    held.destroying = true;
    m_account.reset();
    g_held = nullptr;
    EXPECT_FALSE(held.changedUnderIt) << "the client id was cleared while the worker still ran";
}

TEST_F(JabberAccountTest, TheAccountNameIsTheBareJidAndEmptyWithoutAName)
{
    CJOVString name(L"untouched");
    Manager(L"Get account name", new CEventArg_Data<CJOVString*>(&name));
    EXPECT_TRUE(name == CJOVString(L"alice@localhost"));
    m_settings.Set(L"Account name", L"");
    Manager(L"Get account name", new CEventArg_Data<CJOVString*>(&name));
    EXPECT_EQ(name.GetLength(), 0);
}

TEST_F(JabberAccountTest, ImagesAndStatusRecordsComeFromTheModulesTables)
{
    CJOVArray<unsigned int> images;
    Manager(L"Get images", new CEventArg_Data<CJOVArray<unsigned int>*>(&images));
    ASSERT_EQ(images.Count(), kJabberImageCount);
    ASSERT_EQ(m_skins.files.size(), static_cast<size_t>(kJabberImageCount));
    EXPECT_EQ(m_skins.files[0], L"jbr_jabber.png");
    EXPECT_EQ(m_skins.files[4], L"jbr_status_online.png");
    EXPECT_EQ(m_skins.files[20], L"jbr_auth_revoke.png");
    EXPECT_TRUE(m_skins.protocols[7] == GUID_JabberProtocol);
    EXPECT_EQ(GetJabberImageId(99), 120u) << "past the end reads the last";

    Protocols::StatusInfo info;
    Manager(L"Get status info", new CEventArg_Data<Protocols::Status>(Protocols::StatusInvisibleForAll),
            new CEventArg_Data<Protocols::StatusInfo*>(&info));
    EXPECT_EQ(info.status, Protocols::StatusInvisible);
    EXPECT_TRUE(info.name == CJOVString(L"Invisible"));
    ASSERT_EQ(info.images.Count(), 1);
    EXPECT_EQ(info.images[0], 105u);
    Protocols::StatusInfo untouched;
    untouched.name = CJOVString(L"x");
    Manager(L"Get status info", new CEventArg_Data<Protocols::Status>(static_cast<Protocols::Status>(40)),
            new CEventArg_Data<Protocols::StatusInfo*>(&untouched));
    EXPECT_TRUE(untouched.name == CJOVString(L"x"));

    EXPECT_EQ(GetJabberStatusTableCount(), 14);
    Manager(L"Lang change", new CEventArg_Data<CJOVString>(CJOVString(L"English")));
    EXPECT_EQ(GetJabberStatusTableCount(), 0);
    EXPECT_EQ(m_skins.files.size(), static_cast<size_t>(kJabberImageCount)) << "images are registered once";
}

TEST_F(JabberAccountTest, TwoAccountsReadTheStatusTableWhileOneRebuildsIt)
{
    CJabberProtocol other(m_bus.get(), kAccountId + 1, m_hostId, &m_settings);
    std::atomic<bool> stop{false};
    std::thread langs([&] {
        while (!stop)
            m_bus->SendEventToClient(other.GetClientId(), GUID_ProtocolsManager, CJOVString(L"Lang change"),
                                     new CEventArg_Data<CJOVString>(CJOVString(L"English")), nullptr, true);
    });
    int wrong = 0;
    for (int i = 0; i < 2000; ++i) {
        Protocols::StatusInfo info;
        Manager(L"Get status info", new CEventArg_Data<Protocols::Status>(Protocols::StatusAway),
                new CEventArg_Data<Protocols::StatusInfo*>(&info));
        wrong += info.status == Protocols::StatusAway && info.name == CJOVString(L"Away") ? 0 : 1;
    }
    stop = true;
    langs.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(m_bus->SendEventToClient(other.GetClientId(), GUID_ProtocolsManager, CJOVString(L"Destroy"), nullptr,
                                       nullptr, true),
              0);
}

TEST_F(JabberAccountTest, StatusNamesComeFromTheLanguageFileInLangsBesideTheProgram)
{
    AttachPluginModule(GetModuleHandleW(nullptr), L"Jabber_");
    Protocols::StatusInfo info;
    m_account->GetStatusInfo(Protocols::StatusConnecting, info);
    EXPECT_TRUE(info.name == CJOVString(L"Connecting")) << "no language chosen yet: the built-in text";
    Manager(L"Lang change", new CEventArg_Data<CJOVString>(CJOVString(L"English")));
    m_account->GetStatusInfo(Protocols::StatusConnecting, info);
    // Langs\Jabber_English.dll says "Connection" where the built-in text says "Connecting".
    EXPECT_TRUE(info.name == CJOVString(L"Connection"));
    DetachPluginModule();
}

TEST_F(JabberAccountTest, ArgumentsThatReachNobodyAreFreed)
{
    // A menu's request for an account that is gone.
    PostToAccount(kAccountId + 1, GUID_JabberProtocol, L"Grant authorization", new CCountingArg);
    EXPECT_EQ(CCountingArg::Live(), 0);

    // A warning of an account without a bus.
    CFakeSettings empty;  // no account data: a status asks for it with a warning
    CJabberProtocol account(nullptr, kAccountId + 2, 0, &empty);
    CEventArg_Data<Protocols::Status> online(Protocols::StatusOnline);
    CAllocationWatch watch;
    account.OnEvent(GUID_ProtocolsManager, CJOVString(L"Set status"), &online, nullptr);
    EXPECT_EQ(watch.Live(), 0u);
}
