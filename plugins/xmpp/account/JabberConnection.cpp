// Connecting and disconnecting an XMPP account, the events of its socket, and
// why a connection ended.
#include "JabberProtocol.h"

#include <string>

#include "EventArgData.h"
#include "JabberTexts.h"
#include "Trace.h"
#include "ServiceIds.h"
#include "ServicesManager.h"
#include "SocketsManager.h"

namespace {

JOVSockets::CJOVSocket* SocketOf(CEventArg* arg)
{
    auto* data = dynamic_cast<CEventArg_Data<JOVSockets::CJOVSocket*>*>(arg);
    return data ? data->m_data : nullptr;
}

// The error of a failed "Connect": the sockets service sends it as an int.
int ErrorOf(CEventArg* arg)
{
    auto* data = dynamic_cast<CEventArg_Data<int>*>(arg);
    return data ? data->m_data : -1;
}

CJOVString Number(int value)
{
    return CJOVString(std::to_wstring(value).c_str());
}

// The login timer's entries in the request queue: numbers no answer carries.
int TimerNumber(int serial)
{
    return -2 - serial;
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
    if (m_state.load() >= 2) {
        ApplyStatus(status);
        PostStatusChanged();
    }
    return 0;
}

void CJabberProtocol::ResetConnectionState()
{
    // Nothing of the last connection may reach into the next.
    m_iqCallbacks.Reset();
    m_parser.Reset();
    m_used = 0;
    m_streamRestart = false;
    m_streamOpen = false;
    m_legacyLogin = false;
    m_streamId.clear();
    m_auth.reset();
    m_authenticated = false;
    m_sessionRequired = false;
    m_features = StreamFeatures();
    m_compressionAsked = false;
    m_compressionOn = false;
    m_compression.Stop();
    m_fullJid = CJOVString();
    m_xStatus = 0;
    m_heldStatus = Protocols::StatusOffline;
    m_invisiblePending = false;
    m_warned = false;
    m_sentMessages.clear();
    m_rosterUndo.clear();
}

int CJabberProtocol::Connect(Protocols::Status status)
{
    JOVSockets::CSocketsManager* sockets = Sockets();
    if (!sockets)
        return -3;
    if (ReadString(JABBER_KEY_ACCOUNT_NAME).GetLength() == 0 ||
        ReadString(JABBER_KEY_ACCOUNT_SERVER).GetLength() == 0 ||
        ReadString(JABBER_KEY_ACCOUNT_PASSWORD).GetLength() == 0) {
        ShowWarning(JabberText(kTextEnterAccountData));
        return -3;
    }
    // Without manual settings the account's own server and port, whatever
    // the manual ones hold.
    JOVSockets::SocketParams params = sockets->GetProxySettings();
    unsigned long port;
    if (ReadByte(JABBER_KEY_MANUAL, kJabberDefaultManual)) {
        params.host = ReadString(JABBER_KEY_MANUAL_SERVER);
        port = ReadDWord(JABBER_KEY_MANUAL_PORT, kJabberDefaultPort);
    } else {
        params.host = ReadString(JABBER_KEY_ACCOUNT_SERVER);
        port = ReadDWord(JABBER_KEY_ACCOUNT_PORT, kJabberDefaultPort);
    }
    if (params.host.GetLength() == 0) {
        ShowWarning(JabberText(kTextEnterAccountData));
        return -3;
    }
    if (!IsValidJabberPort(port)) {
        ShowWarning(JabberText(kTextBadPort));
        return -3;
    }
    params.port = static_cast<int>(port);
    params.sslMode = UsesSsl() ? JOVSockets::kSslSsl : JOVSockets::kSslNone;

    DropSocket();
    ResetConnectionState();
    m_requests.Start();
    m_socket = sockets->CreateSocket(m_clientId);
    if (!m_socket) {
        m_requests.Shutdown();
        return -4;
    }
    int result = sockets->Connect(m_socket, &params);
    if (result != 0) {
        // The account stays offline: nothing of the attempt is kept.
        DropSocket();
        m_requests.Shutdown();
        return result;
    }
    sockets->SetKeepAlive(m_socket, 1);
    TraceMark(L"XMPP connecting");
    ++m_connectionSerial;
    m_requests.Add(TimerNumber(m_connectionSerial), &CJabberProtocol::LoginTimerExpired, m_timings.loginTimeoutMs, 0,
                   CJOVString());
    m_status = status;
    m_state = 1;
    PostStatusChanged();
    return 0;
}

void CJabberProtocol::LoginTimerExpired(PendingRequest& request, XmlNode*, CJabberProtocol* account)
{
    // On the queue's worker, or on the event thread when the queue is
    // emptied: either way the account's own thread decides.
    if (!account->m_services || !account->m_clientId)
        return;
    account->m_services->SendEventToClient(account->m_clientId, GUID_JabberProtocol, CJOVString(L"Login timer"),
                                           new CEventArg_Data<int>(-2 - request.number), nullptr, false);
}

void CJabberProtocol::OnLoginTimer(int serial)
{
    if (serial != m_connectionSerial || m_state.load() != 1)
        return;
    FailLogin(JabberText(kTextLoginTimedOut));
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
    // Written before the close: the socket sends what is queued before it ends.
    EndStream();
    DropSocket();
    if (m_state.exchange(0) != 0) {
        PostStatusChanged();
        SetContactsOffline();
    }
    m_requests.ExpireAll(kIqTimedOut);
    m_requests.Shutdown();
    m_iqCallbacks.Clear();
    m_parser.Reset();
    m_used = 0;
    m_streamRestart = false;
    m_compressionOn = false;
    m_compression.Stop();
}

void CJabberProtocol::WarnOnce(const CJOVString& text)
{
    if (m_warned)
        return;
    m_warned = true;
    ShowWarning(text);
}

void CJabberProtocol::FailLogin(const CJOVString& text)
{
    WarnOnce(text);
    Disconnect();
}

void CJabberProtocol::OnConnectFailed(int error)
{
    // The socket's worker refuses a certificate as a failed handshake (-1);
    // without a proxy nothing else answers -1 on a secured connection.
    JOVSockets::SocketParams proxy;
    if (JOVSockets::CSocketsManager* sockets = Sockets())
        proxy = sockets->GetProxySettings();
    if (error == -1 && UsesSsl() && proxy.proxyType == JOVSockets::kProxyNone)
        WarnOnce(JabberText(kTextCertificateRefused));
    else
        WarnOnce(JabberText(kTextConnectFailed) + CJOVString(L" (") + Number(error) + CJOVString(L")"));
    Disconnect();
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
            OnConnectFailed(ErrorOf(arg2));
        else
            OpenStream();
    } else if (name == CJOVString(L"Close")) {
        // The connection is gone: nothing more reaches the server.
        m_streamOpen = false;
        if (m_status.load() != Protocols::StatusOffline) {
            WarnOnce(JabberText(kTextConnectionClosed));
            Disconnect();
        }
    }
}
