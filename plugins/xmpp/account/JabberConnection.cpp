// Connecting and disconnecting an XMPP account, and the events of its socket.
#include "JabberProtocol.h"

#include "EventArgData.h"
#include "JabberSettings.h"
#include "SocketsManager.h"

namespace {

JOVSockets::CJOVSocket* SocketOf(CEventArg* arg)
{
    auto* data = dynamic_cast<CEventArg_Data<JOVSockets::CJOVSocket*>*>(arg);
    return data ? data->m_data : nullptr;
}

} // namespace

int CJabberProtocol::SetStatus(Protocols::Status status)
{
    if (status == Protocols::StatusInvisibleForAll)
        status = Protocols::StatusInvisible;
    if (status == Protocols::StatusOffline)
        return -2;
    if (status == Protocols::StatusConnecting)
        return 0;
    if (m_state.load() == 0)
        return Connect(status);
    // Connecting: the status counts once the login is done.
    m_status = status;
    if (m_state.load() >= 2)
        PostStatusChanged();
    return 0;
}

int CJabberProtocol::Connect(Protocols::Status status)
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (!sockets)
        return -3;
    DropSocket();
    m_iqCallbacks.Reset();
    m_requests.Start();
    m_parser.Reset();
    m_used = 0;
    m_streamRestart = false;
    m_socket = sockets->CreateSocket(m_clientId);
    if (!m_socket) {
        m_requests.Shutdown();
        return -4;
    }
    JOVSockets::SocketParams params = sockets->GetProxySettings();
    params.host = ReadString(JABBER_KEY_MANUAL_SERVER);
    params.port = static_cast<int>(ReadDWord(JABBER_KEY_MANUAL_PORT, kJabberDefaultPort));
    params.sslMode = ReadByte(JABBER_KEY_SSL, 0) ? JOVSockets::kSslSsl : JOVSockets::kSslNone;
    int result = sockets->Connect(m_socket, &params);
    if (result != 0) {
        // The account stays offline: nothing of the attempt is kept.
        DropSocket();
        m_requests.Shutdown();
        return result;
    }
    sockets->SetKeepAlive(m_socket, 1);
    m_status = status;
    m_state = 1;
    PostStatusChanged();
    return 0;
}

void CJabberProtocol::DropSocket()
{
    JOVSockets::CJOVSocket* socket = m_socket;
    m_socket = nullptr;
    if (!socket)
        return;
    if (JOVSockets::CSocketsManager* sockets = Sockets()) {
        if (sockets->IsValidSocket(socket)) {
            sockets->Close(socket);
            sockets->DestroySocket(socket);
        }
    }
}

void CJabberProtocol::Disconnect()
{
    m_status = Protocols::StatusOffline;
    DropSocket();
    if (m_state.exchange(0) != 0)
        PostStatusChanged();
    m_requests.ExpireAll(kIqTimedOut);
    m_requests.Shutdown();
    m_iqCallbacks.Clear();
    m_parser.Reset();
    m_used = 0;
    m_streamRestart = false;
}

void CJabberProtocol::OnSocketEvent(const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    // Events of a socket already given up (one destroyed by a disconnect,
    // before a new connection began) still arrive: they are no longer this
    // account's business.
    if (!m_socket || SocketOf(arg1) != m_socket)
        return;
    if (name == CJOVString(L"Receive")) {
        OnReceive();
    } else if (name == CJOVString(L"Connect")) {
        if (arg2)
            Disconnect();
        else
            OpenStream();
    } else if (name == CJOVString(L"Close")) {
        if (m_status.load() != Protocols::StatusOffline)
            Disconnect();
    }
}
