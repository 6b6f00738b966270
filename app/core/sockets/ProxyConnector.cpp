#include "core/sockets/ProxyConnector.h"

#include <ws2tcpip.h>

#include <cstring>
#include <string>

namespace JOVSockets {

namespace {

const int kCodePage = 1251;

// The string's bytes in the code page the proxies are spoken to in.
std::string Bytes(const CJOVString& text)
{
    unsigned char* buffer = text.GetBuffer(kCodePage);
    if (!buffer)
        return std::string();
    std::string bytes(reinterpret_cast<const char*>(buffer));
    CJOVString::FreeBuffer(buffer);
    return bytes;
}

// The number between the status line's first and second space; -1 when the
// line is no HTTP status line or its number is no status (below 100), so that
// a garbled reply never passes for 0, success.
int HttpStatus(const std::string& reply)
{
    size_t lineEnd = reply.find("\r\n");
    std::string line = reply.substr(0, lineEnd);
    if (line.compare(0, 5, "HTTP/") != 0)
        return -1;
    size_t first = line.find(' ');
    if (first == std::string::npos)
        return -1;
    size_t second = line.find(' ', first + 1);
    std::string number = line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    if (number.empty() || number.size() > 3 || number.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    int status = std::stoi(number);
    return status >= 100 ? status : -1;
}

} // namespace

CProxyConnector::CProxyConnector(SOCKET s, const SocketParams& params, const std::atomic<bool>& stopRequested,
                                 DWORD sliceMs)
    : m_socket(s), m_params(params), m_stopRequested(stopRequested), m_sliceMs(sliceMs ? sliceMs : 1)
{
}

int CProxyConnector::Connect()
{
    switch (m_params.proxyType) {
    case kProxyNone:
        return ConnectTo(m_params.host, m_params.port);
    case kProxyHttp:
        return HttpConnect();
    case kProxySocks4:
        return Socks4Connect();
    case kProxySocks5:
        return Socks5Connect();
    default:
        return -1;
    }
}

int CProxyConnector::Resolve(const CJOVString& host, int port, sockaddr_in& address)
{
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port & 0xFFFF));
    std::string name = Bytes(host);
    unsigned long ip = inet_addr(name.c_str());
    if (ip != INADDR_NONE) {
        address.sin_addr.s_addr = ip;
        return 0;
    }
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int error = getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (error != 0 || !found)
        return error != 0 ? error : WSAHOST_NOT_FOUND;
    address.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return 0;
}

int CProxyConnector::ConnectTo(const CJOVString& host, int port)
{
    sockaddr_in address;
    int error = Resolve(host, port, address);
    if (error != 0)
        return error;
    if (m_stopRequested)
        return WSAEINTR;
    // Connect without blocking so that a stop is seen while the peer is silent.
    u_long nonBlocking = 1;
    if (ioctlsocket(m_socket, FIONBIO, &nonBlocking) == SOCKET_ERROR)
        return WSAGetLastError();
    if (::connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
        error = WSAGetLastError();
        if (error == WSAEWOULDBLOCK)
            error = Wait(true);
    }
    u_long blocking = 0;
    if (ioctlsocket(m_socket, FIONBIO, &blocking) == SOCKET_ERROR && error == 0)
        error = WSAGetLastError();
    return error;
}

int CProxyConnector::HttpConnect()
{
    int error = ConnectTo(m_params.proxyHost, m_params.proxyPort);
    if (error != 0)
        return error;
    CJOVString request = CJOVString(L"CONNECT ") + m_params.host + L":" +
                         CJOVString(std::to_wstring(m_params.port).c_str()) +
                         L" HTTP/1.0\r\nConnection: Keep-Alive\r\nUser-agent: Mozilla/4.0\r\n";
    if (m_params.proxyAuth) {
        std::string credentials = Bytes(m_params.proxyLogin + L":" + m_params.proxyPassword);
        request += CJOVString(L"Proxy-Authorization: basic ") +
                   CJOVString::GetBase64EncodedString(reinterpret_cast<const unsigned char*>(credentials.data()),
                                                      static_cast<int>(credentials.size())) +
                   L"\r\n";
    }
    request += L"\r\n";
    std::string bytes = Bytes(request);
    error = SendAll(bytes.data(), static_cast<int>(bytes.size()));
    if (error != 0)
        return error;

    // Read the reply header up to its blank line and not a byte further: what
    // follows it is already the destination's stream.
    std::string reply;
    while (reply.size() < static_cast<size_t>(kMaxHttpReply)) {
        char c;
        error = ReceiveExactly(&c, 1);
        if (error == -1)
            break;  // the proxy ended the connection after its reply
        if (error != 0)
            return error;
        reply += c;
        if (reply.size() >= 4 && reply.compare(reply.size() - 4, 4, "\r\n\r\n") == 0)
            break;
    }
    int status = HttpStatus(reply);
    if (status == 200)
        return reply.size() >= 4 && reply.compare(reply.size() - 4, 4, "\r\n\r\n") == 0 ? 0 : -1;
    return status;
}

int CProxyConnector::ConnectToSocksProxy(sockaddr_in& destination)
{
    int error = ConnectTo(m_params.proxyHost, m_params.proxyPort);
    if (error != 0)
        return error;
    return Resolve(m_params.host, m_params.port, destination);
}

int CProxyConnector::Socks4Connect()
{
    sockaddr_in destination;
    int error = ConnectToSocksProxy(destination);
    if (error != 0)
        return error;
    std::string request;
    request += '\x04';
    request += '\x01';
    request += static_cast<char>((m_params.port >> 8) & 0xFF);
    request += static_cast<char>(m_params.port & 0xFF);
    request.append(reinterpret_cast<const char*>(&destination.sin_addr), 4);
    if (m_params.proxyAuth)
        request += Bytes(m_params.proxyLogin);
    request += '\0';
    unsigned char reply[8];
    error = Exchange(request.data(), static_cast<int>(request.size()), reply, sizeof reply);
    if (error != 0)
        return error;
    return reply[1] == 0x5A ? 0 : -1;
}

int CProxyConnector::Socks5Connect()
{
    std::string login = Bytes(m_params.proxyLogin);
    std::string password = Bytes(m_params.proxyPassword);
    // Each goes with a one-byte length.
    if (m_params.proxyAuth && (login.size() > 255 || password.size() > 255))
        return -1;
    sockaddr_in destination;
    int error = ConnectToSocksProxy(destination);
    if (error != 0)
        return error;

    const unsigned char greeting[3] = {0x05, 0x01, static_cast<unsigned char>(m_params.proxyAuth ? 0x02 : 0x00)};
    unsigned char choice[2];
    error = Exchange(greeting, sizeof greeting, choice, sizeof choice);
    if (error != 0)
        return error;
    if (choice[1] != 0x00 && choice[1] != 0x02)
        return -1;
    if (choice[1] == 0x02) {
        if (login.size() > 255 || password.size() > 255)
            return -1;
        std::string request;
        request += '\x01';
        request += static_cast<char>(login.size());
        request += login;
        request += static_cast<char>(password.size());
        request += password;
        unsigned char verdict[2];
        error = Exchange(request.data(), static_cast<int>(request.size()), verdict, sizeof verdict);
        if (error != 0)
            return error;
        if (verdict[0] != 0x01 || verdict[1] != 0x00)
            return -1;
    }

    unsigned char request[10] = {0x05, 0x01, 0x00, 0x01};
    std::memcpy(request + 4, &destination.sin_addr, 4);
    request[8] = static_cast<unsigned char>((m_params.port >> 8) & 0xFF);
    request[9] = static_cast<unsigned char>(m_params.port & 0xFF);
    // The reply's bound address is as long as its type says; read all of it so
    // that nothing of it is taken for the destination's stream.
    unsigned char reply[4];
    error = Exchange(request, sizeof request, reply, sizeof reply);
    if (error != 0)
        return error;
    if (reply[0] != 0x05 || reply[1] != 0x00)
        return -1;
    int addressLength;
    if (reply[3] == 0x01) {
        addressLength = 4;
    } else if (reply[3] == 0x04) {
        addressLength = 16;
    } else if (reply[3] == 0x03) {
        unsigned char nameLength;
        error = ReceiveExactly(&nameLength, 1);
        if (error != 0)
            return error;
        addressLength = nameLength;
    } else {
        return -1;
    }
    unsigned char bound[255 + 2];
    return ReceiveExactly(bound, addressLength + 2);
}

int CProxyConnector::SendAll(const void* data, int length)
{
    const char* bytes = static_cast<const char*>(data);
    while (length > 0) {
        int error = Wait(true);
        if (error != 0)
            return error;
        int sent = ::send(m_socket, bytes, length, 0);
        if (sent == SOCKET_ERROR)
            return WSAGetLastError();
        bytes += sent;
        length -= sent;
    }
    return 0;
}

int CProxyConnector::Exchange(const void* request, int requestLength, void* reply, int replyLength)
{
    int error = SendAll(request, requestLength);
    return error != 0 ? error : ReceiveExactly(reply, replyLength);
}

int CProxyConnector::ReceiveExactly(void* buffer, int length)
{
    char* bytes = static_cast<char*>(buffer);
    while (length > 0) {
        int error = Wait(false);
        if (error != 0)
            return error;
        int received = ::recv(m_socket, bytes, length, 0);
        if (received == SOCKET_ERROR)
            return WSAGetLastError();
        if (received == 0)
            return -1;
        bytes += received;
        length -= received;
    }
    return 0;
}

int CProxyConnector::Wait(bool forWrite)
{
    for (;;) {
        if (m_stopRequested)
            return WSAEINTR;
        fd_set readySet;
        fd_set exceptSet;
        FD_ZERO(&readySet);
        FD_ZERO(&exceptSet);
        FD_SET(m_socket, &readySet);
        FD_SET(m_socket, &exceptSet);
        timeval slice = {static_cast<long>(m_sliceMs / 1000), static_cast<long>(m_sliceMs % 1000) * 1000};
        int ready = ::select(0, forWrite ? nullptr : &readySet, forWrite ? &readySet : nullptr, &exceptSet, &slice);
        if (ready == SOCKET_ERROR)
            return WSAGetLastError();
        if (ready == 0)
            continue;
        if (FD_ISSET(m_socket, &exceptSet)) {
            int error = 0;
            int size = sizeof error;
            ::getsockopt(m_socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
            return error != 0 ? error : -1;
        }
        return 0;
    }
}

} // namespace JOVSockets
