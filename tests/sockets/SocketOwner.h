// A socket's owner as the accounts are: an events client on the bus that takes
// "Connect", "Write", "Receive" and "Close", reads the buffer in its "Receive"
// handler (unless told not to) and lets the test wait for what arrived.
// Handlers run on the client's queue thread; the test waits on its own.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "EventsClient.h"
#include "SocketsManager.h"

struct SocketEvent {
    std::wstring name;
    JOVSockets::CJOVSocket* socket = nullptr;
    // The second argument: none, or its type and value.
    enum Kind { kNone, kInt, kLong, kUnsignedLong, kOther } kind = kNone;
    long long value = 0;
};

class CSocketOwner : public CEventsClient {
public:
    // Runs on the queue thread inside "Receive", before the owner reads.
    using ReceiveHook = std::function<void(JOVSockets::CJOVSocket* socket, int count)>;

    explicit CSocketOwner(JOVSockets::CSocketsManager& manager) : m_manager(manager) {}
    virtual ~CSocketOwner() = default;

    int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override;

    // Runs on the queue thread inside "Write".
    using WriteHook = std::function<void(JOVSockets::CJOVSocket* socket)>;

    void SetReadOnReceive(bool read) { m_readOnReceive = read; }
    void SetReceiveHook(ReceiveHook hook) { m_hook = std::move(hook); }
    void SetWriteHook(WriteHook hook) { m_writeHook = std::move(hook); }

    // True once `count` events of that name have come (within the time).
    bool WaitFor(const wchar_t* name, int count = 1, int timeoutMs = 5000);
    // True once that many bytes were read.
    bool WaitForBytes(size_t count, int timeoutMs = 5000);

    std::vector<SocketEvent> Events();
    // The first event of that name; an empty one when none came.
    SocketEvent First(const wchar_t* name);
    int Count(const wchar_t* name);
    std::string Received();
    // Adds bytes the test read itself.
    void AddReceived(const char* data, size_t count);

private:
    JOVSockets::CSocketsManager& m_manager;
    bool m_readOnReceive = true;
    ReceiveHook m_hook;
    WriteHook m_writeHook;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<SocketEvent> m_events;
    std::string m_received;
};
