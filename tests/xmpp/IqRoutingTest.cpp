// The request queue and the one-shot table: who gets an iq, from whom an
// answer is taken, and when a request or a callback runs out.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "IqCallbackTable.h"
#include "IqSenders.h"
#include "RequestQueue.h"
#include "xml/XmlParser.h"
#include "xmpp/ParsedStanza.h"

namespace {

std::wstring W(const CJOVString& text)
{
    return std::wstring(text.Data(), text.GetLength());
}

// Our account is alice@localhost/pda; our server answers with no "from",
// with our JIDs or with its domain.
class CFakeSenders : public CIqSenders {
public:
    bool IsAnswerFrom(const CJOVString& asked, const CJOVString* from) override
    {
        std::wstring sender = from ? W(*from) : L"";
        if (asked.GetLength() > 0)
            return sender == W(asked);
        return sender.empty() || sender == L"localhost" || sender == L"alice@localhost" ||
               sender == L"alice@localhost/pda";
    }
    bool IsFromOwnAccount(const CJOVString* from) override
    {
        return !from || W(*from) == L"alice@localhost";
    }
    unsigned int ContactIdOf(const CJOVString& jid) override { return W(jid) == L"bob@x/r" ? 0x80000005u : 0; }
};

struct Seen {
    std::vector<IqValues> values;
    std::vector<int> kinds;
    std::atomic<int> calls{0};
    std::atomic<DWORD> thread{0};
};

Seen* g_seen = nullptr;

void OnRequest(PendingRequest& request, XmlNode*, CJabberProtocol*)
{
    g_seen->values.push_back(request.values);
    g_seen->kinds.push_back(request.values.kind);
    g_seen->thread = GetCurrentThreadId();
    ++g_seen->calls;
}

void OnHandler(const IqValues& values, XmlNode*, CJabberProtocol*, void* data)
{
    static_cast<Seen*>(data)->values.push_back(values);
    ++static_cast<Seen*>(data)->calls;
}

std::atomic<DWORD> g_fakeTick{0};
DWORD FakeTick()
{
    return g_fakeTick;
}

class IqRoutingTest : public testing::Test {
protected:
    void SetUp() override { g_seen = &seen; }
    void TearDown() override { g_seen = nullptr; }

    Seen seen;
    CFakeSenders senders;
};

} // namespace

TEST_F(IqRoutingTest, AnAnswerIsMatchedByNumberAndFilledAsTheRequestAsked)
{
    RequestQueue queue(nullptr, &senders);
    queue.Add(5, &OnRequest, 60000, kFillChild | kFillChildName | kFillChildXmlns | kFillFrom | kFillFromContact |
                                        kFillTo | kFillId, CJOVString(L"bob@x/r"));
    auto answer = ParseStanza("<iq type='result' id='jov_5' from='bob@x/r' to='alice@localhost/pda'>"
                        "<query xmlns='jabber:iq:version'><name>x</name></query></iq>");
    EXPECT_FALSE(queue.HandleResult(4, answer.get()));
    EXPECT_TRUE(queue.HandleResult(5, answer.get()));
    ASSERT_EQ(seen.calls, 1);
    const IqValues& values = seen.values[0];
    EXPECT_EQ(values.kind, kIqResult);
    ASSERT_NE(values.child, nullptr);
    EXPECT_EQ(W(values.childName), L"query");
    EXPECT_EQ(W(values.childXmlns), L"jabber:iq:version");
    EXPECT_EQ(W(values.from), L"bob@x/r");
    EXPECT_EQ(values.fromContactId, 0x80000005u);
    EXPECT_EQ(W(values.to), L"alice@localhost/pda");
    EXPECT_EQ(W(values.id), L"jov_5");
    EXPECT_FALSE(queue.HandleResult(5, answer.get())) << "one answer only";

    // An error fills no child: its first child is the <error>.
    queue.Add(6, &OnRequest, 60000, kFillChild | kFillFrom, CJOVString(L"bob@x/r"));
    auto error = ParseStanza("<iq type='error' id='jov_6' from='bob@x/r'><error type='cancel'/></iq>");
    EXPECT_TRUE(queue.HandleResult(6, error.get()));
    EXPECT_EQ(seen.values[1].kind, kIqError);
    EXPECT_EQ(seen.values[1].child, nullptr);
    EXPECT_FALSE(queue.HandleResult(-1, error.get()));
}

TEST_F(IqRoutingTest, AnAnswerFromAnotherSenderIsNotTaken)
{
    RequestQueue queue(nullptr, &senders);
    queue.Add(8, &OnRequest, 60000, 0, CJOVString(L"bob@x/r"));
    EXPECT_FALSE(queue.HandleResult(8, ParseStanza("<iq type='result' id='jov_8' from='eve@x'/>").get()));
    EXPECT_FALSE(queue.HandleResult(8, ParseStanza("<iq type='result' id='jov_8'/>").get()));
    EXPECT_EQ(queue.PendingCount(), 1u);
    EXPECT_TRUE(queue.HandleResult(8, ParseStanza("<iq type='result' id='jov_8' from='bob@x/r'/>").get()));

    queue.Add(9, &OnRequest, 60000, 0, CJOVString());
    EXPECT_FALSE(queue.HandleResult(9, ParseStanza("<iq type='result' id='jov_9' from='bob@x/r'/>").get()));
    EXPECT_TRUE(queue.HandleResult(9, ParseStanza("<iq type='result' id='jov_9' from='localhost'/>").get()));
}

TEST_F(IqRoutingTest, HandlersTakeRequestsByTypeNamespaceAndChild)
{
    RequestQueue queue(nullptr, &senders);
    Seen roster;
    Seen anyGet;
    queue.AddHandler(&OnHandler, &roster, kIqSet, kFillChild | kFillFrom | kFillId, L"jabber:iq:roster", L"query",
                     true);
    queue.AddHandler(&OnHandler, &anyGet, kIqGet, kFillChild | kFillChildName, nullptr, nullptr, false);

    // A roster push, whatever its id, from our own account.
    EXPECT_TRUE(queue.HandleGetSet(ParseStanza("<iq type='set' id='push1'><query xmlns='jabber:iq:roster'/></iq>").get()));
    EXPECT_TRUE(queue.HandleGetSet(
        ParseStanza("<iq type='set' id='x' from='alice@localhost'><query xmlns='jabber:iq:roster'/></iq>").get()));
    ASSERT_EQ(roster.calls, 2);
    EXPECT_EQ(W(roster.values[0].id), L"push1");
    EXPECT_EQ(W(roster.values[1].from), L"alice@localhost");
    // The same push from anyone else is nobody's.
    EXPECT_FALSE(queue.HandleGetSet(
        ParseStanza("<iq type='set' id='y' from='eve@x'><query xmlns='jabber:iq:roster'/></iq>").get()));
    EXPECT_FALSE(queue.HandleGetSet(
        ParseStanza("<iq type='set' id='y' from='alice@localhost/other'><query xmlns='jabber:iq:roster'/></iq>").get()));
    EXPECT_FALSE(queue.HandleGetSet(ParseStanza("<iq type='set' id='z'><query xmlns='jabber:iq:private'/></iq>").get()));
    EXPECT_FALSE(queue.HandleGetSet(ParseStanza("<iq type='set' id='z'><item xmlns='jabber:iq:roster'/></iq>").get()));
    EXPECT_EQ(roster.calls, 2);

    EXPECT_TRUE(queue.HandleGetSet(ParseStanza("<iq type='get' id='v'><query xmlns='jabber:iq:version'/></iq>").get()));
    EXPECT_EQ(W(anyGet.values[0].childName), L"query");
    EXPECT_FALSE(queue.HandleGetSet(ParseStanza("<iq type='result' id='v'/>").get()));
    EXPECT_FALSE(queue.HandleGetSet(ParseStanza("<iq id='v'/>").get()));
}

TEST_F(IqRoutingTest, TheWorkerTimesRequestsOutAndStartsAgainAfterShutdown)
{
    // Real time: the worker's own clock and wait.
    JabberTimings timings;
    timings.queueScanMs = 10;
    RequestQueue queue(nullptr, &senders, timings);
    EXPECT_TRUE(queue.Start());
    EXPECT_FALSE(queue.Start()) << "one worker at a time";
    queue.Add(1, &OnRequest, 50, 0, CJOVString());
    queue.Add(2, &OnRequest, 60000, 0, CJOVString());
    for (int waited = 0; waited < 5000 && seen.calls == 0; waited += 5)
        Sleep(5);
    ASSERT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.kinds[0], kIqTimedOut);
    EXPECT_NE(seen.thread.load(), GetCurrentThreadId());
    EXPECT_EQ(queue.PendingCount(), 1u);

    queue.Shutdown();
    EXPECT_FALSE(queue.IsRunning());
    queue.ExpireAll(kIqTimedOut);
    EXPECT_EQ(seen.calls, 2);
    EXPECT_EQ(queue.PendingCount(), 0u);

    // A new connection gets a new worker.
    EXPECT_TRUE(queue.Start());
    queue.Add(3, &OnRequest, 20, 0, CJOVString());
    for (int waited = 0; waited < 5000 && seen.calls == 2; waited += 5)
        Sleep(5);
    EXPECT_EQ(seen.calls, 3);
    queue.Shutdown();
}

TEST_F(IqRoutingTest, TimeOutsHoldAcrossTheWrapOfTheTickCounter)
{
    JabberTimings timings;
    timings.tick = &FakeTick;
    timings.queueScanMs = 5;
    g_fakeTick = 0xFFFFFF00u;
    RequestQueue queue(nullptr, &senders, timings);
    queue.Add(1, &OnRequest, 0x200, 0, CJOVString());
    queue.Start();
    g_fakeTick = 0x00000050u;  // 0x150 later: not yet
    Sleep(100);
    EXPECT_EQ(seen.calls, 0) << "a wrapped counter is not a time-out";
    g_fakeTick = 0x00000101u;  // 0x201 later
    for (int waited = 0; waited < 5000 && seen.calls == 0; waited += 5)
        Sleep(5);
    EXPECT_EQ(seen.calls, 1);
    queue.Shutdown();

    IqCallbackTable table(timings);
    g_fakeTick = 0xFFFF0000u;
    table.Add(1, 0, nullptr);
    g_fakeTick = 0xFFFF0000u + 120000u;  // past the wrap, exactly the limit
    IqCallbackEntry entry;
    EXPECT_TRUE(table.Take(1, nullptr, senders, entry));
    table.Add(2, 0, nullptr);
    g_fakeTick = g_fakeTick + 120001u;
    EXPECT_FALSE(table.Take(2, nullptr, senders, entry)) << "older than the limit";
    EXPECT_EQ(table.Count(), 0);
}

TEST_F(IqRoutingTest, OneShotCallbacksAreReplacedByKeyAndTakenOnceFromTheEntityAsked)
{
    IqCallbackTable table;
    table.Add(1, 7, nullptr, 11);
    table.Add(2, 7, nullptr, 22);  // same key: replaces
    table.Add(3, 0, nullptr, 33, 0, 0, CJOVString(L"bob@x/r"));
    table.Add(4, 0, nullptr, 44);
    EXPECT_EQ(table.Count(), 3);
    IqCallbackEntry entry;
    EXPECT_FALSE(table.Take(1, nullptr, senders, entry));
    ASSERT_TRUE(table.Take(2, nullptr, senders, entry));
    EXPECT_EQ(entry.words[0], 22u);
    CJOVString eve(L"eve@x");
    CJOVString bob(L"bob@x/r");
    EXPECT_FALSE(table.Take(3, &eve, senders, entry));
    EXPECT_FALSE(table.Take(3, nullptr, senders, entry)) << "not our server's to answer";
    EXPECT_TRUE(table.Take(3, &bob, senders, entry));
    EXPECT_EQ(entry.words[0], 33u);
    EXPECT_FALSE(table.Take(4, &bob, senders, entry));
    table.Reset();
    EXPECT_EQ(table.Count(), 0);
}

namespace {

std::vector<std::pair<int, bool>> g_told;  // number, whether it came with an iq
const CJabberProtocol* g_toldAccount = nullptr;
void TellCallback(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry& entry)
{
    g_told.emplace_back(entry.number, iq != nullptr);
    g_toldAccount = account;
}

} // namespace

TEST_F(IqRoutingTest, AnExpiredOneShotThatAskedIsToldWithNoIqTheOthersGoSilently)
{
    JabberTimings timings;
    timings.tick = &FakeTick;
    g_fakeTick = 5000;
    g_told.clear();
    auto* account = reinterpret_cast<CJabberProtocol*>(&seen);  // only handed through
    IqCallbackTable table(timings, account);
    table.Add(1, 0, &TellCallback, 0, 0, 0, CJOVString(), true);
    table.Add(2, 0, &TellCallback);
    g_fakeTick = 5000 + 120001;
    // Any use of the table drops what is past its time: here a new entry.
    table.Add(3, 0, &TellCallback, 0, 0, 0, CJOVString(), true);
    ASSERT_EQ(g_told.size(), 1u);
    EXPECT_EQ(g_told[0], std::make_pair(1, false));
    EXPECT_EQ(g_toldAccount, account);
    EXPECT_EQ(table.Count(), 1);

    // Taken in time, it is not told of an expiry later.
    IqCallbackEntry entry;
    ASSERT_TRUE(table.Take(3, nullptr, senders, entry));
    g_fakeTick = g_fakeTick + 500000;
    EXPECT_FALSE(table.Take(3, nullptr, senders, entry));
    EXPECT_EQ(g_told.size(), 1u);
}

TEST_F(IqRoutingTest, ARealTimeOneShotExpiry)
{
    JabberTimings timings;
    timings.oneShotExpiryMs = 50;
    IqCallbackTable table(timings);
    table.Add(1, 0, nullptr);
    table.Add(2, 0, nullptr);
    IqCallbackEntry entry;
    EXPECT_TRUE(table.Take(1, nullptr, senders, entry));
    Sleep(200);
    EXPECT_FALSE(table.Take(2, nullptr, senders, entry));
}
