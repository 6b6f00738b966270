#include "langrun/IcqSession.h"

#include <windows.h>

#include <vector>

namespace {

const int kStepTimeoutMs = 60000;
enum Phase { kLoggingIn, kAwaitingReady, kOnline };

OscarWire::Bytes GroupMembers(std::vector<unsigned int> ids)
{
    OscarWire::Builder members;
    for (unsigned int id : ids)
        members.U16(id);
    return OscarWire::Builder().Tlv(0x00C8, members.Get()).Get();
}

OscarWire::SsiItem Buddy(const char* uin, unsigned int group, unsigned int item, const char* nick)
{
    return {uin, group, item, 0, OscarWire::Builder().Tlv(0x0131, std::string(nick)).Get()};
}

} // namespace

CIcqSession::CIcqSession() : m_login(kStepTimeoutMs), m_bos(kStepTimeoutMs)
{
    // Once online, the program's further requests are not looked at.
    m_bos.Ignore([this](const OscarWire::Frame& frame) {
        return (m_phase == kAwaitingReady && !frame.IsSnac(0x01, 0x02)) || m_phase == kOnline;
    });
    const OscarWire::Bytes cookie(64, 0x5A);
    m_login.Accept()
        .Send(OscarWire::Hello())
        .Expect("version", [](const OscarWire::Frame& frame, std::string&) { return frame.channel == 1; })
        .ExpectSnac(0x17, 0x06)
        .Send(OscarWire::AuthKeyResponse("0987654321"))
        .ExpectSnac(0x17, 0x02)
        .Send(OscarWire::LoginReply("123456", "127.0.0.1:" + std::to_string(m_bos.GetPort()), cookie))
        .ExpectClosed();
    m_bos.Accept()
        .Send(OscarWire::Hello())
        .Expect("cookie", [](const OscarWire::Frame& frame, std::string&) { return frame.channel == 1; })
        .Send(OscarWire::Families({0x01, 0x02, 0x03, 0x04, 0x13, 0x15}))
        .ExpectSnac(0x01, 0x17)
        .Send(OscarWire::FamilyVersions({{0x01, 4}, {0x13, 4}}))
        .ExpectSnac(0x01, 0x06)
        .Send(OscarWire::RateInfo(3, 0))
        .ExpectSnac(0x01, 0x08)
        .ExpectSnac(0x13, 0x02)
        .ExpectSnac(0x02, 0x02)
        .ExpectSnac(0x03, 0x02)
        .ExpectSnac(0x04, 0x04)
        .ExpectSnac(0x09, 0x02)
        .Send(OscarWire::SnacFrame(0x02, 0x03, {}))
        .ExpectSnac(0x02, 0x04)
        .Send(OscarWire::SnacFrame(0x13, 0x03, {}))
        .ExpectSnac(0x13, 0x04)
        .Send([this] {
            m_phase = kAwaitingReady;
            return OscarWire::SsiReply({{"", 0, 0, 1, GroupMembers({1})},
                                        {"Friends", 1, 0, 1, GroupMembers({1, 2, 3})},
                                        Buddy("111111", 1, 1, "Alice"),
                                        Buddy("222222", 1, 2, "Bob"),
                                        Buddy("333333", 1, 3, "Carol")},
                                       1234);
        })
        .ExpectSnac(0x01, 0x02)
        .Send([this] {
            m_phase = kOnline;
            OscarWire::Builder body;
            body.U8(6).Text("123456").U16(0).U16(1).Tlv32(0x0006, 0x10000000);
            return OscarWire::SnacFrame(0x01, 0x0F, body);
        })
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
