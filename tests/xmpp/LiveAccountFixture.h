// An account on a real bus with the program's sockets manager, a recording
// host (the protocols manager's place) that keeps every status and warning
// posted, and settings in memory: for the tests against servers on loopback.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "JabberProtocol.h"
#include "JabberStatusTable.h"
#include "JabberTexts.h"
#include "PluginModule.h"
#include "ServiceIds.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/JOVSocket.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "support/FakeSettings.h"
#include "support/FastSocketTimings.h"
#include "support/FakeSkinManager.h"
#include "xmpp/AccountHost.h"

inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000)
{
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        if (done())
            return true;
        Sleep(10);
    }
    return done();
}

// One account with its settings and what its host was told.
class CLiveAccount {
public:
    CLiveAccount(Services::CServicesManagerImpl& bus, unsigned int accountId, DWORD loginTimeoutMs = 20000)
        : m_bus(bus)
    {
        m_hostId = m_bus.RegisterEventsClient(&m_host, CJOVString(L"host"));
        settings.Set(L"Account name", L"alice");
        settings.Set(L"Account password", L"alice-pw1");
        settings.Set(L"Account server", L"localhost");
        settings.SetByte(L"Manual connection settings", 1);
        settings.Set(L"Manual connection server", L"localhost");
        JabberTimings timings;
        timings.queueScanMs = 10;
        timings.loginTimeoutMs = loginTimeoutMs;
        account = std::make_unique<CJabberProtocol>(&m_bus, accountId, m_hostId, &settings, timings);
    }
    ~CLiveAccount()
    {
        account.reset();
        m_bus.UnregisterEventsClient(m_hostId);
    }

    // Where to connect: the manual host "localhost" on that port.
    void Use(int port, bool ssl)
    {
        settings.SetDWord(L"Manual connection port", static_cast<unsigned long>(port));
        settings.SetByte(L"SSL", ssl ? 1 : 0);
    }
    int SetStatus(Protocols::Status status)
    {
        return m_bus.SendEventToClient(account->GetClientId(), GUID_ProtocolsManager, CJOVString(L"Set status"),
                                       new CEventArg_Data<Protocols::Status>(status), nullptr, true);
    }
    Protocols::Status Status()
    {
        return static_cast<Protocols::Status>(m_bus.SendEventToClient(
            account->GetClientId(), GUID_ProtocolsManager, CJOVString(L"Get status"), nullptr, nullptr, true));
    }
    // Waits until the account shows the status, or is offline again.
    bool Reaches(Protocols::Status status, int timeoutMs = 15000)
    {
        WaitFor([&] { Protocols::Status now = Status(); return now == status || now == Protocols::StatusOffline; },
                timeoutMs);
        if (status == Protocols::StatusOffline)
            return Status() == status;
        // Online first passes through Connecting: give the post a moment.
        return WaitFor([&] { return Status() == status; }, 200);
    }
    std::vector<std::wstring> Warnings() { return m_host.Warnings(); }
    std::vector<int> Statuses() { return m_host.Statuses(); }
    void Forget() { m_host.Forget(); }
    // Exactly one warning, starting with the text.
    bool WarnedOnce(JabberTextId id)
    {
        CJOVString text = JabberText(id);
        std::wstring start(text.Data(), text.GetLength());
        if (!WaitFor([&] { return !Warnings().empty(); }))
            return false;
        Sleep(50);
        std::vector<std::wstring> warnings = Warnings();
        return warnings.size() == 1 && warnings[0].compare(0, start.size(), start) == 0;
    }
    std::string Said()
    {
        std::string all;
        for (const std::wstring& warning : Warnings())
            all += std::string(warning.begin(), warning.end()) + "; ";
        return all;
    }

    CFakeSettings settings;
    std::unique_ptr<CJabberProtocol> account;

private:
    Services::CServicesManagerImpl& m_bus;
    CAccountHost m_host;
    unsigned int m_hostId = 0;
};

class LiveAccountTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPluginSkinManager(&m_skins);
        sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*bus, FastSocketTimings());
        alice = std::make_unique<CLiveAccount>(*bus, 3);
    }

    void TearDown() override
    {
        alice.reset();
        sockets.reset();
        for (int i = 0; i < 300 && JOVSockets::CJOVSocket::RunningWorkers() > 0; ++i)
            Sleep(10);
        bus.reset();
        ClearJabberStatusTable();
        SetPluginSkinManager(nullptr);
    }

    std::unique_ptr<Services::CServicesManagerImpl> bus = std::make_unique<Services::CServicesManagerImpl>();
    std::unique_ptr<JOVSockets::CSocketsManagerImpl> sockets;
    std::unique_ptr<CLiveAccount> alice;

private:
    CFakeSkinManager m_skins;
};
