// The account against the local ejabberd and Prosody (servers/servers.sh),
// through the program's sockets manager: each road of the login the servers
// offer, what each refuses, and that the server's own session list shows the
// account while it is online.
#include <algorithm>

#include "sockets/Peers.h"
#include "xmpp/LiveAccountFixture.h"
#include "xmpp/SessionLists.h"
#include "xmpp/XmppServers.h"

namespace {

const char kSession[] = "alice@localhost/JOV PDA";

bool Lists(const std::vector<std::string>& sessions, const std::string& jid)
{
    return std::find(sessions.begin(), sessions.end(), jid) != sessions.end();
}

class LiveServersTest : public LiveAccountTest {
protected:
    // Logs in, checks the server lists the session, and logs out again.
    void LogInAndOut(const CPeerFile* servers, bool ejabberd, const char* mechanism, bool compressed)
    {
        ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
        ASSERT_TRUE(alice->Reaches(Protocols::StatusOnline)) << alice->Said();
        EXPECT_EQ(alice->account->GetMechanism(), mechanism);
        EXPECT_EQ(alice->account->IsCompressed(), compressed);
        EXPECT_TRUE(alice->account->GetFullJid() == CJOVString(L"alice@localhost/JOV PDA"));
        EXPECT_TRUE(WaitFor([&] { return Lists(Sessions(servers, ejabberd), kSession); }));
        ASSERT_EQ(alice->SetStatus(Protocols::StatusOffline), 0);
        EXPECT_TRUE(WaitFor([&] { return !Lists(Sessions(servers, ejabberd), kSession); }))
            << "the server still lists the session";
        EXPECT_TRUE(alice->Warnings().empty()) << alice->Said();
        alice->Forget();
    }

    std::vector<std::string> Sessions(const CPeerFile* servers, bool ejabberd)
    {
        return ejabberd ? EjabberdSessions(servers->Port("ejabberd_http"))
                        : ProsodySessions(servers->Port("prosody_console"));
    }
};

} // namespace

TEST_F(LiveServersTest, EjabberdTakesDigestMd5WithZlibAfterSaslOverDirectTlsAndOnItsPlainPort)
{
    REQUIRE_XMPP_SERVERS(servers);
    alice->Use(servers->Port("ejabberd_tls"), true);
    LogInAndOut(servers, true, "DIGEST-MD5", true);
    alice->Use(servers->Port("ejabberd_plain"), false);
    LogInAndOut(servers, true, "DIGEST-MD5", true);
    // Compression turned off on the "Expert" page: the same login without it.
    alice->settings.SetByte(L"Compression", 0);
    LogInAndOut(servers, true, "DIGEST-MD5", false);
}

TEST_F(LiveServersTest, PlainOverDirectTlsOnEachServer)
{
    REQUIRE_XMPP_SERVERS(servers);
    // ejabberd's second domain keeps hashed passwords: no DIGEST-MD5 there.
    alice->settings.Set(L"Account server", L"plain.localhost");
    alice->Use(servers->Port("ejabberd_tls"), true);
    ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
    ASSERT_TRUE(alice->Reaches(Protocols::StatusOnline)) << alice->Said();
    EXPECT_EQ(alice->account->GetMechanism(), "PLAIN");
    EXPECT_TRUE(WaitFor([&] {
        return Lists(EjabberdSessions(servers->Port("ejabberd_http")), "alice@plain.localhost/JOV PDA");
    }));
    ASSERT_EQ(alice->SetStatus(Protocols::StatusOffline), 0);
    EXPECT_TRUE(alice->Warnings().empty()) << alice->Said();

    alice->settings.Set(L"Account server", L"localhost");
    alice->Use(servers->Port("prosody_tls"), true);
    LogInAndOut(servers, false, "PLAIN", false);
}

TEST_F(LiveServersTest, ProsodysPlainPortOffersOnlyStartTlsAndTheLoginEndsAtOnce)
{
    REQUIRE_XMPP_SERVERS(servers);
    alice->Use(servers->Port("prosody_plain"), false);
    DWORD start = GetTickCount();
    ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
    EXPECT_TRUE(alice->WarnedOnce(kTextStartTlsOnly)) << alice->Said();
    EXPECT_TRUE(alice->Reaches(Protocols::StatusOffline));
    EXPECT_LT(GetTickCount() - start, 5000u) << "no waiting for a time-out";
}

TEST_F(LiveServersTest, AWrongPasswordIsRefusedByEachServerWithItsReason)
{
    REQUIRE_XMPP_SERVERS(servers);
    alice->settings.Set(L"Account password", L"not-the-password");
    for (const char* port : {"ejabberd_tls", "prosody_tls"}) {
        SCOPED_TRACE(port);
        alice->Forget();
        alice->Use(servers->Port(port), true);
        ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
        EXPECT_TRUE(alice->WarnedOnce(kTextLoginFailed)) << alice->Said();
        EXPECT_NE(alice->Said().find("not-authorized"), std::string::npos) << alice->Said();
        EXPECT_TRUE(alice->Reaches(Protocols::StatusOffline));
    }
}

TEST_F(LiveServersTest, ACertificateFromAnAuthorityNotTrustedIsRefusedOnEachServer)
{
    REQUIRE_XMPP_SERVERS(servers);
    for (const char* port : {"ejabberd_stranger", "prosody_stranger"}) {
        SCOPED_TRACE(port);
        alice->Forget();
        alice->Use(servers->Port(port), true);
        ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
        EXPECT_TRUE(alice->WarnedOnce(kTextCertificateRefused)) << alice->Said();
        EXPECT_TRUE(alice->Reaches(Protocols::StatusOffline));
    }
}

TEST_F(LiveServersTest, ASecondLoginWithTheSameResourceEndsTheFirstWithAConflict)
{
    REQUIRE_XMPP_SERVERS(servers);
    for (const char* port : {"ejabberd_tls", "prosody_tls"}) {
        SCOPED_TRACE(port);
        alice->Forget();
        alice->Use(servers->Port(port), true);
        ASSERT_EQ(alice->SetStatus(Protocols::StatusOnline), 0);
        ASSERT_TRUE(alice->Reaches(Protocols::StatusOnline)) << alice->Said();
        CLiveAccount again(*bus, 4);
        again.Use(servers->Port(port), true);
        ASSERT_EQ(again.SetStatus(Protocols::StatusOnline), 0);
        EXPECT_TRUE(again.Reaches(Protocols::StatusOnline)) << again.Said();
        EXPECT_TRUE(alice->WarnedOnce(kTextConflict)) << alice->Said();
        EXPECT_TRUE(alice->Reaches(Protocols::StatusOffline));
        EXPECT_EQ(again.Status(), Protocols::StatusOnline);
        EXPECT_TRUE(again.Warnings().empty()) << again.Said();
        again.SetStatus(Protocols::StatusOffline);
    }
}

TEST_F(LiveServersTest, EachServerRefusesInvisibleAndTheStatusItHoldsIsShown)
{
    REQUIRE_XMPP_SERVERS(servers);
    for (const char* port : {"ejabberd_tls", "prosody_tls"}) {
        SCOPED_TRACE(port);
        alice->Forget();
        alice->Use(servers->Port(port), true);
        ASSERT_EQ(alice->SetStatus(Protocols::StatusAway), 0);
        ASSERT_TRUE(alice->Reaches(Protocols::StatusAway)) << alice->Said();
        // The first presence follows the roster; give it its round trip.
        Sleep(300);
        ASSERT_EQ(alice->SetStatus(Protocols::StatusInvisible), 0);
        EXPECT_TRUE(alice->WarnedOnce(kTextInvisibleRefused)) << alice->Said();
        EXPECT_TRUE(WaitFor([&] { return alice->Status() == Protocols::StatusAway; }));
        EXPECT_EQ(alice->Statuses().back(), Protocols::StatusAway);
        EXPECT_EQ(alice->account->GetState(), 11);
        ASSERT_EQ(alice->SetStatus(Protocols::StatusOffline), 0);
    }
}

TEST_F(LiveServersTest, ALoginThroughTheHttpProxy)
{
    REQUIRE_XMPP_SERVERS(servers);
    REQUIRE_PEERS(peers);
    JOVSockets::SocketParams proxy;
    proxy.proxyType = JOVSockets::kProxyHttp;
    proxy.proxyHost = CJOVString(L"127.0.0.1");
    proxy.proxyPort = peers->Port("http");
    proxy.proxyAuth = true;
    proxy.proxyLogin = CJOVString(peers->Text("http_user").c_str());
    proxy.proxyPassword = CJOVString(peers->Text("http_password").c_str());
    sockets->SetProxySettings(proxy);
    // TLS inside the proxy's tunnel, checked against "localhost", then zlib.
    alice->Use(servers->Port("ejabberd_tls"), true);
    LogInAndOut(servers, true, "DIGEST-MD5", true);
}
