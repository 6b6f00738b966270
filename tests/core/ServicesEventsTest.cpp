// The services bus: declared events, subscriptions and firing, synchronous and
// posted, with subscribers that change while an event is being fired.
#include <atomic>
#include <thread>

#include "BusFixture.h"
#include "EventNames.h"
#include "ServiceIds.h"

using Services::kNotFound;

namespace {

const CJOVString kTick(L"Tick");

} // namespace

class BusEventsTest : public BusTest {
protected:
    void SetUp() override { m_tick = m_bus->DeclareEvent(kTestSender, kTick); }
    void UseShortTimeout()
    {
        BusTest::UseShortTimeout();
        SetUp();
    }

    unsigned int Subscribe(unsigned int clientId) { return m_bus->Subscribe(kTestSender, kTick, clientId); }

    unsigned int m_tick = 0;
};

TEST_F(BusEventsTest, SubscriptionsAttachToTheFirstMatchingDeclaration)
{
    EXPECT_EQ(m_tick, 0x30000002u);  // "Loaded" of the bus came first
    unsigned int second = m_bus->DeclareEvent(kTestSender, kTick);
    unsigned int id = 0;
    CRecordingClient& client = AddClient(&id);
    EXPECT_EQ(m_bus->Subscribe(kTestSender, CJOVString(L"tick"), id), 0u);  // names are case-sensitive
    EXPECT_EQ(m_bus->Subscribe(GUID_GUI, kTick, id), 0u);
    unsigned int first = Subscribe(id);
    EXPECT_EQ(first, 0x40000001u);
    Subscribe(id);

    EXPECT_EQ(m_bus->FireEvent(second, nullptr, nullptr, true), 0);
    EXPECT_TRUE(client.Names().empty());
    EXPECT_EQ(m_bus->FireEvent(m_tick, new CCountingArg, nullptr, true), 0);
    EXPECT_EQ(client.Names().size(), 2u);  // once per subscription

    EXPECT_EQ(m_bus->Unsubscribe(first), 0);
    EXPECT_EQ(m_bus->Unsubscribe(first), kNotFound);
    m_bus->FireEvent(m_tick, nullptr, nullptr, true);
    EXPECT_EQ(client.Names().size(), 3u);
}

TEST_F(BusEventsTest, SynchronousFiringStopsAtTheFirstNonZeroAnswer)
{
    unsigned int a = 0, b = 0, c = 0;
    CRecordingClient& first = AddClient(&a);
    CRecordingClient& second = AddClient(&b, [](const CJOVString&, CEventArg*, CEventArg*) { return 5; });
    CRecordingClient& third = AddClient(&c);
    Subscribe(a);
    Subscribe(b);
    Subscribe(c);
    EXPECT_EQ(m_bus->FireEvent(m_tick, new CCountingArg(1), new CCountingArg(2), true), 5);
    EXPECT_EQ(first.Names().size(), 1u);
    EXPECT_EQ(second.Names().size(), 1u);
    EXPECT_TRUE(third.Names().empty());
    EXPECT_EQ(first.Deliveries()[0].sender, kTestSender);  // the event's sender, not the firer
    EXPECT_EQ(CCountingArg::Live(), 0);  // the third's share was never handed out
}

TEST_F(BusEventsTest, PostedFiringAnswersBeforeAnyHandlerRuns)
{
    CTestGate gate;
    auto blocked = [&](const CJOVString&, CEventArg*, CEventArg*) { return gate.Wait() ? 0 : 1; };
    unsigned int ids[3];
    for (unsigned int& id : ids) {
        AddClient(&id, blocked);
        Subscribe(id);
    }
    auto* shared = new CCountingArg(9);
    EXPECT_EQ(m_bus->FireEvent(m_tick, shared, nullptr, false), 0);
    EXPECT_EQ(CCountingArg::Live(), 1);
    gate.Open();
    for (unsigned int id : ids)
        Send(id, L"Flush");
    for (auto& client : m_clients)
        EXPECT_EQ(client->Deliveries()[0].value, 9);
    EXPECT_EQ(CCountingArg::Live(), 0);  // gone after the third delivery
}

TEST_F(BusEventsTest, ArgumentsNobodyReceivesAreFreed)
{
    EXPECT_EQ(m_bus->FireEvent(m_tick, new CCountingArg, new CCountingArg, true), 0);  // no subscribers
    EXPECT_EQ(m_bus->FireEvent(m_tick, new CCountingArg, nullptr, false), 0);
    EXPECT_EQ(m_bus->FireEvent(0x3000FFFF, new CCountingArg, nullptr, true), kNotFound);
    EXPECT_EQ(CCountingArg::Live(), 0);

    // A subscription of a client that was never registered is passed over.
    unsigned int id = 0;
    CRecordingClient& client = AddClient(&id);
    Subscribe(0x2000FFFF);
    Subscribe(id);
    EXPECT_EQ(m_bus->FireEvent(m_tick, new CCountingArg, nullptr, true), 0);
    EXPECT_EQ(m_bus->FireEvent(m_tick, new CCountingArg, nullptr, false), 0);
    Send(id, L"Flush");
    EXPECT_EQ(client.Names().size(), 3u);
    EXPECT_EQ(CCountingArg::Live(), 0);
}

TEST_F(BusEventsTest, RemovedEventsAndUnregisteredClientsAreNotReached)
{
    unsigned int id = 0;
    CRecordingClient& client = AddClient(&id);
    Subscribe(id);
    unsigned int other = m_bus->DeclareEvent(kTestSender, CJOVString(L"Other"));
    m_bus->Subscribe(kTestSender, CJOVString(L"Other"), id);

    EXPECT_EQ(m_bus->RemoveEvent(other), 0);
    EXPECT_EQ(m_bus->RemoveEvent(other), kNotFound);
    EXPECT_EQ(m_bus->FireEvent(other, new CCountingArg, nullptr, true), kNotFound);

    EXPECT_EQ(m_bus->UnregisterEventsClient(id), 0);
    unsigned int newcomer = 0;
    CRecordingClient& late = AddClient(&newcomer);
    EXPECT_EQ(Subscribe(newcomer), 0x40000003u);
    EXPECT_EQ(m_bus->FireEvent(m_tick, new CCountingArg, nullptr, true), 0);
    EXPECT_TRUE(client.Names().empty());
    EXPECT_EQ(late.Names().size(), 1u);
}

TEST_F(BusEventsTest, FiringDeliversToTheSubscribersOfTheMomentItStarted)
{
    // The first subscriber's handler rearranges the event: drops the second
    // subscriber, unsubscribes the third, subscribes a fourth, removes the
    // event, and fires it again from inside.
    unsigned int a = 0, b = 0, c = 0, d = 0, cSubscription = 0;
    int nestedAnswer = 0, calls = 0;
    CRecordingClient& second = AddClient(&b);
    CRecordingClient& third = AddClient(&c);
    CRecordingClient& fourth = AddClient(&d);
    AddClient(&a, [&](const CJOVString&, CEventArg*, CEventArg*) {
        if (++calls > 1)
            return 0;  // the nested firing reaches us too
        m_bus->UnregisterEventsClient(b);
        m_bus->Unsubscribe(cSubscription);
        Subscribe(d);
        nestedAnswer = m_bus->FireEvent(m_tick, new CCountingArg, nullptr, false);
        m_bus->RemoveEvent(m_tick);
        return 0;
    });
    Subscribe(a);
    Subscribe(b);
    cSubscription = Subscribe(c);

    EXPECT_EQ(m_bus->FireEvent(m_tick, new CCountingArg(1), nullptr, true), 0);
    EXPECT_EQ(nestedAnswer, 0);
    EXPECT_TRUE(second.Names().empty());
    EXPECT_EQ(third.Names().size(), 1u);  // in the snapshot
    Send(d, L"Flush");
    EXPECT_EQ(fourth.Names(), (std::vector<std::wstring>{L"Tick", L"Flush"}));  // only the nested firing
    EXPECT_EQ(m_bus->FireEvent(m_tick, nullptr, nullptr, true), kNotFound);
    // The nested firing reaches the first subscriber too, on its queue: its
    // handler reads this test's locals, so the test waits for it.
    Send(a, L"Flush");
    EXPECT_EQ(calls, 3);
}

TEST_F(BusEventsTest, ABusySubscriberEndsASynchronousFiring)
{
    UseShortTimeout();
    CTestGate gate;
    unsigned int a = 0, b = 0;
    AddClient(&a, [&](const CJOVString& name, CEventArg*, CEventArg*) {
        if (Is(name, L"Block"))
            gate.Wait();
        return 0;
    });
    CRecordingClient& second = AddClient(&b);
    Subscribe(a);
    Subscribe(b);
    Send(a, L"Block", nullptr, false);
    EXPECT_EQ(m_bus->FireEvent(m_tick, new CCountingArg, nullptr, true), kEventNoAnswer);
    EXPECT_TRUE(second.Names().empty());
    gate.Open();
}

TEST_F(BusEventsTest, LoadedReachesEverySubscriberWhateverItAnswers)
{
    unsigned int a = 0, b = 0;
    CRecordingClient& first = AddClient(&a, [](const CJOVString&, CEventArg*, CEventArg*) { return 7; });
    CRecordingClient& second = AddClient(&b);
    m_bus->Subscribe(GUID_ServicesManager, EVENT_Loaded, a);
    m_bus->Subscribe(GUID_ServicesManager, EVENT_Loaded, 0x2000FFFF);
    m_bus->Subscribe(GUID_ServicesManager, EVENT_Loaded, b);
    m_bus->FireLoaded();
    ASSERT_EQ(first.Names(), (std::vector<std::wstring>{L"Loaded"}));
    ASSERT_EQ(second.Names(), (std::vector<std::wstring>{L"Loaded"}));
    auto delivery = second.Deliveries()[0];
    EXPECT_EQ(delivery.sender, GUID_ServicesManager);
    EXPECT_FALSE(delivery.hasArg1 || delivery.hasArg2);
}

TEST_F(BusEventsTest, ConcurrentFiringAndSubscribingLosesNoArgument)
{
    constexpr int kThreads = 4, kFirings = 150;
    unsigned int ids[3];
    for (unsigned int& id : ids) {
        AddClient(&id);
        Subscribe(id);
    }
    std::atomic<bool> done{false};
    std::thread churn([&] {
        // Subscribers come and go while the others fire.
        CRecordingClient transient;
        while (!done) {
            unsigned int id = m_bus->RegisterEventsClient(&transient, CJOVString(L"transient"));
            Subscribe(id);
            m_bus->UnregisterEventsClient(id);
        }
    });
    std::atomic<int> failures{0};
    std::vector<std::thread> firers;
    for (int t = 0; t < kThreads; ++t) {
        firers.emplace_back([&, t] {
            for (int i = 0; i < kFirings; ++i)
                if (m_bus->FireEvent(m_tick, new CCountingArg(i), new CCountingArg(t), t % 2 == 0) != 0)
                    ++failures;
        });
    }
    for (std::thread& firer : firers)
        firer.join();
    done = true;
    churn.join();
    for (unsigned int id : ids)
        Send(id, L"Flush");

    EXPECT_EQ(failures, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(m_clients[i]->Names().size(), static_cast<size_t>(kThreads * kFirings + 1));
    EXPECT_EQ(CCountingArg::Live(), 0);
}

TEST_F(BusEventsTest, FiringSeveralPostedEventsDeliversEachSubscriberItsOwnInOrder)
{
    const unsigned int tock = m_bus->DeclareEvent(kTestSender, CJOVString(L"Tock"));
    CTestGate gate;
    unsigned int both = 0, tocks = 0;
    CRecordingClient& all = AddClient(&both, [&](const CJOVString&, CEventArg*, CEventArg*) {
        return gate.Wait() ? 0 : 1;
    });
    CRecordingClient& some = AddClient(&tocks);
    Subscribe(both);
    m_bus->Subscribe(kTestSender, CJOVString(L"Tock"), both);
    m_bus->Subscribe(kTestSender, CJOVString(L"Tock"), tocks);

    const Services::CServicesManager::Firing firings[] = {
        {m_tick, new CCountingArg(1), nullptr},
        {tock, new CCountingArg(2), new CCountingArg(20)},
        {0x3000FFFF, new CCountingArg(3), nullptr},  // unknown: skipped, its argument freed
        {m_tick, new CCountingArg(4), nullptr},
        {tock, nullptr, nullptr},
    };
    // Posted: the call answers while the first subscriber's handler is held.
    EXPECT_EQ(m_bus->FireEvents(firings, 5), 0);
    gate.Open();
    Send(both, L"Flush");
    Send(tocks, L"Flush");

    std::vector<int> values;
    for (const auto& delivery : all.Deliveries())
        values.push_back(delivery.value);
    EXPECT_EQ(all.Names(), (std::vector<std::wstring>{L"Tick", L"Tock", L"Tick", L"Tock", L"Flush"}));
    EXPECT_EQ(values, (std::vector<int>{1, 2, 4, -1, -1}));
    EXPECT_TRUE(all.Deliveries()[1].hasArg2);
    EXPECT_EQ(some.Names(), (std::vector<std::wstring>{L"Tock", L"Tock", L"Flush"}));
    EXPECT_EQ(some.Deliveries()[0].value, 2);
    EXPECT_EQ(CCountingArg::Live(), 0) << "shared arguments go after their last delivery";
}
