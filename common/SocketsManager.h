// The network service of the plug-ins, served on the bus under
// GUID_SocketsManager. An account creates a socket for its own events client,
// connects it and learns of its progress through the events "Connect",
// "Write", "Receive" and "Close" (sender GUID_SocketsManager; the first
// argument is a CEventArg_Data<JOVSockets::CJOVSocket*> naming the socket):
//   "Connect"  no second argument: connected; else CEventArg_Data<int>, the error
//              (Winsock or system code, the HTTP proxy's status, or -1)
//   "Write"    a queued buffer was sent; CEventArg_Data<int> -1 when it failed
//   "Receive"  CEventArg_Data<int>: bytes added to the socket's buffer; sent
//              synchronously: Read them in the handler
//   "Close"    no second argument: after the owner's Close; else the reason
//              (CEventArg_Data<int>, <long> or <unsigned long>)
// After "Close" or a failed "Connect" the connection is over; the owner closes
// and destroys the socket. Any thread may call any operation.
#pragma once

#include "SocketParams.h"

namespace JOVSockets {

class CJOVSocket;

// The socket is not one this manager created, or it was destroyed.
constexpr int kForeignSocket = -2;

class CSocketsManager {
public:
    // Null when the socket cannot be made.
    virtual CJOVSocket* CreateSocket(unsigned int ownerClientId) = 0;
    virtual bool IsValidSocket(CJOVSocket* socket) = 0;
    // Closes and forgets the socket; events already on their way still name it.
    virtual int DestroySocket(CJOVSocket* socket) = 0;
    // 0 when the connection is under way (its outcome comes as "Connect"), else
    // the error. The caller fills host, port and sslMode into a copy of
    // GetProxySettings.
    virtual int Connect(CJOVSocket* socket, const SocketParams* params) = 0;
    // Queues a copy of the bytes; the socket's worker writes them. 0, or -1
    // when no memory is left for the copy.
    virtual int Send(CJOVSocket* socket, const void* data, int length) = 0;
    // Takes up to length buffered bytes; answers the count (0 when none).
    virtual int Read(CJOVSocket* socket, void* buffer, int length) = 0;
    // Ends the connection once what was sent before has gone out (a short
    // while at most); "Close" follows. Harmless on a closed socket.
    virtual void Close(CJOVSocket* socket) = 0;
    // 0, or -1 when the option cannot be set (no connection).
    virtual int SetKeepAlive(CJOVSocket* socket, int on) = 0;
    virtual int GetBufferedLength(CJOVSocket* socket) = 0;
    // The system's receive buffer size of the connection; 0 when unknown.
    virtual int GetReceiveBufferSize(CJOVSocket* socket) = 0;
    // The proxy every connection goes through (host, port and sslMode unset).
    virtual SocketParams GetProxySettings() = 0;
    virtual void SetProxySettings(const SocketParams& params) = 0;

protected:
    // Only the main program destroys the service.
    ~CSocketsManager() = default;
};

} // namespace JOVSockets
