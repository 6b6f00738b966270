#include "core/sockets/SocketIo.h"

#include "SecureSocket.h"

namespace JOVSockets {

SocketIo SocketIo::Platform()
{
    return SocketIo{&SecureSockets::send, &SecureSockets::recv, &SecureSockets::select};
}

} // namespace JOVSockets
