// A socket's worker: writing the queue, filling the receive buffer, the ends of
// a connection (the peer's, the owner's, the data connection's) and its
// timings.
#include <atomic>
#include <chrono>

#include "ConnectionManager.h"
#include "SecureSocket.h"
#include "sockets/ScriptedPeer.h"
#include "sockets/SocketsFixture.h"

using namespace JOVSockets;

namespace {

std::string Flood()
{
    std::string bytes;
    for (int i = 0; i < 20000; ++i)
        bytes += static_cast<char>(i % 251);
    return bytes;
}

long long ElapsedMs(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
}

// Winsock as a network that takes at most a few bytes per send.
int ShortSend(SOCKET s, const char* data, int length, int flags)
{
    return SecureSockets::send(s, data, length < 7 ? length : 7, flags);
}

// select that fails with a chosen error a number of times.
std::atomic<int> g_selectFailures(0);
std::atomic<int> g_selectError(0);
int FailingSelect(int n, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, timeval* timeout)
{
    if (g_selectFailures > 0) {
        --g_selectFailures;
        WSASetLastError(g_selectError);
        return SOCKET_ERROR;
    }
    return SecureSockets::select(n, readSet, writeSet, exceptSet, timeout);
}

// recv that, once armed, holds the bytes that came until the owner begins its
// close and a while after: the worker hands them over while Close waits.
HANDLE g_closing = nullptr;
std::atomic<bool> g_holdRecv(false);
int RecvAfterClose(SOCKET s, char* buffer, int length, int flags)
{
    if (g_holdRecv.exchange(false)) {
        WaitForSingleObject(g_closing, 5000);
        Sleep(100);
    }
    return SecureSockets::recv(s, buffer, length, flags);
}

} // namespace

class SocketWriteTest : public SocketsTest {};

TEST_F(SocketWriteTest, QueuedBuffersAreWrittenInOrderEachWithItsWrite)
{
    REQUIRE_PEERS(peers);
    CJOVSocket* socket = m_manager->CreateSocket(m_ownerId);
    Send(socket, "first,");  // queued before the connection exists
    Send(socket, "second");
    SocketParams params = Direct(peers->Port("echo"));
    ASSERT_EQ(m_manager->Connect(socket, &params), 0);
    ASSERT_TRUE(m_owner->WaitFor(L"Write", 2));
    ASSERT_TRUE(m_owner->WaitForBytes(12));
    EXPECT_EQ(m_owner->Received(), "first,second");
    std::vector<SocketEvent> events = m_owner->Events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0].name, L"Connect");
    EXPECT_EQ(events[1].name, L"Write");
    EXPECT_EQ(events[2].name, L"Write");
}

TEST_F(SocketWriteTest, ShortSendsStillDeliverTheWholeBuffer)
{
    REQUIRE_PEERS(peers);
    SocketIo io = SocketIo::Platform();
    io.send = &ShortSend;
    Build(FastTimings(), io);
    std::string big;
    for (int i = 0; i < 3000; ++i)
        big += static_cast<char>('a' + i % 26);
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    Send(socket, big);
    ASSERT_TRUE(m_owner->WaitForBytes(big.size()));
    EXPECT_EQ(m_owner->Received(), big);
    EXPECT_EQ(m_owner->Count(L"Write"), 1);
    EXPECT_EQ(m_owner->First(L"Write").kind, SocketEvent::kNone);
}

TEST_F(SocketWriteTest, SendReturnsAtOnceWhileThePeerReadsNothing)
{
    // The worker blocks in a send to a peer that does not read; the owner's
    // next Send must not wait for it.
    const size_t big = 16 << 20;
    CScriptedPeer peer;
    peer.Pause(1500).Skip(big + 1);
    peer.Start();
    CJOVSocket* socket = Open(Direct(peer.Port()));
    ASSERT_TRUE(Connected());
    Send(socket, std::string(big, 'b'));
    Sleep(300);  // the worker is in its send now, the peer's window full
    auto start = std::chrono::steady_clock::now();
    Send(socket, "x");
    EXPECT_LT(ElapsedMs(start), 200);
    EXPECT_TRUE(m_owner->WaitFor(L"Write", 2, 10000));
    EXPECT_EQ(peer.Finish(), "");
}

TEST_F(SocketWriteTest, LargeBufferCrossesTheNetworkWhole)
{
    REQUIRE_PEERS(peers);
    std::string big(1 << 20, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    Send(socket, big);
    ASSERT_TRUE(m_owner->WaitForBytes(big.size(), 20000));
    EXPECT_TRUE(m_owner->Received() == big);
}

class SocketReceiveTest : public SocketsTest {};

TEST_F(SocketReceiveTest, FullBufferWaitsForTheOwnerAndLosesNothing)
{
    REQUIRE_PEERS(peers);
    m_owner->SetReadOnReceive(false);
    CJOVSocket* socket = Open(Direct(peers->Port("flood")));
    ASSERT_TRUE(Connected());
    for (int i = 0; i < 200 && m_manager->GetBufferedLength(socket) < CJOVSocket::kReceiveBufferSize; ++i)
        Sleep(10);
    EXPECT_EQ(m_manager->GetBufferedLength(socket), CJOVSocket::kReceiveBufferSize);
    Sleep(300);  // several polls with the buffer full
    EXPECT_EQ(m_owner->Count(L"Close"), 0) << "a full buffer was taken for the peer's end";

    std::string all;
    char piece[1000];
    for (int i = 0; i < 500 && all.size() < 20000; ++i) {
        int n = m_manager->Read(socket, piece, sizeof piece);
        all.append(piece, static_cast<size_t>(n));
        if (n == 0)
            Sleep(10);
    }
    EXPECT_TRUE(all == Flood()) << "got " << all.size() << " bytes";
    EXPECT_EQ(m_owner->Count(L"Close"), 0);
}

TEST_F(SocketReceiveTest, OwnerReadingOutsideItsHandlerSeesAnIntactStream)
{
    // The worker appends while the owner reads from another thread (as after a
    // "Receive" that timed out): the buffer is guarded, the stream stays whole.
    REQUIRE_PEERS(peers);
    m_owner->SetReadOnReceive(false);
    CJOVSocket* socket = Open(Direct(peers->Port("flood")));
    std::string all;
    char piece[13];
    for (int i = 0; i < 20000 && all.size() < 20000; ++i) {
        int n = m_manager->Read(socket, piece, sizeof piece);
        all.append(piece, static_cast<size_t>(n));
        if (n == 0)
            Sleep(1);
    }
    EXPECT_TRUE(all == Flood()) << "got " << all.size() << " bytes";
}

TEST_F(SocketReceiveTest, PeerCloseIsCloseWithZero)
{
    REQUIRE_PEERS(peers);
    Open(Direct(peers->Port("closer")));
    ASSERT_TRUE(Connected());
    EXPECT_TRUE(ClosedAfterBye());
}

TEST_F(SocketReceiveTest, FailingSelectEndsTheConnectionUnlessItIsBusy)
{
    REQUIRE_PEERS(peers);
    SocketIo io = SocketIo::Platform();
    io.select = &FailingSelect;
    Build(FastTimings(), io);

    g_selectError = WSAEINPROGRESS;  // Winsock busy: wait and go on
    g_selectFailures = 3;
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    Send(socket, "still here");
    ASSERT_TRUE(m_owner->WaitForBytes(10));
    EXPECT_EQ(m_owner->Count(L"Close"), 0);

    g_selectError = WSAENETDOWN;
    g_selectFailures = 1;
    ASSERT_TRUE(m_owner->WaitFor(L"Close"));
    SocketEvent close = m_owner->First(L"Close");
    EXPECT_EQ(close.kind, SocketEvent::kInt);
    EXPECT_EQ(close.value, WSAENETDOWN);
    g_selectFailures = 0;
}

class SocketCloseTest : public SocketsTest {};

TEST_F(SocketCloseTest, CloseFromTheReceiveHandlerDoesNotWaitForTheWorker)
{
    REQUIRE_PEERS(peers);
    std::atomic<long long> closeTookMs(-1);
    m_owner->SetReceiveHook([&](CJOVSocket* socket, int) {
        auto start = std::chrono::steady_clock::now();
        m_manager->Close(socket);
        closeTookMs = ElapsedMs(start);
    });
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    Send(socket, "bye");
    ASSERT_TRUE(m_owner->WaitFor(L"Close"));
    EXPECT_GE(closeTookMs, 0);
    EXPECT_LT(closeTookMs, 250) << "Close waited for a worker that waited for this very handler";
    EXPECT_EQ(m_owner->First(L"Close").kind, SocketEvent::kNone);
}

TEST_F(SocketCloseTest, CloseEndsAWorkerStuckInAHandshake)
{
    REQUIRE_PEERS(peers);
    {
        SCOPED_TRACE("TLS handshake with a server that never answers");
        SocketParams params = Direct(peers->Port("tls_silent"));
        params.sslMode = kSslTls;
        CJOVSocket* socket = Open(params);
        Sleep(150);
        auto start = std::chrono::steady_clock::now();
        m_manager->Close(socket);
        EXPECT_LT(ElapsedMs(start), 1200);
        ASSERT_TRUE(m_owner->WaitFor(L"Close", 1, 2000));
        EXPECT_EQ(m_owner->First(L"Close").kind, SocketEvent::kNone);
        EXPECT_EQ(m_owner->Count(L"Connect"), 0);
    }
    {
        SCOPED_TRACE("HTTP proxy that never answers");
        Build(FastTimings(), SocketIo::Platform());
        CJOVSocket* socket = Open(Through(kProxyHttp, peers->Port("silent"), 80));
        Sleep(150);
        auto start = std::chrono::steady_clock::now();
        m_manager->Close(socket);
        EXPECT_LT(ElapsedMs(start), 400) << "the proxy's wait did not see the stop";
        ASSERT_TRUE(m_owner->WaitFor(L"Close", 1, 2000));
        EXPECT_EQ(m_owner->First(L"Close").kind, SocketEvent::kNone);
    }
}

TEST_F(SocketCloseTest, ASocketCutOffIsNotWaitedForAgain)
{
    // A server that takes the connection, then neither reads nor answers
    // nor closes: the handshake waits on it whatever this side shuts down.
    CScriptedPeer peer;
    peer.Pause(3000);
    peer.Start();
    SocketParams params = Direct(peer.Port());
    params.sslMode = kSslTls;
    CJOVSocket* socket = Open(params);
    Sleep(150);
    // As an account drops its socket: closed, then destroyed.
    auto start = std::chrono::steady_clock::now();
    m_manager->Close(socket);
    m_manager->DestroySocket(socket);
    EXPECT_LT(ElapsedMs(start), FastTimings().closeWaitMs * 3 / 2) << "the close wait was spent twice";
    peer.Finish();
}

TEST_F(SocketCloseTest, CloseFromTheOwnersThreadStopsWaitingWhenTheWorkerHandsItData)
{
    // The owner closes from another of its handlers while the peer's answer
    // arrives: the worker then waits for the owner's "Receive" handler, which
    // waits for this Close.
    SocketIo io = SocketIo::Platform();
    io.recv = RecvAfterClose;
    Build(FastTimings(), io);
    g_closing = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CScriptedPeer peer;
    peer.Expect("ping").Send("pong").Pause(2000);
    peer.Start();
    std::atomic<long long> closeTookMs(-1);
    m_owner->SetWriteHook([&](CJOVSocket* socket) {
        SetEvent(g_closing);
        auto start = std::chrono::steady_clock::now();
        m_manager->Close(socket);
        closeTookMs = ElapsedMs(start);
    });
    CJOVSocket* socket = Open(Direct(peer.Port()));
    ASSERT_TRUE(Connected());
    g_holdRecv = true;
    Send(socket, "ping");
    EXPECT_TRUE(m_owner->WaitFor(L"Close", 1, 3000));
    EXPECT_GE(closeTookMs, 0);
    EXPECT_LT(closeTookMs, static_cast<long long>(FastTimings().closeWaitMs) - 200)
        << "Close waited its whole time for a worker that waited for its owner";
    peer.Finish();
    g_holdRecv = false;
    CloseHandle(g_closing);
    g_closing = nullptr;
}

TEST_F(SocketCloseTest, WhatWasQueuedBeforeCloseReachesThePeer)
{
    {
        SCOPED_TRACE("closed from the receive handler, as a protocol does on bad input");
        CScriptedPeer peer;
        peer.Send("bad input").Expect("last words").Expect("end");
        peer.Start();
        m_owner->SetReceiveHook([&](CJOVSocket* socket, int) {
            Send(socket, "last words");
            Send(socket, "end");
            m_manager->Close(socket);
        });
        Open(Direct(peer.Port()));
        ASSERT_TRUE(m_owner->WaitFor(L"Close"));
        EXPECT_EQ(m_owner->First(L"Close").kind, SocketEvent::kNone);
        EXPECT_EQ(peer.Finish(), "");
    }
    {
        SCOPED_TRACE("closed from the owner's thread");
        Build(FastTimings(), SocketIo::Platform());
        CScriptedPeer peer;
        peer.Expect("going offline");
        peer.Start();
        CJOVSocket* socket = Open(Direct(peer.Port()));
        ASSERT_TRUE(Connected());
        Send(socket, "going offline");
        m_manager->Close(socket);
        ASSERT_TRUE(m_owner->WaitFor(L"Close"));
        EXPECT_EQ(peer.Finish(), "");
    }
}

TEST_F(SocketCloseTest, APeerThatReadsNothingHoldsTheClosingWorkerOnlyForTheCloseWait)
{
    const size_t big = 16 << 20;
    CScriptedPeer peer;
    peer.Send("x").Pause(3000);
    peer.Start();
    std::atomic<bool> closed(false);
    m_owner->SetReceiveHook([&](CJOVSocket* socket, int) {
        Send(socket, std::string(big, 'b'));
        m_manager->Close(socket);
        closed = true;
    });
    Open(Direct(peer.Port()));
    ASSERT_TRUE(m_owner->WaitFor(L"Close", 1, 2000)) << "the worker kept writing to a peer that reads nothing";
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 300 && CJOVSocket::RunningWorkers() > 0; ++i)
        Sleep(10);
    EXPECT_EQ(CJOVSocket::RunningWorkers(), 0);
    EXPECT_LT(ElapsedMs(start), 1000);
    EXPECT_TRUE(closed);
    peer.Finish();
}

TEST_F(SocketCloseTest, QueuedDataIsDroppedByClose)
{
    REQUIRE_PEERS(peers);
    CJOVSocket* socket = m_manager->CreateSocket(m_ownerId);
    Send(socket, "never sent");
    m_manager->Close(socket);
    SocketParams params = Direct(peers->Port("echo"));
    ASSERT_EQ(m_manager->Connect(socket, &params), 0);
    ASSERT_TRUE(Connected());
    Sleep(200);
    EXPECT_EQ(m_owner->Count(L"Write"), 0);
    EXPECT_EQ(m_owner->Received(), "");
}

class DataConnectionTest : public SocketsTest {
protected:
    void TearDown() override
    {
        ConnMgrSimulateNetwork(true);
        ConnMgrSimulateApiReady(true);
        ConnMgrSimulateStatusFailure(false);
        SocketsTest::TearDown();
        EXPECT_EQ(ConnMgrHeldConnections(), 0) << "a data connection was not released";
    }
};

TEST_F(DataConnectionTest, HeldWhileConnectedAndReleasedAtTheEnd)
{
    REQUIRE_PEERS(peers);
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    EXPECT_EQ(ConnMgrHeldConnections(), 1);
    m_manager->Close(socket);
    ASSERT_TRUE(m_owner->WaitFor(L"Close"));
    for (int i = 0; i < 100 && ConnMgrHeldConnections() > 0; ++i)
        Sleep(10);
    EXPECT_EQ(ConnMgrHeldConnections(), 0);
}

TEST_F(DataConnectionTest, LostNetworkClosesWithItsStatus)
{
    REQUIRE_PEERS(peers);
    Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    ConnMgrSimulateNetwork(false);
    ASSERT_TRUE(m_owner->WaitFor(L"Close"));
    SocketEvent close = m_owner->First(L"Close");
    EXPECT_EQ(close.kind, SocketEvent::kUnsignedLong);
    EXPECT_EQ(close.value, static_cast<long long>(CONNMGR_STATUS_DISCONNECTED));
}

TEST_F(DataConnectionTest, UnreadableStatusClosesWithTheFailure)
{
    REQUIRE_PEERS(peers);
    Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    ConnMgrSimulateStatusFailure(true);
    ASSERT_TRUE(m_owner->WaitFor(L"Close"));
    SocketEvent close = m_owner->First(L"Close");
    EXPECT_EQ(close.kind, SocketEvent::kLong);
    EXPECT_EQ(close.value, static_cast<long long>(E_FAIL));
}

TEST_F(DataConnectionTest, NoDataConnectionStillConnects)
{
    REQUIRE_PEERS(peers);
    {
        SCOPED_TRACE("no network to bring up");
        ConnMgrSimulateNetwork(false);
        CJOVSocket* socket = Open(Direct(peers->Port("echo")));
        ASSERT_TRUE(Connected());
        EXPECT_EQ(ConnMgrHeldConnections(), 0);
        Send(socket, "ok");
        EXPECT_TRUE(m_owner->WaitForBytes(2));
        ConnMgrSimulateNetwork(true);
    }
    {
        SCOPED_TRACE("Connection Manager not ready within its wait");
        Build(FastTimings(), SocketIo::Platform());
        ConnMgrSimulateApiReady(false);
        auto start = std::chrono::steady_clock::now();
        Open(Direct(peers->Port("echo")));
        ASSERT_TRUE(Connected());
        EXPECT_GE(ElapsedMs(start), static_cast<long long>(FastTimings().apiReadyWaitMs) - 20);
        EXPECT_EQ(ConnMgrHeldConnections(), 0);
    }
}

// The device's own timings, in real time.
class RealTimeTest : public DataConnectionTest {};

TEST_F(RealTimeTest, DefaultPollsAndCloseWait)
{
    REQUIRE_PEERS(peers);
    Build(SocketTimings(), SocketIo::Platform());
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    Sleep(700);  // the line goes idle: 500 ms polls
    auto start = std::chrono::steady_clock::now();
    Send(socket, "idle line");
    ASSERT_TRUE(m_owner->WaitForBytes(9));
    long long roundTrip = ElapsedMs(start);
    EXPECT_LE(roundTrip, 800) << "outgoing data waits at most one idle poll";

    start = std::chrono::steady_clock::now();
    m_manager->Close(socket);
    long long closeTook = ElapsedMs(start);
    EXPECT_LE(closeTook, 800) << "Close waits 600 ms at most for a worker that polls";
    ASSERT_TRUE(m_owner->WaitFor(L"Close"));
    EXPECT_EQ(m_owner->First(L"Close").kind, SocketEvent::kNone);
}

TEST_F(RealTimeTest, QueuedDataAndCloseDoNotWaitForThePoll)
{
    REQUIRE_PEERS(peers);
    SocketTimings slowPolls;
    slowPolls.busyPollMs = 5000;
    slowPolls.idlePollMs = 5000;
    Build(slowPolls, SocketIo::Platform());
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    Sleep(300);  // the worker waits in its select
    auto start = std::chrono::steady_clock::now();
    Send(socket, "at once");
    ASSERT_TRUE(m_owner->WaitForBytes(7));
    EXPECT_LE(ElapsedMs(start), 2000) << "a message must not wait for the end of a poll";

    Sleep(300);
    start = std::chrono::steady_clock::now();
    m_manager->Close(socket);
    ASSERT_TRUE(m_owner->WaitFor(L"Close"));
    EXPECT_LE(ElapsedMs(start), 2000);
    EXPECT_EQ(m_owner->First(L"Close").kind, SocketEvent::kNone);
}

TEST_F(RealTimeTest, EveryMessageOfAnExchangeIsWrittenAtOnce)
{
    REQUIRE_PEERS(peers);
    SocketTimings slowPolls;
    slowPolls.busyPollMs = 5000;
    slowPolls.idlePollMs = 5000;
    Build(slowPolls, SocketIo::Platform());
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    // Each message follows the echo of the last, sent while the worker may
    // still be handing that echo over rather than waiting in its select.
    auto start = std::chrono::steady_clock::now();
    for (size_t round = 1; round <= 20; ++round) {
        Send(socket, "ping");
        ASSERT_TRUE(m_owner->WaitForBytes(4 * round, 4000)) << "round " << round;
    }
    EXPECT_LE(ElapsedMs(start), 4000) << "no message may wait for the end of a poll";
}

TEST_F(RealTimeTest, ConnectionManagerIsAwaitedTenSeconds)
{
    REQUIRE_PEERS(peers);
    Build(SocketTimings(), SocketIo::Platform());
    ConnMgrSimulateApiReady(false);
    auto start = std::chrono::steady_clock::now();
    Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(m_owner->WaitFor(L"Connect", 1, 15000));
    EXPECT_GE(ElapsedMs(start), 9900);
}
