// The sockets manager as the accounts use it: the socket set, reading the
// buffer, the proxy record, options, and a socket's life from creation to
// destruction.
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "SecureSocket.h"
#include "common/TestGate.h"
#include "sockets/SocketsFixture.h"

using namespace JOVSockets;

namespace {

// A worker stopped in its select until the test lets it go; then it tries
// Winsock (a new socket) and goes on.
struct HeldWorker {
    CTestGate reached;
    CTestGate release;
    CTestGate tried;
    std::atomic<int> socketError{-1};  // 0 when the new socket was made
};
std::atomic<HeldWorker*> g_holding{nullptr};

int HoldingSelect(int n, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, timeval* timeout)
{
    if (HeldWorker* held = g_holding.exchange(nullptr)) {
        held->reached.Open();
        held->release.Wait();
        SOCKET probe = ::socket(AF_INET, SOCK_STREAM, 0);
        held->socketError = probe == INVALID_SOCKET ? WSAGetLastError() : 0;
        if (probe != INVALID_SOCKET)
            ::closesocket(probe);
        held->tried.Open();
    }
    return SecureSockets::select(n, readSet, writeSet, exceptSet, timeout);
}

} // namespace

class SocketsManagerTest : public SocketsTest {};

TEST_F(SocketsManagerTest, ForeignSocketsAreAnsweredWithoutBeingTouched)
{
    CJOVSocket* socket = m_manager->CreateSocket(m_ownerId);
    ASSERT_NE(socket, nullptr);
    EXPECT_TRUE(m_manager->IsValidSocket(socket));
    EXPECT_EQ(m_manager->DestroySocket(socket), 0);

    // The destroyed socket is foreign now, and so is a pointer never handed out.
    CJOVSocket* never = reinterpret_cast<CJOVSocket*>(static_cast<uintptr_t>(0x1234));
    for (CJOVSocket* foreign : {socket, never, static_cast<CJOVSocket*>(nullptr)}) {
        char buffer[4];
        SocketParams params = Direct(1);
        EXPECT_FALSE(m_manager->IsValidSocket(foreign));
        EXPECT_EQ(m_manager->DestroySocket(foreign), kForeignSocket);
        EXPECT_EQ(m_manager->Connect(foreign, &params), kForeignSocket);
        EXPECT_EQ(m_manager->Send(foreign, "x", 1), kForeignSocket);
        EXPECT_EQ(m_manager->Read(foreign, buffer, sizeof buffer), kForeignSocket);
        EXPECT_EQ(m_manager->SetKeepAlive(foreign, 1), kForeignSocket);
        EXPECT_EQ(m_manager->GetBufferedLength(foreign), 0);
        EXPECT_EQ(m_manager->GetReceiveBufferSize(foreign), 0);
        m_manager->Close(foreign);
    }
}

TEST_F(SocketsManagerTest, SocketNeverConnectedClosesQuietly)
{
    CJOVSocket* socket = m_manager->CreateSocket(m_ownerId);
    m_manager->Close(socket);
    m_manager->Close(socket);
    EXPECT_EQ(m_manager->SetKeepAlive(socket, 1), -1);
    EXPECT_EQ(m_manager->GetReceiveBufferSize(socket), 0);
    EXPECT_EQ(m_manager->GetBufferedLength(socket), 0);
    EXPECT_EQ(m_manager->DestroySocket(socket), 0);
    Sleep(100);
    EXPECT_TRUE(m_owner->Events().empty());
}

TEST_F(SocketsManagerTest, ReadTakesFromTheFrontAndKeepsTheRestInOrder)
{
    REQUIRE_PEERS(peers);
    m_owner->SetReadOnReceive(false);
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    Send(socket, "abcdef");
    for (int i = 0; i < 100 && m_manager->GetBufferedLength(socket) < 6; ++i)
        Sleep(10);
    ASSERT_EQ(m_manager->GetBufferedLength(socket), 6);

    char buffer[16] = {};
    EXPECT_EQ(m_manager->Read(socket, buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    EXPECT_EQ(m_manager->GetBufferedLength(socket), 3);
    EXPECT_EQ(m_manager->Read(socket, buffer, sizeof buffer), 3);
    EXPECT_EQ(std::string(buffer, 3), "def");
    EXPECT_EQ(m_manager->Read(socket, buffer, sizeof buffer), 0);
}

TEST_F(SocketsManagerTest, ProxyRecordIsCopiedInAndOut)
{
    SocketParams fresh;
    EXPECT_EQ(fresh.port, 0);
    EXPECT_EQ(fresh.proxyType, 0);
    EXPECT_EQ(fresh.proxyPort, 0);
    EXPECT_FALSE(fresh.proxyAuth);
    EXPECT_EQ(fresh.sslMode, 0);

    // Without a settings store the manager starts with no proxy at all.
    SocketParams loaded = m_manager->GetProxySettings();
    EXPECT_EQ(loaded.proxyType, kProxyNone);
    EXPECT_EQ(loaded.proxyPort, 0);
    EXPECT_EQ(loaded.proxyHost.GetLength(), 0);

    SocketParams set = Through(kProxySocks5, 1080, 5190);
    WithLogin(set, L"user", L"secret");
    m_manager->SetProxySettings(set);
    SocketParams copy = m_manager->GetProxySettings();
    copy.proxyHost = CJOVString(L"changed by the caller");
    copy.proxyPort = 1;
    SocketParams again = m_manager->GetProxySettings();
    EXPECT_EQ(again.proxyType, kProxySocks5);
    EXPECT_EQ(again.proxyPort, 1080);
    EXPECT_TRUE(again.proxyHost == CJOVString(L"127.0.0.1"));
    EXPECT_TRUE(again.proxyLogin == CJOVString(L"user"));
    EXPECT_TRUE(again.proxyPassword == CJOVString(L"secret"));
}

TEST_F(SocketsManagerTest, OptionsOfAConnectedSocket)
{
    REQUIRE_PEERS(peers);
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    EXPECT_EQ(m_manager->SetKeepAlive(socket, 1), 0);
    EXPECT_GT(m_manager->GetReceiveBufferSize(socket), 0);
}

TEST_F(SocketsManagerTest, EndedSocketConnectsAgainButNotWhileItsWorkerRuns)
{
    REQUIRE_PEERS(peers);
    CJOVSocket* socket = Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    SocketParams params = Direct(peers->Port("echo"));
    EXPECT_EQ(m_manager->Connect(socket, &params), WSAEISCONN);

    m_manager->Close(socket);
    ASSERT_TRUE(m_owner->WaitFor(L"Close"));
    for (int i = 0; i < 100 && CJOVSocket::RunningWorkers() > 0; ++i)
        Sleep(10);
    ASSERT_EQ(m_manager->Connect(socket, &params), 0);
    ASSERT_TRUE(m_owner->WaitFor(L"Connect", 2));
    Send(socket, "again");
    EXPECT_TRUE(m_owner->WaitForBytes(5));
    EXPECT_EQ(m_owner->Received(), "again");
}

TEST_F(SocketsManagerTest, DestroyedSocketIsNotConfusedWithANewOne)
{
    // An owner that destroys a socket and creates the next one at once must
    // not take the old socket's late events for the new one's: the pointer
    // stays taken until they are delivered.
    REQUIRE_PEERS(peers);
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    CJOVSocket* blocker = Open(Direct(peers->Port("echo")));
    m_owner->SetReceiveHook([&](CJOVSocket* socket, int) {
        if (socket != blocker)
            return;
        std::unique_lock<std::mutex> lock(mutex);
        released.wait(lock, [&] { return open; });
    });
    ASSERT_TRUE(Connected());
    Send(blocker, "x");  // its "Receive" now holds the owner's queue
    for (int i = 0; i < 100 && m_owner->Count(L"Receive") == 0 && m_manager->GetBufferedLength(blocker) == 0; ++i)
        Sleep(10);

    CJOVSocket* old = Open(Direct(peers->Port("silent")));
    Sleep(100);
    m_manager->Close(old);
    EXPECT_EQ(m_manager->DestroySocket(old), 0);
    CJOVSocket* next = m_manager->CreateSocket(m_ownerId);
    EXPECT_NE(next, old);

    {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
    }
    released.notify_all();
    ASSERT_TRUE(m_owner->WaitFor(L"Close"));
    SocketEvent close = m_owner->First(L"Close");
    EXPECT_EQ(close.socket, old);
    EXPECT_FALSE(m_manager->IsValidSocket(close.socket));
}

TEST_F(SocketsManagerTest, AWorkerHeldPastTheCloseWaitStillHasWinsockAfterTheManagerWent)
{
    REQUIRE_PEERS(peers);
    SocketTimings timings = FastTimings();
    timings.closeWaitMs = 50;
    SocketIo io = SocketIo::Platform();
    io.select = &HoldingSelect;
    Build(timings, io);
    Open(Direct(peers->Port("echo")));
    ASSERT_TRUE(Connected());
    HeldWorker held;
    g_holding = &held;
    const bool reached = held.reached.Wait();
    g_holding = nullptr;
    ASSERT_TRUE(reached);

    Dismantle();  // the close wait runs out while the worker is held
    held.release.Open();
    ASSERT_TRUE(held.tried.Wait());
    EXPECT_EQ(held.socketError, 0) << "Winsock was cleaned up under a worker still running";
}
