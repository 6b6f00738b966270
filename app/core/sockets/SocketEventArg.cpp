#include "core/sockets/SocketEventArg.h"

#include "core/sockets/JOVSocket.h"

namespace JOVSockets {

CSocketEventArg::CSocketEventArg(CJOVSocket* socket) : CEventArg_Data<CJOVSocket*>(socket)
{
    socket->AddRef();
}

CSocketEventArg::~CSocketEventArg()
{
    m_data->Release();
}

} // namespace JOVSockets
