// One contact-list model on a bus of its own, with a settings store, a fake
// protocol manager (its three account events and the account directory), fake
// accounts that answer "Get account name", and a subscriber that records the
// model's events.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/TempFolder.h"

inline const JOV_GUID kIcq = GUID_ICQProtocol;
inline const JOV_GUID kTestSenderId = {0x11112222, 0x3333, 0x4444, {5, 5, 6, 6, 7, 7, 8, 8}};

inline std::wstring Text(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", static_cast<size_t>(s.GetLength()));
}

inline unsigned int UIntOf(CEventArg* arg, unsigned int none = 0xFFFFFFFFu)
{
    auto* data = dynamic_cast<CEventArg_Data<unsigned int>*>(arg);
    return data ? data->m_data : none;
}

// An events client with a handler the test may set; answers 0 by default.
class CFakeClient final : public CEventsClient {
public:
    using Handler = std::function<int(const CJOVString& name, CEventArg* arg1, CEventArg* arg2)>;
    int OnEvent(const JOV_GUID&, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override
    {
        Handler handler;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            handler = m_handler;
        }
        return handler ? handler(name, arg1, arg2) : 0;
    }
    void SetHandler(Handler handler)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_handler = std::move(handler);
    }

private:
    std::mutex m_lock;
    Handler m_handler;
};

// What a subscriber saw of one model event.
struct Seen {
    std::wstring name;
    unsigned int id;      // arg 1 as unsigned, or 0xFFFFFFFF
    unsigned int group;   // arg 2 as unsigned, or 0xFFFFFFFF
    bool hasArg2;
};

class ModelTest : public ::testing::Test {
protected:
    // Long: on a busy machine a settling send must not give up before the
    // model is done. The tests of an account that does not answer ask for a
    // short one.
    static constexpr unsigned long kTimeoutMs = 10000;
    static constexpr unsigned long kShortTimeoutMs = 300;

    explicit ModelTest(unsigned long sendTimeoutMs = kTimeoutMs)
        : m_bus(std::make_unique<Services::CServicesManagerImpl>(sendTimeoutMs))
    {
    }

    struct Account {
        JOV_GUID protocol;
        unsigned int clientId;
        std::unique_ptr<CFakeClient> client;
    };

    // The fake manager's directory: accounts by id.
    class CDirectory final : public CL::CAccountDirectory {
    public:
        bool FindAccount(unsigned int accountId, JOV_GUID* protocol, unsigned int* clientId) override
        {
            std::lock_guard<std::mutex> guard(lock);
            auto it = accounts.find(accountId);
            if (it == accounts.end())
                return false;
            *protocol = it->second.first;
            *clientId = it->second.second;
            return true;
        }
        std::mutex lock;
        std::map<unsigned int, std::pair<JOV_GUID, unsigned int>> accounts;
    };

    void SetUp() override
    {
        m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
        m_storeId = m_bus->RegisterService(GUID_Database, m_store.get());
        m_added = m_bus->DeclareEvent(GUID_ProtocolsManager, CJOVString(EVENT_Added));
        m_deleted = m_bus->DeclareEvent(GUID_ProtocolsManager, CJOVString(EVENT_Deleted));
        m_changed = m_bus->DeclareEvent(GUID_ProtocolsManager, CJOVString(EVENT_AccountChanged));
        m_subscriberId = m_bus->RegisterEventsClient(&m_subscriber, CJOVString(L"subscriber"));
        m_subscriber.SetHandler([this](const CJOVString& name, CEventArg* arg1, CEventArg* arg2) {
            return Record(name, arg1, arg2);
        });
        NewModel();
    }

    void TearDown() override
    {
        if (m_model)
            std::default_delete<CL::CContactListImpl>()(m_model.get());
        m_model.release();
        m_bus->UnregisterEventsClient(m_subscriberId);
        for (auto& account : m_accounts)
            m_bus->UnregisterEventsClient(account.second.clientId);
        m_bus->UnregisterService(m_storeId);
    }

    // A model as start-up makes it: created, then "Loaded", then the manager.
    void NewModel(bool withDirectory = true)
    {
        // The old model stays reachable while its destructor saves.
        if (m_model)
            std::default_delete<CL::CContactListImpl>()(m_model.get());
        m_model.release();
        m_model = std::make_unique<CL::CContactListImpl>(*m_bus);
        const wchar_t* const names[] = {EVENT_TransactionBegin, EVENT_TransactionEnd, EVENT_GroupAdded,
                                        EVENT_GroupDelete,      EVENT_GroupChanged,   EVENT_ContactAdded,
                                        EVENT_ContactDelete,    EVENT_ContactStatusChanged,
                                        EVENT_ContactChanged,   EVENT_MessageReceived};
        for (const wchar_t* name : names)
            m_bus->Subscribe(GUID_ContactList, CJOVString(name), m_subscriberId);
        m_bus->FireLoaded();
        if (withDirectory)
            m_model->SetAccountDirectory(&m_directory);
        Clear();
    }

    // An account named `name` whose client answers "Get account name".
    void AddAccount(unsigned int accountId, const wchar_t* name, JOV_GUID protocol = kIcq)
    {
        Account& account = m_accounts[accountId];
        if (!account.client) {
            account.client = std::make_unique<CFakeClient>();
            account.clientId = m_bus->RegisterEventsClient(account.client.get(), CJOVString(L"account"));
        }
        account.protocol = protocol;
        SetAccountName(accountId, name);
        std::lock_guard<std::mutex> guard(m_directory.lock);
        m_directory.accounts[accountId] = {protocol, account.clientId};
    }

    void SetAccountName(unsigned int accountId, const wchar_t* name, std::function<void()> whileAsked = nullptr)
    {
        std::wstring copy = name;
        m_accounts[accountId].client->SetHandler([copy, whileAsked](const CJOVString& event, CEventArg* arg1,
                                                                    CEventArg*) {
            if (event == CJOVString(EVENT_GetAccountName)) {
                if (whileAsked)
                    whileAsked();
                if (auto* out = dynamic_cast<CEventArg_Data<CJOVString*>*>(arg1))
                    *out->m_data = CJOVString(copy.c_str());
            }
            return 0;
        });
    }

    static CJOVString Key(const wchar_t* name, JOV_GUID protocol = kIcq)
    {
        return protocol.GetString() + CJOVString(name);
    }

    // The manager's events as it fires them: "Deleted" waited for, the others posted.
    void FireAdded(unsigned int accountId) { FireManager(m_added, accountId, false); }
    void FireDeleted(unsigned int accountId) { FireManager(m_deleted, accountId, true); }
    void FireChanged(unsigned int accountId) { FireManager(m_changed, accountId, false); }
    void FireManager(unsigned int eventId, unsigned int accountId, bool wait)
    {
        m_bus->FireEvent(eventId, new CEventArg_Data<unsigned int>(accountId), nullptr, wait);
        Settle();
    }

    // Waits until the model's queue and then the subscriber's have handled
    // everything sent before.
    void Settle()
    {
        m_bus->SendEventToClient(m_model->GetClientId(), kTestSenderId, CJOVString(L"sync"), nullptr, nullptr, true);
        m_bus->SendEventToClient(m_subscriberId, kTestSenderId, CJOVString(L"sync"), nullptr, nullptr, true);
    }

    // A request the model posts to itself, carried out now; its answer.
    int Request(const wchar_t* name, unsigned int id, CEventArg* arg2 = nullptr)
    {
        int answer = m_bus->SendEventToClient(m_model->GetClientId(), GUID_ContactList, CJOVString(name),
                                              new CEventArg_Data<unsigned int>(id), arg2, true);
        Settle();
        return answer;
    }

    int Record(const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
    {
        if (name == CJOVString(L"sync"))
            return 0;
        std::function<void(const Seen&, CEventArg*)> hook;
        Seen seen{Text(name), UIntOf(arg1), UIntOf(arg2), arg2 != nullptr};
        {
            std::lock_guard<std::mutex> guard(m_seenLock);
            m_seen.push_back(seen);
            hook = m_hook;
        }
        if (hook)
            hook(seen, arg2);
        return 0;
    }

    std::vector<Seen> SeenEvents()
    {
        std::lock_guard<std::mutex> guard(m_seenLock);
        return m_seen;
    }
    std::vector<std::wstring> SeenNames()
    {
        std::vector<std::wstring> names;
        for (const Seen& seen : SeenEvents())
            names.push_back(seen.name);
        return names;
    }
    void Clear()
    {
        Settle();
        std::lock_guard<std::mutex> guard(m_seenLock);
        m_seen.clear();
    }
    void SetHook(std::function<void(const Seen&, CEventArg*)> hook)
    {
        std::lock_guard<std::mutex> guard(m_seenLock);
        m_hook = std::move(hook);
    }

    std::vector<std::pair<unsigned int, unsigned int>> Items(unsigned int accountId)
    {
        CJOVArray<CL::CLItemInfo> items;
        std::vector<std::pair<unsigned int, unsigned int>> result;
        if (!m_model->GetItems(accountId, &items))
            return result;
        for (int i = 0; i < items.Count(); ++i)
            result.emplace_back(items[i].groupId, items[i].contactId);
        return result;
    }

    std::wstring Alias(unsigned int itemId)
    {
        CJOVString alias;
        return m_model->GetString(itemId, CJOVString(L"CL Alias"), alias) ? Text(alias) : L"";
    }
    void SetAlias(unsigned int itemId, const wchar_t* alias)
    {
        m_model->SetString(itemId, CJOVString(L"CL Alias"), CJOVString(alias));
    }

    // The stored "CL data", unpacked one level.
    NamedValueMap StoredLevel1()
    {
        NamedValueMap level1;
        unsigned size = 0;
        if (m_store->GetValueSize(GUID_ContactList, CJOVString(L"CL data"), &size) && size) {
            std::vector<unsigned char> bytes(size);
            m_store->GetData(GUID_ContactList, CJOVString(L"CL data"), bytes.data(), &size);
            level1.Unpack(bytes.data(), size);
        }
        return level1;
    }
    void StoreBlob(const std::vector<unsigned char>& bytes)
    {
        unsigned size = static_cast<unsigned>(bytes.size());
        m_store->SetData(GUID_ContactList, CJOVString(L"CL data"), bytes.data(), &size);
    }
    static std::vector<unsigned char> Packed(const NamedValueMap& map)
    {
        std::vector<unsigned char> bytes(map.GetPackedSize());
        if (!bytes.empty())
            map.Pack(bytes.data(), static_cast<unsigned>(bytes.size()));
        return bytes;
    }

    CTempFolder m_folder;
    std::unique_ptr<Services::CServicesManagerImpl> m_bus;
    std::unique_ptr<Database::CJOVDatabase> m_store;
    unsigned int m_storeId = 0;
    unsigned int m_added = 0, m_deleted = 0, m_changed = 0;
    CDirectory m_directory;
    std::map<unsigned int, Account> m_accounts;
    CFakeClient m_subscriber;
    unsigned int m_subscriberId = 0;
    std::mutex m_seenLock;
    std::vector<Seen> m_seen;
    std::function<void(const Seen&, CEventArg*)> m_hook;
    std::unique_ptr<CL::CContactListImpl> m_model;
};
