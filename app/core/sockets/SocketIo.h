// The Winsock calls a socket's worker makes on its connection, as a table so
// that tests can put faults (short sends, failing select) between the worker
// and the network. By default they are the platform's secure-socket calls.
#pragma once

#include <winsock2.h>

namespace JOVSockets {

struct SocketIo {
    int (*send)(SOCKET s, const char* data, int length, int flags);
    int (*recv)(SOCKET s, char* buffer, int length, int flags);
    int (*select)(int n, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, timeval* timeout);

    static SocketIo Platform();
};

} // namespace JOVSockets
