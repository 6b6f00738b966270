// Connecting directly and through each kind of proxy, against real servers on
// loopback: every path connects, carries data both ways and closes; refusals
// give the errors the owners act on.
#include "sockets/ScriptedPeer.h"
#include "sockets/SocketsFixture.h"

using namespace JOVSockets;

namespace {

const std::string kPing = "ping through the proxy\n";

} // namespace

class ProxyPathTest : public SocketsTest {
protected:
    // Connects, echoes kPing, closes: the whole life of a connection.
    void RoundTrip(const SocketParams& params)
    {
        CJOVSocket* socket = Open(params);
        ASSERT_NE(socket, nullptr);
        ASSERT_TRUE(Connected());
        Send(socket, kPing);
        ASSERT_TRUE(m_owner->WaitForBytes(kPing.size()));
        EXPECT_EQ(m_owner->Received(), kPing);
        EXPECT_TRUE(m_owner->WaitFor(L"Write"));
        EXPECT_EQ(m_owner->First(L"Write").kind, SocketEvent::kNone);
        m_manager->Close(socket);
        ASSERT_TRUE(m_owner->WaitFor(L"Close"));
        EXPECT_EQ(m_owner->First(L"Close").kind, SocketEvent::kNone);
        EXPECT_EQ(m_manager->DestroySocket(socket), 0);
    }
};

TEST_F(ProxyPathTest, EachPathConnectsCarriesDataAndCloses)
{
    REQUIRE_PEERS(peers);
    int echo = peers->Port("echo");
    std::wstring socksUser = peers->Text("socks_user");
    std::wstring socksPassword = peers->Text("socks_password");

    {
        SCOPED_TRACE("direct");
        RoundTrip(Direct(echo));
    }
    {
        SCOPED_TRACE("direct, by name");
        Build(FastTimings(), SocketIo::Platform());
        RoundTrip(Direct(echo, L"localhost"));
    }
    {
        SCOPED_TRACE("HTTP CONNECT with Basic authorization");
        Build(FastTimings(), SocketIo::Platform());
        SocketParams params = Through(kProxyHttp, peers->Port("http"), echo);
        WithLogin(params, peers->Text("http_user"), peers->Text("http_password"));
        RoundTrip(params);
    }
    {
        SCOPED_TRACE("SOCKS 4");
        Build(FastTimings(), SocketIo::Platform());
        RoundTrip(Through(kProxySocks4, peers->Port("socks4"), echo));
    }
    {
        SCOPED_TRACE("SOCKS 5 with user name (dante)");
        Build(FastTimings(), SocketIo::Platform());
        SocketParams params = Through(kProxySocks5, peers->Port("socks5"), echo);
        WithLogin(params, socksUser, socksPassword);
        RoundTrip(params);
    }
    {
        SCOPED_TRACE("SOCKS 5 with user name (microsocks)");
        Build(FastTimings(), SocketIo::Platform());
        SocketParams params = Through(kProxySocks5, peers->Port("microsocks"), echo);
        WithLogin(params, socksUser, socksPassword);
        RoundTrip(params);
    }
}

TEST_F(ProxyPathTest, HttpProxyKeepsWhatTheServerSaysFirst)
{
    // A server that speaks first (as the ICQ login server does) may have its
    // first bytes arrive with the proxy's reply: none of them may be lost.
    REQUIRE_PEERS(peers);
    SocketParams params = Through(kProxyHttp, peers->Port("http"), peers->Port("greet"));
    WithLogin(params, peers->Text("http_user"), peers->Text("http_password"));
    ASSERT_NE(Open(params), nullptr);
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(m_owner->WaitForBytes(6));
    EXPECT_EQ(m_owner->Received(), "hello\n");
}

TEST_F(ProxyPathTest, SecureConnectionThroughHttpProxy)
{
    // The proxy's handshake runs in clear, then TLS runs inside the tunnel.
    REQUIRE_PEERS(peers);
    SocketParams params = Through(kProxyHttp, peers->Port("http"), peers->Port("tls_echo"));
    WithLogin(params, peers->Text("http_user"), peers->Text("http_password"));
    params.sslMode = kSslTls;
    RoundTrip(params);
}

class ProxyRefusalTest : public SocketsTest {};

TEST_F(ProxyRefusalTest, HttpProxyStatusIsTheError)
{
    REQUIRE_PEERS(peers);
    int echo = peers->Port("echo");
    {
        SCOPED_TRACE("no credentials");
        ASSERT_NE(Open(Through(kProxyHttp, peers->Port("http"), echo)), nullptr);
        EXPECT_EQ(ConnectError(), 407);
    }
    {
        SCOPED_TRACE("wrong password");
        Build(FastTimings(), SocketIo::Platform());
        SocketParams params = Through(kProxyHttp, peers->Port("http"), echo);
        WithLogin(params, peers->Text("http_user"), L"wrong");
        ASSERT_NE(Open(params), nullptr);
        EXPECT_EQ(ConnectError(), 401);
    }
}

TEST_F(ProxyRefusalTest, SocksRefusalsAreMinusOne)
{
    REQUIRE_PEERS(peers);
    int echo = peers->Port("echo");
    std::wstring user = peers->Text("socks_user");
    {
        SCOPED_TRACE("SOCKS 4 to a destination the proxy blocks");
        ASSERT_NE(Open(Through(kProxySocks4, peers->Port("socks4"), peers->Port("blocked"))), nullptr);
        EXPECT_EQ(ConnectError(), -1);
    }
    for (const char* proxy : {"socks5", "microsocks"}) {
        SCOPED_TRACE(std::string("SOCKS 5 wrong password: ") + proxy);
        Build(FastTimings(), SocketIo::Platform());
        SocketParams params = Through(kProxySocks5, peers->Port(proxy), echo);
        WithLogin(params, user, L"wrong");
        ASSERT_NE(Open(params), nullptr);
        EXPECT_EQ(ConnectError(), -1);
    }
    {
        SCOPED_TRACE("SOCKS 5 without credentials where they are required (method 0xFF)");
        Build(FastTimings(), SocketIo::Platform());
        ASSERT_NE(Open(Through(kProxySocks5, peers->Port("microsocks"), echo)), nullptr);
        EXPECT_EQ(ConnectError(), -1);
    }
    {
        SCOPED_TRACE("SOCKS 5 to a closed port");
        Build(FastTimings(), SocketIo::Platform());
        SocketParams params = Through(kProxySocks5, peers->Port("socks5"), peers->Port("closed"));
        WithLogin(params, user, peers->Text("socks_password"));
        ASSERT_NE(Open(params), nullptr);
        EXPECT_EQ(ConnectError(), -1);
    }
}

TEST_F(ProxyRefusalTest, ConnectFailuresBeforeAnyProxy)
{
    REQUIRE_PEERS(peers);
    {
        SCOPED_TRACE("nothing listens");
        ASSERT_NE(Open(Direct(peers->Port("closed"))), nullptr);
        EXPECT_EQ(ConnectError(), WSAECONNREFUSED);
    }
    {
        SCOPED_TRACE("a proxy type beyond 0..3 makes no attempt");
        Build(FastTimings(), SocketIo::Platform());
        ASSERT_NE(Open(Through(7, peers->Port("http"), peers->Port("echo"))), nullptr);
        EXPECT_EQ(ConnectError(), -1);
    }
    {
        SCOPED_TRACE("a name that does not resolve");
        Build(FastTimings(), SocketIo::Platform());
        ASSERT_NE(Open(Direct(peers->Port("echo"), L"no-such-host.invalid")), nullptr);
        EXPECT_NE(ConnectError(), 0);
    }
}

// Replies that no installed proxy gives, played by the test.
class ProxyReplyTest : public SocketsTest {
protected:
    static std::string Socks5Connect(int port)
    {
        return std::string("\x05\x01\x00\x01\x7f\x00\x00\x01", 8) + static_cast<char>(port >> 8) +
               static_cast<char>(port & 0xFF);
    }
};

TEST_F(ProxyReplyTest, Socks5ProxyThatPicksNoAuthenticationGetsNoLogin)
{
    CScriptedPeer proxy;
    proxy.Expect(std::string("\x05\x01\x02", 3))
        .Send(std::string("\x05\x00", 2))
        .Expect(Socks5Connect(5222))  // straight to the request: no user-name step
        .Send(std::string("\x05\x00\x00\x01\x7f\x00\x00\x01\x14\x66", 10))
        .Echo();
    proxy.Start();
    SocketParams params = Through(kProxySocks5, proxy.Port(), 5222);
    WithLogin(params, L"user", L"secret");
    CJOVSocket* socket = Open(params);
    ASSERT_NE(socket, nullptr);
    ASSERT_TRUE(Connected());
    Send(socket, "x");
    EXPECT_TRUE(m_owner->WaitForBytes(1));
    m_manager->DestroySocket(socket);
    EXPECT_EQ(proxy.Finish(), "");
}

TEST_F(ProxyReplyTest, Socks5ReplyWithNamedAddressIsReadWhole)
{
    // The bound address is a name: its bytes must not leak into the stream.
    CScriptedPeer proxy;
    proxy.Expect(std::string("\x05\x01\x00", 3))
        .Send(std::string("\x05\x00", 2))
        .Expect(Socks5Connect(80))
        .Send(std::string("\x05\x00\x00\x03\x09localhost\x00\x50", 16))
        .Send("data");
    proxy.Start();
    ASSERT_NE(Open(Through(kProxySocks5, proxy.Port(), 80)), nullptr);
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(m_owner->WaitForBytes(4));
    EXPECT_EQ(m_owner->Received(), "data");
    EXPECT_EQ(proxy.Finish(), "");
}

TEST_F(ProxyReplyTest, Socks5LoginTooLongForItsLengthByteIsRefused)
{
    SocketParams params = Through(kProxySocks5, 1, 80);  // never reached
    WithLogin(params, std::wstring(256, L'a'), L"secret");
    ASSERT_NE(Open(params), nullptr);
    EXPECT_EQ(ConnectError(), -1);
}

TEST_F(ProxyReplyTest, Socks4RequestCarriesLoginAndRefusalIsMinusOne)
{
    CScriptedPeer proxy;
    proxy.Expect(std::string("\x04\x01\x00\x50\x7f\x00\x00\x01", 8) + "bob" + std::string(1, '\0'))
        .Send(std::string("\x00\x5b\x00\x00\x00\x00\x00\x00", 8));
    proxy.Start();
    SocketParams params = Through(kProxySocks4, proxy.Port(), 80);
    WithLogin(params, L"bob", L"unused");
    ASSERT_NE(Open(params), nullptr);
    EXPECT_EQ(ConnectError(), -1);
    EXPECT_EQ(proxy.Finish(), "");
}

TEST_F(ProxyReplyTest, HttpReplyInPiecesAndRequestText)
{
    CScriptedPeer proxy;
    proxy.Expect("CONNECT example.org:443 HTTP/1.0\r\nConnection: Keep-Alive\r\nUser-agent: Mozilla/4.0\r\n"
                 "Proxy-Authorization: basic dXNlcjpwQHNz\r\n\r\n")
        .Send("HTTP/1.1 200")
        .Pause(50)
        .Send(" OK\r\nVia: test\r\n")
        .Pause(50)
        .Send("\r\nfirst");
    proxy.Start();
    SocketParams params = Through(kProxyHttp, proxy.Port(), 443);
    params.host = CJOVString(L"example.org");  // the proxy resolves it, not the client
    WithLogin(params, L"user", L"p@ss");
    ASSERT_NE(Open(params), nullptr);
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(m_owner->WaitForBytes(5));
    EXPECT_EQ(m_owner->Received(), "first");
    EXPECT_EQ(proxy.Finish(), "");
}

TEST_F(ProxyReplyTest, HttpCredentialsTravelInTheRequestCodePage)
{
    // A Cyrillic password goes as its code-page bytes, as the rest of the
    // request does, not cut to the low byte of each character.
    CScriptedPeer proxy;
    proxy.Expect("CONNECT 127.0.0.1:80 HTTP/1.0\r\nConnection: Keep-Alive\r\nUser-agent: Mozilla/4.0\r\n"
                 "Proxy-Authorization: basic dXNlcjrv4PDu6/w=\r\n\r\n")
        .Send("HTTP/1.0 407 Proxy Authentication Required\r\n\r\n");
    proxy.Start();
    SocketParams params = Through(kProxyHttp, proxy.Port(), 80);
    WithLogin(params, L"user", L"\x043f\x0430\x0440\x043e\x043b\x044c");
    ASSERT_NE(Open(params), nullptr);
    EXPECT_EQ(ConnectError(), 407);
    EXPECT_EQ(proxy.Finish(), "");
}

TEST_F(ProxyReplyTest, HttpReplyWithoutAStatusIsMinusOne)
{
    // A status of 0 must not pass for 0, success.
    for (const char* reply : {"garbage\r\n\r\n", "HTTP/1.0 0 OK\r\n\r\n", "HTTP/1.0 099 Odd\r\n\r\n",
                              "HTTP/1.0  OK\r\n\r\n", "HTTP/1.0\r\n\r\n", "XTTP/1.0 200 OK\r\n\r\n"}) {
        SCOPED_TRACE(reply);
        Build(FastTimings(), SocketIo::Platform());
        CScriptedPeer proxy;
        proxy.Skip(1).Send(reply).Pause(100);
        proxy.Start();
        ASSERT_NE(Open(Through(kProxyHttp, proxy.Port(), 80)), nullptr);
        EXPECT_EQ(ConnectError(), -1);
        EXPECT_EQ(proxy.Finish(), "");
    }
}
