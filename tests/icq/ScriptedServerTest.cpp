// The scripted OSCAR server against the client's own packets over a real
// loopback connection: the login server's exchange, the hand-over to the BOS
// server, and the server's own reports when the client strays from the script.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <memory>

#include "IcqTestHelpers.h"
#include "MD5.h"
#include "ScriptedOscarServer.h"
#include "packets/CLI_AUTH_REQUEST.h"
#include "packets/CLI_COOKIE.h"
#include "packets/CLI_FAMILIES_VERSIONS.h"
#include "packets/CLI_MD5_LOGIN.h"
#include "packets/SRV_AUTH_KEY_RESPONSE.h"
#include "packets/SRV_FAMILIES.h"
#include "packets/SRV_HELLO.h"
#include "packets/SRV_LOGIN_REPLY.h"

namespace {

const char kUIN[] = "123456789";
const Bytes kCookie = B({0xC0, 0x0C, 0x1E, 0x5A, 0x11});

// The client end of a connection, speaking through the plug-in's packet classes.
class CTestClient {
public:
    CTestClient() : m_socket(INVALID_SOCKET), m_sequence(0x1FFF) {}
    ~CTestClient() { Close(); }

    bool Connect(const std::wstring& host, unsigned int port)
    {
        Close();
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        DWORD timeout = 5000;
        setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(port));
        std::string narrow(host.begin(), host.end());
        address.sin_addr.s_addr = inet_addr(narrow.c_str());
        return connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    }

    unsigned short NextSequence()
    {
        m_sequence = m_sequence == 0x8000 ? 0 : m_sequence + 1;
        return m_sequence;
    }

    bool Send(CICQPacket& packet)
    {
        Bytes bytes = Packed(packet);
        return !bytes.empty() && SendBytes(bytes);
    }

    bool SendBytes(const Bytes& bytes)
    {
        return send(m_socket, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0) ==
               static_cast<int>(bytes.size());
    }

    // One whole FLAP frame, header included; empty on timeout or close.
    Bytes Receive()
    {
        Bytes frame(6);
        if (!ReceiveAll(frame.data(), 6))
            return Bytes();
        frame.resize(6 + ((frame[4] << 8) | frame[5]));
        if (frame.size() > 6 && !ReceiveAll(frame.data() + 6, static_cast<int>(frame.size()) - 6))
            return Bytes();
        return frame;
    }

    template <class Packet>
    bool ReceiveAs(Packet& packet)
    {
        Bytes frame = Receive();
        return !frame.empty() && packet.Unpack(frame.data(), static_cast<int>(frame.size())) > 0;
    }

    void Close()
    {
        if (m_socket != INVALID_SOCKET)
            closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }

private:
    bool ReceiveAll(unsigned char* into, int n)
    {
        for (int got = 0; got < n;) {
            int read = recv(m_socket, reinterpret_cast<char*>(into + got), n - got, 0);
            if (read <= 0)
                return false;
            got += read;
        }
        return true;
    }

    SOCKET m_socket;
    unsigned short m_sequence;
};

class ScriptedServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    void TearDown() override { WSACleanup(); }

    // The login server's part of the script; the digest decides the reply.
    static void ScriptLogin(CScriptedOscarServer& server, const std::string& password)
    {
        auto digest = std::make_shared<Bytes>();
        unsigned short bosPort = server.GetPort();
        server.Accept()
            .Send(OscarWire::Hello())
            .Expect("the version packet", [](const OscarWire::Frame& frame, std::string&) {
                return frame.channel == 1 && frame.payload == B({0, 0, 0, 1});
            })
            .ExpectSnac(0x17, 0x06, [](const OscarWire::Snac& snac, std::string& why) {
                std::vector<OscarWire::Tlv> tlvs = OscarWire::ParseTlvs(snac.body);
                const OscarWire::Tlv* uin = OscarWire::FindTlv(tlvs, 0x0001);
                why = "no UIN";
                return uin && uin->value == Text(kUIN);
            })
            .Send(OscarWire::AuthKeyResponse("2718281828"))
            .ExpectSnac(0x17, 0x02, [digest](const OscarWire::Snac& snac, std::string& why) {
                std::vector<OscarWire::Tlv> tlvs = OscarWire::ParseTlvs(snac.body);
                const OscarWire::Tlv* sent = OscarWire::FindTlv(tlvs, 0x0025);
                why = "no digest";
                if (sent)
                    *digest = sent->value;
                return sent != nullptr;
            })
            .Send([digest, password, bosPort] {
                if (*digest != OscarWire::LoginDigest("2718281828", password))
                    return OscarWire::LoginError(kUIN, 5);
                return OscarWire::LoginReply(kUIN, "127.0.0.1:" + std::to_string(bosPort), kCookie);
            })
            .ExpectClosed();
    }

    // The client's side of the login, as far as the login reply.
    static void Login(CTestClient& client, unsigned short port, const char* password, CSRV_LOGIN_REPLY& reply)
    {
        ASSERT_TRUE(client.Connect(L"127.0.0.1", port));
        CSRV_HELLO hello;
        ASSERT_TRUE(client.ReceiveAs(hello));
        CICQPacket version(1, client.NextSequence(), 4);
        Bytes versionFrame = Packed(version);
        versionFrame.insert(versionFrame.end(), {0, 0, 0, 1});
        ASSERT_TRUE(client.SendBytes(versionFrame));
        CCLI_AUTH_REQUEST request(client.NextSequence(), 0, CJOVString(L"123456789"));
        ASSERT_TRUE(client.Send(request));
        CSRV_AUTH_KEY_RESPONSE key;
        ASSERT_TRUE(client.ReceiveAs(key));
        unsigned char passwordMD5[16];
        CMD5::Hash(password, static_cast<unsigned>(std::strlen(password)), passwordMD5);
        CCLI_MD5_LOGIN login(client.NextSequence(), 0, CJOVString(L"123456789"), key, passwordMD5);
        ASSERT_TRUE(client.Send(login));
        ASSERT_TRUE(client.ReceiveAs(reply));
        client.Close();
    }
};

} // namespace

TEST_F(ScriptedServerTest, LoginThenSignOnToTheBOSServer)
{
    CScriptedOscarServer server;
    ASSERT_NE(0, server.GetPort());
    ScriptLogin(server, "secret");
    server.Accept()
        .Send(OscarWire::Hello())
        .Expect("the cookie", [](const OscarWire::Frame& frame, std::string&) {
            return frame.channel == 1 &&
                   frame.payload == OscarWire::Builder().U32(1).Tlv(0x0006, kCookie).Get();
        })
        .Send(OscarWire::Families({0x01, 0x13, 0x02, 0x03, 0x04}))
        .ExpectSnac(0x01, 0x17, [](const OscarWire::Snac& snac, std::string&) {
            return snac.body == B({0, 1, 0, 4, 0, 0x13, 0, 4});
        })
        .Close();
    server.Start();

    CTestClient client;
    CSRV_LOGIN_REPLY reply;
    Login(client, server.GetPort(), "secret", reply);
    ASSERT_EQ(0, reply.GetErrorCode());
    EXPECT_EQ(L"123456789", W(reply.GetUIN()));
    ASSERT_EQ(L"127.0.0.1", W(reply.GetHost()));
    ASSERT_EQ(server.GetPort(), reply.GetPort());

    ASSERT_TRUE(client.Connect(W(reply.GetHost()), reply.GetPort()));
    CSRV_HELLO hello;
    ASSERT_TRUE(client.ReceiveAs(hello));
    CCLI_COOKIE cookie(client.NextSequence(), reply);
    ASSERT_TRUE(client.Send(cookie));
    CSRV_FAMILIES families;
    ASSERT_TRUE(client.ReceiveAs(families));
    EXPECT_EQ(5u, families.GetFamilies().size());
    CCLI_FAMILIES_VERSIONS versions(client.NextSequence(), 9);
    versions.AddFamily(0x0001, 4);
    versions.AddFamily(0x0013, 4);
    ASSERT_TRUE(client.Send(versions));

    EXPECT_TRUE(server.Wait(5000)) << server.Report();
}

TEST_F(ScriptedServerTest, AWrongPasswordGetsTheErrorReply)
{
    CScriptedOscarServer server;
    ScriptLogin(server, "secret");
    server.Start();
    CTestClient client;
    CSRV_LOGIN_REPLY reply;
    Login(client, server.GetPort(), "guess", reply);
    EXPECT_EQ(5, reply.GetErrorCode());
    EXPECT_EQ(L"Mismatch UIN or password, re-enter", W(reply.GetErrorText()));
    EXPECT_TRUE(server.Wait(5000)) << server.Report();
}

TEST_F(ScriptedServerTest, TheServerReportsAClientThatStraysFromTheScript)
{
    CScriptedOscarServer server(300);
    server.Accept().ExpectSnac(0x17, 0x06).ExpectSnac(0x17, 0x02);
    server.Start();
    CTestClient client;
    ASSERT_TRUE(client.Connect(L"127.0.0.1", server.GetPort()));
    CCLI_AUTH_REQUEST request(7, 0, CJOVString(L"1"));
    ASSERT_TRUE(client.Send(request));
    CCLI_AUTH_REQUEST again(9, 0, CJOVString(L"1"));  // a skipped sequence number, and not the login
    ASSERT_TRUE(client.Send(again));
    EXPECT_FALSE(server.Wait(5000));
    std::vector<std::string> failures = server.Failures();
    ASSERT_EQ(2u, failures.size()) << server.Report();
    EXPECT_NE(std::string::npos, failures[0].find("client sequence 9 after 7"));
    EXPECT_NE(std::string::npos, failures[1].find("expected SNAC 17/02, got SNAC 17/06"));
}

TEST_F(ScriptedServerTest, ASilentClientTimesOutTheStep)
{
    CScriptedOscarServer server(200);
    server.Accept().Ignore([](const OscarWire::Frame& frame) { return frame.channel == 5; })
        .ExpectSnac(0x17, 0x06);
    server.Start();
    CTestClient client;
    ASSERT_TRUE(client.Connect(L"127.0.0.1", server.GetPort()));
    CICQPacket keepAlive(5, 1, 0);
    ASSERT_TRUE(client.Send(keepAlive));
    EXPECT_FALSE(server.Wait(5000));
    ASSERT_EQ(1u, server.Failures().size());
    EXPECT_EQ("expected SNAC 17/06: nothing came in time", server.Failures()[0]);
    EXPECT_EQ(1u, server.Received().size());
}
