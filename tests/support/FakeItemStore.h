// What the accounts' fake contact-list models share: groups and contacts of
// any account in memory with their string and byte values, found and read
// back by the test. The account calls it on its own thread, the test on the
// main one; every value is kept under one lock.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "cl/ContactList.h"

class CFakeItemStore : public CL::CContactList {
public:
    struct Item {
        unsigned int account = 0;
        unsigned int group = 0;  // a contact's group
        bool contact = false;
        bool deleted = false;
        std::map<std::wstring, std::wstring> strings;
        std::map<std::wstring, BYTE> bytes;
    };

    unsigned int CreateGroup(unsigned int accountId) override { return Add(accountId, 0, false); }
    void NotifyGroupAdded(unsigned int) override {}
    unsigned int CreateContact(unsigned int accountId, unsigned int groupId) override
    {
        return Add(accountId, groupId, true);
    }
    void DeleteContact(unsigned int contactId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_items[contactId].deleted = true;
    }
    unsigned int GetContactGroup(unsigned int contactId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        auto found = m_items.find(contactId);
        return found == m_items.end() ? 0 : found->second.group;
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

protected:
    static std::wstring Key(const CJOVString& text)
    {
        return std::wstring(text.Data() ? text.Data() : L"", text.GetLength());
    }

    std::recursive_mutex m_lock;
    std::map<unsigned int, Item> m_items;

private:
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

    unsigned int m_lastGroup = 0;
    unsigned int m_lastContact = 0;
};
