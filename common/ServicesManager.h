// The services bus as every deliverable sees it: the main program owns the one
// instance; a plug-in gets its pointer from CreateAccount. Any thread may call
// any operation.
//
// Event arguments handed to SendEventToClient or FireEvent belong to the bus
// from then on: it adds one reference per delivery (each queue releases its
// own after the handler) and releases every reference it added on every path,
// so an argument of count 0 is deleted even when nobody receives it. A sender
// that wants to keep using an argument holds a reference of its own.
#pragma once

#include "EventArg.h"
#include "EventsClient.h"
#include "EventsQueue.h"  // kEventNoAnswer
#include "JOVGuid.h"
#include "JOVString.h"

#include <cstddef>

namespace Services {

// Unknown service, client, event or subscription id.
constexpr int kNotFound = -2;
// A posted firing could not queue an event; later subscribers were not reached.
constexpr int kPostFailed = -3;

class CServicesManager {
public:
    // New service id; 0 when the identifier is already registered.
    virtual unsigned int RegisterService(const JOV_GUID& guid, void* service) = 0;
    virtual int UnregisterService(unsigned int serviceId) = 0;
    virtual bool IsServiceRegistered(const JOV_GUID& guid) = 0;
    // The registered object, or null; the caller uses it on its own thread.
    virtual void* GetService(const JOV_GUID& guid) = 0;

    // Gives the client its own queue and worker thread; 0 when that fails.
    virtual unsigned int RegisterEventsClient(CEventsClient* client, const CJOVString& name) = 0;
    // Drops the client's subscriptions and stops its queue, waiting for a
    // running handler unless called from that handler.
    virtual int UnregisterEventsClient(unsigned int clientId) = 0;
    // Synchronous: the handler's answer, or kEventNoAnswer when it did not
    // run. Posted: 1 queued, 0 not. kNotFound also when the client went away
    // before the event reached it.
    virtual int SendEventToClient(unsigned int clientId, const JOV_GUID& sender, const CJOVString& name,
                                  CEventArg* arg1, CEventArg* arg2, bool synchronous) = 0;

    virtual unsigned int DeclareEvent(const JOV_GUID& sender, const CJOVString& name) = 0;
    virtual int RemoveEvent(unsigned int eventId) = 0;
    // Synchronous: subscribers in subscription order until the first non-zero
    // answer, which is returned. Posted: 0 once every subscriber has it queued.
    virtual int FireEvent(unsigned int eventId, CEventArg* arg1, CEventArg* arg2, bool synchronous) = 0;
    // Subscribes to the first declared event of that sender and name; 0 when
    // there is none.
    virtual unsigned int Subscribe(const JOV_GUID& sender, const CJOVString& name, unsigned int clientId) = 0;
    virtual int Unsubscribe(unsigned int subscriptionId) = 0;
    // Last in the table, so that the calls before keep their places for
    // plug-ins built earlier.
    // Posted firings of several events, in their order: each subscriber's
    // queue takes the ones it subscribes to in one hand-over, and its handlers
    // run as for separate posted firings. 0 once every subscriber has its
    // events queued, kPostFailed when a queue took none; an unknown event is
    // skipped.
    struct Firing {
        unsigned int eventId;
        CEventArg* arg1;
        CEventArg* arg2;
    };
    virtual int FireEvents(const Firing* firings, size_t count) = 0;

protected:
    // Only its owner, the main program, destroys the bus.
    ~CServicesManager() = default;
};

} // namespace Services
