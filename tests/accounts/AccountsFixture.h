// A bus, a settings store over a file of a temporary folder, and a protocol
// plug-in manager over one of the test "Protos" trees (bin/test_protos/<tree>),
// with an observer of the manager's events that writes them to the plug-in
// log, so the order of both can be compared.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "accounts/PluginLog.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/TempFolder.h"

inline JOV_GUID TestProtocol(unsigned char byte)
{
    JOV_GUID guid = {byte * 0x01010101u, static_cast<unsigned short>(byte * 0x0101u),
                     static_cast<unsigned short>(byte * 0x0101u), {byte, byte, byte, byte, byte, byte, byte, byte}};
    return guid;
}

inline const JOV_GUID kGood = TestProtocol(0x33);
inline const JOV_GUID kOther = TestProtocol(0x66);

inline std::wstring Hex(unsigned int id)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%08X", id);
    return text;
}

inline std::wstring Str(const CJOVString& s) { return std::wstring(s.Data() ? s.Data() : L"", s.GetLength()); }

// Texts, language and warnings of the skin and notification services.
class CFakeHost final : public Protocols::CProtocolsManagerHost {
public:
    bool GetString(int textId, CJOVString& out) override
    {
        if (textId != Protocols::StatusAway)
            return false;
        out = CJOVString(L"Abwesend");
        return true;
    }
    CJOVString GetLanguageName() override { return CJOVString(L"Testish"); }
    void ShowWarning(unsigned int accountId, const CJOVString& text) override
    {
        CPluginLog::Add(L"warning " + Hex(accountId) + L" '" + Str(text) + L"'");
    }
};

// Logs "observer <event> <account id or overall> [status N]".
class CManagerObserver final : public CEventsClient {
public:
    // Runs once, on the observer's thread, when the next event comes, before it is logged.
    void BeforeNext(std::function<void()> hold)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_hold = std::move(hold);
    }

    int OnEvent(const JOV_GUID&, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override
    {
        std::function<void()> hold;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            hold.swap(m_hold);
        }
        if (hold)
            hold();
        std::wstring line = L"observer " + Str(name);
        auto* id = dynamic_cast<CEventArg_Data<unsigned int>*>(arg1);
        line += id ? L" " + Hex(id->m_data) : std::wstring(L" overall");
        if (auto* status = dynamic_cast<CEventArg_Data<Protocols::StatusInfo>*>(arg2))
            line += L" status " + std::to_wstring(static_cast<int>(status->m_data.status));
        CPluginLog::Add(line);
        return 0;
    }

private:
    std::mutex m_lock;
    std::function<void()> m_hold;
};

class AccountsTest : public ::testing::Test {
protected:
    // Requests wait long, as a busy machine may need; the test of a time-out asks for a short one.
    static constexpr unsigned long kTimeoutMs = 10000;
    static constexpr unsigned long kShortTimeoutMs = 300;

    explicit AccountsTest(unsigned long sendTimeoutMs = kTimeoutMs)
        : m_bus(std::make_unique<Services::CServicesManagerImpl>(sendTimeoutMs))
    {
    }

    void SetUp() override
    {
        CPluginLog::Clear();
        m_observerId = m_bus->RegisterEventsClient(&m_observer, CJOVString(L"observer"));
        m_languageEvent = m_bus->DeclareEvent(GUID_GUI, CJOVString(EVENT_LanChanged));
        Start(L"two");
    }

    void TearDown() override
    {
        Stop();
        m_bus.reset();
    }

    static CJOVString Protos(const wchar_t* tree)
    {
        return GetAppDir() + CJOVString(L"test_protos\\") + CJOVString(tree) + CJOVString(L"\\Protos\\");
    }

    // withModel: a contact-list model too, made and joined as start-up does.
    void Start(const wchar_t* tree, bool withModel = false)
    {
        m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
        m_storeId = m_bus->RegisterService(GUID_Database, m_store.get());
        if (withModel)
            m_model = std::make_unique<CL::CContactListImpl>(*m_bus);
        m_manager = std::make_unique<Protocols::CProtocolsManagerImpl>(m_bus.get(), &m_host, Protos(tree));
        if (m_model) {
            m_model->SetAccountDirectory(m_manager.get());
            m_manager->SetStoredLists(m_model.get());
        }
        for (const wchar_t* name : {EVENT_Added, EVENT_Deleted, EVENT_AccountChanged, EVENT_StatusChanged,
                                    EVENT_MessageSent, EVENT_DetailsReceived, EVENT_ContactDetailsReceived})
            m_bus->Subscribe(GUID_ProtocolsManager, CJOVString(name), m_observerId);
        m_bus->FireLoaded();
    }

    // The model goes first, then the manager, then the store, which saves its file then.
    void Stop()
    {
        m_model.reset();
        m_manager.reset();
        if (m_storeId)
            m_bus->UnregisterService(m_storeId);
        m_storeId = 0;
        m_store.reset();
    }

    void Restart(const wchar_t* tree = L"two")
    {
        Stop();
        CPluginLog::Clear();
        Start(tree);
    }

    // Waits until the library is unloaded; false when it is still there after the time.
    static bool WaitUnloaded(const wchar_t* module, DWORD ms = 10000)
    {
        const DWORD start = GetTickCount();
        while (GetModuleHandleW(module) != nullptr) {
            if (GetTickCount() - start > ms)
                return false;
            Sleep(2);
        }
        return true;
    }

    // The account's events-client id, as its plug-in logged it.
    static unsigned int ClientOf(unsigned int accountId)
    {
        for (const std::wstring& line : CPluginLog::Lines()) {
            const std::wstring head = Hex(accountId) + L" CreateAccount ";
            if (line.compare(0, head.size(), head) != 0)
                continue;
            size_t at = line.find(L" client ");
            if (at != std::wstring::npos)
                return static_cast<unsigned int>(std::wcstoul(line.c_str() + at + 8, nullptr, 10));
        }
        return 0;
    }

    // Asks the account itself to do something (the "Test ..." events of the test plug-in).
    void Tell(unsigned int accountId, const wchar_t* name, unsigned int value = 0)
    {
        m_bus->SendEventToClient(ClientOf(accountId), kGood, CJOVString(name), new CEventArg_Data<unsigned int>(value),
                                 nullptr, false);
    }

    // The account reports the status and the manager has relayed it.
    void Report(unsigned int accountId, Protocols::Status status)
    {
        const std::wstring relayed =
            L"observer Status changed " + Hex(accountId) + L" status " + std::to_wstring(static_cast<int>(status));
        const int before = CPluginLog::Count(relayed);
        Tell(accountId, L"Test report", status);
        const DWORD start = GetTickCount();
        while (CPluginLog::Count(relayed) == before && GetTickCount() - start < 10000)
            Sleep(2);
        ASSERT_GT(CPluginLog::Count(relayed), before) << "status " << status << " was not relayed";
    }

    // The overall statuses announced so far, in order.
    static std::vector<int> OverallStatuses()
    {
        std::vector<int> statuses;
        for (const std::wstring& line : CPluginLog::Lines())
            if (line.rfind(L"observer Status changed overall status ", 0) == 0)
                statuses.push_back(std::stoi(line.substr(39)));
        return statuses;
    }

    CTempFolder m_folder;
    CFakeHost m_host;
    CManagerObserver m_observer;
    std::unique_ptr<Services::CServicesManagerImpl> m_bus;
    unsigned int m_observerId = 0;
    unsigned int m_languageEvent = 0;
    std::unique_ptr<Database::CJOVDatabase> m_store;
    unsigned int m_storeId = 0;
    std::unique_ptr<CL::CContactListImpl> m_model;
    std::unique_ptr<Protocols::CProtocolsManagerImpl> m_manager;
};
