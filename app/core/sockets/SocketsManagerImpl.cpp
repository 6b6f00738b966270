#include "core/sockets/SocketsManagerImpl.h"

#include "CriticalSectionLock.h"

#include <new>

#include "ServiceIds.h"
#include "core/sockets/JOVSocket.h"
#include "core/sockets/ProxySettings.h"

namespace JOVSockets {

namespace {

// Holds the reference Acquire took for the length of one call.
class CHeld {
public:
    explicit CHeld(CJOVSocket* socket) : m_socket(socket) {}
    ~CHeld()
    {
        if (m_socket)
            m_socket->Release();
    }
    CHeld(const CHeld&) = delete;
    CHeld& operator=(const CHeld&) = delete;
    CJOVSocket* operator->() const { return m_socket; }
    explicit operator bool() const { return m_socket != nullptr; }

private:
    CJOVSocket* m_socket;
};

} // namespace

CSocketsManagerImpl::CSocketsManagerImpl(Services::CServicesManager& services, const SocketTimings& timings,
                                         const SocketIo& io)
    : m_services(services), m_timings(timings), m_io(io), m_serviceId(0), m_winsockStarted(false)
{
    InitializeCriticalSection(&m_lock);
    WSADATA data;
    m_winsockStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    m_serviceId = m_services.RegisterService(GUID_SocketsManager, static_cast<CSocketsManager*>(this));
    LoadProxySettings(m_services, m_proxySettings);
}

CSocketsManagerImpl::~CSocketsManagerImpl()
{
    SaveProxySettings(m_services, m_proxySettings);
    if (m_serviceId)
        m_services.UnregisterService(m_serviceId);
    std::set<CJOVSocket*> sockets;
    {
        CCriticalSectionLock lock(m_lock);
        sockets.swap(m_sockets);
    }
    // Every worker is asked to end first, then each is given its time, so that
    // none still uses Winsock when it is cleaned up.
    for (CJOVSocket* socket : sockets)
        socket->RequestStop();
    for (CJOVSocket* socket : sockets) {
        socket->Close();
        socket->Release();
    }
    DeleteCriticalSection(&m_lock);
    // A worker still ending past the close wait (in a name look-up, say) holds
    // a Winsock reference of its own, taken when it started.
    if (m_winsockStarted)
        WSACleanup();
}

CJOVSocket* CSocketsManagerImpl::CreateSocket(unsigned int ownerClientId)
{
    CJOVSocket* socket = new (std::nothrow) CJOVSocket(ownerClientId, &m_services, m_timings, m_io);
    if (!socket)
        return nullptr;
    CCriticalSectionLock lock(m_lock);
    if (!m_sockets.insert(socket).second) {
        socket->Release();
        return nullptr;
    }
    return socket;
}

CJOVSocket* CSocketsManagerImpl::Acquire(CJOVSocket* socket)
{
    CCriticalSectionLock lock(m_lock);
    if (m_sockets.find(socket) == m_sockets.end())
        return nullptr;
    socket->AddRef();
    return socket;
}

bool CSocketsManagerImpl::IsValidSocket(CJOVSocket* socket)
{
    CCriticalSectionLock lock(m_lock);
    return m_sockets.find(socket) != m_sockets.end();
}

int CSocketsManagerImpl::DestroySocket(CJOVSocket* socket)
{
    {
        CCriticalSectionLock lock(m_lock);
        if (m_sockets.erase(socket) == 0)
            return kForeignSocket;
    }
    // Closing waits for the worker: not under the lock, which every other
    // socket's calls need.
    socket->Close();
    socket->Release();
    return 0;
}

int CSocketsManagerImpl::Connect(CJOVSocket* socket, const SocketParams* params)
{
    CHeld held(Acquire(socket));
    if (!held)
        return kForeignSocket;
    if (!params)
        return -1;
    return held->Connect(*params);
}

int CSocketsManagerImpl::Send(CJOVSocket* socket, const void* data, int length)
{
    CHeld held(Acquire(socket));
    if (!held)
        return kForeignSocket;
    return held->Queue(data, length);
}

int CSocketsManagerImpl::Read(CJOVSocket* socket, void* buffer, int length)
{
    CHeld held(Acquire(socket));
    if (!held)
        return kForeignSocket;
    return held->Read(buffer, length);
}

void CSocketsManagerImpl::Close(CJOVSocket* socket)
{
    CHeld held(Acquire(socket));
    if (held)
        held->Close();
}

int CSocketsManagerImpl::SetKeepAlive(CJOVSocket* socket, int on)
{
    CHeld held(Acquire(socket));
    if (!held)
        return kForeignSocket;
    return held->SetKeepAlive(on);
}

int CSocketsManagerImpl::GetBufferedLength(CJOVSocket* socket)
{
    CHeld held(Acquire(socket));
    return held ? held->GetBufferedLength() : 0;
}

int CSocketsManagerImpl::GetReceiveBufferSize(CJOVSocket* socket)
{
    CHeld held(Acquire(socket));
    return held ? held->GetReceiveBufferSize() : 0;
}

SocketParams CSocketsManagerImpl::GetProxySettings()
{
    CCriticalSectionLock lock(m_lock);
    return m_proxySettings;
}

void CSocketsManagerImpl::SetProxySettings(const SocketParams& params)
{
    CCriticalSectionLock lock(m_lock);
    m_proxySettings = params;
}

} // namespace JOVSockets
