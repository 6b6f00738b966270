// The work of one socket's worker thread, from Connect to the connection's end:
// bring up a data connection, connect (directly or through the proxy), secure
// the socket when asked, then write the send queue, fill the receive buffer and
// watch the wake event and the data connection, reporting each step to the
// owner as "Connect", "Write", "Receive" and "Close". At its end it releases
// the data connection and closes the Winsock socket.
//
// Runs on the worker thread only; it shares with the owner's thread just the
// send queue, the receive buffer (each under its lock) and the stop request.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include "EventArg.h"
#include "core/sockets/JOVSocket.h"

namespace JOVSockets {

class CSocketWorker {
public:
    explicit CSocketWorker(CJOVSocket& socket);
    CSocketWorker(const CSocketWorker&) = delete;
    CSocketWorker& operator=(const CSocketWorker&) = delete;

    // The thread's exit code: 0, or the error of a failed connect.
    DWORD Run();

private:
    void BringUpConnection();
    void ReleaseConnection();
    int Secure();
    void Loop();
    void WriteQueued();
    // Waits on the socket for one poll period and takes what arrived.
    void Poll();
    void WaitPoll();
    // Ends the loop with "Close": no reason when the owner asked for the end,
    // and then after writing what the owner queued.
    void EndWith(CEventArg* reason);
    void WriteBeforeClose();
    // Sends all the bytes; false once a send fails or, unless the limit is
    // INFINITE, once limit ms have passed since started.
    bool SendWhole(const char* data, int left, DWORD started, DWORD limit);

    void Post(const wchar_t* name, CEventArg* arg2);
    void SendReceive(int count);

    CJOVSocket& m_socket;
    SOCKET m_handle;
    bool m_stop;
    DWORD m_pollMs;
};

} // namespace JOVSockets
