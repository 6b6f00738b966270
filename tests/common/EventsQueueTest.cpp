// CEventsQueue: order of delivery, posting and sending, waits and time-outs,
// stopping, and the release of every argument reference it is handed.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "CountingArg.h"
#include "EventsQueue.h"
#include "RecordingClient.h"
#include "Stopwatch.h"
#include "TestGate.h"

namespace {

const JOV_GUID kSender = {0x11111111, 0x2222, 0x3333, {4, 5, 6, 7, 8, 9, 10, 11}};

// The queue takes over one reference per argument, as the bus hands it one.
CCountingArg* Held(int value = 0)
{
    auto* arg = new CCountingArg(value);
    arg->AddRef(1);
    return arg;
}

CEventArg* HeldOut(int* out)
{
    auto* arg = new CEventArg_Data<int*>(out);
    arg->AddRef(1);
    return arg;
}

bool Is(const CJOVString& name, const wchar_t* text) { return name == CJOVString(text); }

// Waits until the flag is set, at most ms.
bool WaitFor(const std::atomic<bool>& flag, DWORD ms = 5000)
{
    CStopwatch watch;
    while (!flag && watch.Ms() < ms)
        Sleep(1);
    return flag;
}

class EventsQueueTest : public ::testing::Test {
protected:
    static constexpr unsigned long kShortTimeoutMs = 100;

    void SetUp() override { ASSERT_TRUE(m_queue.Start()); }

    bool Post(const wchar_t* name, CEventArg* arg = nullptr)
    {
        return m_queue.PostEvent(&m_client, kSender, CJOVString(name), arg, nullptr, 0);
    }
    int Send(const wchar_t* name, CEventArg* arg = nullptr)
    {
        return m_queue.SendEvent(&m_client, kSender, CJOVString(name), arg, nullptr);
    }

    CRecordingClient m_client;  // outlives the queue's worker
    CEventsQueue m_queue{CJOVString(L"test"), kShortTimeoutMs};
};

} // namespace

TEST_F(EventsQueueTest, DeliversPostsAndSendsInQueueOrderOnItsOwnThread)
{
    m_client.SetHandler([](const CJOVString& name, CEventArg*, CEventArg*) { return Is(name, L"c") ? 42 : 0; });
    EXPECT_TRUE(Post(L"a"));
    EXPECT_TRUE(Post(L"b"));
    EXPECT_EQ(Send(L"c"), 42);

    auto deliveries = m_client.Deliveries();
    ASSERT_EQ(m_client.Names(), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_NE(deliveries[0].threadId, GetCurrentThreadId());
    EXPECT_EQ(deliveries[1].threadId, deliveries[0].threadId);
    EXPECT_EQ(deliveries[2].threadId, deliveries[0].threadId);
    EXPECT_EQ(deliveries[0].sender, kSender);
}

TEST_F(EventsQueueTest, SeveralPostedAtOnceRunAfterWhatCameBeforeInTheirOrder)
{
    EXPECT_TRUE(Post(L"a", Held(1)));
    const CJOVString b(L"b"), c(L"c");
    const CEventsQueue::Posted several[] = {{&kSender, &b, Held(2), nullptr}, {&kSender, &c, Held(3), Held(4)}};
    EXPECT_TRUE(m_queue.PostEvents(&m_client, several, 2));
    EXPECT_TRUE(Post(L"d"));
    Send(L"e");

    auto deliveries = m_client.Deliveries();
    ASSERT_EQ(m_client.Names(), (std::vector<std::wstring>{L"a", L"b", L"c", L"d", L"e"}));
    EXPECT_EQ(deliveries[1].value, 2);
    EXPECT_EQ(deliveries[2].value, 3);
    EXPECT_TRUE(deliveries[2].hasArg2);
    EXPECT_EQ(deliveries[2].threadId, deliveries[0].threadId);
    EXPECT_EQ(CCountingArg::Live(), 0);
}

TEST_F(EventsQueueTest, ASendFromItsOwnHandlerRunsAtOnce)
{
    int liveAfterInner = -1;
    m_client.SetHandler([&](const CJOVString& name, CEventArg*, CEventArg*) {
        if (Is(name, L"inner"))
            return 41;
        // Queued behind this very handler it could only time out.
        int inner = Send(L"inner", Held(2));
        liveAfterInner = CCountingArg::Live();
        return inner + 1;
    });
    EXPECT_EQ(Send(L"outer", Held(1)), 42);
    EXPECT_EQ(liveAfterInner, 1);  // the inner argument went as soon as its handler returned
    EXPECT_EQ(CCountingArg::Live(), 0);
}

TEST_F(EventsQueueTest, ASendNotStartedInTimeIsTakenBackAndNeverRuns)
{
    CTestGate gate;
    m_client.SetHandler([&](const CJOVString& name, CEventArg*, CEventArg*) {
        if (Is(name, L"block"))
            gate.Wait();
        return 1;
    });
    Post(L"block");
    CStopwatch watch;
    EXPECT_EQ(Send(L"late", Held()), kEventNoAnswer);
    EXPECT_GE(watch.Ms(), kShortTimeoutMs - 20);
    EXPECT_LT(watch.Ms(), 3000u);
    EXPECT_EQ(CCountingArg::Live(), 0);

    gate.Open();
    EXPECT_EQ(Send(L"flush"), 1);
    EXPECT_EQ(m_client.Names(), (std::vector<std::wstring>{L"block", L"flush"}));
}

TEST_F(EventsQueueTest, ASendWaitsForAHandlerThatHasStarted)
{
    // The handler writes into the sender's object after the time-out: the
    // sender must still be there to receive it.
    m_client.SetHandler([](const CJOVString&, CEventArg* arg1, CEventArg*) {
        Sleep(4 * kShortTimeoutMs);
        *dynamic_cast<CEventArg_Data<int*>*>(arg1)->m_data = 99;
        return 7;
    });
    int out = 0;
    CStopwatch watch;
    EXPECT_EQ(Send(L"slow", HeldOut(&out)), 7);
    EXPECT_EQ(out, 99);
    EXPECT_GE(watch.Ms(), 4 * kShortTimeoutMs - 20);
}

TEST(EventsQueueRealTime, ASendGivesUpAfterFiveSeconds)
{
    CTestGate gate;
    CRecordingClient client([&](const CJOVString&, CEventArg*, CEventArg*) { return gate.Wait() ? 1 : 0; });
    CEventsQueue queue(CJOVString(L"real time"));
    ASSERT_TRUE(queue.Start());
    queue.PostEvent(&client, kSender, CJOVString(L"block"), nullptr, nullptr, 0);
    CStopwatch watch;
    EXPECT_EQ(queue.SendEvent(&client, kSender, CJOVString(L"late"), nullptr, nullptr), kEventNoAnswer);
    EXPECT_GE(watch.Ms(), 4950u);
    EXPECT_LT(watch.Ms(), 8000u);
    gate.Open();
}

TEST(EventsQueueStop, WakesWaitingSendersAndDiscardsQueuedEvents)
{
    CTestGate started, release;
    std::atomic<bool> finished{false};
    CRecordingClient client([&](const CJOVString&, CEventArg*, CEventArg*) {
        started.Open();
        release.Wait();
        finished = true;
        return 1;
    });
    CEventsQueue queue(CJOVString(L"stopped"), 60000);
    ASSERT_TRUE(queue.Start());
    queue.PostEvent(&client, kSender, CJOVString(L"block"), nullptr, nullptr, 0);
    ASSERT_TRUE(started.Wait());

    std::atomic<bool> answered{false};
    std::atomic<int> answer{0};
    std::thread sender([&] {
        answer = queue.SendEvent(&client, kSender, CJOVString(L"waiting"), Held(), nullptr);
        answered = true;
    });
    queue.PostEvent(&client, kSender, CJOVString(L"posted"), Held(), nullptr, 0);
    Sleep(100);  // lets the sender queue its event

    std::atomic<bool> stopResult{false};
    std::thread stopper([&] { stopResult = queue.Stop(); });
    // The sender is woken at once, while the running handler still blocks.
    ASSERT_TRUE(WaitFor(answered));
    EXPECT_EQ(answer, kEventNoAnswer);
    EXPECT_FALSE(finished);
    EXPECT_EQ(CCountingArg::Live(), 0);

    release.Open();
    stopper.join();
    sender.join();
    EXPECT_TRUE(stopResult);
    EXPECT_TRUE(finished);  // Stop returned only after the handler had ended
    EXPECT_EQ(client.Names(), (std::vector<std::wstring>{L"block"}));
    EXPECT_FALSE(queue.Stop());
}

TEST(EventsQueueStop, AQueueWithoutAWorkerRefusesEventsAndReleasesTheirArguments)
{
    CRecordingClient client;
    CEventsQueue queue(CJOVString(L"idle"), 60000);
    EXPECT_FALSE(queue.Stop());
    EXPECT_FALSE(queue.PostEvent(&client, kSender, CJOVString(L"early"), Held(), nullptr, 0));
    CStopwatch watch;
    EXPECT_EQ(queue.SendEvent(&client, kSender, CJOVString(L"early"), Held(), nullptr), kEventNoAnswer);
    EXPECT_LT(watch.Ms(), 1000u);
    EXPECT_EQ(CCountingArg::Live(), 0);

    ASSERT_TRUE(queue.Start());
    EXPECT_FALSE(queue.Start());
    EXPECT_TRUE(queue.Stop());
    EXPECT_FALSE(queue.Start());  // never restarted
    EXPECT_FALSE(queue.PostEvent(&client, kSender, CJOVString(L"late"), Held(), nullptr, 0));
    EXPECT_EQ(queue.SendEvent(&client, kSender, CJOVString(L"late"), Held(), nullptr), kEventNoAnswer);
    const CJOVString late(L"late");
    const CEventsQueue::Posted several[] = {{&kSender, &late, Held(), nullptr}, {&kSender, &late, Held(), Held()}};
    EXPECT_FALSE(queue.PostEvents(&client, several, 2));
    EXPECT_EQ(CCountingArg::Live(), 0);
    EXPECT_TRUE(client.Names().empty());
}

TEST(EventsQueueStop, AQueueDestroyedByItsOwnHandlerLetsTheWorkerFinish)
{
    CRecordingClient client;
    auto* queue = new CEventsQueue(CJOVString(L"self"), 60000);
    ASSERT_TRUE(queue->Start());
    HANDLE worker = nullptr;
    client.SetHandler([&](const CJOVString&, CEventArg*, CEventArg*) {
        worker = OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId());
        queue->PostEvent(&client, kSender, CJOVString(L"late"), Held(), nullptr, 0);
        delete queue;  // as a client unregistering itself on "Destroy"
        return 5;
    });
    EXPECT_EQ(queue->SendEvent(&client, kSender, CJOVString(L"die"), Held(), nullptr), 5);
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);  // the worker ended by itself
    CloseHandle(worker);
    EXPECT_EQ(client.Names(), (std::vector<std::wstring>{L"die"}));
    EXPECT_EQ(CCountingArg::Live(), 0);
}

TEST(EventsQueueConcurrency, EveryThreadsEventsArriveInItsOwnOrder)
{
    constexpr int kThreads = 4, kEvents = 300;
    CRecordingClient client([](const CJOVString&, CEventArg* arg1, CEventArg*) {
        auto* value = dynamic_cast<CEventArg_Data<int>*>(arg1);
        return value ? value->m_data : -1;
    });
    CEventsQueue queue(CJOVString(L"busy"), 60000);
    ASSERT_TRUE(queue.Start());

    std::atomic<int> wrongAnswers{0}, failedPosts{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEvents; ++i) {
                int value = t * 100000 + i;
                if (i % 10 == 0) {
                    if (queue.SendEvent(&client, kSender, CJOVString(L"send"), Held(value), nullptr) !=
                        value)
                        ++wrongAnswers;
                } else if (!queue.PostEvent(&client, kSender, CJOVString(L"post"), Held(value), nullptr,
                                            0)) {
                    ++failedPosts;
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    queue.SendEvent(&client, kSender, CJOVString(L"flush"), nullptr, nullptr);

    EXPECT_EQ(wrongAnswers, 0);
    EXPECT_EQ(failedPosts, 0);
    std::vector<int> last(kThreads, -1);
    int delivered = 0;
    for (const auto& d : client.Deliveries()) {
        if (d.value < 0)
            continue;
        int t = d.value / 100000, i = d.value % 100000;
        EXPECT_GT(i, last[t]) << "thread " << t;
        last[t] = i;
        ++delivered;
    }
    EXPECT_EQ(delivered, kThreads * kEvents);
    EXPECT_EQ(CCountingArg::Live(), 0);
}

TEST(EventsQueueIdle, AnIdleWorkerEndsAndTheNextEventStartsAnother)
{
    CRecordingClient client;
    CEventsQueue queue(CJOVString(L"idle worker"), 60000, 50);
    ASSERT_TRUE(queue.Start());
    EXPECT_TRUE(queue.PostEvent(&client, kSender, CJOVString(L"first"), Held(1), nullptr, 0));
    EXPECT_EQ(queue.SendEvent(&client, kSender, CJOVString(L"flush"), nullptr, nullptr), 0);
    const DWORD firstWorker = client.Deliveries().at(0).threadId;
    HANDLE worker = OpenThread(SYNCHRONIZE, FALSE, firstWorker);
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);
    CloseHandle(worker);

    // The new worker still recognises a send from its own handler.
    client.SetHandler([&](const CJOVString& name, CEventArg*, CEventArg*) {
        if (Is(name, L"inner"))
            return 41;
        return queue.SendEvent(&client, kSender, CJOVString(L"inner"), Held(3), nullptr) + 1;
    });
    EXPECT_EQ(queue.SendEvent(&client, kSender, CJOVString(L"outer"), Held(2), nullptr), 42);
    auto deliveries = client.Deliveries();
    ASSERT_EQ(deliveries.size(), 4u);
    EXPECT_NE(deliveries[2].threadId, GetCurrentThreadId());
    EXPECT_EQ(deliveries[3].threadId, deliveries[2].threadId);
    EXPECT_EQ(CCountingArg::Live(), 0);

    // Stopped with no worker left, it refuses at once.
    Sleep(200);
    EXPECT_TRUE(queue.Stop());
    EXPECT_FALSE(queue.PostEvent(&client, kSender, CJOVString(L"late"), Held(), nullptr, 0));
    EXPECT_EQ(CCountingArg::Live(), 0);
    EXPECT_EQ(client.Deliveries().size(), 4u);
}
