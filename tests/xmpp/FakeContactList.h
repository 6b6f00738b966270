// A contact-list model in memory for the account's tests: groups and contacts
// with their values, the transactions, and a record of the statuses, messages
// and notifications handed to it. Deletions and moves are carried out at once.
// The account calls it on its own thread, the test on the main one.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "cl/ContactList.h"

class CFakeContactList : public CL::CContactList {
public:
    struct Item {
        unsigned int account = 0;
        unsigned int group = 0;  // a contact's group
        bool contact = false;
        bool deleted = false;
        std::map<std::wstring, std::wstring> strings;
        std::map<std::wstring, BYTE> bytes;
    };

    void BeginTransaction() override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        ++m_depth;
        ++begun;
    }
    void EndTransaction() override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        --m_depth;
        ++ended;
    }
    unsigned int CreateGroup(unsigned int accountId) override { return Add(accountId, 0, false); }
    void NotifyGroupAdded(unsigned int) override {}
    void DeleteGroup(unsigned int groupId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_items[groupId].deleted = true;
        for (auto& entry : m_items) {
            if (entry.second.contact && entry.second.group == groupId)
                entry.second.deleted = true;
        }
    }
    void NotifyGroupChanged(unsigned int groupId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        groupsChanged.push_back(groupId);
    }
    unsigned int CreateContact(unsigned int accountId, unsigned int groupId) override
    {
        return Add(accountId, groupId, true);
    }
    void NotifyContactAdded(unsigned int contactId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        added.push_back(contactId);
    }
    void DeleteContact(unsigned int contactId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_items[contactId].deleted = true;
    }
    bool MoveContact(unsigned int contactId, unsigned int groupId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_items[contactId].group = groupId;
        ++moves;
        return true;
    }
    unsigned int GetContactGroup(unsigned int contactId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        auto found = m_items.find(contactId);
        return found == m_items.end() ? 0 : found->second.group;
    }
    void SetContactStatus(unsigned int contactId, const Protocols::ContactStatusInfo* status) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        statuses.emplace_back(contactId, *status);
        pushedInTransaction = pushedInTransaction || m_depth > 0;
    }
    void NotifyContactChanged(unsigned int contactId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        changed.push_back(contactId);
    }
    void MessageReceived(unsigned int contactId, const Protocols::MessageInfo* message) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        messages.emplace_back(contactId, *message);
    }
    unsigned int GetItemKey(unsigned int itemId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        return m_items[itemId].account;
    }
    bool GetData(unsigned int, const CJOVString&, void*, unsigned int*) override { return false; }
    bool GetString(unsigned int itemId, const CJOVString& name, CJOVString& out) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        auto item = m_items.find(itemId);
        if (item == m_items.end())
            return false;
        auto value = item->second.strings.find(Key(name));
        if (value == item->second.strings.end() || value->second.empty())
            return false;
        out = CJOVString(value->second.c_str());
        return true;
    }
    bool GetDWord(unsigned int, const CJOVString&, DWORD*) override { return false; }
    bool GetWord(unsigned int, const CJOVString&, WORD*) override { return false; }
    bool GetByte(unsigned int itemId, const CJOVString& name, BYTE* out) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        auto item = m_items.find(itemId);
        if (item == m_items.end())
            return false;
        auto value = item->second.bytes.find(Key(name));
        if (value == item->second.bytes.end())
            return false;
        *out = value->second;
        return true;
    }
    void SetData(unsigned int, const CJOVString&, const void*, unsigned int) override {}
    void SetString(unsigned int itemId, const CJOVString& name, const CJOVString& value) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_items[itemId].strings[Key(name)] = Key(value);
    }
    void SetDWord(unsigned int, const CJOVString&, const DWORD*) override {}
    void SetWord(unsigned int, const CJOVString&, const WORD*) override {}
    void SetByte(unsigned int itemId, const CJOVString& name, const BYTE* value) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_items[itemId].bytes[Key(name)] = *value;
    }
    bool GetItems(unsigned int accountId, CJOVArray<CL::CLItemInfo>* out) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        for (const auto& entry : m_items) {
            if (entry.second.account != accountId || entry.second.deleted)
                continue;
            CL::CLItemInfo info;
            if (entry.second.contact) {
                info.groupId = entry.second.group;
                info.contactId = entry.first;
            } else {
                info.groupId = entry.first;
            }
            out->Append(info);
        }
        return true;
    }

    // Test side.
    unsigned int AddGroup(unsigned int accountId, const wchar_t* name)
    {
        unsigned int id = CreateGroup(accountId);
        SetString(id, CJOVString(L"Account name"), CJOVString(name));
        SetString(id, CJOVString(L"CL Alias"), CJOVString(name));
        return id;
    }
    unsigned int AddContact(unsigned int accountId, unsigned int groupId, const wchar_t* jid,
                            const wchar_t* alias = nullptr)
    {
        unsigned int id = CreateContact(accountId, groupId);
        SetString(id, CJOVString(L"Account name"), CJOVString(jid));
        SetString(id, CJOVString(L"CL Alias"), CJOVString(alias ? alias : jid));
        return id;
    }
    // The live item with that "Account name" (of that account, when not 0), or 0.
    unsigned int Find(const wchar_t* name, bool contact = true, unsigned int accountId = 0)
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        for (const auto& entry : m_items) {
            auto value = entry.second.strings.find(L"Account name");
            if (!entry.second.deleted && entry.second.contact == contact && value != entry.second.strings.end() &&
                value->second == name && (accountId == 0 || entry.second.account == accountId))
                return entry.first;
        }
        return 0;
    }
    Item Get(unsigned int id)
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        return m_items[id];
    }
    std::wstring String(unsigned int id, const wchar_t* key)
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        return m_items[id].strings[key];
    }
    int Byte(unsigned int id, const wchar_t* key)
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        auto found = m_items[id].bytes.find(key);
        return found == m_items[id].bytes.end() ? -1 : found->second;
    }
    // The name of a live contact's group; empty directly under the account.
    std::wstring GroupOf(unsigned int contactId)
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        unsigned int group = m_items[contactId].group;
        return group ? m_items[group].strings[L"Account name"] : std::wstring();
    }
    int LiveCount(bool contact)
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        int count = 0;
        for (const auto& entry : m_items)
            count += !entry.second.deleted && entry.second.contact == contact;
        return count;
    }
    // The last status pushed for the contact; Offline when none.
    Protocols::ContactStatusInfo LastStatus(unsigned int contactId)
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        for (auto it = statuses.rbegin(); it != statuses.rend(); ++it) {
            if (it->first == contactId)
                return it->second;
        }
        return Protocols::ContactStatusInfo();
    }
    std::vector<std::pair<unsigned int, Protocols::MessageInfo>> Messages()
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        return messages;
    }
    void Forget()
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        statuses.clear();
        messages.clear();
        changed.clear();
        added.clear();
        groupsChanged.clear();
        moves = 0;
        begun = ended = 0;
        pushedInTransaction = false;
    }

    std::vector<std::pair<unsigned int, Protocols::ContactStatusInfo>> statuses;
    std::vector<std::pair<unsigned int, Protocols::MessageInfo>> messages;
    std::vector<unsigned int> changed;
    std::vector<unsigned int> added;
    std::vector<unsigned int> groupsChanged;
    int moves = 0;
    int begun = 0;
    int ended = 0;
    bool pushedInTransaction = false;

private:
    static std::wstring Key(const CJOVString& text)
    {
        return std::wstring(text.Data() ? text.Data() : L"", text.GetLength());
    }
    unsigned int Add(unsigned int accountId, unsigned int groupId, bool contact)
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        unsigned int id = contact ? CL::kContactIdBit | ++m_lastContact : ++m_lastGroup;
        Item& item = m_items[id];
        item.account = accountId;
        item.group = groupId;
        item.contact = contact;
        return id;
    }

    std::recursive_mutex m_lock;
    std::map<unsigned int, Item> m_items;
    unsigned int m_lastGroup = 0;
    unsigned int m_lastContact = 0;
    int m_depth = 0;
};
