#include "core/SocketEventArg.h"

#include "core/JOVSocket.h"

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
