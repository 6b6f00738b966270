#include "core/bus/ServicesManagerImpl.h"

#include <algorithm>
#include <new>

#include "EventNames.h"
#include "ServiceIds.h"

Services::CServicesManagerImpl g_ServicesManager;

namespace Services {

namespace {

void ArgsAddRef(CEventArg* arg1, CEventArg* arg2)
{
    if (arg1)
        arg1->AddRef(1);
    if (arg2)
        arg2->AddRef(1);
}

void ArgsRelease(CEventArg* arg1, CEventArg* arg2)
{
    if (arg1)
        arg1->Release();
    if (arg2)
        arg2->Release();
}

// The bus's own reference for the length of a call: an argument stays alive
// between deliveries, and one that nobody receives is still deleted.
class ArgsHold {
public:
    ArgsHold(CEventArg* arg1, CEventArg* arg2) : m_arg1(arg1), m_arg2(arg2) { ArgsAddRef(m_arg1, m_arg2); }
    ~ArgsHold() { ArgsRelease(m_arg1, m_arg2); }
    ArgsHold(const ArgsHold&) = delete;
    ArgsHold& operator=(const ArgsHold&) = delete;

private:
    CEventArg* m_arg1;
    CEventArg* m_arg2;
};

} // namespace

CServicesManagerImpl::CServicesManagerImpl(unsigned long sendTimeoutMs)
    : m_sendTimeoutMs(sendTimeoutMs), m_nextServiceId(0x10000001), m_nextClientId(0x20000001),
      m_nextEventId(0x30000001), m_nextSubscriptionId(0x40000001)
{
    m_serviceId = RegisterService(GUID_ServicesManager, static_cast<CServicesManager*>(this));
    m_loadedEventId = DeclareEvent(GUID_ServicesManager, EVENT_Loaded);
}

CServicesManagerImpl::~CServicesManagerImpl()
{
    std::map<unsigned int, std::shared_ptr<ClientRecord>> clients;
    {
        std::lock_guard<std::mutex> guard(m_clientsLock);
        clients.swap(m_clients);
    }
    for (auto& entry : clients)
        entry.second->queue->Stop();
}

unsigned int CServicesManagerImpl::RegisterService(const JOV_GUID& guid, void* service)
{
    std::lock_guard<std::mutex> guard(m_servicesLock);
    unsigned int id = m_nextServiceId++;
    for (const ServiceRecord& record : m_services)
        if (record.guid == guid)
            return 0;
    m_services.push_back(ServiceRecord{id, guid, service});
    return id;
}

int CServicesManagerImpl::UnregisterService(unsigned int serviceId)
{
    std::lock_guard<std::mutex> guard(m_servicesLock);
    for (auto it = m_services.begin(); it != m_services.end(); ++it) {
        if (it->id == serviceId) {
            m_services.erase(it);
            return 0;
        }
    }
    return kNotFound;
}

bool CServicesManagerImpl::IsServiceRegistered(const JOV_GUID& guid)
{
    return GetService(guid) != nullptr;
}

void* CServicesManagerImpl::GetService(const JOV_GUID& guid)
{
    std::lock_guard<std::mutex> guard(m_servicesLock);
    for (const ServiceRecord& record : m_services)
        if (record.guid == guid)
            return record.service;
    return nullptr;
}

CEventsQueue* CServicesManagerImpl::CreateQueue(const CJOVString& name)
{
    return new (std::nothrow) CEventsQueue(name, m_sendTimeoutMs);
}

unsigned int CServicesManagerImpl::RegisterEventsClient(CEventsClient* client, const CJOVString& name)
{
    if (!client)
        return 0;
    std::shared_ptr<ClientRecord> record(new (std::nothrow) ClientRecord{client, nullptr, name});
    if (!record)
        return 0;
    record->queue.reset(CreateQueue(name));
    // A client without a worker would have every event dropped or timed out.
    if (!record->queue || !record->queue->Start())
        return 0;
    std::lock_guard<std::mutex> guard(m_clientsLock);
    unsigned int id = m_nextClientId++;
    m_clients[id] = record;
    return id;
}

int CServicesManagerImpl::UnregisterEventsClient(unsigned int clientId)
{
    {
        std::lock_guard<std::mutex> guard(m_eventsLock);
        for (auto& event : m_events) {
            auto& subscriptions = event.second.subscriptions;
            for (auto it = subscriptions.begin(); it != subscriptions.end();)
                it = it->second == clientId ? subscriptions.erase(it) : std::next(it);
        }
    }
    std::shared_ptr<ClientRecord> record;
    {
        std::lock_guard<std::mutex> guard(m_clientsLock);
        auto it = m_clients.find(clientId);
        if (it == m_clients.end())
            return kNotFound;
        record = it->second;
        m_clients.erase(it);
    }
    // Outside the lock: a handler still running may call the bus. Called from
    // that handler, the queue is left for its worker to finish with.
    record->queue->Stop();
    return 0;
}

std::shared_ptr<CServicesManagerImpl::ClientRecord> CServicesManagerImpl::FindClient(unsigned int clientId)
{
    std::lock_guard<std::mutex> guard(m_clientsLock);
    auto it = m_clients.find(clientId);
    return it == m_clients.end() ? nullptr : it->second;
}

int CServicesManagerImpl::Deliver(ClientRecord& record, const JOV_GUID& sender, const CJOVString& name,
                                  CEventArg* arg1, CEventArg* arg2, bool synchronous)
{
    if (arg1)
        arg1->AddRef(1);
    if (arg2)
        arg2->AddRef(1);
    if (synchronous)
        return record.queue->SendEvent(record.client, sender, name, arg1, arg2);
    return record.queue->PostEvent(record.client, sender, name, arg1, arg2, 255) ? 1 : 0;
}

bool CServicesManagerImpl::Undelivered(int answer, bool synchronous)
{
    return synchronous ? answer == kEventNoAnswer : answer == 0;
}

int CServicesManagerImpl::SendEventToClient(unsigned int clientId, const JOV_GUID& sender, const CJOVString& name,
                                            CEventArg* arg1, CEventArg* arg2, bool synchronous)
{
    ArgsHold hold(arg1, arg2);
    std::shared_ptr<ClientRecord> record = FindClient(clientId);
    if (!record)
        return kNotFound;
    int answer = Deliver(*record, sender, name, arg1, arg2, synchronous);
    if (Undelivered(answer, synchronous) && !FindClient(clientId))
        return kNotFound;  // unregistered while we were at it
    return answer;
}

unsigned int CServicesManagerImpl::DeclareEvent(const JOV_GUID& sender, const CJOVString& name)
{
    std::lock_guard<std::mutex> guard(m_eventsLock);
    unsigned int id = m_nextEventId++;
    m_events[id] = EventRecord{sender, name, {}};
    return id;
}

int CServicesManagerImpl::RemoveEvent(unsigned int eventId)
{
    std::lock_guard<std::mutex> guard(m_eventsLock);
    return m_events.erase(eventId) ? 0 : kNotFound;
}

bool CServicesManagerImpl::SnapshotEvent(unsigned int eventId, EventSnapshot& snapshot)
{
    std::lock_guard<std::mutex> guard(m_eventsLock);
    auto it = m_events.find(eventId);
    if (it == m_events.end())
        return false;
    snapshot.sender = it->second.sender;
    snapshot.name = it->second.name;
    snapshot.clientIds.reserve(it->second.subscriptions.size());
    for (const auto& subscription : it->second.subscriptions)
        snapshot.clientIds.push_back(subscription.second);
    return true;
}

int CServicesManagerImpl::FireEvent(unsigned int eventId, CEventArg* arg1, CEventArg* arg2, bool synchronous)
{
    ArgsHold hold(arg1, arg2);
    // Handlers may subscribe, unsubscribe or unregister while we deliver: walk
    // a copy, and look each client up as its turn comes.
    EventSnapshot snapshot;
    if (!SnapshotEvent(eventId, snapshot))
        return kNotFound;
    for (unsigned int clientId : snapshot.clientIds) {
        std::shared_ptr<ClientRecord> record = FindClient(clientId);
        if (!record)
            continue;
        int answer = Deliver(*record, snapshot.sender, snapshot.name, arg1, arg2, synchronous);
        if (Undelivered(answer, synchronous) && !FindClient(clientId))
            continue;  // unregistered meanwhile: as if it had been missing
        if (synchronous && answer != 0)
            return answer;
        if (!synchronous && answer == 0)
            return kPostFailed;
    }
    return 0;
}

int CServicesManagerImpl::FireEvents(const Firing* firings, size_t count)
{
    // The bus's own references for the length of the call, as FireEvent holds them.
    for (size_t i = 0; i < count; ++i)
        ArgsAddRef(firings[i].arg1, firings[i].arg2);
    std::map<unsigned int, EventSnapshot> snapshots;
    {
        std::lock_guard<std::mutex> guard(m_eventsLock);
        for (size_t i = 0; i < count; ++i) {
            auto event = m_events.find(firings[i].eventId);
            if (event == m_events.end() || snapshots.count(firings[i].eventId))
                continue;
            EventSnapshot& snapshot = snapshots[firings[i].eventId];
            snapshot.sender = event->second.sender;
            snapshot.name = event->second.name;
            for (const auto& subscription : event->second.subscriptions)
                snapshot.clientIds.push_back(subscription.second);
        }
    }
    // Each client's events in firing order; clients in the order they first appear.
    std::vector<std::pair<unsigned int, std::vector<CEventsQueue::Posted>>> deliveries;
    for (size_t i = 0; i < count; ++i) {
        auto snapshot = snapshots.find(firings[i].eventId);
        if (snapshot == snapshots.end())
            continue;
        for (unsigned int clientId : snapshot->second.clientIds) {
            auto delivery = std::find_if(deliveries.begin(), deliveries.end(),
                                         [clientId](const auto& entry) { return entry.first == clientId; });
            if (delivery == deliveries.end())
                delivery = deliveries.insert(deliveries.end(), {clientId, {}});
            delivery->second.push_back(CEventsQueue::Posted{&snapshot->second.sender, &snapshot->second.name,
                                                            firings[i].arg1, firings[i].arg2});
        }
    }
    int result = 0;
    for (const auto& [clientId, events] : deliveries) {
        std::shared_ptr<ClientRecord> record = FindClient(clientId);
        if (!record)
            continue;
        // The queue's references, released after each handler.
        for (const CEventsQueue::Posted& event : events)
            ArgsAddRef(event.arg1, event.arg2);
        if (!record->queue->PostEvents(record->client, events.data(), events.size()) && FindClient(clientId))
            result = kPostFailed;
    }
    for (size_t i = 0; i < count; ++i)
        ArgsRelease(firings[i].arg1, firings[i].arg2);
    return result;
}

unsigned int CServicesManagerImpl::Subscribe(const JOV_GUID& sender, const CJOVString& name, unsigned int clientId)
{
    std::lock_guard<std::mutex> guard(m_eventsLock);
    for (auto& event : m_events) {
        if (event.second.sender == sender && event.second.name == name) {
            unsigned int id = m_nextSubscriptionId++;
            event.second.subscriptions[id] = clientId;
            return id;
        }
    }
    return 0;
}

int CServicesManagerImpl::Unsubscribe(unsigned int subscriptionId)
{
    std::lock_guard<std::mutex> guard(m_eventsLock);
    for (auto& event : m_events)
        if (event.second.subscriptions.erase(subscriptionId))
            return 0;
    return kNotFound;
}

void CServicesManagerImpl::FireLoaded()
{
    EventSnapshot snapshot;
    if (!SnapshotEvent(m_loadedEventId, snapshot))
        return;
    for (unsigned int clientId : snapshot.clientIds)
        if (std::shared_ptr<ClientRecord> record = FindClient(clientId))
            Deliver(*record, GUID_ServicesManager, snapshot.name, nullptr, nullptr, true);
}

} // namespace Services
