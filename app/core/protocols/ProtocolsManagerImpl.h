// The protocol plug-in manager: finds the plug-ins in "Protos", creates their
// accounts, keeps each account's settings in "Accounts data", forwards every
// request to an account as an event and keeps one overall status.
//
// Threads: the UI thread creates and destroys it and calls the requests; the
// accounts call the settings operations from their queue threads; the
// "Protocols manager" queue thread runs CEventHandler (start-up of the
// accounts, relays, overall status, deletion). The accounts lock is never held
// while an account is waited for. When both locks are taken, the accounts lock
// comes first.
//
// Start-up creates it after the settings store, the sockets manager and the
// contact-list model, before FireLoaded (on which the accounts are created),
// and deletes it after the contact-list model and before the sockets manager
// and the settings store (its destructor saves "Accounts data" there).
#pragma once

#include <atomic>
#include <deque>
#include <list>
#include <map>
#include <mutex>
#include <vector>

#include "EventsClient.h"
#include "ServicesManager.h"
#include "core/protocols/AccountDirectory.h"
#include "core/settings/NamedValueMap.h"
#include "core/protocols/ProtocolsManagerHost.h"
#include "core/protocols/StoredLists.h"
#include "protocols/ProtocolsManager.h"

namespace Protocols {

class CProtocolsManagerImpl final : public CProtocolsManager, public CL::CAccountDirectory {
public:
    // The plug-ins lie in protosFolder (with its trailing backslash), by
    // default "Protos\" beside the program.
    explicit CProtocolsManagerImpl(Services::CServicesManager* bus, CProtocolsManagerHost* host = nullptr,
                                   const CJOVString& protosFolder = DefaultProtosFolder());
    // Sends "Destroy" to every account, saves "Accounts data", then destroys
    // the accounts and frees their libraries.
    ~CProtocolsManagerImpl();
    CProtocolsManagerImpl(const CProtocolsManagerImpl&) = delete;
    CProtocolsManagerImpl& operator=(const CProtocolsManagerImpl&) = delete;

    static CJOVString DefaultProtosFolder();

    // Set by start-up once the contact-list model exists; null: no model.
    void SetStoredLists(CStoredLists* lists) { m_storedLists = lists; }

    // For the contact-list model: the protocol and events client of a live account.
    bool FindAccount(unsigned int accountId, JOV_GUID* protocol, unsigned int* clientId) override;

    int LoadProtocols() override;
    int GetProtocolCount() override;
    const ProtocolEntry* FindProtocol(const JOV_GUID& protocol) override;
    ProtocolInfo GetProtocol(int index) override;
    // Both write "settings.jov" at once: an account added or deleted survives
    // an end without a close.
    unsigned int AddAccount(const JOV_GUID& protocol) override;
    int DeleteAccount(unsigned int accountId) override;
    // Puts the live accounts into "Accounts data" of the store (the file is
    // the store's to write); nothing before the stored accounts were read.
    bool StoreAccounts();
    int GetAccountCount() override;
    unsigned int GetAccountId(int index) override;
    CJOVString GetAccountName(unsigned int accountId, bool withProtocolGuid) override;
    ProtocolInfo GetAccountProtocol(unsigned int accountId) override;
    bool GetValueSize(unsigned int accountId, const CJOVString& name, unsigned* size) override;
    bool GetData(unsigned int accountId, const CJOVString& name, void* buffer, unsigned* size) override;
    bool GetString(unsigned int accountId, const CJOVString& name, CJOVString& out) override;
    bool GetDWord(unsigned int accountId, const CJOVString& name, DWORD* out) override;
    bool GetWord(unsigned int accountId, const CJOVString& name, WORD* out) override;
    bool GetByte(unsigned int accountId, const CJOVString& name, BYTE* out) override;
    void SetData(unsigned int accountId, const CJOVString& name, const void* data, const unsigned* size) override;
    void SetString(unsigned int accountId, const CJOVString& name, const CJOVString& value) override;
    void SetDWord(unsigned int accountId, const CJOVString& name, const DWORD* value) override;
    void SetWord(unsigned int accountId, const CJOVString& name, const WORD* value) override;
    void SetByte(unsigned int accountId, const CJOVString& name, const BYTE* value) override;
    bool GetImages(unsigned int accountId, CJOVArray<unsigned int>* images) override;
    bool GetContactStatusInfo(unsigned int accountId, unsigned int contactId, ContactStatusInfo* info) override;
    bool InitRootMenu(unsigned int accountId, CMenuInfo* menu) override;
    bool InitGroupMenu(unsigned int accountId, unsigned int groupId, CMenuInfo* menu) override;
    bool InitContactMenu(unsigned int accountId, unsigned int contactId, CMenuInfo* menu) override;
    bool InitMessageWindowMenu(unsigned int accountId, unsigned int contactId, CMenuInfo* menu) override;
    bool CreateGroup(unsigned int accountId, const CJOVString& name) override;
    bool RenameGroup(unsigned int accountId, unsigned int groupId, const CJOVString& name) override;
    bool DeleteGroup(unsigned int accountId, unsigned int groupId) override;
    bool RenameContact(unsigned int accountId, unsigned int contactId, const CJOVString& name) override;
    bool MoveContact(unsigned int accountId, unsigned int contactId, unsigned int groupId) override;
    bool DeleteContact(unsigned int accountId, unsigned int contactId) override;
    bool SendMessage(unsigned int accountId, const MessageInfo* message) override;
    int GetAccountDetailsDlgInfo(unsigned int accountId, CJOVArray<CPanelInfo>* pages) override;
    int GetContactDetailsDlgInfo(unsigned int accountId, unsigned int contactId,
                                 CJOVArray<CPanelInfo>* pages) override;
    int SetStatus(unsigned int accountId, Status status) override;
    int GetStatus(unsigned int accountId, Status* out) override;
    int GetStatusInfo(unsigned int accountId, Status status, StatusInfo* out) override;
    bool GetLogonDate(unsigned int accountId, CTime* out) override;
    int GetStatusMenuInfo(unsigned int accountId, CMenuInfo* menu) override;
    int GetOptionsDlgInfo(unsigned int accountId, CJOVArray<CPanelInfo>* pages) override;

    // The overall status of all accounts.
    Status GetOverallStatus();
    // The manager's events-client id (the owner id every account is given).
    unsigned int GetClientId() const { return m_clientId; }

private:
    // Runs on the "Protocols manager" queue thread.
    class CEventHandler final : public CEventsClient {
    public:
        explicit CEventHandler(CProtocolsManagerImpl* owner) : m_owner(owner) {}
        int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override;

    private:
        CProtocolsManagerImpl* m_owner;
    };

    struct AccountRecord {
        JOV_GUID protocol;
        unsigned int clientId;  // 0 once "Destroy" is on its way
        HMODULE library;
        NamedValueMap* settings;  // owned
        // The last status the account reported; the overall status is
        // computed from these, so the manager never waits on an account for it.
        Status lastStatus;
        bool deleting;  // "Own delete account" is queued: never saved again
    };
    typedef std::map<unsigned int, AccountRecord> AccountMap;

    struct GuidLess {
        bool operator()(const JOV_GUID& a, const JOV_GUID& b) const;
    };

    enum EventIndex { EvAdded, EvDeleted, EvAccountChanged, EvStatusChanged, EvMessageSent, EvDetailsReceived,
                      EvContactDetailsReceived, EvCount };

    // An item of "Accounts data" that became no account (no plug-in serves
    // its protocol, or the plug-in refused it): written back as it was read,
    // in its place, so that it loads again once its plug-in is back.
    struct KeptAccount {
        CJOVString protocolText;  // the item name's leading protocol id text
        NamedValue settings;      // the item as read
        unsigned int after;       // the last account id handed out before it
    };

    // Accounts (ProtocolsManagerAccounts.cpp).
    unsigned int CreateAccountInstance(const JOV_GUID& protocol, NamedValueMap* settings);
    void SaveAccounts(const AccountMap& accounts);
    // StoreAccounts, then the store writes its file.
    void SaveAccountsNow();
    // Creates the stored accounts; with create false (a save before any
    // load) every item is only kept.
    void LoadAccounts(bool create = true);
    // The items of "Accounts data" in name order; false when the value is
    // damaged (cut short, or an item named twice or not after a protocol).
    bool ReadAccountsData(const std::vector<unsigned char>& bytes, NamedValueMap* items);
    // Stores the damaged value under its own name; warn tells the user once.
    void KeepDamagedAccountsData(const std::vector<unsigned char>& bytes, bool warn);
    void ReleaseListedLibraries();
    NamedValue* FindSetting(unsigned int accountId, const CJOVString& name);
    void StoreSetting(unsigned int accountId, const NamedValue& value);
    // The account's client id, 0 when missing.
    unsigned int ClientOf(unsigned int accountId);

    // Requests (ProtocolsManagerRequests.cpp).
    int Send(unsigned int clientId, const wchar_t* name, CEventArg* arg1, CEventArg* arg2);
    int Post(unsigned int clientId, const wchar_t* name, CEventArg* arg1, CEventArg* arg2);
    // Sent request answering true when the handler answered 0.
    bool SendForZero(unsigned int accountId, const wchar_t* name, CEventArg* arg1, CEventArg* arg2);
    bool SendAnswered(unsigned int accountId, const wchar_t* name, CEventArg* arg1, CEventArg* arg2);
    bool PostRequest(unsigned int accountId, const wchar_t* name, CEventArg* arg1, CEventArg* arg2);
    int SendPages(unsigned int accountId, const wchar_t* name, CEventArg* arg1, CEventArg* arg2);

    // Events and the overall status (ProtocolsManagerEvents.cpp).
    int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2);
    void OnLoaded();
    void OnLanguageChanged(CEventArg* arg1);
    void OnAccountEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2);
    void OnOwnStatusChanged(CEventArg* arg1, CEventArg* arg2);
    // Applies an account's new status s to the overall status; true when the
    // overall status is to be announced.
    bool UpdateOverallStatus(Status s);
    int OnOwnDeleteAccount(CEventArg* arg1);
    void OnOwnFreeLibrary();
    void RebuildStatusNames();
    void FireOverallStatus();
    void Fire(EventIndex event, CEventArg* arg1, CEventArg* arg2, bool synchronous = false);

    Services::CServicesManager* const m_bus;
    CProtocolsManagerHost* const m_host;
    std::atomic<CStoredLists*> m_storedLists{nullptr};
    const CJOVString m_protosFolder;
    CEventHandler m_handler;
    unsigned int m_serviceId;
    unsigned int m_clientId;
    unsigned int m_eventIds[EvCount];
    unsigned int m_loadedSubscription;

    std::recursive_mutex m_protocolsLock;
    typedef std::map<JOV_GUID, ProtocolEntry, GuidLess> ProtocolMap;
    ProtocolMap m_protocols;
    std::list<ProtocolMap> m_retiredProtocols;  // registries replaced by a reload
    std::vector<HMODULE> m_listedLibraries;     // loaded by the listing, held until accounts are made

    std::recursive_mutex m_accountsLock;  // also guards the status table and the overall status
    AccountMap m_accounts;
    std::vector<KeptAccount> m_keptAccounts;  // in the order they were read
    bool m_accountsRead;                      // "Accounts data" was read this run
    unsigned int m_nextAccountId;
    bool m_closing;  // no account may be added once teardown began
    // Libraries of deleted accounts, freed once their reports queued before are handled.
    std::deque<HMODULE> m_freeing;
    Status m_overallStatus;
    CJOVArray<StatusInfo> m_statusTable;
};

// The one manager, for code that does not go through the bus; null when none exists.
extern CProtocolsManagerImpl* g_ProtocolsManager;

// Handler of the manager's status-menu items: sets the status of that account
// (0: all accounts).
void SetStatusViaManager(unsigned int accountId, uintptr_t status);

} // namespace Protocols
