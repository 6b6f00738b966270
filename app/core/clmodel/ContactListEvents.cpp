// The contact-list model's work on its own queue thread ("CL"): the protocol
// manager's account events, and the deletions, moves and messages it posts to
// itself.
#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "core/clmodel/ContactListImpl.h"

namespace CL {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

bool Is(const CJOVString& name, const wchar_t* text) { return name == CJOVString(text); }

bool IdOf(CEventArg* arg, unsigned int* id)
{
    auto* data = dynamic_cast<CEventArg_Data<unsigned int>*>(arg);
    if (!data)
        return false;
    *id = data->m_data;
    return true;
}

CEventArg* IdArg(unsigned int id) { return new CEventArg_Data<unsigned int>(id); }

} // namespace

int CContactListImpl::CEventHandler::OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1,
                                             CEventArg* arg2)
{
    if (sender == GUID_ServicesManager) {
        if (Is(name, EVENT_Loaded))
            m_model->OnLoaded();
        return 0;
    }
    unsigned int id = 0;
    if (sender == GUID_ProtocolsManager) {
        if (!IdOf(arg1, &id))
            return 0;
        if (Is(name, EVENT_Added))
            m_model->OnAccountAdded(id);
        else if (Is(name, EVENT_Deleted))
            m_model->RemoveAccountItems(id, true);
        else if (Is(name, EVENT_AccountChanged))
            m_model->OnAccountChanged(id);
        return 0;
    }
    if (sender != GUID_ContactList)
        return 0;
    if (Is(name, EVENT_MessageReceived)) {
        m_model->RelayMessage(arg1, arg2);
        return 0;
    }
    if (!IdOf(arg1, &id))
        return 0;
    if (Is(name, EVENT_GroupDelete))
        m_model->DeleteGroupNow(id);
    else if (Is(name, EVENT_ContactDelete))
        m_model->DeleteContactNow(id);
    else if (Is(name, EVENT_ContactMove)) {
        unsigned int groupId = 0;
        return IdOf(arg2, &groupId) ? m_model->MoveContactNow(id, groupId) : 0;
    }
    return 0;
}

void CContactListImpl::OnLoaded()
{
    const wchar_t* const names[] = {EVENT_Added, EVENT_Deleted, EVENT_AccountChanged};
    for (int i = 0; i < 3; ++i)
        m_accountSubscriptions[i] = m_bus.Subscribe(GUID_ProtocolsManager, CJOVString(names[i]), m_clientId);
}

void CContactListImpl::OnAccountChanged(unsigned int accountId)
{
    RemoveAccountItems(accountId, false);
    // A new name brings the list stored under it; an account added without
    // a name has its first one now. Asked here, so that a save has the key
    // without asking.
    CJOVString key;
    if (FetchAccountKey(accountId, &key))
        TakeKey(accountId, key);
}

void CContactListImpl::RemoveAccountItems(unsigned int accountId, bool removeAccount)
{
    if (removeAccount) {
        // Its stored part goes at the next save, unless its deletion took it
        // already (an empty key); an account never named is asked while it
        // still answers.
        CJOVString key;
        bool known;
        {
            Lock lock(m_lock);
            auto it = m_accountKeys.find(accountId);
            known = it != m_accountKeys.end();
            if (known)
                key = it->second;
        }
        if (known || FetchAccountKey(accountId, &key)) {
            Lock lock(m_lock);
            if (key.GetLength() > 0)
                m_droppedKeys.insert(key);
            m_accountKeys.erase(accountId);
        }
    }
    Lock lock(m_lock);
    auto account = m_accounts.find(accountId);
    if (account == m_accounts.end())
        return;
    BeginTransaction();
    unsigned int previous = 0;
    for (;;) {
        account = m_accounts.find(accountId);
        if (account == m_accounts.end() || account->second.empty())
            break;
        unsigned int first = account->second.begin()->first;
        // A deletion that could not remove its item would loop for ever.
        if (first == previous)
            break;
        previous = first;
        m_lock.unlock();
        if (IsContact(first))
            DeleteContactNow(first);
        else
            DeleteGroupNow(first);
        m_lock.lock();
    }
    EndTransaction();
    if (removeAccount)
        m_accounts.erase(accountId);
}

void CContactListImpl::DeleteGroupNow(unsigned int groupId)
{
    Lock lock(m_lock);
    unsigned int accountId = 0;
    Item* group = IsContact(groupId) ? nullptr : FindItem(groupId, &accountId);
    auto account = m_accounts.find(accountId);
    if (!group || account == m_accounts.end() || !account->second.count(groupId))
        return;
    // Contacts may be added meanwhile; each is taken out of the group before
    // its record is freed, so GetItems never walks a freed one.
    while (!group->contacts.empty()) {
        unsigned int contactId = group->contacts.begin()->first;
        FireUnlocked(kContactDelete, contactId, nullptr);
        group = FindItem(groupId);
        if (!group)
            return;
        group->contacts.erase(contactId);
        m_index.erase(contactId);
    }
    // One added while "Group delete" is out would outlive its group, unreachable.
    group->closing = true;
    FireUnlocked(kGroupDelete, groupId, nullptr);
    account = m_accounts.find(accountId);
    if (account != m_accounts.end())
        account->second.erase(groupId);
    m_index.erase(groupId);
}

void CContactListImpl::DeleteContactNow(unsigned int contactId)
{
    Lock lock(m_lock);
    Item* contact = IsContact(contactId) ? FindItem(contactId) : nullptr;
    if (!contact)
        return;
    FireUnlocked(kContactDelete, contactId, IdArg(contact->groupId));
    unsigned int accountId = 0;
    contact = FindItem(contactId, &accountId);
    if (!contact)
        return;
    if (contact->groupId == 0) {
        auto account = m_accounts.find(accountId);
        if (account != m_accounts.end())
            account->second.erase(contactId);
    } else {
        Item* group = FindItem(contact->groupId);
        if (!group || group->contacts.erase(contactId) == 0)
            return;
    }
    m_index.erase(contactId);
}

int CContactListImpl::MoveContactNow(unsigned int contactId, unsigned int groupId)
{
    Lock lock(m_lock);
    unsigned int accountId = 0;
    Item* contact = IsContact(contactId) ? FindItem(contactId, &accountId) : nullptr;
    auto account = m_accounts.find(accountId);
    if (!contact || account == m_accounts.end())
        return 0;
    // The target must be a group of the contact's own account; a contact id
    // or group 0 is no place to move to.
    if (IsContact(groupId) || !account->second.count(groupId))
        return 0;
    unsigned int oldGroupId = contact->groupId;
    FireUnlocked(kContactDelete, contactId, oldGroupId ? IdArg(oldGroupId) : nullptr);

    contact = FindItem(contactId, &accountId);
    Item* target = FindItem(groupId);
    account = m_accounts.find(accountId);
    if (!contact || !target || account == m_accounts.end())
        return 0;
    if (oldGroupId) {
        Item* oldGroup = FindItem(oldGroupId);
        if (!oldGroup || oldGroup->contacts.erase(contactId) == 0)
            return 0;
    } else if (account->second.erase(contactId) == 0) {
        return 0;
    }
    target->contacts.emplace(contactId, contact);
    contact->groupId = groupId;
    Fire(kContactAdded, contactId, IdArg(groupId));
    return 1;
}

void CContactListImpl::RelayMessage(CEventArg* arg1, CEventArg* arg2)
{
    unsigned int contactId = 0;
    if (!IdOf(arg1, &contactId))
        return;
    Lock lock(m_lock);
    if (IsContact(contactId) && FindItem(contactId)) {
        // After what an open transaction holds, which may be the sender's arrival.
        FireHeld();
        m_bus.FireEvent(m_eventIds[kMessageReceived], arg1, arg2, false);
    }
}

} // namespace CL
