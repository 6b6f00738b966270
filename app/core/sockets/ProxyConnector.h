// Connects a socket to its destination, directly or through the proxy its
// record names (HTTP CONNECT with Basic authorization, SOCKS 4, SOCKS 5 with
// user name and password), and leaves it carrying the destination's stream.
//
// Runs on the socket's worker thread. Every wait on the network is cut into
// slices so that the owner's Close (the stop request) ends it between two.
#pragma once

#include <winsock2.h>

#include <atomic>

#include "SocketParams.h"

namespace JOVSockets {

class CProxyConnector {
public:
    // An HTTP proxy's reply header longer than this is refused.
    static constexpr int kMaxHttpReply = 4096;

    CProxyConnector(SOCKET s, const SocketParams& params, const std::atomic<bool>& stopRequested, DWORD sliceMs);

    // 0, or the error of the failed step: a Winsock or system error code, the
    // HTTP proxy's status, or -1 (a refusal, a reply out of form, an unknown
    // proxy type, a login that does not fit). WSAEINTR when stopped.
    int Connect();

    // Name or dotted address to an IPv4 socket address: 0 or the error.
    static int Resolve(const CJOVString& host, int port, sockaddr_in& address);

private:
    int ConnectTo(const CJOVString& host, int port);
    // Both SOCKS versions: the proxy connected, the destination resolved to
    // the address they send. 0 or the error.
    int ConnectToSocksProxy(sockaddr_in& destination);
    int HttpConnect();
    int Socks4Connect();
    int Socks5Connect();

    int SendAll(const void* data, int length);
    // 0; -1 when the peer ends first; or the socket's error.
    int ReceiveExactly(void* buffer, int length);
    // Sends the whole request, then reads exactly the reply's length.
    int Exchange(const void* request, int requestLength, void* reply, int replyLength);
    // 0 when readable (or writable); WSAEINTR when stopped; or the error.
    int Wait(bool forWrite);

    SOCKET m_socket;
    const SocketParams& m_params;
    const std::atomic<bool>& m_stopRequested;
    DWORD m_sliceMs;
};

} // namespace JOVSockets
