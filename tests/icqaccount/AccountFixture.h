// Each test gets a bus with a fake sockets service, a recording host (the
// protocols manager's place) and one account with fast timings.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "EventArgData.h"
#include "ICQProtocol.h"
#include "ServiceIds.h"
#include "common/RecordingClient.h"
#include "core/bus/ServicesManagerImpl.h"
#include "support/FakeSettings.h"
#include "support/WaitUntil.h"
#include "icqaccount/FakeSockets.h"

class AccountTest : public ::testing::Test {
protected:
    static constexpr unsigned int kAccountId = 7;

    static ICQTimings FastTimings()
    {
        ICQTimings timings;
        timings.reconnectDelayMs = 50;
        timings.keepAliveIntervalMs = 30;
        return timings;
    }

    void SetUp() override
    {
        m_serviceId = m_bus->RegisterService(GUID_SocketsManager, &m_sockets);
        m_hostId = m_bus->RegisterEventsClient(&m_host, CJOVString(L"host"));
        m_settings.Set(L"Account name", L"123456");
        m_settings.SetPassword("secret");
        m_settings.Set(L"Server name", L"127.0.0.1");
        m_settings.SetWord(L"Server port", 5190);
        m_settings.SetByte(L"Load cl", 0);
        MakeAccount(FastTimings());
    }

    void MakeAccount(const ICQTimings& timings)
    {
        m_account.reset();
        m_account = std::make_unique<CICQProtocol>(m_bus.get(), kAccountId, m_hostId, &m_settings, timings);
        ASSERT_NE(m_account->GetClientId(), 0u);
    }

    void TearDown() override
    {
        m_account.reset();
        m_bus->UnregisterEventsClient(m_hostId);
        m_bus->UnregisterService(m_serviceId);
        m_bus.reset();
    }

    int Manager(const wchar_t* name, CEventArg* arg1 = nullptr, CEventArg* arg2 = nullptr)
    {
        return m_bus->SendEventToClient(m_account->GetClientId(), GUID_ProtocolsManager, CJOVString(name), arg1,
                                        arg2, true);
    }
    int SetStatus(Protocols::Status status)
    {
        return Manager(L"Set status", new CEventArg_Data<Protocols::Status>(status));
    }
    int SocketEvent(const wchar_t* name, CEventArg* arg2 = nullptr, JOVSockets::CJOVSocket* socket = nullptr)
    {
        auto* arg1 = new CEventArg_Data<JOVSockets::CJOVSocket*>(socket ? socket : m_sockets.Current());
        return m_bus->SendEventToClient(m_account->GetClientId(), GUID_SocketsManager, CJOVString(name), arg1,
                                        arg2, true);
    }
    // Bytes arrive from the server: buffered, then announced.
    void Deliver(const OscarWire::Bytes& bytes)
    {
        m_sockets.Buffer(bytes);
        SocketEvent(L"Receive", new CEventArg_Data<int>(static_cast<int>(bytes.size())));
    }
    void Deliver(const OscarWire::Frame& frame)
    {
        Deliver(OscarWire::FlapBytes(frame.channel, m_serverSequence++, frame.payload));
    }

    int Count(const wchar_t* name)
    {
        int n = 0;
        for (const auto& delivery : m_host.Deliveries())
            n += delivery.name == name ? 1 : 0;
        return n;
    }
    bool SentSnac(unsigned int family, unsigned int subtype)
    {
        for (const auto& frame : m_sockets.Sent()) {
            if (frame.IsSnac(family, subtype))
                return true;
        }
        return false;
    }

    // Through the login server up to the BOS server's greeting.
    void LoginToBos()
    {
        size_t connects = m_sockets.Connects().size();
        ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
        ASSERT_EQ(m_account->GetStatus(), Protocols::StatusConnecting);
        SocketEvent(L"Connect");
        Deliver(OscarWire::Hello());
        Deliver(OscarWire::AuthKeyResponse("1234567890"));
        Deliver(OscarWire::LoginReply("123456", "127.0.0.1:5191", OscarWire::Bytes(256, 0x42)));
        ASSERT_TRUE(WaitUntil([&] { return m_sockets.Connects().size() == connects + 2; }));
        SocketEvent(L"Connect");
        Deliver(OscarWire::Hello());
    }

    // Negotiation on the BOS server up to the login steps.
    void NegotiateServices()
    {
        Deliver(OscarWire::Families({0x01, 0x02, 0x03, 0x04, 0x13, 0x15}));
        Deliver(OscarWire::FamilyVersions({{0x01, 4}, {0x13, 4}}));
        Deliver(OscarWire::RateInfo(2, 0));
        Deliver(OscarWire::SnacFrame(0x02, 0x03, {}));
        Deliver(OscarWire::SnacFrame(0x13, 0x03, {}));
    }

    static OscarWire::Frame OwnInfo(unsigned int statusWord) { return OscarWire::OwnInfo("123456", statusWord); }

    void LoginToOnline()
    {
        LoginToBos();
        NegotiateServices();
        Deliver(OwnInfo(0x0000));
        ASSERT_EQ(m_account->GetStatus(), Protocols::StatusOnline);
    }

    // Online with a list: group 1 "Friends" {111, 222}, the privacy item,
    // 222 visible, 333 invisible, group 2 "Other" {333}.
    void LoginWithRoster(unsigned char privacyMode)
    {
        m_settings.SetByte(L"Load cl", 1);
        m_settings.SetByte(L"Auto-switch privacy status", 0);
        LoginToBos();
        NegotiateServices();
        ASSERT_TRUE(SentSnac(0x13, 0x04));
        OscarWire::Bytes privacy = OscarWire::Builder().Tlv(0x00CA, OscarWire::Bytes{privacyMode}).Get();
        Deliver(OscarWire::SsiReply({{"Friends", 1, 0, 1, {}}, {"111", 1, 10, 0, {}}, {"222", 1, 11, 0, {}}}, 0,
                                    true));
        Deliver(OscarWire::SsiReply({{"", 0, 12, 4, privacy}, {"222", 0, 13, 2, {}}, {"333", 0, 14, 3, {}},
                                     {"Other", 2, 0, 1, {}}, {"333", 2, 15, 0, {}}},
                                    777));
        Deliver(OwnInfo(0x0000));
        ASSERT_EQ(m_account->GetStatus(), Protocols::StatusOnline);
        m_sockets.ClearSent();
    }

    std::unique_ptr<Services::CServicesManagerImpl> m_bus = std::make_unique<Services::CServicesManagerImpl>();
    CFakeOscarSockets m_sockets;
    CFakeSettings m_settings;
    CRecordingClient m_host;
    unsigned int m_serviceId = 0;
    unsigned int m_hostId = 0;
    unsigned int m_serverSequence = 100;
    std::unique_ptr<CICQProtocol> m_account;
};
