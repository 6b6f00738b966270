// The listening socket of a scripted peer: 127.0.0.1 only, at a port the
// system chooses, so that test programs running at once never collide.
#pragma once

#include <winsock2.h>

// The socket, with its port in port; INVALID_SOCKET (port 0) when it cannot
// listen. Winsock must be started.
inline SOCKET ListenOnLoopback(unsigned short& port, int backlog = 4)
{
    port = 0;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET)
        return listener;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener, backlog) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        closesocket(listener);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return listener;
}
