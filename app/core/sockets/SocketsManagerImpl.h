// The sockets manager: the network service of the plug-ins (SocketsManager.h),
// registered on the bus under GUID_SocketsManager for its lifetime, and keeper
// of the proxy settings (loaded when it is made, saved when it is destroyed).
//
// Threads: any thread calls it (accounts on their queue threads, the
// preferences dialog on the UI thread); each connected socket has its worker
// thread. The manager's lock guards only its set of sockets and is never held
// while a socket closes.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <set>

#include "ServicesManager.h"
#include "SocketsManager.h"
#include "core/sockets/SocketIo.h"
#include "core/sockets/SocketTimings.h"

namespace JOVSockets {

class CSocketsManagerImpl : public CSocketsManager {
public:
    explicit CSocketsManagerImpl(Services::CServicesManager& services, const SocketTimings& timings = SocketTimings(),
                                 const SocketIo& io = SocketIo::Platform());
    // Saves the proxy settings, unregisters and closes every socket left.
    virtual ~CSocketsManagerImpl();
    CSocketsManagerImpl(const CSocketsManagerImpl&) = delete;
    CSocketsManagerImpl& operator=(const CSocketsManagerImpl&) = delete;

    CJOVSocket* CreateSocket(unsigned int ownerClientId) override;
    bool IsValidSocket(CJOVSocket* socket) override;
    int DestroySocket(CJOVSocket* socket) override;
    int Connect(CJOVSocket* socket, const SocketParams* params) override;
    int Send(CJOVSocket* socket, const void* data, int length) override;
    int Read(CJOVSocket* socket, void* buffer, int length) override;
    void Close(CJOVSocket* socket) override;
    int SetKeepAlive(CJOVSocket* socket, int on) override;
    int GetBufferedLength(CJOVSocket* socket) override;
    int GetReceiveBufferSize(CJOVSocket* socket) override;
    SocketParams GetProxySettings() override;
    void SetProxySettings(const SocketParams& params) override;

private:
    // The socket with one more reference for the caller, or null when foreign.
    CJOVSocket* Acquire(CJOVSocket* socket);

    Services::CServicesManager& m_services;
    SocketTimings m_timings;
    SocketIo m_io;
    unsigned int m_serviceId;
    CRITICAL_SECTION m_lock;
    std::set<CJOVSocket*> m_sockets;
    SocketParams m_proxySettings;  // guarded by m_lock too
    bool m_winsockStarted;
};

} // namespace JOVSockets
