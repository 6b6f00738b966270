// The contact-list model: see common/cl/ContactList.h for what callers get.
//
// Threads: the operations run on their callers' threads (account queues, the
// UI, the contact-list window's queue) under one re-entrant lock. Deletions,
// moves, relayed messages and the protocol manager's account events run on
// the queue thread of the model's own client "CL"; that thread is the only one
// that frees items (besides the destructor), and it fires the waited-for
// "Group delete" / "Contact delete" with the lock released.
//
// Events: while a transaction is open, the posted notifications are held and
// handed to the bus in one go at its end (or before a synchronous one, or a
// relayed message), so a subscriber takes the whole transaction, in order, in
// one hand-over.
//
// Storage: each account's part is read from "CL data" when its name is
// learnt and the whole list is written back by the destructor. Account names
// (the storage keys) are asked of the accounts on the "CL" thread, with the
// lock released, when the manager announces them ("Added", "Account
// changed"); a save only uses what was learnt, and an account not named yet,
// or whose part is not read yet, keeps its stored part.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "EventsClient.h"
#include "ServicesManager.h"
#include "cl/ContactList.h"
#include "core/protocols/AccountDirectory.h"
#include "core/protocols/StoredLists.h"
#include "core/settings/NamedValueMap.h"

namespace CL {

class CContactListImpl final : public CContactList, public Protocols::CStoredLists {
public:
    // Registers the service, the client "CL", the ten events and the
    // subscription to "Loaded".
    explicit CContactListImpl(Services::CServicesManager& bus);
    // Stops the client, saves "CL data", frees the items, unregisters.
    ~CContactListImpl();
    CContactListImpl(const CContactListImpl&) = delete;
    CContactListImpl& operator=(const CContactListImpl&) = delete;

    // Set by start-up once the protocol manager exists; null: no manager.
    void SetAccountDirectory(CAccountDirectory* directory) { m_directory = directory; }
    // The id of the events client "CL".
    unsigned int GetClientId() const { return m_clientId; }

    void BeginTransaction() override;
    void EndTransaction() override;
    unsigned int CreateGroup(unsigned int accountId) override;
    void NotifyGroupAdded(unsigned int groupId) override;
    void DeleteGroup(unsigned int groupId) override;
    void NotifyGroupChanged(unsigned int groupId) override;
    unsigned int CreateContact(unsigned int accountId, unsigned int groupId) override;
    void NotifyContactAdded(unsigned int contactId) override;
    void DeleteContact(unsigned int contactId) override;
    bool MoveContact(unsigned int contactId, unsigned int groupId) override;
    unsigned int GetContactGroup(unsigned int contactId) override;
    void SetContactStatus(unsigned int contactId, const Protocols::ContactStatusInfo* status) override;
    void NotifyContactChanged(unsigned int contactId) override;
    void MessageReceived(unsigned int contactId, const Protocols::MessageInfo* message) override;
    unsigned int GetItemKey(unsigned int itemId) override;
    bool GetData(unsigned int itemId, const CJOVString& name, void* buffer, unsigned int* size) override;
    bool GetString(unsigned int itemId, const CJOVString& name, CJOVString& out) override;
    bool GetDWord(unsigned int itemId, const CJOVString& name, DWORD* out) override;
    bool GetWord(unsigned int itemId, const CJOVString& name, WORD* out) override;
    bool GetByte(unsigned int itemId, const CJOVString& name, BYTE* out) override;
    void SetData(unsigned int itemId, const CJOVString& name, const void* data, unsigned int size) override;
    void SetString(unsigned int itemId, const CJOVString& name, const CJOVString& value) override;
    void SetDWord(unsigned int itemId, const CJOVString& name, const DWORD* value) override;
    void SetWord(unsigned int itemId, const CJOVString& name, const WORD* value) override;
    void SetByte(unsigned int itemId, const CJOVString& name, const BYTE* value) override;
    bool GetItems(unsigned int accountId, CJOVArray<CLItemInfo>* out) override;

    // Writes the whole list to "CL data"; the destructor calls it.
    void Save();
    // Creates the account's stored items; false when nothing was found.
    bool Load(unsigned int accountId);
    // Takes a deleted account's part out of "CL data" now, with those of the
    // names given up since; the manager then writes the file. Runs on the
    // deleting thread (the UI).
    void DropStoredList(unsigned int accountId) override;
    // Tests: called on the loading thread once an account's name is known,
    // right before its stored list is read, to save meanwhile.
    void SetBeforeListReadHook(std::function<void(unsigned int accountId)> hook) { m_beforeListRead = std::move(hook); }

private:
    class CEventHandler final : public CEventsClient {
    public:
        explicit CEventHandler(CContactListImpl* model) : m_model(model) {}
        int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override;

    private:
        CContactListImpl* m_model;
    };

    // One record for both kinds: a group uses contacts, a contact groupId.
    struct Item {
        unsigned int id = 0;
        NamedValueMap properties;
        unsigned int groupId = 0;
        std::map<unsigned int, Item*> contacts;
        bool closing = false;  // a group whose deletion has emptied it: it takes no contact
    };
    struct IndexEntry {
        unsigned int accountId;
        std::unique_ptr<Item> item;  // the index owns every record
    };
    using TopLevel = std::map<unsigned int, Item*>;  // groups, then contacts in no group
    enum EventSlot {
        kTransactionBegin,
        kTransactionEnd,
        kGroupAdded,
        kGroupDelete,
        kGroupChanged,
        kContactAdded,
        kContactDelete,
        kContactStatusChanged,
        kContactChanged,
        kMessageReceived,
        kEventCount
    };

    static bool IsContact(unsigned int id) { return (id & kContactIdBit) != 0; }
    // Callers hold the lock.
    Item* FindItem(unsigned int id, unsigned int* accountId = nullptr);
    NamedValue* FindValue(unsigned int itemId, const CJOVString& name);
    unsigned int AddItem(unsigned int accountId, TopLevel* top, Item* group, bool contact);
    void Fire(EventSlot slot, unsigned int id, CEventArg* arg2 = nullptr, bool wait = false);
    void FireUnlocked(EventSlot slot, unsigned int id, CEventArg* arg2);
    // Hands the held notifications to the bus. Callers hold the lock.
    void FireHeld();
    void PostToSelf(const wchar_t* name, unsigned int id, CEventArg* arg2);

    // The "CL" thread's work.
    void OnLoaded();
    void OnAccountAdded(unsigned int accountId);
    void OnAccountChanged(unsigned int accountId);
    void RemoveAccountItems(unsigned int accountId, bool removeAccount);
    void DeleteGroupNow(unsigned int groupId);
    void DeleteContactNow(unsigned int contactId);
    int MoveContactNow(unsigned int contactId, unsigned int groupId);
    void RelayMessage(CEventArg* arg1, CEventArg* arg2);

    // Storage helpers (ContactListStorage.cpp).
    bool FetchAccountKey(unsigned int accountId, CJOVString* key);
    // Loads the part stored under the account's new key, then makes the key
    // its own; false when nothing was loaded.
    bool TakeKey(unsigned int accountId, const CJOVString& key);
    bool ReadBlob(NamedValueMap* level1);
    void LoadItems(unsigned int accountId, const NamedValue& level2Value);
    void PackAccount(const TopLevel& top, NamedValueMap* level2);
    // Copies the stored parts not named in replaced; false when none is stored.
    bool KeepStoredParts(const std::set<CJOVString>& replaced, NamedValueMap* level1);
    void WriteBlob(const NamedValueMap& level1);

    Services::CServicesManager& m_bus;
    CEventHandler m_handler;
    unsigned int m_serviceId = 0;
    unsigned int m_clientId = 0;
    unsigned int m_eventIds[kEventCount] = {};
    unsigned int m_loadedSubscription = 0;
    unsigned int m_accountSubscriptions[3] = {};
    std::atomic<CAccountDirectory*> m_directory{nullptr};

    std::recursive_mutex m_lock;
    unsigned int m_depth = 0;
    std::vector<Services::CServicesManager::Firing> m_held;
    std::map<unsigned int, TopLevel> m_accounts;
    std::map<unsigned int, IndexEntry> m_index;
    // Storage keys as learnt when each account was added or renamed (empty: its
    // part was dropped on its deletion), and those of accounts deleted or
    // renamed since: their stored parts are dropped at the next save or
    // deletion.
    std::map<unsigned int, CJOVString> m_accountKeys;
    std::set<CJOVString> m_droppedKeys;
    std::function<void(unsigned int)> m_beforeListRead;

    static std::atomic<unsigned int> s_nextGroupId;
    static std::atomic<unsigned int> s_nextContactId;
};

} // namespace CL
