// The login as the account plays it against a stream the test writes byte by
// byte: which mechanism it picks, what it refuses, how every failure ends
// (offline, with the warning that says why), and what the status sends.
#include "xmpp/JabberAccountFixture.h"

#include "JabberTexts.h"
#include "MD5Auth.h"
#include "MenuInfo.h"

namespace {

const char kServerHeader[] = "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                             "xmlns:stream='http://etherx.jabber.org/streams' id='s-2' from='localhost' "
                             "version='1.0'>";
const char kPlainOnly[] = "<stream:features><mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>"
                          "<mechanism>PLAIN</mechanism></mechanisms></stream:features>";
const char kBindAndSession[] = "<stream:features><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'/>"
                               "<session xmlns='urn:ietf:params:xml:ns:xmpp-session'/></stream:features>";
const char kStreamEnd[] = "</stream:stream>";

std::string Presence(const std::string& attributes, const std::string& after)
{
    return "<presence" + attributes + "><priority>0</priority><c xmlns='http://jabber.org/protocol/caps' "
           "hash='sha-1' node='https://jov.example.org/caps' ver='MK7T5gAbdv/7unz0tIG5ixDV2wA='/>" +
           after + "</presence>";
}

std::wstring Text(JabberTextId id)
{
    CJOVString text = JabberText(id);
    return std::wstring(text.Data(), text.GetLength());
}

bool StartsWith(const std::wstring& text, const std::wstring& start)
{
    return text.compare(0, start.size(), start) == 0;
}

std::atomic<DWORD> g_now{1000};
DWORD TurnedClock()
{
    return g_now.load();
}

class JabberLoginTest : public JabberAccountTest {
protected:
    // A PLAIN login on a secured connection up to the roster request; the
    // account is then online with `status`.
    void LogIn(Protocols::Status status = Protocols::StatusOnline)
    {
        m_settings.SetByte(L"SSL", 1);
        ASSERT_EQ(SetStatus(status), 0);
        SocketEvent(L"Connect");
        Deliver(kServerHeader);
        Deliver(kPlainOnly);
        Deliver("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>");
        Deliver(std::string(kServerHeader) + kBindAndSession);
        Deliver("<iq type='result' id='jov_1'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'>"
                "<jid>alice@localhost/JOV PDA</jid></bind></iq>");
        Deliver("<iq type='result' id='jov_2'/>");
        ASSERT_GE(m_account->GetState(), 2);
        Deliver("<iq type='result' id='jov_3'><query xmlns='jabber:iq:roster'/></iq>");
        m_sockets.ClearSent();
    }

    // Ends offline with exactly this warning, whose text may go on.
    void ExpectFailure(JabberTextId id)
    {
        EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
        EXPECT_EQ(m_account->GetState(), 0);
        EXPECT_FALSE(m_sockets.IsValidSocket(m_sockets.Current()));
        EXPECT_TRUE(WaitUntil([&] { return !Warnings().empty(); }));
        ASSERT_EQ(Warnings().size(), 1u);
        EXPECT_TRUE(StartsWith(Warnings()[0], Text(id))) << Warning();
        EXPECT_TRUE(WaitUntil([&] { return !Statuses().empty() && Statuses().back() == Protocols::StatusOffline; }));
    }

    // Forgets what was reported, before the next connection.
    void Forget() { m_host.Forget(); }

    std::string Warning(size_t i = 0)
    {
        std::vector<std::wstring> all = Warnings();
        return i < all.size() ? std::string(all[i].begin(), all[i].end()) : std::string();
    }
};

} // namespace

TEST_F(JabberLoginTest, DigestMd5IsChosenOverPlainAndPlainIsUsedOnlyOverSsl)
{
    OpenStream();
    Deliver("<stream:features><starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>"
            "<mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><mechanism>PLAIN</mechanism>"
            "<mechanism>DIGEST-MD5</mechanism></mechanisms></stream:features>");
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0], "<auth xmlns='urn:ietf:params:xml:ns:xmpp-sasl' mechanism='DIGEST-MD5'/>");
    EXPECT_EQ(m_account->GetMechanism(), "DIGEST-MD5");

    // PLAIN alone on a plain connection would show the password to the network.
    ASSERT_EQ(SetStatus(Protocols::StatusOffline), 0);
    OpenStream();
    Deliver(kPlainOnly);
    EXPECT_EQ(Sent(), std::vector<std::string>{kStreamEnd}) << "no <auth> went out";
    ExpectFailure(kTextPlainNeedsSsl);

    m_settings.SetByte(L"SSL", 1);
    OpenStream();
    Deliver(kPlainOnly);
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0], "<auth xmlns='urn:ietf:params:xml:ns:xmpp-sasl' mechanism='PLAIN'>"
                         "YWxpY2VAbG9jYWxob3N0AGFsaWNlAGFsaWNlLXB3MQ==</auth>");
}

TEST_F(JabberLoginTest, ADigestMd5LoginBindsOpensASessionAndGoesOnlineAtTheRosterRequest)
{
    OpenStream();
    Deliver("<stream:features><mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>"
            "<mechanism>DIGEST-MD5</mechanism></mechanisms></stream:features>");
    m_sockets.ClearSent();
    Deliver("<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>bm9uY2U9Im4xIixxb3A9ImF1dGgiLGNoYXJzZXQ9dXRmLTg="
            "</challenge>");  // nonce="n1",qop="auth",charset=utf-8
    ASSERT_EQ(Sent().size(), 1u);
    const std::string response = Sent()[0];
    ASSERT_EQ(response.rfind("<response xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>", 0), 0u) << response;
    std::string payload = response.substr(51, response.size() - 51 - 11);
    CJOVString decoded = CJOVString(std::wstring(payload.begin(), payload.end()).c_str()).GetBase64DecodedString();
    std::string text(decoded.Data(), decoded.Data() + decoded.GetLength());
    size_t at = text.find("cnonce=\"");
    ASSERT_NE(at, std::string::npos) << text;
    std::string cnonce = text.substr(at + 8, 32);
    // The server's proof, made as a server makes it.
    std::string proof = "rspauth=" + DigestMd5Value("", "alice", "", "alice-pw1", "n1", cnonce, 1, "xmpp/localhost");
    CJOVString encoded = CJOVString::GetBase64EncodedString(reinterpret_cast<const unsigned char*>(proof.data()),
                                                            static_cast<int>(proof.size()));
    m_sockets.ClearSent();
    Deliver("<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>" +
            std::string(encoded.Data(), encoded.Data() + encoded.GetLength()) + "</challenge>");
    EXPECT_EQ(Sent(), std::vector<std::string>{"<response xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>"});

    m_sockets.ClearSent();
    Deliver("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>");
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0].rfind("<?xml version='1.0' encoding='UTF-8'?><stream:stream to='localhost'", 0), 0u)
        << "the stream starts again";
    m_sockets.ClearSent();
    Deliver(std::string(kServerHeader) + kBindAndSession);
    EXPECT_EQ(Sent(), std::vector<std::string>{"<iq type='set' id='jov_1'><bind "
                                               "xmlns='urn:ietf:params:xml:ns:xmpp-bind'><resource>JOV PDA"
                                               "</resource></bind></iq>"});
    m_sockets.ClearSent();
    Deliver("<iq type='result' id='jov_1'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'>"
            "<jid>alice@localhost/JOV PDA</jid></bind></iq>");
    EXPECT_TRUE(m_account->GetFullJid() == CJOVString(L"alice@localhost/JOV PDA"));
    EXPECT_EQ(Sent(), std::vector<std::string>{"<iq type='set' id='jov_2'><session "
                                               "xmlns='urn:ietf:params:xml:ns:xmpp-session'/></iq>"});
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusConnecting);
    m_sockets.ClearSent();
    Deliver("<iq type='result' id='jov_2'/>");
    EXPECT_EQ(Sent(), std::vector<std::string>{"<iq type='get' id='jov_3'><query xmlns='jabber:iq:roster'/></iq>"});
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOnline);
    EXPECT_TRUE(WaitUntil([&] {
        return Statuses() == std::vector<int>{Protocols::StatusConnecting, Protocols::StatusOnline};
    }));
    // The first presence follows the roster's answer.
    m_sockets.ClearSent();
    Deliver("<iq type='result' id='jov_3'><query xmlns='jabber:iq:roster'/></iq>");
    EXPECT_EQ(Sent(), std::vector<std::string>{Presence("", "")});
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(JabberLoginTest, RoadsTheAccountDoesNotTakeEndAtOnceWithTheirReason)
{
    // The old login without SASL: a header without version...
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect");
    m_sockets.ClearSent();
    Deliver("<?xml version='1.0'?><stream:stream xmlns='jabber:client' id='old' from='localhost'>");
    EXPECT_EQ(Sent(), std::vector<std::string>{kStreamEnd}) << "no user name went out";
    ExpectFailure(kTextLegacyLogin);

    // ...or only the old "auth" feature.
    Forget();
    OpenStream();
    Deliver("<stream:features><auth xmlns='http://jabber.org/features/iq-auth'/></stream:features>");
    ExpectFailure(kTextLegacyLogin);

    // STARTTLS alone (Prosody's plain port).
    Forget();
    OpenStream();
    Deliver("<stream:features><starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'><required/></starttls>"
            "</stream:features>");
    ExpectFailure(kTextStartTlsOnly);

    // No mechanism we know.
    Forget();
    OpenStream();
    Deliver("<stream:features><mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><mechanism>SCRAM-SHA-1"
            "</mechanism></mechanisms></stream:features>");
    ExpectFailure(kTextNoMechanism);
}

TEST_F(JabberLoginTest, ASaslFailureNamesTheServersConditionAndText)
{
    m_settings.SetByte(L"SSL", 1);
    OpenStream();
    Deliver(kPlainOnly);
    m_sockets.ClearSent();
    Deliver("<failure xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><not-authorized/><text xml:lang='en'>"
            "Invalid username or password</text></failure>");
    EXPECT_EQ(Sent(), std::vector<std::string>{kStreamEnd});
    ExpectFailure(kTextLoginFailed);
    EXPECT_EQ(Warning(), "Login failed: not-authorized (Invalid username or password)");
}

TEST_F(JabberLoginTest, ASuccessThatSkipsTheServersProofEndsTheLogin)
{
    OpenStream();
    Deliver("<stream:features><mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>"
            "<mechanism>DIGEST-MD5</mechanism></mechanisms></stream:features>");
    Deliver("<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>bm9uY2U9Im4xIg==</challenge>");  // nonce="n1"
    Deliver("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>");
    ExpectFailure(kTextServerNotProven);
}

TEST_F(JabberLoginTest, RefusedBindingOrSessionEndsTheLoginInsteadOfWaiting)
{
    m_settings.SetByte(L"SSL", 1);
    m_settings.Set(L"Account resource", L"");
    OpenStream();
    Deliver(kPlainOnly);
    Deliver("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>");
    m_sockets.ClearSent();
    Deliver(std::string(kServerHeader) + kBindAndSession);
    EXPECT_EQ(Sent(), std::vector<std::string>{"<iq type='set' id='jov_1'><bind "
                                               "xmlns='urn:ietf:params:xml:ns:xmpp-bind'/></iq>"})
        << "without a resource the server picks one";
    Deliver("<iq type='error' id='jov_1'><error type='cancel'><not-allowed "
            "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>");
    ExpectFailure(kTextBindRefused);
    EXPECT_EQ(Warning(), "The server refused the resource: not-allowed");

    Forget();
    OpenStream();
    Deliver(kPlainOnly);
    Deliver("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>");
    Deliver(std::string(kServerHeader) + kBindAndSession);
    // Stanza numbers go on across connections.
    Deliver("<iq type='result' id='jov_2'/>");
    Deliver("<iq type='error' id='jov_3'><error type='wait'><internal-server-error "
            "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>");
    ExpectFailure(kTextSessionRefused);
}

TEST_F(JabberLoginTest, EveryOtherEndOfTheConnectionIsExplainedOnce)
{
    // The server closes during the login.
    OpenStream();
    SocketEvent(L"Close", new CEventArg_Data<int>(10054));
    ExpectFailure(kTextConnectionClosed);

    // No connection at all, and a secured one that is refused.
    Forget();
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect", new CEventArg_Data<int>(10061));
    ExpectFailure(kTextConnectFailed);
    EXPECT_EQ(Warning(), "Could not connect to the server (10061)");

    Forget();
    m_settings.SetByte(L"SSL", 1);
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    SocketEvent(L"Connect", new CEventArg_Data<int>(-1));
    ExpectFailure(kTextCertificateRefused);
}

TEST_F(JabberLoginTest, ALoginNotOnlineInTimeIsGivenUpAndALateTimerOfAnEarlierOneIsIgnored)
{
    m_account.reset();
    JabberTimings timings;
    timings.queueScanMs = 5;
    timings.loginTimeoutMs = 30000;
    timings.tick = &TurnedClock;
    m_account = std::make_unique<CJabberProtocol>(m_bus.get(), kAccountId, m_hostId, &m_settings, timings);
    OpenStream();
    g_now += 20000;
    Sleep(100);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusConnecting);
    g_now += 15000;
    EXPECT_TRUE(WaitUntil([&] { return m_account->GetState() == 0; }));
    ExpectFailure(kTextLoginTimedOut);

    // Online in time: the timer finds nothing to end.
    Forget();
    LogIn();
    g_now += 40000;
    Sleep(150);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOnline);
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(JabberLoginTest, ANewConnectionStartsFromNothingOfTheLastOne)
{
    // The last connection ends mid-login: restart pending, bytes unparsed, SASL chosen.
    m_settings.SetByte(L"SSL", 1);
    OpenStream();
    Deliver(kPlainOnly);
    Deliver("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/><iq type='get' id='x'");
    EXPECT_EQ(m_account->GetMechanism(), "PLAIN");
    ASSERT_EQ(SetStatus(Protocols::StatusOffline), 0);

    OpenStream();
    EXPECT_EQ(m_account->GetStreamId(), "s-17");
    EXPECT_EQ(m_account->GetMechanism(), "") << "no mechanism before the features";
    // The new stream's features go to SASL again, not to binding.
    Deliver(kPlainOnly);
    ASSERT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Sent()[0].rfind("<auth ", 0), 0u) << Sent()[0];
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(JabberLoginTest, WithoutAccountDataOrWithABadPortNothingConnects)
{
    m_settings.Set(L"Account password", L"");
    EXPECT_NE(m_account->SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_sockets.Connects().empty());
    EXPECT_TRUE(WaitUntil([&] { return Warnings().size() == 1; }));
    EXPECT_TRUE(Warnings()[0] == Text(kTextEnterAccountData));

    m_settings.Set(L"Account password", L"alice-pw1");
    m_settings.SetDWord(L"Manual connection port", 70000);
    EXPECT_NE(m_account->SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(m_sockets.Connects().empty());
    EXPECT_TRUE(WaitUntil([&] { return Warnings().size() == 2; }));
    EXPECT_TRUE(Warnings()[1] == Text(kTextBadPort));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusOffline);
}

TEST_F(JabberLoginTest, WithoutManualSettingsTheAccountsOwnServerAndPortAreUsed)
{
    m_settings.SetByte(L"Manual connection settings", 0);
    m_settings.Set(L"Account server", L"example.org");
    m_settings.SetDWord(L"Account port", 5999);
    ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
    ASSERT_EQ(m_sockets.Connects().size(), 1u);
    EXPECT_TRUE(m_sockets.Connects()[0].host == CJOVString(L"example.org"));
    EXPECT_EQ(m_sockets.Connects()[0].port, 5999);
}

TEST_F(JabberLoginTest, EachStatusGoesOutAsItsPresenceWithPriorityZero)
{
    LogIn(Protocols::StatusOccupied);
    EXPECT_EQ(m_account->GetState(), 14);
    const struct {
        Protocols::Status status;
        int state;
        std::string presence;
    } cases[] = {
        {Protocols::StatusLunch, 11, Presence("", "<show>away</show><x xmlns='jov:x:status' value='10'/>")},
        {Protocols::StatusOccupied, 14, Presence("", "<show>dnd</show><x xmlns='jov:x:status' value='8'/>")},
        {Protocols::StatusEvil, 2, Presence("", "<x xmlns='jov:x:status' value='4'/>")},
        {Protocols::StatusFreeForChat, 5, Presence("", "<show>chat</show>")},
        {Protocols::StatusNotAvailable, 12, Presence("", "<show>xa</show>")},
        {Protocols::StatusDoNotDisturb, 14, Presence("", "<show>dnd</show>")},
        {Protocols::StatusAtWork, 2, Presence("", "<x xmlns='jov:x:status' value='7'/>")},
        {Protocols::StatusOnline, 2, Presence("", "")},
    };
    for (const auto& c : cases) {
        m_sockets.ClearSent();
        ASSERT_EQ(SetStatus(c.status), 0);
        EXPECT_EQ(Sent(), std::vector<std::string>{c.presence}) << "status " << c.status;
        EXPECT_EQ(m_account->GetState(), c.state);
        EXPECT_EQ(m_account->GetStatus(), c.status);
    }
    EXPECT_TRUE(WaitUntil([&] { return Statuses().size() == 2 + std::size(cases); }));
    EXPECT_EQ(Statuses().back(), Protocols::StatusOnline);
}

TEST_F(JabberLoginTest, ARefusedInvisibleWarnsAndShowsTheStatusTheServerHolds)
{
    LogIn(Protocols::StatusAway);
    m_sockets.ClearSent();
    ASSERT_EQ(SetStatus(Protocols::StatusInvisibleForAll), 0);
    EXPECT_EQ(Sent(), std::vector<std::string>{Presence(" type='invisible'", "")});
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusInvisible);
    // Prosody's answer; ejabberd's has no `to` either way.
    Deliver("<presence to='alice@localhost/JOV PDA' type='error'><error type='modify'><bad-request "
            "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></presence>");
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusAway);
    EXPECT_EQ(m_account->GetState(), 11);
    EXPECT_TRUE(WaitUntil([&] { return Warnings().size() == 1; }));
    EXPECT_TRUE(Warnings()[0] == Text(kTextInvisibleRefused));
    EXPECT_TRUE(WaitUntil([&] { return !Statuses().empty() && Statuses().back() == Protocols::StatusAway; }));

    // An error presence from someone else is not about our status.
    ASSERT_EQ(SetStatus(Protocols::StatusInvisible), 0);
    Deliver("<presence from='bob@localhost/pc' type='error'/>");
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusInvisible);
    EXPECT_EQ(Warnings().size(), 1u);
}

TEST_F(JabberLoginTest, TheStatusMenuListsTheStatusesInGroupsWithTheCurrentOneChecked)
{
    CMenuInfo menu;
    Manager(L"Get status menu info", new CEventArg_Data<CMenuInfo*>(&menu));
    const int expected[] = {5, 6, 7, 8, 9, -1, 10, 11, 12, 13, 14, -1, 2, 3, -1, 0};
    ASSERT_EQ(menu.Count(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < menu.Count(); ++i) {
        if (expected[i] < 0) {
            EXPECT_EQ(menu[i].type, CMenuItemInfo::MenuItemSeparator) << i;
            continue;
        }
        EXPECT_EQ(menu[i].param, static_cast<uintptr_t>(expected[i])) << i;
        EXPECT_EQ(menu[i].checked, expected[i] == 0 ? 1 : 0) << i;
        EXPECT_NE(menu[i].handler, nullptr);
        EXPECT_EQ(menu[i].images.Count(), 1);
    }
    EXPECT_TRUE(menu[3].caption == CJOVString(L"@ Home"));
}
