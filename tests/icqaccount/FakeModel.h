// A contact-list model in memory: groups and contacts with their string and
// byte values, and a record of statuses and messages handed to it. The
// account calls it on its own thread; the test reads it when the account is idle.
#pragma once

#include <utility>
#include <vector>

#include "support/FakeItemStore.h"

class CFakeModel : public CFakeItemStore {
public:
    void BeginTransaction() override {}
    void EndTransaction() override {}
    void DeleteGroup(unsigned int groupId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_items[groupId].deleted = true;
    }
    void NotifyGroupChanged(unsigned int) override {}
    void NotifyContactAdded(unsigned int) override {}
    bool MoveContact(unsigned int contactId, unsigned int groupId) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_items[contactId].group = groupId;
        return true;
    }
    void SetContactStatus(unsigned int contactId, const Protocols::ContactStatusInfo* status) override
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        statuses.emplace_back(contactId, status->status);
        lastStatus = *status;
    }
    void NotifyContactChanged(unsigned int) override {}
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
        return id;
    }
    unsigned int AddContact(unsigned int accountId, unsigned int groupId, const wchar_t* uin)
    {
        unsigned int id = CreateContact(accountId, groupId);
        SetString(id, CJOVString(L"Account name"), CJOVString(uin));
        return id;
    }

    std::vector<std::pair<unsigned int, Protocols::Status>> statuses;
    Protocols::ContactStatusInfo lastStatus;
    std::vector<std::pair<unsigned int, Protocols::MessageInfo>> messages;
};
