// Secure sockets: the platform's options over Schannel against TLS servers whose
// certificates the fixture's own authority signed (for localhost and 127.0.0.1,
// for another name) or that signed themselves, and secure connections of the
// manager.
#include <vector>

#include "SecureSocket.h"
#include "sockets/SocketsFixture.h"

using namespace JOVSockets;

namespace {

struct HookCall {
    int calls = 0;
    DWORD type = 0;
    DWORD chainLength = 0;
    DWORD flags = 0;
    DWORD firstCertificateSize = 0;
    int answer = SSL_ERR_OKAY;
};

int RecordingHook(DWORD type, LPVOID arg, DWORD chainLength, LPBLOB chain, DWORD flags)
{
    HookCall* call = static_cast<HookCall*>(arg);
    ++call->calls;
    call->type = type;
    call->chainLength = chainLength;
    call->flags = flags;
    call->firstCertificateSize = chainLength > 0 ? chain[0].cbSize : 0;
    return call->answer;
}

} // namespace

// A connected Winsock socket made secure the way the sockets layer does it.
class SecureSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    }

    void TearDown() override
    {
        if (m_socket != INVALID_SOCKET)
            SecureSockets::closesocket(m_socket);
        WSACleanup();
    }

    // Connects in clear and sets the options; the handshake is left to the test.
    void Open(int port, HookCall* hook, DWORD protocols = SSL_PROTOCOL_TLS1)
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<u_short>(port));
        ASSERT_EQ(::connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        DWORD secure = SO_SEC_SSL;
        ASSERT_EQ(SecureSockets::setsockopt(m_socket, SOL_SOCKET, SO_SECURE, reinterpret_cast<char*>(&secure),
                                            sizeof secure),
                  0);
        DWORD returned;
        if (hook) {
            SSLVALIDATECERTHOOK hookInfo = {&RecordingHook, hook};
            ASSERT_EQ(Ioctl(SO_SSL_SET_VALIDATE_CERT_HOOK, &hookInfo, sizeof hookInfo), 0);
        }
        SSLPROTOCOLS protocolInfo = {1, {{protocols, 0, 0}}};
        ASSERT_EQ(Ioctl(SO_SSL_SET_PROTOCOLS, &protocolInfo, sizeof protocolInfo), 0);
        DWORD flags = SSL_FLAG_DEFER_HANDSHAKE;
        ASSERT_EQ(SecureSockets::WSAIoctl(m_socket, SO_SSL_SET_FLAGS, &flags, sizeof flags, nullptr, 0, &returned), 0);
    }

    int Ioctl(DWORD code, void* in, DWORD length)
    {
        DWORD returned = 0;
        return SecureSockets::WSAIoctl(m_socket, code, in, length, nullptr, 0, &returned);
    }

    int Handshake(const char* serverName = nullptr)
    {
        return Ioctl(SO_SSL_PERFORM_HANDSHAKE, &serverName, sizeof serverName);
    }

    bool Readable(int waitMs)
    {
        fd_set readSet;
        FD_ZERO(&readSet);
        FD_SET(m_socket, &readSet);
        timeval timeout = {0, waitMs * 1000};
        return SecureSockets::select(0, &readSet, nullptr, nullptr, &timeout) == 1 && FD_ISSET(m_socket, &readSet);
    }

    std::string ReceiveSome(int length)
    {
        std::vector<char> buffer(static_cast<size_t>(length));
        int n = SecureSockets::recv(m_socket, buffer.data(), length, 0);
        return n > 0 ? std::string(buffer.data(), static_cast<size_t>(n)) : std::string();
    }

    SOCKET m_socket = INVALID_SOCKET;
};

TEST_F(SecureSocketTest, HookSeesTheSelfSignedChainAndDecides)
{
    REQUIRE_PEERS(peers);
    {
        SCOPED_TRACE("accepted");
        HookCall hook;
        Open(peers->Port("tls_selfsigned"), &hook);
        ASSERT_EQ(Handshake(), 0);
        EXPECT_EQ(hook.calls, 1);
        EXPECT_EQ(hook.type, SSL_CERT_X59);
        EXPECT_GE(hook.chainLength, 1u);
        EXPECT_GT(hook.firstCertificateSize, 100u);
        EXPECT_TRUE(hook.flags & SSL_CERT_FLAG_ISSUER_UNKNOWN);
        SecureSockets::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
    {
        SCOPED_TRACE("refused by the hook");
        HookCall hook;
        hook.answer = SSL_ERR_FAILED;
        Open(peers->Port("tls_selfsigned"), &hook);
        EXPECT_EQ(Handshake(), SOCKET_ERROR);
        EXPECT_EQ(hook.calls, 1);
        SecureSockets::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
    {
        SCOPED_TRACE("no hook: an untrusted chain is refused");
        Open(peers->Port("tls_selfsigned"), nullptr);
        EXPECT_EQ(Handshake("localhost"), SOCKET_ERROR);
        char byte;
        EXPECT_EQ(SecureSockets::send(m_socket, &byte, 1, 0), SOCKET_ERROR);
    }
}

TEST_F(SecureSocketTest, ChainToATrustedRootAndTheServerNameDecide)
{
    // An address is taken only from the certificate's IP address entries.
    REQUIRE_PEERS(peers);
    struct Case {
        const char* port;
        const char* name;
        DWORD flags;
    };
    for (const Case& c : {Case{"tls_echo", "localhost", 0}, Case{"tls_echo", "LocalHost", 0},
                          Case{"tls_echo", "127.0.0.1", 0},
                          Case{"tls_echo", "example.test", SSL_CERT_FLAG_POLICY_ERROR},
                          Case{"tls_other", "localhost", SSL_CERT_FLAG_POLICY_ERROR},
                          Case{"tls_other", "example.test", 0},
                          Case{"tls_other", "127.0.0.1", SSL_CERT_FLAG_POLICY_ERROR},
                          Case{"tls_selfsigned", "localhost", SSL_CERT_FLAG_ISSUER_UNKNOWN},
                          Case{"tls_stranger", "localhost", SSL_CERT_FLAG_ISSUER_UNKNOWN}}) {
        SCOPED_TRACE(std::string(c.port) + " as " + c.name);
        HookCall hook;
        Open(peers->Port(c.port), &hook);
        ASSERT_EQ(Handshake(c.name), 0);
        EXPECT_EQ(hook.flags, c.flags);
        SecureSockets::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
        // Without a hook the same checks decide alone.
        Open(peers->Port(c.port), nullptr);
        EXPECT_EQ(Handshake(c.name), c.flags == 0 ? 0 : SOCKET_ERROR);
        SecureSockets::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

TEST_F(SecureSocketTest, ServerNameGoesAsSniButNeverAnAddress)
{
    REQUIRE_PEERS(peers);
    for (const char* name : {"localhost", "127.0.0.1"}) {
        SCOPED_TRACE(name);
        Open(peers->Port("tls_sni"), nullptr);
        ASSERT_EQ(Handshake(name), 0);
        ASSERT_TRUE(Readable(2000));
        Sleep(50);
        EXPECT_EQ(ReceiveSome(64), std::string(name) == "localhost" ? "localhost\n" : "-\n");
        SecureSockets::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

TEST_F(SecureSocketTest, EveryModeAsksForTodaysTls)
{
    // SSL 2 or SSL 3 alone would be refused by the server, which speaks TLS 1.2 and up.
    REQUIRE_PEERS(peers);
    for (DWORD protocols : {SSL_PROTOCOL_SSL2, SSL_PROTOCOL_SSL3, SSL_PROTOCOL_TLS1}) {
        SCOPED_TRACE(protocols);
        Open(peers->Port("tls_echo"), nullptr, protocols);
        ASSERT_EQ(Handshake("localhost"), 0);
        ASSERT_EQ(SecureSockets::send(m_socket, "tls", 3, 0), 3);
        ASSERT_TRUE(Readable(2000));
        Sleep(50);
        EXPECT_EQ(ReceiveSome(16), "tls");
        SecureSockets::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
}

TEST_F(SecureSocketTest, DecryptedDataWaitingMakesTheSocketReadable)
{
    REQUIRE_PEERS(peers);
    HookCall hook;
    Open(peers->Port("tls_echo"), &hook);
    ASSERT_EQ(Handshake(), 0);
    const std::string text = "one record, read in pieces";
    ASSERT_EQ(SecureSockets::send(m_socket, text.data(), static_cast<int>(text.size()), 0),
              static_cast<int>(text.size()));
    ASSERT_TRUE(Readable(2000));
    Sleep(100);  // the whole echo has arrived
    std::string got = ReceiveSome(4);
    ASSERT_EQ(got, "one ");
    // The raw socket holds nothing more now: only the secure layer knows.
    EXPECT_TRUE(Readable(0));
    got += ReceiveSome(100);
    EXPECT_EQ(got, text);
    EXPECT_FALSE(Readable(50));
}

TEST_F(SecureSocketTest, ServerCloseNotifyReadsAsTheEnd)
{
    REQUIRE_PEERS(peers);
    HookCall hook;
    Open(peers->Port("tls_closer"), &hook);
    ASSERT_EQ(Handshake(), 0);
    ASSERT_TRUE(Readable(2000));
    std::string got;
    char buffer[64];
    int n;
    while ((n = SecureSockets::recv(m_socket, buffer, sizeof buffer, 0)) > 0)
        got.append(buffer, static_cast<size_t>(n));
    EXPECT_EQ(got, "bye\n");
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(Readable(0)) << "the end stays visible to select";
    EXPECT_EQ(SecureSockets::recv(m_socket, buffer, sizeof buffer, 0), 0);
}

TEST_F(SecureSocketTest, PlainSocketsPassStraightThrough)
{
    REQUIRE_PEERS(peers);
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(peers->Port("echo")));
    ASSERT_EQ(::connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(Ioctl(SO_SSL_PERFORM_HANDSHAKE, nullptr, 0), SOCKET_ERROR) << "not a secure socket";
    ASSERT_EQ(SecureSockets::send(m_socket, "plain", 5, 0), 5);
    ASSERT_TRUE(Readable(2000));
    Sleep(50);
    EXPECT_EQ(ReceiveSome(16), "plain");
}

class SecureConnectionTest : public SocketsTest {};

TEST_F(SecureConnectionTest, BothModesConnectToATlsServer)
{
    // "SSL" (mode 1) must reach a server of today, which speaks TLS only.
    REQUIRE_PEERS(peers);
    for (int mode : {kSslSsl, kSslTls}) {
        SCOPED_TRACE(mode);
        Build(FastTimings(), SocketIo::Platform());
        SocketParams params = Direct(peers->Port("tls_echo"), L"localhost");
        params.sslMode = mode;
        CJOVSocket* socket = Open(params);
        ASSERT_TRUE(Connected());
        std::string text(20000, 's');  // more than one record each way
        Send(socket, text);
        ASSERT_TRUE(m_owner->WaitForBytes(text.size()));
        EXPECT_TRUE(m_owner->Received() == text);
        m_manager->Close(socket);
        ASSERT_TRUE(m_owner->WaitFor(L"Close"));
        EXPECT_EQ(m_owner->First(L"Close").kind, SocketEvent::kNone);
    }
}

TEST_F(SecureConnectionTest, ServerThatClosesGivesClose)
{
    REQUIRE_PEERS(peers);
    SocketParams params = Direct(peers->Port("tls_closer"), L"localhost");
    params.sslMode = kSslTls;
    Open(params);
    ASSERT_TRUE(Connected());
    EXPECT_TRUE(ClosedAfterBye());
}

TEST_F(SecureConnectionTest, HandshakeWithAPlainServerFailsConnect)
{
    REQUIRE_PEERS(peers);
    SocketParams params = Direct(peers->Port("echo"));
    params.sslMode = kSslTls;
    Open(params);
    EXPECT_EQ(ConnectError(), -1);
}

TEST_F(SecureConnectionTest, CertificateThatFailsItsChecksFailsConnect)
{
    // Anyone in the middle could read the password: the owner hears of it.
    REQUIRE_PEERS(peers);
    for (const char* port : {"tls_selfsigned", "tls_other", "tls_stranger"}) {
        SCOPED_TRACE(port);
        Build(FastTimings(), SocketIo::Platform());
        SocketParams params = Direct(peers->Port(port), L"localhost");
        params.sslMode = kSslTls;
        Open(params);
        EXPECT_EQ(ConnectError(), -1);
    }
}

TEST_F(SecureConnectionTest, TheHostGoesAsTheServerName)
{
    REQUIRE_PEERS(peers);
    SocketParams params = Direct(peers->Port("tls_sni"), L"localhost");
    params.sslMode = kSslTls;
    Open(params);
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(m_owner->WaitForBytes(10));
    EXPECT_EQ(m_owner->Received(), "localhost\n");
}
