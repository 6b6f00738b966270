// The services bus of the process: services by identifier, events clients
// with their queues, declared events and their subscriptions.
// Threads: any thread calls it; it runs none of its own. Handlers run on their
// client's queue thread, and no bus lock is held while one runs or is waited
// for, so handlers may call the bus again.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "EventsQueue.h"
#include "ServicesManager.h"

namespace Services {

class CServicesManagerImpl : public CServicesManager {
public:
    // Registers the bus under GUID_ServicesManager and declares "Loaded".
    explicit CServicesManagerImpl(unsigned long sendTimeoutMs = kEventSendTimeoutMs);
    // Stops every queue still registered; services stay with their owners.
    virtual ~CServicesManagerImpl();

    CServicesManagerImpl(const CServicesManagerImpl&) = delete;
    CServicesManagerImpl& operator=(const CServicesManagerImpl&) = delete;

    unsigned int RegisterService(const JOV_GUID& guid, void* service) override;
    int UnregisterService(unsigned int serviceId) override;
    bool IsServiceRegistered(const JOV_GUID& guid) override;
    void* GetService(const JOV_GUID& guid) override;
    unsigned int RegisterEventsClient(CEventsClient* client, const CJOVString& name) override;
    int UnregisterEventsClient(unsigned int clientId) override;
    int SendEventToClient(unsigned int clientId, const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1,
                          CEventArg* arg2, bool synchronous) override;
    unsigned int DeclareEvent(const JOV_GUID& sender, const CJOVString& name) override;
    int RemoveEvent(unsigned int eventId) override;
    int FireEvent(unsigned int eventId, CEventArg* arg1, CEventArg* arg2, bool synchronous) override;
    int FireEvents(const Firing* firings, size_t count) override;
    unsigned int Subscribe(const JOV_GUID& sender, const CJOVString& name, unsigned int clientId) override;
    int Unsubscribe(unsigned int subscriptionId) override;

    // Sends "Loaded" to every subscriber, whatever each answers; once, at the
    // end of start-up.
    void FireLoaded();

protected:
    // A client's queue, not yet started.
    virtual CEventsQueue* CreateQueue(const CJOVString& name);

private:
    struct ServiceRecord {
        unsigned int id;
        JOV_GUID guid;
        void* service;
    };
    // Shared with the senders of the moment, so a queue outlives a send that
    // races with its client's unregistering.
    struct ClientRecord {
        CEventsClient* client;
        std::unique_ptr<CEventsQueue> queue;
        CJOVString name;
    };
    struct EventRecord {
        JOV_GUID sender;
        CJOVString name;
        std::map<unsigned int, unsigned int> subscriptions;  // subscription id -> client id
    };
    // What a firing delivers, copied under the events lock.
    struct EventSnapshot {
        JOV_GUID sender;
        CJOVString name;
        std::vector<unsigned int> clientIds;
    };

    std::shared_ptr<ClientRecord> FindClient(unsigned int clientId);
    bool SnapshotEvent(unsigned int eventId, EventSnapshot& snapshot);
    // Adds the delivery's references, which the queue releases.
    static int Deliver(ClientRecord& record, const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1,
                       CEventArg* arg2, bool synchronous);
    // Whether Deliver's answer says the handler was never reached.
    static bool Undelivered(int answer, bool synchronous);

    const unsigned long m_sendTimeoutMs;

    // Each lock guards its container only and is never held with another.
    std::mutex m_servicesLock;
    std::vector<ServiceRecord> m_services;
    unsigned int m_nextServiceId;

    std::mutex m_clientsLock;
    std::map<unsigned int, std::shared_ptr<ClientRecord>> m_clients;
    unsigned int m_nextClientId;

    std::mutex m_eventsLock;
    std::map<unsigned int, EventRecord> m_events;
    unsigned int m_nextEventId;
    unsigned int m_nextSubscriptionId;

    unsigned int m_serviceId;
    unsigned int m_loadedEventId;
};

} // namespace Services

// The one bus of the program, built before WinMain. No other static object
// may use it while being constructed or destroyed.
extern Services::CServicesManagerImpl g_ServicesManager;
