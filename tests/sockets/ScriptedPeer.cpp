#include "sockets/ScriptedPeer.h"

#include <windows.h>

#include "support/LoopbackListener.h"

CScriptedPeer::CScriptedPeer() : m_listener(INVALID_SOCKET), m_port(0)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_listener = ListenOnLoopback(m_port, 1);
}

CScriptedPeer::~CScriptedPeer()
{
    if (m_listener != INVALID_SOCKET)
        ::closesocket(m_listener);  // ends an accept that nobody answered
    if (m_thread.joinable())
        m_thread.join();
    WSACleanup();
}

CScriptedPeer& CScriptedPeer::Expect(const std::string& bytes)
{
    m_steps.push_back(Step{Step::kExpect, bytes, bytes.size()});
    return *this;
}

CScriptedPeer& CScriptedPeer::Skip(size_t count)
{
    m_steps.push_back(Step{Step::kSkip, std::string(), count});
    return *this;
}

CScriptedPeer& CScriptedPeer::Send(const std::string& bytes)
{
    m_steps.push_back(Step{Step::kSend, bytes, bytes.size()});
    return *this;
}

CScriptedPeer& CScriptedPeer::Pause(int ms)
{
    m_steps.push_back(Step{Step::kPause, std::string(), static_cast<size_t>(ms)});
    return *this;
}

CScriptedPeer& CScriptedPeer::Echo()
{
    m_steps.push_back(Step{Step::kEcho, std::string(), 0});
    return *this;
}

CScriptedPeer& CScriptedPeer::Close()
{
    m_steps.push_back(Step{Step::kClose, std::string(), 0});
    return *this;
}

void CScriptedPeer::Start()
{
    m_thread = std::thread(&CScriptedPeer::Run, this);
}

std::string CScriptedPeer::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_failure;
}

bool CScriptedPeer::ReadExactly(SOCKET s, size_t count, std::string& out)
{
    out.clear();
    char chunk[4096];
    while (out.size() < count) {
        int want = static_cast<int>(count - out.size() < sizeof chunk ? count - out.size() : sizeof chunk);
        int n = ::recv(s, chunk, want, 0);
        if (n <= 0)
            return false;
        out.append(chunk, static_cast<size_t>(n));
    }
    return true;
}

namespace {

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

} // namespace

void CScriptedPeer::Run()
{
    SOCKET s = ::accept(m_listener, nullptr, nullptr);
    if (s == INVALID_SOCKET) {
        m_failure = "nobody connected";
        return;
    }
    DWORD timeout = 5000;  // a script never hangs the test
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    for (size_t i = 0; i < m_steps.size() && m_failure.empty(); ++i) {
        const Step& step = m_steps[i];
        std::string got;
        switch (step.kind) {
        case Step::kExpect:
            if (!ReadExactly(s, step.count, got) || got != step.bytes)
                m_failure = "step " + std::to_string(i) + ": expected " + Hex(step.bytes) + ", got " + Hex(got);
            break;
        case Step::kSkip:
            if (!ReadExactly(s, step.count, got))
                m_failure = "step " + std::to_string(i) + ": ended after " + std::to_string(got.size()) + " bytes";
            break;
        case Step::kSend:
            if (::send(s, step.bytes.data(), static_cast<int>(step.bytes.size()), 0) !=
                static_cast<int>(step.bytes.size()))
                m_failure = "step " + std::to_string(i) + ": send failed";
            break;
        case Step::kPause:
            Sleep(static_cast<DWORD>(step.count));
            break;
        case Step::kEcho: {
            char chunk[4096];
            for (int n; (n = ::recv(s, chunk, sizeof chunk, 0)) > 0;)
                ::send(s, chunk, n, 0);
            break;
        }
        case Step::kClose:
            ::shutdown(s, SD_BOTH);
            break;
        }
    }
    ::closesocket(s);
}
