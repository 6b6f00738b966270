#include "core/sockets/JOVSocket.h"

#include "CriticalSectionLock.h"

#include <cstdlib>
#include <cstring>

#include "SecureSocket.h"
#include "core/sockets/SocketWorker.h"

namespace JOVSockets {

namespace {

// The platform maps either mask to the TLS versions of today.
DWORD ProtocolMask(int sslMode)
{
    return sslMode == kSslSsl ? SSL_PROTOCOL_SSL3 | SSL_PROTOCOL_TLS1 : SSL_PROTOCOL_TLS1;
}

} // namespace

std::atomic<int> CJOVSocket::s_runningWorkers(0);

CJOVSocket::CJOVSocket(unsigned int ownerClientId, Services::CServicesManager* services,
                       const SocketTimings& timings, const SocketIo& io)
    : m_ownerClientId(ownerClientId),
      m_connection(nullptr),
      m_socket(INVALID_SOCKET),
      m_thread(nullptr),
      m_wakeEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_receiveEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_sendSignal(INVALID_SOCKET),
      m_receiveEnd(m_receiveBuffer),
      m_services(services),
      m_timings(timings),
      m_io(io),
      m_refCount(1),
      m_workerRunning(false),
      m_stopRequested(false),
      m_inReceive(false),
      m_closeWaiting(false),
      m_cutOff(false)
{
    InitializeCriticalSection(&m_sendLock);
    InitializeCriticalSection(&m_receiveLock);
    InitializeCriticalSection(&m_handleLock);
}

CJOVSocket::~CJOVSocket()
{
    // The worker held a reference while it ran, so it has ended here.
    if (m_socket != INVALID_SOCKET)
        SecureSockets::closesocket(m_socket);
    FreeSendQueue();
    if (m_thread)
        CloseHandle(m_thread);
    if (m_wakeEvent)
        CloseHandle(m_wakeEvent);
    if (m_receiveEvent)
        CloseHandle(m_receiveEvent);
    if (m_sendSignal != INVALID_SOCKET)
        ::closesocket(m_sendSignal);
    DeleteCriticalSection(&m_handleLock);
    DeleteCriticalSection(&m_receiveLock);
    DeleteCriticalSection(&m_sendLock);
}

void CJOVSocket::AddRef()
{
    InterlockedIncrement(&m_refCount);
}

void CJOVSocket::Release()
{
    if (InterlockedDecrement(&m_refCount) == 0)
        delete this;
}

int CJOVSocket::Connect(const SocketParams& params)
{
    if (m_workerRunning)
        return WSAEISCONN;
    if (!m_wakeEvent || !m_receiveEvent)
        return E_FAIL;
    if (m_thread) {
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    m_params = params;
    {
        // Bytes of an earlier connection must not pass for this one's.
        CCriticalSectionLock lock(m_receiveLock);
        m_receiveEnd = m_receiveBuffer;
    }

    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return WSAGetLastError();
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        int error = WSAGetLastError();
        ::closesocket(s);
        return error;
    }
    // Chat protocols send small requests and wait for the answer: waiting to
    // coalesce them (Nagle) only adds a round trip to every exchange.
    BOOL noDelay = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    if (m_params.sslMode != kSslNone && ConfigureSecureSocket(s) != 0) {
        SecureSockets::closesocket(s);
        return -1;
    }
    OpenSendSignal();
    // The worker's own Winsock reference, taken before it starts and given
    // back when it ends.
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) {
        SecureSockets::closesocket(s);
        return E_FAIL;
    }

    ResetEvent(m_wakeEvent);
    m_stopRequested = false;
    m_cutOff = false;
    {
        CCriticalSectionLock lock(m_handleLock);
        m_socket = s;
    }
    AddRef();  // the worker's
    m_workerRunning = true;
    ++s_runningWorkers;
    m_thread = CreateThread(nullptr, 0, &CJOVSocket::WorkerEntry, this, 0, nullptr);
    if (!m_thread) {
        WSACleanup();
        --s_runningWorkers;
        m_workerRunning = false;
        {
            CCriticalSectionLock lock(m_handleLock);
            m_socket = INVALID_SOCKET;
        }
        SecureSockets::closesocket(s);
        Release();
        return E_FAIL;
    }
    return 0;
}

int CJOVSocket::ConfigureSecureSocket(SOCKET s) const
{
    DWORD secure = SO_SEC_SSL;
    if (SecureSockets::setsockopt(s, SOL_SOCKET, SO_SECURE, reinterpret_cast<const char*>(&secure), sizeof secure) ==
        SOCKET_ERROR)
        return -1;
    DWORD returned = 0;
    SSLVALIDATECERTHOOK hook = {&CJOVSocket::ValidateCertificate, const_cast<CJOVSocket*>(this)};
    if (SecureSockets::WSAIoctl(s, SO_SSL_SET_VALIDATE_CERT_HOOK, &hook, sizeof hook, nullptr, 0, &returned) ==
        SOCKET_ERROR)
        return -1;
    SSLPROTOCOLS protocols = {1, {{ProtocolMask(m_params.sslMode), 0, 0}}};
    if (SecureSockets::WSAIoctl(s, SO_SSL_SET_PROTOCOLS, &protocols, sizeof protocols, nullptr, 0, &returned) ==
        SOCKET_ERROR)
        return -1;
    // The proxy's handshake runs in clear; the worker secures the socket after it.
    DWORD flags = SSL_FLAG_DEFER_HANDSHAKE;
    if (SecureSockets::WSAIoctl(s, SO_SSL_SET_FLAGS, &flags, sizeof flags, nullptr, 0, &returned) == SOCKET_ERROR)
        return -1;
    return 0;
}

// A certificate that reaches no trusted root or names another server would let
// anyone in the middle read the password: refused, and the connect fails.
int CJOVSocket::ValidateCertificate(DWORD, LPVOID, DWORD, LPBLOB, DWORD flags)
{
    return flags == 0 ? SSL_ERR_OKAY : SSL_ERR_FAILED;
}

DWORD WINAPI CJOVSocket::WorkerEntry(void* param)
{
    CJOVSocket* socket = static_cast<CJOVSocket*>(param);
    DWORD result = CSocketWorker(*socket).Run();
    socket->m_workerRunning = false;
    // The last reference may close the socket's handles: Winsock goes after.
    socket->Release();
    WSACleanup();
    --s_runningWorkers;
    return result;
}

int CJOVSocket::RunningWorkers()
{
    return s_runningWorkers;
}

int CJOVSocket::Queue(const void* data, int length)
{
    if (length < 0 || (length > 0 && !data))
        return -1;
    void* copy = std::malloc(length > 0 ? static_cast<size_t>(length) : 1);
    if (!copy)
        return -1;
    if (length > 0)
        std::memcpy(copy, data, static_cast<size_t>(length));
    {
        CCriticalSectionLock lock(m_sendLock);
        m_sendQueue.push_back(SendBuffer{length, copy});
    }
    SignalWorker();
    return 0;
}

void CJOVSocket::SignalWorker()
{
    CCriticalSectionLock lock(m_sendLock);
    if (m_sendSignal != INVALID_SOCKET && m_workerWaiting) {
        // A full signal socket already holds a wake-up: the error is harmless.
        char wake = 0;
        ::send(m_sendSignal, &wake, 1, 0);
        m_workerWaiting = false;
    }
}

bool CJOVSocket::BeginWait()
{
    CCriticalSectionLock lock(m_sendLock);
    if (!m_sendQueue.empty() || m_stopRequested)
        return false;
    m_workerWaiting = true;
    return true;
}

void CJOVSocket::EndWait()
{
    CCriticalSectionLock lock(m_sendLock);
    m_workerWaiting = false;
}

void CJOVSocket::OpenSendSignal()
{
    if (m_sendSignal != INVALID_SOCKET)
        return;
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return;
    sockaddr_in self = {};
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof self;
    u_long nonBlocking = 1;
    if (::bind(s, reinterpret_cast<sockaddr*>(&self), sizeof self) == SOCKET_ERROR ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&self), &length) == SOCKET_ERROR ||
        ::connect(s, reinterpret_cast<sockaddr*>(&self), sizeof self) == SOCKET_ERROR ||
        ::ioctlsocket(s, FIONBIO, &nonBlocking) == SOCKET_ERROR) {
        ::closesocket(s);
        return;
    }
    CCriticalSectionLock lock(m_sendLock);
    m_sendSignal = s;
}

void CJOVSocket::DrainSendSignal()
{
    char wake[16];
    while (::recv(m_sendSignal, wake, sizeof wake, 0) > 0) {
    }
}

bool CJOVSocket::TakeSendBuffer(SendBuffer& buffer)
{
    CCriticalSectionLock lock(m_sendLock);
    if (m_sendQueue.empty())
        return false;
    buffer = m_sendQueue.front();
    m_sendQueue.pop_front();
    return true;
}

void CJOVSocket::FreeSendQueue()
{
    CCriticalSectionLock lock(m_sendLock);
    for (SendBuffer& buffer : m_sendQueue)
        std::free(buffer.data);
    m_sendQueue.clear();
}

int CJOVSocket::Read(void* buffer, int length)
{
    if (!buffer || length <= 0)
        return 0;
    CCriticalSectionLock lock(m_receiveLock);
    int buffered = static_cast<int>(m_receiveEnd - m_receiveBuffer);
    int count = length < buffered ? length : buffered;
    std::memcpy(buffer, m_receiveBuffer, static_cast<size_t>(count));
    std::memmove(m_receiveBuffer, m_receiveBuffer + count, static_cast<size_t>(buffered - count));
    m_receiveEnd -= count;
    return count;
}

int CJOVSocket::GetBufferedLength()
{
    CCriticalSectionLock lock(m_receiveLock);
    return static_cast<int>(m_receiveEnd - m_receiveBuffer);
}

int CJOVSocket::ReceiveRoom()
{
    CCriticalSectionLock lock(m_receiveLock);
    return static_cast<int>(m_receiveBuffer + kReceiveBufferSize - m_receiveEnd);
}

void CJOVSocket::AppendReceived(const char* data, int count)
{
    CCriticalSectionLock lock(m_receiveLock);
    // The room only grows between ReceiveRoom and here (the owner reads).
    std::memcpy(m_receiveEnd, data, static_cast<size_t>(count));
    m_receiveEnd += count;
}

void CJOVSocket::RequestStop()
{
    if (m_workerRunning) {
        m_stopRequested = true;
        SetEvent(m_wakeEvent);
        SignalWorker();
    }
}

void CJOVSocket::Close()
{
    if (m_workerRunning) {
        RequestStop();
        // The worker sees the wake event within one poll, writes what is
        // queued and closes its socket (with a TLS close_notify). A worker
        // blocked in the network (a handshake, a send to a peer that reads
        // nothing) is cut off by shutting its socket down; it then ends on its
        // own. One that waits for this very owner's "Receive" handler ends when
        // the handler returns, also when it begins to wait during this one. A
        // peer that ignores the shutdown keeps the worker past it: a later
        // Close has nothing more to wait for.
        if (m_cutOff)
            return;
        m_closeWaiting = true;
        ResetEvent(m_receiveEvent);
        HANDLE waits[2] = {m_thread, m_receiveEvent};
        const bool timedOut = !m_inReceive && m_thread &&
                              WaitForMultipleObjects(2, waits, FALSE, m_timings.closeWaitMs) == WAIT_TIMEOUT;
        m_closeWaiting = false;
        if (timedOut && !m_inReceive) {
            CCriticalSectionLock lock(m_handleLock);
            if (m_socket != INVALID_SOCKET)
                ::shutdown(m_socket, SD_BOTH);
            m_cutOff = true;
        }
        if (m_workerRunning)
            return;  // what it cannot write, it drops itself
    }
    FreeSendQueue();
}

void CJOVSocket::CloseHandleFromWorker()
{
    SOCKET s;
    {
        CCriticalSectionLock lock(m_handleLock);
        s = m_socket;
        m_socket = INVALID_SOCKET;
    }
    if (s != INVALID_SOCKET) {
        SecureSockets::shutdown(s, SD_BOTH);
        SecureSockets::closesocket(s);
    }
}

int CJOVSocket::SetKeepAlive(int on)
{
    CCriticalSectionLock lock(m_handleLock);
    if (m_socket == INVALID_SOCKET)
        return -1;
    return ::setsockopt(m_socket, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
}

int CJOVSocket::GetReceiveBufferSize()
{
    CCriticalSectionLock lock(m_handleLock);
    if (m_socket == INVALID_SOCKET)
        return 0;
    int size = 0;
    int length = sizeof size;
    if (::getsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&size), &length) == SOCKET_ERROR)
        return 0;
    return size;
}

} // namespace JOVSockets
