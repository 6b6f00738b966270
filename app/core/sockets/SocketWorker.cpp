#include "core/sockets/SocketWorker.h"

#include <cstdlib>
#include <string>

#include "ConnectionManager.h"
#include "EventArgData.h"
#include "EventNames.h"
#include "SecureSocket.h"
#include "ServiceIds.h"
#include "Trace.h"
#include "core/sockets/ProxyConnector.h"
#include "core/sockets/SocketEventArg.h"

namespace JOVSockets {

CSocketWorker::CSocketWorker(CJOVSocket& socket)
    : m_socket(socket), m_handle(socket.m_socket), m_stop(false), m_pollMs(socket.m_timings.busyPollMs)
{
}

DWORD CSocketWorker::Run()
{
    BringUpConnection();
    int error = CProxyConnector(m_handle, m_socket.m_params, m_socket.m_stopRequested, m_socket.m_timings.busyPollMs)
                    .Connect();
    if (error == 0 && m_socket.m_params.sslMode != kSslNone)
        error = Secure();
    if (m_socket.m_stopRequested) {
        // The owner closed the socket while it was connecting.
        Post(EVENT_Close, nullptr);
        ReleaseConnection();
        m_socket.CloseHandleFromWorker();
        return 0;
    }
    if (error != 0) {
        Post(EVENT_Connect, new CEventArg_Data<int>(error));
        ReleaseConnection();
        m_socket.CloseHandleFromWorker();
        return static_cast<DWORD>(error);
    }
    Post(EVENT_Connect, nullptr);
    Loop();
    ReleaseConnection();
    m_socket.CloseHandleFromWorker();
    return 0;
}

void CSocketWorker::BringUpConnection()
{
    m_socket.m_connection = nullptr;
    HANDLE ready = ConnMgrApiReadyEvent();
    if (!ready)
        return;
    HANDLE waits[2] = {ready, m_socket.m_wakeEvent};
    DWORD waited = WaitForMultipleObjects(2, waits, FALSE, m_socket.m_timings.apiReadyWaitMs);
    CloseHandle(ready);
    if (waited == WAIT_OBJECT_0 + 1)
        m_socket.m_stopRequested = true;  // the wake event is taken: keep the request
    if (waited != WAIT_OBJECT_0)
        return;

    const SocketParams& params = m_socket.m_params;
    CJOVString url = CJOVString(L"http://") + (params.proxyType != kProxyNone ? params.proxyHost : params.host);
    CONNMGR_CONNECTIONINFO info = {};
    info.cbSize = sizeof info;
    info.dwParams = CONNMGR_PARAM_GUIDDESTNET;
    info.dwFlags = CONNMGR_FLAG_SUSPEND_AWARE;
    info.dwPriority = CONNMGR_PRIORITY_USERINTERACTIVE;
    DWORD index = 0;
    GUID destination;
    while (SUCCEEDED(ConnMgrMapURL(static_cast<wchar_t*>(url), &destination, &index))) {
        info.guidDestNet = destination;
        HANDLE connection = nullptr;
        DWORD status = 0;
        if (SUCCEEDED(ConnMgrEstablishConnectionSync(&info, &connection, INFINITE, &status))) {
            m_socket.m_connection = connection;
            return;
        }
        ++index;
    }
    // No data connection: go on over whatever network the device has.
}

void CSocketWorker::ReleaseConnection()
{
    if (m_socket.m_connection) {
        ConnMgrReleaseConnection(m_socket.m_connection, 1);
        m_socket.m_connection = nullptr;
    }
}

int CSocketWorker::Secure()
{
    // The host the owner asked for, not the proxy: its certificate must name it,
    // and it goes as the server name.
    CJOVString host = m_socket.m_params.host;
    const wchar_t* wide = host;
    std::string name;
    int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n > 1) {
        name.resize(static_cast<size_t>(n));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, &name[0], n, nullptr, nullptr);
        name.resize(static_cast<size_t>(n - 1));
    }
    if (name.empty())
        return -1;
    const char* serverName = name.c_str();
    DWORD returned = 0;
    if (SecureSockets::WSAIoctl(m_handle, SO_SSL_PERFORM_HANDSHAKE, &serverName, sizeof serverName, nullptr, 0,
                                &returned) == SOCKET_ERROR)
        return -1;
    return 0;
}

void CSocketWorker::Loop()
{
    m_pollMs = m_socket.m_timings.busyPollMs;
    while (!m_stop) {
        WriteQueued();
        if (m_stop)
            break;
        Poll();
        if (m_stop)
            break;
        WaitPoll();
    }
}

void CSocketWorker::WriteQueued()
{
    // The queue's lock is not held while sending: a peer that reads slowly
    // must not block the owner's Send.
    CJOVSocket::SendBuffer buffer;
    while (!m_socket.m_stopRequested && m_socket.TakeSendBuffer(buffer)) {
        const bool failed = !SendWhole(static_cast<const char*>(buffer.data), buffer.length, 0, INFINITE);
        std::free(buffer.data);
        TraceMark(L"socket sent", buffer.length);
        Post(EVENT_Write, failed ? new CEventArg_Data<int>(-1) : nullptr);
    }
}

void CSocketWorker::Poll()
{
    // A full buffer leaves the socket out of the read set until the owner reads:
    // a receive into no room would look like the peer's end.
    int room = m_socket.ReceiveRoom();
    fd_set readSet;
    fd_set exceptSet;
    FD_ZERO(&readSet);
    FD_ZERO(&exceptSet);
    if (room > 0)
        FD_SET(m_handle, &readSet);
    FD_SET(m_handle, &exceptSet);
    // Bytes queued meanwhile end the wait: they are written at once.
    const SOCKET signal = m_socket.m_sendSignal;
    if (signal != INVALID_SOCKET)
        FD_SET(signal, &readSet);
    timeval timeout = {static_cast<long>(m_pollMs / 1000), static_cast<long>(m_pollMs % 1000) * 1000};
    const bool wait = signal == INVALID_SOCKET || m_socket.BeginWait();
    if (!wait)
        timeout = timeval{0, 0};
    int ready = m_socket.m_io.select(0, &readSet, nullptr, &exceptSet, &timeout);
    if (signal != INVALID_SOCKET && wait)
        m_socket.EndWait();
    if (ready > 0 && signal != INVALID_SOCKET && FD_ISSET(signal, &readSet)) {
        m_socket.DrainSendSignal();
        FD_CLR(signal, &readSet);
        if (--ready == 0) {
            m_pollMs = m_socket.m_timings.busyPollMs;
            return;
        }
    }
    if (ready == SOCKET_ERROR) {
        int error = WSAGetLastError();
        if (error == WSAEINPROGRESS)
            Sleep(m_pollMs);
        else
            EndWith(new CEventArg_Data<int>(error));
        return;
    }
    if (ready == 0) {
        m_pollMs = m_socket.m_timings.idlePollMs;
        return;
    }
    m_pollMs = m_socket.m_timings.busyPollMs;
    if (FD_ISSET(m_handle, &readSet)) {
        char chunk[CJOVSocket::kReceiveBufferSize];
        int received = m_socket.m_io.recv(m_handle, chunk, room, 0);
        if (received > 0) {
            TraceMark(L"socket received", received);
            m_socket.AppendReceived(chunk, received);
            SendReceive(received);
        } else if (received == 0 || WSAGetLastError() == WSAEWOULDBLOCK) {
            // The peer's end; the probe tells how it ended (0: orderly).
            char probe;
            int result = m_socket.m_io.recv(m_handle, &probe, 1, 0);
            EndWith(new CEventArg_Data<int>(result == SOCKET_ERROR ? WSAGetLastError() : result));
            return;
        } else {
            EndWith(new CEventArg_Data<int>(-1));
            return;
        }
    }
    if (FD_ISSET(m_handle, &exceptSet)) {
        int error = 0;
        int length = sizeof error;
        ::getsockopt(m_handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        EndWith(new CEventArg_Data<int>(error));
    }
}

void CSocketWorker::WaitPoll()
{
    HANDLE waits[2] = {m_socket.m_wakeEvent, m_socket.m_connection};
    DWORD count = m_socket.m_connection ? 2 : 1;
    DWORD waited = WaitForMultipleObjects(count, waits, FALSE, 0);
    if (waited == WAIT_OBJECT_0 || m_socket.m_stopRequested) {
        EndWith(nullptr);
    } else if (count == 2 && waited == WAIT_OBJECT_0 + 1) {
        DWORD status = 0;
        HRESULT result = ConnMgrConnectionStatus(m_socket.m_connection, &status);
        if (FAILED(result))
            EndWith(new CEventArg_Data<long>(result));
        else if (status != CONNMGR_STATUS_CONNECTED && status != CONNMGR_STATUS_SUSPENDED)
            EndWith(new CEventArg_Data<unsigned long>(status));
    } else if (waited != WAIT_TIMEOUT) {
        EndWith(new CEventArg_Data<unsigned long>(GetLastError()));
    }
}

void CSocketWorker::EndWith(CEventArg* reason)
{
    if (m_socket.m_stopRequested) {
        // Whatever the cut-off socket reported, the owner asked for this end.
        delete reason;
        reason = nullptr;
        WriteBeforeClose();
    }
    Post(EVENT_Close, reason);
    m_stop = true;
}

void CSocketWorker::WriteBeforeClose()
{
    // What the owner queued before its Close still goes (a protocol's last
    // words), for closeWaitMs at most: a peer that reads nothing cannot keep
    // the worker. What is left then is dropped.
    const DWORD started = GetTickCount();
    const DWORD limit = m_socket.m_timings.closeWaitMs;
    bool failed = false;
    CJOVSocket::SendBuffer buffer;
    while (m_socket.TakeSendBuffer(buffer)) {
        failed = failed || !SendWhole(static_cast<const char*>(buffer.data), buffer.length, started, limit);
        std::free(buffer.data);
    }
}

bool CSocketWorker::SendWhole(const char* data, int left, DWORD started, DWORD limit)
{
    while (left > 0) {
        if (limit != INFINITE) {
            // Each send gets what is left of the limit as its time-out.
            DWORD spent = GetTickCount() - started;
            DWORD timeout = spent < limit ? limit - spent : 0;
            if (timeout == 0 || ::setsockopt(m_handle, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout),
                                             sizeof timeout) == SOCKET_ERROR)
                return false;
        }
        int sent = m_socket.m_io.send(m_handle, data, left, 0);
        if (sent == SOCKET_ERROR || sent <= 0)
            return false;
        data += sent;
        left -= sent;
    }
    return true;
}

void CSocketWorker::Post(const wchar_t* name, CEventArg* arg2)
{
    m_socket.m_services->SendEventToClient(m_socket.m_ownerClientId, GUID_SocketsManager, name,
                                           new CSocketEventArg(&m_socket), arg2, false);
}

void CSocketWorker::SendReceive(int count)
{
    m_socket.m_inReceive = true;
    if (m_socket.m_closeWaiting)
        SetEvent(m_socket.m_receiveEvent);
    m_socket.m_services->SendEventToClient(m_socket.m_ownerClientId, GUID_SocketsManager, EVENT_Receive,
                                           new CSocketEventArg(&m_socket), new CEventArg_Data<int>(count), true);
    m_socket.m_inReceive = false;
}

} // namespace JOVSockets
