// A contact-list model in memory for the account's tests: groups and contacts
// with their values, the transactions, and a record of the statuses, messages
// and notifications handed to it. Deletions and moves are carried out at once.
// The account calls it on its own thread, the test on the main one.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/FakeItemStore.h"

class CFakeContactList : public CFakeItemStore {
public:
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
    void NotifyContactAdded(unsigned int contactId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        added.push_back(contactId);
    }
    bool MoveContact(unsigned int contactId, unsigned int groupId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_items[contactId].group = groupId;
        ++moves;
        return true;
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
    int m_depth = 0;
};
