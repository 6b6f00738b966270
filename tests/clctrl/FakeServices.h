// Fakes of what the contact-list control uses besides the bus, the settings
// store and the contact-list model: the protocol manager's answers, the alert
// service, the notifications manager and the messaging window. Each records
// what it was asked, under a lock of its own (the control calls them from its
// queue thread).
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "AlertManager.h"
#include "EventsQueue.h"
#include "core/notify/Notifications.h"
#include "messaging/ChatPages.h"
#include "protocols/ProtocolsManager.h"

inline std::wstring Text(const CJOVString& s) { return std::wstring(s.Data() ? s.Data() : L"", s.GetLength()); }

class CFakeProtocols final : public Protocols::CProtocolsManager {
public:
    struct Account {
        std::wstring name;
        std::wstring protocol = L"ICQ";
        std::vector<unsigned int> images;
        int statusAnswer = 0;  // what GetStatus answers
        Protocols::Status status = Protocols::StatusOnline;
        unsigned long logon = 0;
        std::map<std::wstring, BYTE> bytes;
    };

    void Set(unsigned int accountId, const Account& account)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_accounts[accountId] = account;
    }
    template <class F> void Change(unsigned int accountId, F change)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        change(m_accounts[accountId]);
    }
    int StatusQuestions()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_statusQuestions;
    }
    // The requests to accounts, as "create <account> <name>", "rename group
    // <account> <group> <name>", "delete group ...", "rename contact ...",
    // "move <account> <contact> <group>", "delete contact ...".
    std::vector<std::wstring> Requests()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_requests;
    }

    // What "Get contact status info" answers, and who asked.
    std::function<bool(unsigned int accountId, unsigned int contactId, Protocols::ContactStatusInfo* info)>
        contactStatus;
    // The accounts' own menu entries.
    std::function<void(unsigned int accountId, unsigned int itemId, CMenuInfo* menu)> accountMenu;

    int LoadProtocols() override { return 0; }
    int GetProtocolCount() override { return 1; }
    const Protocols::ProtocolEntry* FindProtocol(const JOV_GUID&) override { return nullptr; }
    Protocols::ProtocolInfo GetProtocol(int) override { return Protocols::ProtocolInfo(); }
    unsigned int AddAccount(const JOV_GUID&) override { return 0; }
    int DeleteAccount(unsigned int) override { return 0; }
    int GetAccountCount() override { return static_cast<int>(m_accounts.size()); }
    unsigned int GetAccountId(int) override { return 0; }
    CJOVString GetAccountName(unsigned int accountId, bool) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_accounts.find(accountId);
        return found == m_accounts.end() ? CJOVString() : CJOVString(found->second.name.c_str());
    }
    Protocols::ProtocolInfo GetAccountProtocol(unsigned int accountId) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Protocols::ProtocolInfo info = {};
        auto found = m_accounts.find(accountId);
        if (found != m_accounts.end())
            info.name = CJOVString(found->second.protocol.c_str());
        return info;
    }
    bool GetValueSize(unsigned int, const CJOVString&, unsigned*) override { return false; }
    bool GetData(unsigned int, const CJOVString&, void*, unsigned*) override { return false; }
    bool GetString(unsigned int, const CJOVString&, CJOVString&) override { return false; }
    bool GetDWord(unsigned int, const CJOVString&, DWORD*) override { return false; }
    bool GetWord(unsigned int, const CJOVString&, WORD*) override { return false; }
    bool GetByte(unsigned int accountId, const CJOVString& name, BYTE* out) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto& bytes = m_accounts[accountId].bytes;
        auto found = bytes.find(Text(name));
        if (found == bytes.end())
            return false;
        *out = found->second;
        return true;
    }
    void SetData(unsigned int, const CJOVString&, const void*, const unsigned*) override {}
    void SetString(unsigned int, const CJOVString&, const CJOVString&) override {}
    void SetDWord(unsigned int, const CJOVString&, const DWORD*) override {}
    void SetWord(unsigned int, const CJOVString&, const WORD*) override {}
    void SetByte(unsigned int accountId, const CJOVString& name, const BYTE* value) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_accounts[accountId].bytes[Text(name)] = *value;
    }
    bool GetImages(unsigned int accountId, CJOVArray<unsigned int>* images) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (unsigned int image : m_accounts[accountId].images)
            images->Append(image);
        return true;
    }
    bool GetContactStatusInfo(unsigned int accountId, unsigned int contactId,
                              Protocols::ContactStatusInfo* info) override
    {
        return contactStatus && contactStatus(accountId, contactId, info);
    }
    bool InitRootMenu(unsigned int accountId, CMenuInfo* menu) override { return Menu(accountId, 0, menu); }
    bool InitGroupMenu(unsigned int accountId, unsigned int groupId, CMenuInfo* menu) override
    {
        return Menu(accountId, groupId, menu);
    }
    bool InitContactMenu(unsigned int accountId, unsigned int contactId, CMenuInfo* menu) override
    {
        return Menu(accountId, contactId, menu);
    }
    bool InitMessageWindowMenu(unsigned int, unsigned int, CMenuInfo*) override { return false; }
    bool CreateGroup(unsigned int accountId, const CJOVString& name) override
    {
        return Request(L"create " + std::to_wstring(accountId) + L" " + Text(name));
    }
    bool RenameGroup(unsigned int accountId, unsigned int groupId, const CJOVString& name) override
    {
        return Request(L"rename group " + std::to_wstring(accountId) + L" " + std::to_wstring(groupId) + L" " +
                       Text(name));
    }
    bool DeleteGroup(unsigned int accountId, unsigned int groupId) override
    {
        return Request(L"delete group " + std::to_wstring(accountId) + L" " + std::to_wstring(groupId));
    }
    bool RenameContact(unsigned int accountId, unsigned int contactId, const CJOVString& name) override
    {
        return Request(L"rename contact " + std::to_wstring(accountId) + L" " + std::to_wstring(contactId) + L" " +
                       Text(name));
    }
    bool MoveContact(unsigned int accountId, unsigned int contactId, unsigned int groupId) override
    {
        return Request(L"move " + std::to_wstring(accountId) + L" " + std::to_wstring(contactId) + L" " +
                       std::to_wstring(groupId));
    }
    bool DeleteContact(unsigned int accountId, unsigned int contactId) override
    {
        return Request(L"delete contact " + std::to_wstring(accountId) + L" " + std::to_wstring(contactId));
    }
    bool SendMessage(unsigned int, const Protocols::MessageInfo*) override { return false; }
    int GetAccountDetailsDlgInfo(unsigned int, CJOVArray<CPanelInfo>*) override { return 0; }
    int GetContactDetailsDlgInfo(unsigned int, unsigned int, CJOVArray<CPanelInfo>*) override { return 0; }
    int SetStatus(unsigned int, Protocols::Status) override { return 0; }
    int GetStatus(unsigned int accountId, Protocols::Status* out) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        ++m_statusQuestions;
        const Account& account = m_accounts[accountId];
        if (account.statusAnswer == 0)
            *out = account.status;
        return account.statusAnswer;
    }
    int GetStatusInfo(unsigned int, Protocols::Status, Protocols::StatusInfo*) override { return 0; }
    bool GetLogonDate(unsigned int accountId, CTime* out) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        *out = CTime(m_accounts[accountId].logon);
        return true;
    }
    int GetStatusMenuInfo(unsigned int, CMenuInfo*) override { return 0; }
    int GetOptionsDlgInfo(unsigned int, CJOVArray<CPanelInfo>*) override { return 0; }

private:
    bool Menu(unsigned int accountId, unsigned int itemId, CMenuInfo* menu)
    {
        if (!accountMenu)
            return false;
        accountMenu(accountId, itemId, menu);
        return true;
    }
    bool Request(const std::wstring& request)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_requests.push_back(request);
        return true;
    }

    std::mutex m_lock;
    std::map<unsigned int, Account> m_accounts;
    int m_statusQuestions = 0;
    std::vector<std::wstring> m_requests;
};

class CFakeAlerts final : public Alert::CAlertManager {
public:
    unsigned int RegisterAlert(const Alert::AlertInfo*) override { return 0; }
    bool UnregisterAlert(unsigned int) override { return false; }
    bool GetAlert(unsigned int, Alert::AlertInfo*) override { return false; }
    unsigned int FindAlert(JOV_GUID, unsigned int) override { return 0; }
    bool PlayAlert(unsigned int alertId) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_played.push_back(alertId);
        return true;
    }
    std::vector<unsigned int> Played()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_played;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_played.clear();
    }

private:
    std::mutex m_lock;
    std::vector<unsigned int> m_played;
};

// Calls as "message <serial> <image> <contact> <text>", "online <contact>",
// "offline <contact>", "remove <contact>".
class CFakeNotifications final : public CNotifications {
public:
    void AddMessageNotification(unsigned int serial, int imageId, unsigned int contactId,
                                const CJOVString& text) override
    {
        Add(L"message " + std::to_wstring(serial) + L" " + std::to_wstring(imageId) + L" " +
            std::to_wstring(contactId) + L" " + Text(text));
    }
    void AddOnlineNotification(unsigned int contactId) override { Add(L"online " + std::to_wstring(contactId)); }
    void AddOfflineNotification(unsigned int contactId) override { Add(L"offline " + std::to_wstring(contactId)); }
    void RemoveNotification(unsigned int contactId) override { Add(L"remove " + std::to_wstring(contactId)); }
    void AddWarningNotification(const CJOVString& text) override { Add(L"warning " + Text(text)); }
    NotificationOptions GetOptions() override { return NotificationOptions(); }
    void SetOptions(const NotificationOptions&) override {}

    std::vector<std::wstring> Calls()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_calls;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_calls.clear();
    }

private:
    void Add(const std::wstring& call)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_calls.push_back(call);
    }
    std::mutex m_lock;
    std::vector<std::wstring> m_calls;
};

// The messaging window as the control sees it; its tabs' entries are kept as
// "<kind> <subKind> <nick> <time>|<text>" per contact.
class CFakeChatPages final : public CChatPages {
public:
    void OpenContact(unsigned int contactId, int pendingCount) override
    {
        m_calls.push_back(L"open " + std::to_wstring(contactId) + L" " + std::to_wstring(pendingCount));
        if (!HasPage(contactId)) {
            NotePageOpened(contactId);
            m_entries[contactId];
        }
        NoteCurrentContact(contactId);
        if (onOpen)
            onOpen(contactId, pendingCount);
    }
    void AddMessage(unsigned int contactId, const SMessage* message) override
    {
        if (!HasPage(contactId))
            return;
        m_entries[contactId].push_back(std::to_wstring(message->kind) + L" " + std::to_wstring(message->subKind) +
                                       L" " + Text(message->nick) + L" " + Text(message->time) + L"|" +
                                       Text(message->text));
    }
    void UpdateContactPage(unsigned int contactId, int iconOnly, int stopBlink) override
    {
        m_calls.push_back(L"update " + std::to_wstring(contactId) + L" " + std::to_wstring(iconOnly) + L" " +
                          std::to_wstring(stopBlink));
    }
    void ClosePage(unsigned int contactId) override
    {
        m_calls.push_back(L"close " + std::to_wstring(contactId));
        NotePageClosed(contactId);
        m_entries.erase(contactId);
    }

    // Test side, as the real window would.
    void Open(unsigned int contactId)
    {
        NotePageOpened(contactId);
        NoteCurrentContact(contactId);
        m_entries[contactId];
    }
    void Front(HWND window) { NoteWindow(window); }
    void Current(unsigned int contactId) { NoteCurrentContact(contactId); }

    // The texts of the contact's tab, after the "|".
    std::vector<std::wstring> Texts(unsigned int contactId)
    {
        std::vector<std::wstring> texts;
        for (const std::wstring& entry : m_entries[contactId])
            texts.push_back(entry.substr(entry.find(L'|') + 1));
        return texts;
    }

    std::function<void(unsigned int contactId, int pendingCount)> onOpen;
    std::vector<std::wstring> m_calls;
    std::map<unsigned int, std::vector<std::wstring>> m_entries;
};
