// Each test gets a bus with a fake sockets service, a recording host (the
// protocols manager's place) that keeps every status and warning posted, a
// fake skin manager, and one account with fast timings.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "JabberImageTable.h"
#include "JabberProtocol.h"
#include "JabberStatusTable.h"
#include "PluginModule.h"
#include "ServiceIds.h"
#include "core/bus/ServicesManagerImpl.h"
#include "support/FakeSkinManager.h"
#include "support/FakeSettings.h"
#include "support/WaitUntil.h"
#include "support/FakeSockets.h"
#include "xmpp/AccountHost.h"

class JabberAccountTest : public ::testing::Test {
protected:
    static constexpr unsigned int kAccountId = 9;

    void SetUp() override
    {
        SetPluginSkinManager(&m_skins);
        m_serviceId = m_bus->RegisterService(GUID_SocketsManager, &m_sockets);
        m_hostId = m_bus->RegisterEventsClient(&m_host, CJOVString(L"host"));
        m_settings.Set(L"Account name", L"alice");
        m_settings.Set(L"Account server", L"localhost");
        m_settings.Set(L"Account password", L"alice-pw1");
        m_settings.SetByte(L"Manual connection settings", 1);
        m_settings.Set(L"Manual connection server", L"127.0.0.1");
        m_settings.SetDWord(L"Manual connection port", 5333);
        JabberTimings timings;
        timings.queueScanMs = 10;
        m_account = std::make_unique<CJabberProtocol>(m_bus.get(), kAccountId, m_hostId, &m_settings, timings);
        ASSERT_NE(m_account->GetClientId(), 0u);
    }

    void TearDown() override
    {
        m_account.reset();
        m_bus->UnregisterEventsClient(m_hostId);
        m_bus->UnregisterService(m_serviceId);
        m_bus.reset();
        ClearJabberStatusTable();
        ReleaseJabberImages(nullptr);
        SetPluginSkinManager(nullptr);
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
    void Deliver(const std::string& bytes, JOVSockets::CJOVSocket* socket = nullptr)
    {
        m_sockets.Buffer(CFakeSockets::Bytes(bytes.begin(), bytes.end()));
        SocketEvent(L"Receive", new CEventArg_Data<int>(static_cast<int>(bytes.size())), socket);
    }

    // Online up to the server's stream header: connected, header sent and read.
    void OpenStream()
    {
        ASSERT_EQ(SetStatus(Protocols::StatusOnline), 0);
        SocketEvent(L"Connect");
        Deliver("<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                "xmlns:stream='http://etherx.jabber.org/streams' id='s-17' from='localhost' version='1.0'>");
        m_sockets.ClearSent();
    }

    std::vector<std::string> Sent()
    {
        std::vector<std::string> sent;
        for (const auto& bytes : m_sockets.SentBytes())
            sent.emplace_back(bytes.begin(), bytes.end());
        return sent;
    }
    // The statuses posted so far; posted events need WaitUntil.
    std::vector<int> Statuses() { return m_host.Statuses(); }
    std::vector<std::wstring> Warnings() { return m_host.Warnings(); }

    std::unique_ptr<Services::CServicesManagerImpl> m_bus = std::make_unique<Services::CServicesManagerImpl>();
    CFakeSockets m_sockets;
    CFakeSettings m_settings;
    CFakeSkinManager m_skins;
    CAccountHost m_host;
    unsigned int m_serviceId = 0;
    unsigned int m_hostId = 0;
    std::unique_ptr<CJabberProtocol> m_account;
};
