// The services bus: the service registry, events clients and sending to one
// client, including clients that go away while events reach them.
#include <atomic>
#include <thread>

#include "BusFixture.h"
#include "EventNames.h"
#include "ServiceIds.h"

using Services::kNotFound;

TEST_F(BusTest, ServicesAreFoundByIdentifierUntilUnregistered)
{
    // The bus is the first service of its own registry.
    EXPECT_EQ(m_bus->GetService(GUID_ServicesManager), static_cast<Services::CServicesManager*>(m_bus.get()));

    int database = 0, other = 0;
    unsigned int id = m_bus->RegisterService(GUID_Database, &database);
    EXPECT_EQ(id, 0x10000002u);
    EXPECT_EQ(m_bus->RegisterService(GUID_Database, &other), 0u);  // the first one stays
    EXPECT_EQ(m_bus->GetService(GUID_Database), &database);
    EXPECT_EQ(m_bus->RegisterService(GUID_SkinManager, &other), 0x10000004u);  // ids are never reused

    EXPECT_EQ(m_bus->GetService(GUID_ContactList), nullptr);
    EXPECT_FALSE(m_bus->IsServiceRegistered(GUID_ContactList));
    EXPECT_TRUE(m_bus->IsServiceRegistered(GUID_Database));

    EXPECT_EQ(m_bus->UnregisterService(id), 0);
    EXPECT_EQ(m_bus->UnregisterService(id), kNotFound);
    EXPECT_EQ(m_bus->GetService(GUID_Database), nullptr);
    EXPECT_EQ(m_bus->GetService(GUID_SkinManager), &other);
}

TEST(ServicesGlobal, TheProgramsBusExistsBeforeMainAndDeclaresLoaded)
{
    EXPECT_EQ(g_ServicesManager.GetService(GUID_ServicesManager),
              static_cast<Services::CServicesManager*>(&g_ServicesManager));
    unsigned int subscription = g_ServicesManager.Subscribe(GUID_ServicesManager, EVENT_Loaded, 0x20000001);
    EXPECT_NE(subscription, 0u);
    EXPECT_EQ(g_ServicesManager.Unsubscribe(subscription), 0);
}

TEST_F(BusTest, ClientIdsAndUnknownClients)
{
    unsigned int first = 0, second = 0;
    AddClient(&first);
    AddClient(&second);
    EXPECT_EQ(first, 0x20000001u);
    EXPECT_EQ(second, 0x20000002u);
    EXPECT_EQ(m_bus->RegisterEventsClient(nullptr, CJOVString(L"none")), 0u);

    EXPECT_EQ(m_bus->UnregisterEventsClient(0x20000099), kNotFound);
    // An argument sent to nobody is still the bus's to free.
    EXPECT_EQ(Send(0x20000099, L"Lost", new CCountingArg), kNotFound);
    EXPECT_EQ(Send(0x20000099, L"Lost", new CCountingArg, false), kNotFound);
    EXPECT_EQ(CCountingArg::Live(), 0);

    EXPECT_EQ(m_bus->UnregisterEventsClient(first), 0);
    EXPECT_EQ(m_bus->UnregisterEventsClient(first), kNotFound);
    EXPECT_EQ(Send(first, L"Gone", new CCountingArg), kNotFound);
}

namespace {

// Hands out queues that cannot start (already started once) and keeps the
// last queue so a test can stop it behind the bus's back.
class CStubbornBus : public Services::CServicesManagerImpl {
public:
    using CServicesManagerImpl::CServicesManagerImpl;
    bool m_spoilStart = false;
    CEventsQueue* m_lastQueue = nullptr;

protected:
    CEventsQueue* CreateQueue(const CJOVString& name) override
    {
        m_lastQueue = CServicesManagerImpl::CreateQueue(name);
        if (m_spoilStart && m_lastQueue->Start())
            m_lastQueue->Stop();
        return m_lastQueue;
    }
};

} // namespace

TEST(ServicesClients, AQueueThatCannotStartFailsTheRegistration)
{
    CRecordingClient client;
    CStubbornBus bus(100);
    bus.m_spoilStart = true;
    EXPECT_EQ(bus.RegisterEventsClient(&client, CJOVString(L"broken")), 0u);
    bus.m_spoilStart = false;
    EXPECT_EQ(bus.RegisterEventsClient(&client, CJOVString(L"working")), 0x20000001u);
}

TEST(ServicesClients, EventsToAStoppedQueueFailAndReleaseTheirArguments)
{
    CRecordingClient client;
    CStubbornBus bus(5000);
    unsigned int id = bus.RegisterEventsClient(&client, CJOVString(L"client"));
    unsigned int eventId = bus.DeclareEvent(kTestSender, CJOVString(L"Tick"));
    bus.Subscribe(kTestSender, CJOVString(L"Tick"), id);
    bus.m_lastQueue->Stop();

    CStopwatch watch;
    EXPECT_EQ(bus.SendEventToClient(id, kTestSender, CJOVString(L"Ping"), new CCountingArg, nullptr, true),
              kEventNoAnswer);
    EXPECT_LT(watch.Ms(), 1000u);  // no waiting on a queue that will never answer
    EXPECT_EQ(bus.SendEventToClient(id, kTestSender, CJOVString(L"Ping"), new CCountingArg, nullptr, false), 0);
    EXPECT_EQ(bus.FireEvent(eventId, new CCountingArg, new CCountingArg, false), Services::kPostFailed);
    EXPECT_EQ(CCountingArg::Live(), 0);
    EXPECT_TRUE(client.Names().empty());
}

TEST_F(BusTest, EventsRunOnTheClientsOwnThreadInOrder)
{
    unsigned int id = 0;
    CRecordingClient& client = AddClient(&id, [](const CJOVString& name, CEventArg* arg1, CEventArg*) {
        auto* value = dynamic_cast<CEventArg_Data<int>*>(arg1);
        return Is(name, L"Get") && value ? value->m_data * 2 : 0;
    });
    EXPECT_EQ(Send(id, L"First", nullptr, false), 1);
    EXPECT_EQ(Send(id, L"Second", new CCountingArg(4), false), 1);
    EXPECT_EQ(Send(id, L"Get", new CCountingArg(21)), 42);

    auto deliveries = client.Deliveries();
    ASSERT_EQ(client.Names(), (std::vector<std::wstring>{L"First", L"Second", L"Get"}));
    EXPECT_NE(deliveries[0].threadId, GetCurrentThreadId());
    EXPECT_EQ(deliveries[2].threadId, deliveries[0].threadId);
    EXPECT_EQ(deliveries[1].value, 4);
    EXPECT_EQ(deliveries[2].sender, kTestSender);
}

TEST_F(BusTest, ASynchronousSendGivesUpOnABusyClient)
{
    UseShortTimeout();
    CTestGate gate;
    unsigned int id = 0;
    CRecordingClient& client = AddClient(&id, [&](const CJOVString& name, CEventArg*, CEventArg*) {
        if (Is(name, L"Block"))
            gate.Wait();
        return 1;
    });
    Send(id, L"Block", nullptr, false);
    CStopwatch watch;
    EXPECT_EQ(Send(id, L"Status", new CCountingArg), kEventNoAnswer);
    EXPECT_GE(watch.Ms(), kShortTimeoutMs - 20);
    gate.Open();
    EXPECT_EQ(Send(id, L"Flush"), 1);
    EXPECT_EQ(client.Names(), (std::vector<std::wstring>{L"Block", L"Flush"}));
}

TEST_F(BusTest, AClientMayUnregisterItselfInsideItsHandler)
{
    // As an account does on "Destroy": the owner deletes the client as soon
    // as the send returns.
    unsigned int id = 0;
    m_clients.push_back(std::make_unique<CRecordingClient>());
    CRecordingClient* account = m_clients.back().get();
    HANDLE worker = nullptr;
    account->SetHandler([&](const CJOVString& name, CEventArg*, CEventArg*) {
        if (!Is(name, L"Destroy"))
            return 0;
        worker = OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId());
        Send(id, L"Late", new CCountingArg, false);  // queued behind us, never delivered
        return m_bus->UnregisterEventsClient(id) == 0 ? 3 : -1;
    });
    id = m_bus->RegisterEventsClient(account, CJOVString(L"account"));
    ASSERT_NE(id, 0u);

    EXPECT_EQ(Send(id, EVENT_Destroy, new CCountingArg), 3);
    EXPECT_EQ(account->Names(), (std::vector<std::wstring>{L"Destroy"}));
    m_clients.pop_back();
    EXPECT_EQ(Send(id, L"After"), kNotFound);
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);
    CloseHandle(worker);
    EXPECT_EQ(CCountingArg::Live(), 0);
}

TEST_F(BusTest, UnregisteringWaitsForTheRunningHandler)
{
    CTestGate started;
    std::atomic<bool> finished{false};
    unsigned int id = 0;
    AddClient(&id, [&](const CJOVString&, CEventArg*, CEventArg*) {
        started.Open();
        Sleep(200);
        finished = true;
        return 0;
    });
    Send(id, L"Slow", nullptr, false);
    ASSERT_TRUE(started.Wait());
    EXPECT_EQ(m_bus->UnregisterEventsClient(id), 0);
    EXPECT_TRUE(finished);  // the client may now be deleted safely
}

TEST_F(BusTest, SendsRaceWithUnregisteringWithoutLeaksOrCrashes)
{
    constexpr int kRounds = 40;
    std::atomic<unsigned int> currentId{0};
    std::atomic<bool> done{false};
    std::vector<std::thread> senders;
    for (int t = 0; t < 3; ++t) {
        senders.emplace_back([&, t] {
            while (!done) {
                Send(currentId, L"Ping", new CCountingArg(t), t % 2 == 0);
                Send(currentId, L"Post", new CCountingArg(t), false);
            }
        });
    }
    std::vector<std::unique_ptr<CRecordingClient>> clients;
    for (int i = 0; i < kRounds; ++i) {
        clients.push_back(std::make_unique<CRecordingClient>());
        unsigned int id = m_bus->RegisterEventsClient(clients.back().get(), CJOVString(L"transient"));
        currentId = id;
        Sleep(2);
        EXPECT_EQ(m_bus->UnregisterEventsClient(id), 0);
    }
    done = true;
    for (std::thread& sender : senders)
        sender.join();
    EXPECT_EQ(CCountingArg::Live(), 0);
}
