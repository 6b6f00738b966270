// A named first-in-first-out queue of events served by one worker thread.
// Threads: any thread posts or sends; every handler of the queue's client runs
// on the worker thread, one at a time, in the order the events were queued.
// A worker idle for the idle time ends and the next event starts another: a
// client keeps no thread between its busy stretches.
// The services bus owns the queues; nobody else calls them.
//
// Arguments: PostEvent and SendEvent take over one reference to each non-null
// argument and release it on every path: after the handler, when the event is
// discarded by Stop, taken back after a time-out, or refused.
#pragma once

#include "EventArg.h"
#include "EventsClient.h"
#include "JOVCommon.h"
#include "JOVGuid.h"
#include "JOVString.h"

#include <cstddef>

// Answer of a synchronous event whose handler did not run: not taken off the
// queue within the send time-out, discarded by Stop, or refused by a queue
// without a worker. Never a handler's value: callers must test for it before
// reading what the handler would have written.
constexpr int kEventNoAnswer = static_cast<int>(0xCCCCCCCCu);

// How long SendEvent waits for a queued event to reach its handler.
constexpr unsigned long kEventSendTimeoutMs = 5000;

// How long a worker with nothing to do waits before it ends.
constexpr unsigned long kEventWorkerIdleMs = 2000;

class JOV_COMMON_API CEventsQueue {
public:
    explicit CEventsQueue(const CJOVString& name, unsigned long sendTimeoutMs = kEventSendTimeoutMs,
                          unsigned long idleMs = kEventWorkerIdleMs);
    // Stops the queue; waits for the worker to finish its handler unless it is
    // the worker itself that destroys the queue (a client that unregisters
    // inside its own handler), in which case the worker ends after returning.
    ~CEventsQueue();

    CEventsQueue(const CEventsQueue&) = delete;
    CEventsQueue& operator=(const CEventsQueue&) = delete;

    // Starts the worker; false when it cannot be created or the queue was
    // started before (a queue is never restarted). Later workers that cannot
    // be created refuse their event as a stopped queue does.
    bool Start();

    // Appends the event and returns at once; false when nothing was queued.
    // The priority travels with the event and never changes the order.
    bool PostEvent(CEventsClient* client, const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1,
                   CEventArg* arg2, unsigned char priority);

    // Several events posted at once, in their order: the worker is woken once
    // for all of them, and each handler runs as for PostEvent. The arguments'
    // references are taken over as by PostEvent; false when nothing was
    // queued (the references are then released).
    struct Posted {
        const JOV_GUID* sender;
        const CJOVString* name;
        CEventArg* arg1;
        CEventArg* arg2;
    };
    bool PostEvents(CEventsClient* client, const Posted* events, size_t count);

    // Answers the handler's value. Called on the worker thread, runs the
    // handler at once. Otherwise queues the event and waits: if the handler
    // has not started within the send time-out, the event is taken back and
    // the answer is kEventNoAnswer; once the handler runs, the call waits for
    // it to end, so no handler touches the caller's objects after the return.
    int SendEvent(CEventsClient* client, const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1,
                  CEventArg* arg2);

    // Discards the queued events undelivered (waiting senders answer
    // kEventNoAnswer at once) and ends the worker, waiting for a running
    // handler unless called from it. False when the queue is not running.
    bool Stop();

private:
    struct Core;
    static unsigned long __stdcall s_ThreadFunc(void* param);

    Core* m_core;  // shared with the worker, which may outlive this object
};
