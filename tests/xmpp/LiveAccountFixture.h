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
#include "common/RecordingClient.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/JOVSocket.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "support/FakeSettings.h"
#include "support/FakeSkinManager.h"

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
        m_host.SetHandler([this](const CJOVString& name, CEventArg*, CEventArg* arg2) {
            std::lock_guard<std::mutex> hold(m_lock);
            if (auto* status = dynamic_cast<CEventArg_Data<Protocols::StatusInfo>*>(arg2);
                status && name == CJOVString(L"Status changed"))
                m_statuses.push_back(status->m_data.status);
            if (auto* text = dynamic_cast<CEventArg_Data<CJOVString>*>(arg2); text && name == CJOVString(L"Warning"))
                m_warnings.emplace_back(text->m_data.Data(), text->m_data.GetLength());
            return 0;
        });
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
    std::vector<std::wstring> Warnings()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_warnings;
    }
    std::vector<int> Statuses()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_statuses;
    }
    void Forget()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_warnings.clear();
        m_statuses.clear();
    }
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
    CRecordingClient m_host;
    unsigned int m_hostId = 0;
    std::mutex m_lock;
    std::vector<int> m_statuses;
    std::vector<std::wstring> m_warnings;
};

class LiveAccountTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPluginSkinManager(&m_skins);
        JOVSockets::SocketTimings timings;
        timings.busyPollMs = 20;
        timings.idlePollMs = 50;
        timings.closeWaitMs = 500;
        timings.apiReadyWaitMs = 200;
        sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*bus, timings);
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
