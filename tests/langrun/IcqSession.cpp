#include "langrun/IcqSession.h"

#include <windows.h>

#include <vector>

#include "OscarLogin.h"

namespace {

const int kStepTimeoutMs = 60000;

} // namespace

CIcqSession::CIcqSession() : m_login(kStepTimeoutMs), m_bos(kStepTimeoutMs)
{
    // Once online, the program's further requests are not looked at.
    m_bos.Ignore([this](const OscarWire::Frame&) { return m_online.load(); });
    ScriptIcqLogin(m_login, m_bos.GetPort());
    ScriptIcqBosToOnline(m_bos,
                         {OscarWire::SsiGroup("", 0, {1}), OscarWire::SsiGroup("Friends", 1, {1, 2, 3}),
                          OscarWire::SsiBuddy("111111", 1, 1, "Alice"), OscarWire::SsiBuddy("222222", 1, 2, "Bob"),
                          OscarWire::SsiBuddy("333333", 1, 3, "Carol")},
                         m_online)
        .Send([this] {
            m_carolShown = true;
            return OscarWire::UserOnline("333333", {{0x0006, OscarWire::Builder().U32(0x10000000).Get()}});
        })
        .Send([this] {
            for (DWORD start = GetTickCount(); !m_messageWanted && GetTickCount() - start < kStepTimeoutMs;)
                Sleep(20);
            return OscarWire::MessageChannel1(1, 1, "333333", kCarolsMessage);
        })
        .ExpectClosed();
}

void CIcqSession::Start()
{
    m_login.Start();
    m_bos.Start();
}

bool CIcqSession::WaitForCarol(unsigned long ms) const
{
    for (DWORD start = GetTickCount(); !m_carolShown; Sleep(50)) {
        if (GetTickCount() - start > ms)
            return false;
    }
    return true;
}

bool CIcqSession::Wait()
{
    return m_login.Wait(kStepTimeoutMs) && m_bos.Wait(kStepTimeoutMs);
}

std::string CIcqSession::Report() const
{
    return m_login.Report() + m_bos.Report();
}
