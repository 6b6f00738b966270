#include "RawXmppSession.h"

#include <ws2tcpip.h>

#include <cstring>

#include "MD5Auth.h"
#include "SecureSocket.h"

namespace {

const char kHeader[] = "<?xml version='1.0'?><stream:stream to='localhost' xmlns='jabber:client' "
                       "xmlns:stream='http://etherx.jabber.org/streams' version='1.0'>";
// The account's own first presence, byte for byte.
const char kPresence[] = "<presence><priority>0</priority><c xmlns='http://jabber.org/protocol/caps' "
                         "hash='sha-1' node='https://jov.example.org/caps' ver='MK7T5gAbdv/7unz0tIG5ixDV2wA='/>"
                         "</presence>";

CJOVString Wide(const char* text)
{
    return CJOVString(reinterpret_cast<const unsigned char*>(text), CP_UTF8);
}

} // namespace

CRawXmppSession::CRawXmppSession() : m_socket(INVALID_SOCKET), m_compressed(false), m_scan(0)
{
    std::memset(&m_inflate, 0, sizeof m_inflate);
    std::memset(&m_deflate, 0, sizeof m_deflate);
}

CRawXmppSession::~CRawXmppSession()
{
    Close();
}

bool CRawXmppSession::Fail(const std::string& why)
{
    if (m_why.empty())
        m_why = why;
    return false;
}

bool CRawXmppSession::Connect(unsigned short port)
{
    m_socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_socket == INVALID_SOCKET)
        return Fail("socket");
    BOOL noDelay = TRUE;
    ::setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    DWORD secure = SO_SEC_SSL;
    DWORD returned = 0;
    SSLPROTOCOLS protocols = {1, {{SSL_PROTOCOL_TLS1, 0, 0}}};
    DWORD flags = SSL_FLAG_DEFER_HANDSHAKE;
    if (SecureSockets::setsockopt(m_socket, SOL_SOCKET, SO_SECURE, reinterpret_cast<const char*>(&secure),
                                  sizeof secure) == SOCKET_ERROR ||
        SecureSockets::WSAIoctl(m_socket, SO_SSL_SET_PROTOCOLS, &protocols, sizeof protocols, nullptr, 0,
                                &returned) == SOCKET_ERROR ||
        SecureSockets::WSAIoctl(m_socket, SO_SSL_SET_FLAGS, &flags, sizeof flags, nullptr, 0, &returned) ==
            SOCKET_ERROR)
        return Fail("secure socket");
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return Fail("connect");
    const char* serverName = "localhost";
    if (SecureSockets::WSAIoctl(m_socket, SO_SSL_PERFORM_HANDSHAKE, &serverName, sizeof serverName, nullptr, 0,
                                &returned) == SOCKET_ERROR)
        return Fail("handshake");
    return true;
}

bool CRawXmppSession::SendBytes(const char* data, int length)
{
    return SecureSockets::send(m_socket, data, length, 0) == length || Fail("send");
}

bool CRawXmppSession::Send(const std::string& text)
{
    if (!m_compressed)
        return SendBytes(text.data(), static_cast<int>(text.size()));
    m_deflate.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    m_deflate.avail_in = static_cast<uInt>(text.size());
    char out[16384];
    do {
        m_deflate.next_out = reinterpret_cast<Bytef*>(out);
        m_deflate.avail_out = sizeof out;
        if (deflate(&m_deflate, Z_SYNC_FLUSH) == Z_STREAM_ERROR)
            return Fail("deflate");
        if (!SendBytes(out, static_cast<int>(sizeof out - m_deflate.avail_out)))
            return false;
    } while (m_deflate.avail_out == 0);
    return true;
}

bool CRawXmppSession::ReadMore()
{
    char in[16384];
    int n = SecureSockets::recv(m_socket, in, sizeof in, 0);
    if (n <= 0)
        return Fail("closed");
    if (!m_compressed) {
        m_read.append(in, static_cast<size_t>(n));
        return true;
    }
    m_inflate.next_in = reinterpret_cast<Bytef*>(in);
    m_inflate.avail_in = static_cast<uInt>(n);
    char out[65536];
    do {
        m_inflate.next_out = reinterpret_cast<Bytef*>(out);
        m_inflate.avail_out = sizeof out;
        int result = inflate(&m_inflate, Z_SYNC_FLUSH);
        if (result != Z_OK && result != Z_BUF_ERROR)
            return Fail("inflate");
        m_read.append(out, sizeof out - m_inflate.avail_out);
    } while (m_inflate.avail_out == 0);
    return true;
}

bool CRawXmppSession::WaitFor(const std::string& text)
{
    for (;;) {
        size_t at = m_read.find(text, m_scan);
        if (at != std::string::npos) {
            m_scan = at + text.size();
            return true;
        }
        if (!ReadMore())
            return false;
    }
}

bool CRawXmppSession::ReadElementText(const std::string& name, std::string& text)
{
    if (!WaitFor("<" + name))
        return false;
    size_t openEnd;
    while ((openEnd = m_read.find('>', m_scan)) == std::string::npos) {
        if (!ReadMore())
            return false;
    }
    if (m_read[openEnd - 1] == '/') {
        text.clear();
        m_scan = openEnd + 1;
        return true;
    }
    size_t start = openEnd + 1;
    m_scan = start;
    if (!WaitFor("</" + name + ">"))
        return false;
    text = m_read.substr(start, m_scan - start - name.size() - 3);
    return true;
}

bool CRawXmppSession::OpenStream()
{
    return Send(kHeader) && WaitFor("<stream:stream");
}

bool CRawXmppSession::LogIn(unsigned short port, const char* user, const char* password, const char* resource)
{
    if (!Connect(port) || !OpenStream())
        return false;
    JabberCredentials credentials{Wide(user), Wide(password), Wide("localhost")};
    bool authenticated = false;
    for (;;) {
        std::string features;
        if (!ReadElementText("stream:features", features))
            return false;
        if (!m_compressed && features.find("<method>zlib</method>") != std::string::npos) {
            std::string ignored;
            if (!Send("<compress xmlns='http://jabber.org/protocol/compress'><method>zlib</method></compress>") ||
                !ReadElementText("compressed", ignored))
                return false;
            if (inflateInit(&m_inflate) != Z_OK || deflateInit(&m_deflate, Z_DEFAULT_COMPRESSION) != Z_OK)
                return Fail("zlib");
            m_compressed = true;
            if (!OpenStream())
                return false;
            continue;
        }
        if (!authenticated) {
            if (features.find("DIGEST-MD5") == std::string::npos)
                return Fail("no DIGEST-MD5");
            TMD5Auth auth(credentials);
            if (!Send("<auth xmlns='urn:ietf:params:xml:ns:xmpp-sasl' mechanism='DIGEST-MD5'/>"))
                return false;
            for (;;) {
                while (m_scan < m_read.size() && m_read[m_scan] != '<')
                    ++m_scan;
                while (m_read.size() < m_scan + 10) {
                    if (!ReadMore())
                        return false;
                }
                std::string payload;
                if (m_read.compare(m_scan, 10, "<challenge") == 0) {
                    std::string answer;
                    if (!ReadElementText("challenge", payload) ||
                        auth.GetChallengeResponse(payload, answer) != TJabberAuth::kAnswered)
                        return Fail("challenge");
                    if (!Send("<response xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>" + answer + "</response>"))
                        return false;
                } else if (m_read.compare(m_scan, 8, "<success") == 0) {
                    if (!ReadElementText("success", payload) || auth.CheckSuccess(payload) != TJabberAuth::kAnswered)
                        return Fail("success");
                    break;
                } else {
                    return Fail("login refused");
                }
            }
            authenticated = true;
            if (!OpenStream())
                return false;
            continue;
        }
        std::string answer;
        if (!Send(std::string("<iq type='set' id='bind_1'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'><resource>") +
                  resource + "</resource></bind></iq>") ||
            !WaitFor("bind_1") || !WaitFor("</iq>"))
            return false;
        if (features.find("<session") != std::string::npos &&
            (!Send("<iq type='set' id='session_1'><session xmlns='urn:ietf:params:xml:ns:xmpp-session'/></iq>") ||
             !WaitFor("session_1")))
            return false;
        return true;
    }
}

bool CRawXmppSession::RosterAndPresence()
{
    return Send("<iq type='get' id='roster_1'><query xmlns='jabber:iq:roster'/></iq>") && WaitFor("roster_1") &&
           WaitFor("</iq>") && Send(kPresence);
}

void CRawXmppSession::Close()
{
    if (m_socket != INVALID_SOCKET) {
        Send("</stream:stream>");
        SecureSockets::shutdown(m_socket, SD_BOTH);
        SecureSockets::closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
    if (m_compressed) {
        inflateEnd(&m_inflate);
        deflateEnd(&m_deflate);
        m_compressed = false;
    }
}
