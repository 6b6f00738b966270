// Who takes an incoming <iq>: the account's pending requests (answers matched
// by stanza number, each with a time-out) and its permanent handlers
// (requests matched by type, namespace and child name).
//
// Threads: the lists are guarded by the queue's critical section. Answers and
// requests are matched, and their callbacks run, on the account's event
// thread; the queue's own worker thread runs the callbacks of requests that
// timed out. Callbacks always run outside the lock.
#pragma once

#include <windows.h>

#include <list>

#include "JOVString.h"
#include "JabberTimings.h"
#include "xml/XmlNode.h"

class CJabberProtocol;
class CIqSenders;

// Which values of an iq its callback gets.
enum IqFill {
    kFillChild = 0x01,         // the first child element
    kFillChildName = 0x02,     // with kFillChild: its name
    kFillChildXmlns = 0x04,    // with kFillChild: its xmlns
    kFillFrom = 0x08,          // "from"
    kFillFromContact = 0x10,   // with kFillFrom: the model's contact of "from"
    kFillTo = 0x20,            // "to"
    kFillId = 0x40,            // "id"
};

enum IqTypeMask { kIqGet = 4, kIqSet = 8 };

enum IqResultKind { kIqTimedOut = 0, kIqResult = 1, kIqError = 2 };

struct IqValues {
    int kind = kIqTimedOut;
    XmlNode* child = nullptr;
    CJOVString childName;
    CJOVString childXmlns;
    CJOVString from;
    unsigned int fromContactId = 0;
    CJOVString to;
    CJOVString id;
};

struct PendingRequest;
// iq is null when the request timed out or was expired.
typedef void (*RequestCallback)(PendingRequest& request, XmlNode* iq, CJabberProtocol* account);
typedef void (*IqHandler)(const IqValues& values, XmlNode* iq, CJabberProtocol* account, void* data);

struct PendingRequest {
    int number = 0;
    RequestCallback callback = nullptr;
    DWORD startTick = 0;
    DWORD timeoutMs = 0;
    int fill = 0;
    CJOVString asked;  // the entity the request went to; empty: our server
    IqValues values;
};

class RequestQueue {
public:
    RequestQueue(CJabberProtocol* account, CIqSenders* senders, const JabberTimings& timings = JabberTimings());
    // Stops the worker and drops every request without calling it.
    ~RequestQueue();
    RequestQueue(const RequestQueue&) = delete;
    RequestQueue& operator=(const RequestQueue&) = delete;

    // Handlers stay until the queue goes. namespace and child name null: any.
    // ownAccountOnly: taken only from our own account (a roster push).
    void AddHandler(IqHandler handler, void* data, int typeMask, int fill, const wchar_t* xmlns,
                    const wchar_t* childName, bool ownAccountOnly);
    // A request the account sent with the stanza number, waiting for its answer.
    void Add(int number, RequestCallback callback, DWORD timeoutMs, int fill, const CJOVString& asked);

    // Starts the worker unless it runs; answers whether it was started.
    // Starts again after Shutdown: every connection has its own worker.
    bool Start();
    // Stops the worker and waits for it.
    void Shutdown();
    bool IsRunning() const { return m_thread != nullptr; }
    // Takes every pending request off and calls it with no stanza.
    void ExpireAll(int kind);
    size_t PendingCount();

    // An answer ("result" or "error") to a pending request: handled when one
    // with that number was waiting for this sender.
    bool HandleResult(int number, XmlNode* iq);
    // A "get" or "set": handled when at least one handler took it.
    bool HandleGetSet(XmlNode* iq);

private:
    struct Handler {
        IqHandler handler;
        void* data;
        int typeMask;
        int fill;
        CJOVString xmlns;  // empty: any
        bool anyNamespace;
        CJOVString childName;
        bool anyChild;
        bool ownAccountOnly;
    };

    void Fill(int fill, XmlNode* iq, IqValues& values);
    static DWORD WINAPI Run(LPVOID queue);
    void ExpireTimedOut();

    CJabberProtocol* m_account;
    CIqSenders* m_senders;
    JabberTimings m_timings;
    CRITICAL_SECTION m_lock;
    std::list<PendingRequest> m_pending;
    HANDLE m_thread;
    HANDLE m_stop;
    std::list<Handler> m_handlers;
};
