// A contact-list model in memory: groups and contacts with their string and
// byte values, and a record of statuses and messages handed to it. The
// account calls it on its own thread; the test reads it when the account is idle.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "cl/ContactList.h"

class CFakeModel : public CL::CContactList {
public:
    struct Item {
        unsigned int account = 0;
        unsigned int group = 0;  // contacts: their group
        bool contact = false;
        bool deleted = false;
        std::map<std::wstring, std::wstring> strings;
        std::map<std::wstring, BYTE> bytes;
    };

    void BeginTransaction() override {}
    void EndTransaction() override {}
    unsigned int CreateGroup(unsigned int accountId) override { return Add(accountId, 0, false); }
    void NotifyGroupAdded(unsigned int) override {}
    void DeleteGroup(unsigned int groupId) override { m_items[groupId].deleted = true; }
    void NotifyGroupChanged(unsigned int) override {}
    unsigned int CreateContact(unsigned int accountId, unsigned int groupId) override
    {
        return Add(accountId, groupId, true);
    }
    void NotifyContactAdded(unsigned int) override {}
    void DeleteContact(unsigned int contactId) override { m_items[contactId].deleted = true; }
    bool MoveContact(unsigned int contactId, unsigned int groupId) override
    {
        m_items[contactId].group = groupId;
        return true;
    }
    unsigned int GetContactGroup(unsigned int contactId) override
    {
        auto found = m_items.find(contactId);
        return found == m_items.end() ? 0 : found->second.group;
    }
    void SetContactStatus(unsigned int contactId, const Protocols::ContactStatusInfo* status) override
    {
        statuses.emplace_back(contactId, status->status);
        lastStatus = *status;
    }
    void NotifyContactChanged(unsigned int) override {}
    void MessageReceived(unsigned int contactId, const Protocols::MessageInfo* message) override
    {
        messages.emplace_back(contactId, *message);
    }
    unsigned int GetItemKey(unsigned int itemId) override { return m_items[itemId].account; }
    bool GetData(unsigned int, const CJOVString&, void*, unsigned int*) override { return false; }
    bool GetString(unsigned int itemId, const CJOVString& name, CJOVString& out) override
    {
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
        m_items[itemId].strings[Key(name)] = Key(value);
    }
    void SetDWord(unsigned int, const CJOVString&, const DWORD*) override {}
    void SetWord(unsigned int, const CJOVString&, const WORD*) override {}
    void SetByte(unsigned int itemId, const CJOVString& name, const BYTE* value) override
    {
        m_items[itemId].bytes[Key(name)] = *value;
    }
    bool GetItems(unsigned int accountId, CJOVArray<CL::CLItemInfo>* out) override
    {
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
        return id;
    }
    unsigned int AddContact(unsigned int accountId, unsigned int groupId, const wchar_t* uin)
    {
        unsigned int id = CreateContact(accountId, groupId);
        SetString(id, CJOVString(L"Account name"), CJOVString(uin));
        return id;
    }
    // The live item with that "Account name", or 0.
    unsigned int Find(const wchar_t* name, bool contact)
    {
        for (const auto& entry : m_items) {
            auto value = entry.second.strings.find(L"Account name");
            if (!entry.second.deleted && entry.second.contact == contact && value != entry.second.strings.end() &&
                value->second == name)
                return entry.first;
        }
        return 0;
    }
    const Item& Get(unsigned int id) { return m_items[id]; }

    std::vector<std::pair<unsigned int, Protocols::Status>> statuses;
    Protocols::ContactStatusInfo lastStatus;
    std::vector<std::pair<unsigned int, Protocols::MessageInfo>> messages;

private:
    static std::wstring Key(const CJOVString& text) { return std::wstring(text.Data() ? text.Data() : L"", text.GetLength()); }
    unsigned int Add(unsigned int accountId, unsigned int groupId, bool contact)
    {
        unsigned int id = contact ? CL::kContactIdBit | ++m_lastContact : ++m_lastGroup;
        Item& item = m_items[id];
        item.account = accountId;
        item.group = groupId;
        item.contact = contact;
        return id;
    }
    std::map<unsigned int, Item> m_items;
    unsigned int m_lastGroup = 0;
    unsigned int m_lastContact = 0;
};
