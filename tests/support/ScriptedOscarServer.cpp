#include "ScriptedOscarServer.h"

#include <ws2tcpip.h>

#include <chrono>
#include <cstdio>

#include "LoopbackListener.h"

using OscarWire::Bytes;
using OscarWire::Frame;

namespace {

typedef std::chrono::steady_clock Clock;

// Waits until the socket is readable or the deadline passes.
bool WaitReadable(SOCKET socket, Clock::time_point deadline)
{
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0)
            left = 0;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket, &readable);
        timeval wait;
        wait.tv_sec = static_cast<long>(left / 1000);
        wait.tv_usec = static_cast<long>((left % 1000) * 1000);
        int ready = select(0, &readable, nullptr, nullptr, &wait);
        if (ready > 0)
            return true;
        if (ready < 0 || left == 0)
            return false;
    }
}

} // namespace

CScriptedOscarServer::CScriptedOscarServer(int stepTimeoutMs)
    : m_stepTimeoutMs(stepTimeoutMs), m_listener(INVALID_SOCKET), m_client(INVALID_SOCKET), m_port(0),
      m_serverSequence(0), m_haveClientSequence(false), m_clientSequence(0), m_finished(false),
      m_succeeded(false)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_listener = ListenOnLoopback(m_port);
}

CScriptedOscarServer::~CScriptedOscarServer()
{
    // Every wait of the script is bounded by the step timeout, so the thread ends.
    if (m_thread.joinable())
        m_thread.join();
    CloseClient();
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
    WSACleanup();
}

CScriptedOscarServer& CScriptedOscarServer::Accept()
{
    m_steps.push_back({Step::kAccept, "accept a connection", nullptr, Bytes(), nullptr});
    return *this;
}

CScriptedOscarServer& CScriptedOscarServer::Send(const Frame& frame)
{
    return Send([frame] { return frame; });
}

CScriptedOscarServer& CScriptedOscarServer::Send(FrameMaker make)
{
    m_steps.push_back({Step::kSend, "send a frame", make, Bytes(), nullptr});
    return *this;
}

CScriptedOscarServer& CScriptedOscarServer::SendRaw(const Bytes& bytes)
{
    m_steps.push_back({Step::kSendRaw, "send raw bytes", nullptr, bytes, nullptr});
    return *this;
}

CScriptedOscarServer& CScriptedOscarServer::Expect(const std::string& what, FrameCheck check)
{
    m_steps.push_back({Step::kExpect, what, nullptr, Bytes(), check});
    return *this;
}

CScriptedOscarServer& CScriptedOscarServer::ExpectSnac(unsigned int family, unsigned int subtype, SnacCheck check)
{
    char what[32];
    std::snprintf(what, sizeof(what), "SNAC %02X/%02X", family, subtype);
    return Expect(what, [family, subtype, check](const Frame& frame, std::string& why) {
        if (!frame.IsSnac(family, subtype)) {
            why = "another frame came";
            return false;
        }
        return !check || check(frame.GetSnac(), why);
    });
}

CScriptedOscarServer& CScriptedOscarServer::ExpectClosed()
{
    m_steps.push_back({Step::kExpectClosed, "the client closes", nullptr, Bytes(), nullptr});
    return *this;
}

CScriptedOscarServer& CScriptedOscarServer::Close()
{
    m_steps.push_back({Step::kClose, "close", nullptr, Bytes(), nullptr});
    return *this;
}

CScriptedOscarServer& CScriptedOscarServer::Ignore(std::function<bool(const Frame&)> match)
{
    m_ignored.push_back(match);
    return *this;
}

void CScriptedOscarServer::Start()
{
    m_thread = std::thread([this] { Run(); });
}

bool CScriptedOscarServer::Wait(int timeoutMs)
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_done.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return m_finished; });
    return m_finished && m_succeeded;
}

std::vector<std::string> CScriptedOscarServer::Failures() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_failures;
}

std::string CScriptedOscarServer::Report() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    std::string report;
    for (const std::string& failure : m_failures)
        report += failure + "\n";
    report += "received:";
    for (const Frame& frame : m_received)
        report += "\n  " + frame.Describe();
    return report;
}

std::vector<Frame> CScriptedOscarServer::Received() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_received;
}

void CScriptedOscarServer::Run()
{
    bool ok = m_listener != INVALID_SOCKET;
    if (!ok)
        Fail("the server could not listen");
    for (size_t i = 0; ok && i < m_steps.size(); ++i)
        ok = RunStep(m_steps[i]);
    CloseClient();
    std::lock_guard<std::mutex> hold(m_lock);
    m_finished = true;
    m_succeeded = ok && m_failures.empty();
    m_done.notify_all();
}

bool CScriptedOscarServer::RunStep(const Step& step)
{
    switch (step.kind) {
    case Step::kAccept: {
        if (!WaitReadable(m_listener, Clock::now() + std::chrono::milliseconds(m_stepTimeoutMs))) {
            Fail("no client connected");
            return false;
        }
        CloseClient();
        m_client = accept(m_listener, nullptr, nullptr);
        if (m_client != INVALID_SOCKET) {
            // Each frame goes out as it is sent, as a server does: the client's
            // timing is under test, not the server's coalescing.
            BOOL noDelay = TRUE;
            setsockopt(m_client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof(noDelay));
        }
        m_serverSequence = 0x1000;
        m_haveClientSequence = false;
        if (m_client == INVALID_SOCKET)
            Fail("accept failed");
        return m_client != INVALID_SOCKET;
    }
    case Step::kSend: {
        Frame frame = step.make();
        m_serverSequence = (m_serverSequence + 1) & 0xFFFF;
        return SendBytes(OscarWire::FlapBytes(frame.channel, m_serverSequence, frame.payload));
    }
    case Step::kSendRaw:
        return SendBytes(step.raw);
    case Step::kExpect:
        for (;;) {
            Frame frame;
            bool closed = false;
            if (!ReceiveFrame(frame, closed)) {
                Fail("expected " + step.what + ": " + (closed ? "the client closed" : "nothing came in time"));
                return false;
            }
            bool ignored = false;
            for (const auto& match : m_ignored)
                ignored = ignored || match(frame);
            if (ignored)
                continue;
            std::string why;
            if (!step.check(frame, why)) {
                Fail("expected " + step.what + ", got " + frame.Describe() + (why.empty() ? "" : ": " + why));
                return false;
            }
            return true;
        }
    case Step::kExpectClosed:
        for (;;) {
            Frame frame;
            bool closed = false;
            if (ReceiveFrame(frame, closed)) {
                bool ignored = false;
                for (const auto& match : m_ignored)
                    ignored = ignored || match(frame);
                if (ignored)
                    continue;
                Fail("expected the client to close, got " + frame.Describe());
                return false;
            }
            if (!closed)
                Fail("the client did not close in time");
            return closed;
        }
    case Step::kClose:
        CloseClient();
        return true;
    }
    return false;
}

bool CScriptedOscarServer::ReceiveBytes(unsigned char* into, int n, bool& closed)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(m_stepTimeoutMs);
    int got = 0;
    while (got < n) {
        if (m_client == INVALID_SOCKET || !WaitReadable(m_client, deadline))
            return false;
        int read = recv(m_client, reinterpret_cast<char*>(into + got), n - got, 0);
        if (read <= 0) {
            closed = true;
            return false;
        }
        got += read;
    }
    return true;
}

bool CScriptedOscarServer::ReceiveFrame(Frame& frame, bool& closed)
{
    unsigned char header[6];
    if (!ReceiveBytes(header, 6, closed))
        return false;
    if (header[0] != 0x2A) {
        Fail("a client frame does not start with 0x2A");
        return false;
    }
    frame.channel = header[1];
    frame.sequence = (header[2] << 8) | header[3];
    frame.payload.assign((header[4] << 8) | header[5], 0);
    if (!frame.payload.empty() && !ReceiveBytes(frame.payload.data(), static_cast<int>(frame.payload.size()), closed))
        return false;
    if (m_haveClientSequence) {
        unsigned int expected = m_clientSequence == 0x8000 ? 0 : m_clientSequence + 1;
        if (frame.sequence != expected)
            Fail("client sequence " + std::to_string(frame.sequence) + " after " + std::to_string(m_clientSequence));
    }
    m_haveClientSequence = true;
    m_clientSequence = frame.sequence;
    std::lock_guard<std::mutex> hold(m_lock);
    m_received.push_back(frame);
    return true;
}

bool CScriptedOscarServer::SendBytes(const Bytes& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        int n = send(m_client, reinterpret_cast<const char*>(bytes.data() + sent),
                     static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) {
            Fail("sending to the client failed");
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

void CScriptedOscarServer::CloseClient()
{
    if (m_client != INVALID_SOCKET) {
        closesocket(m_client);
        m_client = INVALID_SOCKET;
    }
}

void CScriptedOscarServer::Fail(const std::string& why)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_failures.push_back(why);
}
