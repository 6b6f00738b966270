// One connection of an account: its worker thread, its send queue and its
// receive buffer.
//
// Threads: the owner calls Connect, Queue, Read, Close and the option calls on
// its own thread (through the sockets manager); from Connect on, the worker
// thread (CSocketWorker) owns the Winsock socket: it connects, sends, receives
// and at its end closes the socket. The object is counted: the manager, the
// running worker and every event naming the socket each hold a reference, so it
// lives until the last of them lets go. The running worker also holds a Winsock
// reference of its own: one that outlives Close's wait still has Winsock after
// the manager has cleaned up its own.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <deque>

#include "ServicesManager.h"
#include "SocketParams.h"
#include "core/sockets/SocketIo.h"
#include "core/sockets/SocketTimings.h"

namespace JOVSockets {

class CJOVSocket {
public:
    static constexpr int kReceiveBufferSize = 8096;

    // Starts with one reference, the creator's.
    CJOVSocket(unsigned int ownerClientId, Services::CServicesManager* services, const SocketTimings& timings,
               const SocketIo& io);
    CJOVSocket(const CJOVSocket&) = delete;
    CJOVSocket& operator=(const CJOVSocket&) = delete;

    void AddRef();
    void Release();

    // Opens the Winsock socket, sets the secure-socket options and starts the
    // worker: 0, or the error (Winsock or system code, -1 for a refused
    // secure-socket option, E_FAIL when the thread cannot start, WSAEISCONN
    // while the previous connection's worker has not ended).
    int Connect(const SocketParams& params);
    // Copies the bytes to the tail of the send queue: 0, or -1 without memory.
    int Queue(const void* data, int length);
    int Read(void* buffer, int length);
    int GetBufferedLength();
    // Asks the worker to end ("Close" follows) and returns at once.
    void RequestStop();
    // Asks the worker to end once it has written what is queued, and waits for
    // it closeWaitMs at most: not at all from the "Receive" handler, no longer
    // once the worker waits for that handler, nor again once a Close has cut
    // it off. The worker drops what it could not write in that time.
    void Close();
    int SetKeepAlive(int on);
    int GetReceiveBufferSize();

    // Workers of every socket that have not ended yet.
    static int RunningWorkers();

protected:
    // Through Release only.
    virtual ~CJOVSocket();

private:
    friend class CSocketWorker;

    struct SendBuffer {
        int length;
        void* data;  // malloc'd copy
    };

    static DWORD WINAPI WorkerEntry(void* socket);
    static int ValidateCertificate(DWORD type, LPVOID arg, DWORD chainLength, LPBLOB chain, DWORD flags);
    int ConfigureSecureSocket(SOCKET s) const;
    void FreeSendQueue();
    // Takes the head of the queue; false when it is empty.
    bool TakeSendBuffer(SendBuffer& buffer);
    // Room left in the receive buffer.
    int ReceiveRoom();
    void AppendReceived(const char* data, int count);
    // The worker's last touch of the Winsock socket.
    void CloseHandleFromWorker();
    void OpenSendSignal();
    // Ends the worker's select at once (queued bytes, a stop).
    void SignalWorker();
    // Worker, around its select: false when bytes are queued or a stop is
    // asked, so it must not wait. A worker busy elsewhere needs no wake-up
    // byte: it writes the queue before it next waits.
    bool BeginWait();
    void EndWait();
    // Empties the signal socket's datagrams (worker).
    void DrainSendSignal();

    unsigned int m_ownerClientId;
    SocketParams m_params;
    HANDLE m_connection;    // Connection Manager connection, null when none (the worker's)
    SOCKET m_socket;        // INVALID_SOCKET when closed; guarded by m_handleLock
    HANDLE m_thread;        // the last worker's thread, null when none was started
    HANDLE m_wakeEvent;     // auto-reset; set by Close to stop the worker
    HANDLE m_receiveEvent;  // auto-reset; set by the worker as m_inReceive becomes true while Close waits
    // A loopback datagram socket connected to itself: Queue and RequestStop
    // send it a byte so that the worker's select returns at once, instead of
    // at the end of its poll. INVALID_SOCKET when it could not be made (the worker
    // then writes after each poll, as before).
    SOCKET m_sendSignal;
    std::deque<SendBuffer> m_sendQueue;
    bool m_workerWaiting = false;  // in or about to enter its select; m_sendLock
    CRITICAL_SECTION m_sendLock;
    char m_receiveBuffer[kReceiveBufferSize];
    char* m_receiveEnd;
    // The worker fills the buffer while the owner may be reading it outside
    // a "Receive" handler (after one that timed out, or on another thread).
    CRITICAL_SECTION m_receiveLock;
    // Lets the owner's thread use the Winsock socket while the worker may be
    // closing it.
    CRITICAL_SECTION m_handleLock;

    Services::CServicesManager* m_services;
    SocketTimings m_timings;
    SocketIo m_io;
    volatile LONG m_refCount;
    std::atomic<bool> m_workerRunning;
    std::atomic<bool> m_stopRequested;
    // Set while the worker waits for the owner's "Receive" handler, which may
    // itself be calling Close: Close must not wait for the worker then.
    std::atomic<bool> m_inReceive;
    // Close waits for the worker: its entry into "Receive" ends the wait.
    std::atomic<bool> m_closeWaiting;
    // Close waited its time and shut the socket down under the worker.
    std::atomic<bool> m_cutOff;

    static std::atomic<int> s_runningWorkers;
};

} // namespace JOVSockets
