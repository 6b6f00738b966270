#include "core/clmodel/ContactListImpl.h"

#include <cstring>

#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"

namespace CL {

std::atomic<unsigned int> CContactListImpl::s_nextGroupId{1};
std::atomic<unsigned int> CContactListImpl::s_nextContactId{0x80000001u};

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

const wchar_t* const kEventNames[] = {EVENT_TransactionBegin, EVENT_TransactionEnd, EVENT_GroupAdded,
                                      EVENT_GroupDelete,      EVENT_GroupChanged,   EVENT_ContactAdded,
                                      EVENT_ContactDelete,    EVENT_ContactStatusChanged,
                                      EVENT_ContactChanged,   EVENT_MessageReceived};

CEventArg* IdArg(unsigned int id) { return new CEventArg_Data<unsigned int>(id); }

} // namespace

CContactListImpl::CContactListImpl(Services::CServicesManager& bus) : m_bus(bus), m_handler(this)
{
    m_serviceId = m_bus.RegisterService(GUID_ContactList, static_cast<CContactList*>(this));
    m_clientId = m_bus.RegisterEventsClient(&m_handler, CJOVString(L"CL"));
    for (int slot = 0; slot < kEventCount; ++slot)
        m_eventIds[slot] = m_bus.DeclareEvent(GUID_ContactList, CJOVString(kEventNames[slot]));
    m_loadedSubscription = m_bus.Subscribe(GUID_ServicesManager, CJOVString(EVENT_Loaded), m_clientId);
}

CContactListImpl::~CContactListImpl()
{
    // No handler may run on the items once saving and freeing begin.
    m_bus.UnregisterEventsClient(m_clientId);
    Save();
    {
        Lock lock(m_lock);
        // A transaction left open: its notifications go nowhere now.
        for (const auto& firing : m_held) {
            DiscardArg(firing.arg1);
            DiscardArg(firing.arg2);
        }
        m_held.clear();
        m_accounts.clear();
        m_index.clear();
    }
    for (unsigned int eventId : m_eventIds)
        m_bus.RemoveEvent(eventId);
    m_bus.UnregisterService(m_serviceId);
}

CContactListImpl::Item* CContactListImpl::FindItem(unsigned int id, unsigned int* accountId)
{
    auto it = m_index.find(id);
    if (it == m_index.end())
        return nullptr;
    if (accountId)
        *accountId = it->second.accountId;
    return it->second.item.get();
}

NamedValue* CContactListImpl::FindValue(unsigned int itemId, const CJOVString& name)
{
    Item* item = FindItem(itemId);
    return item ? item->properties.Find(name) : nullptr;
}

void CContactListImpl::Fire(EventSlot slot, unsigned int id, CEventArg* arg2, bool wait)
{
    CEventArg* arg1 = (slot == kTransactionBegin || slot == kTransactionEnd) ? nullptr : IdArg(id);
    if (!wait && m_depth > 0) {
        m_held.push_back(Services::CServicesManager::Firing{m_eventIds[slot], arg1, arg2});
        return;
    }
    m_bus.FireEvent(m_eventIds[slot], arg1, arg2, wait);
}

void CContactListImpl::FireHeld()
{
    if (m_held.empty())
        return;
    std::vector<Services::CServicesManager::Firing> held;
    held.swap(m_held);
    m_bus.FireEvents(held.data(), held.size());
}

void CContactListImpl::FireUnlocked(EventSlot slot, unsigned int id, CEventArg* arg2)
{
    // What was posted before goes first.
    FireHeld();
    // Subscribers are waited for; they may call the model meanwhile, from
    // their own threads, so the lock must not be held by this one.
    m_lock.unlock();
    Fire(slot, id, arg2, true);
    m_lock.lock();
}

void CContactListImpl::PostToSelf(const wchar_t* name, unsigned int id, CEventArg* arg2)
{
    m_bus.SendEventToClient(m_clientId, GUID_ContactList, CJOVString(name), IdArg(id), arg2, false);
}

void CContactListImpl::BeginTransaction()
{
    Lock lock(m_lock);
    if (m_depth++ == 0)
        Fire(kTransactionBegin, 0);
}

void CContactListImpl::EndTransaction()
{
    Lock lock(m_lock);
    // An unmatched end would wrap the depth and silence every later begin.
    if (m_depth == 0)
        return;
    if (--m_depth == 0) {
        m_held.push_back(Services::CServicesManager::Firing{m_eventIds[kTransactionEnd], nullptr, nullptr});
        FireHeld();
    }
}

unsigned int CContactListImpl::AddItem(unsigned int accountId, TopLevel* top, Item* group, bool contact)
{
    auto item = std::make_unique<Item>();
    item->id = contact ? s_nextContactId++ : s_nextGroupId++;
    item->groupId = group ? group->id : 0;
    Item* raw = item.get();
    if (!m_index.emplace(raw->id, IndexEntry{accountId, std::move(item)}).second)
        return 0;
    if (group)
        group->contacts.emplace(raw->id, raw);
    else
        top->emplace(raw->id, raw);
    return raw->id;
}

unsigned int CContactListImpl::CreateGroup(unsigned int accountId)
{
    Lock lock(m_lock);
    auto account = m_accounts.find(accountId);
    if (account == m_accounts.end())
        return 0;
    return AddItem(accountId, &account->second, nullptr, false);
}

void CContactListImpl::NotifyGroupAdded(unsigned int groupId)
{
    Lock lock(m_lock);
    if (!IsContact(groupId) && FindItem(groupId))
        Fire(kGroupAdded, groupId);
}

void CContactListImpl::DeleteGroup(unsigned int groupId) { PostToSelf(EVENT_GroupDelete, groupId, nullptr); }

void CContactListImpl::NotifyGroupChanged(unsigned int groupId)
{
    Lock lock(m_lock);
    if (!IsContact(groupId) && FindItem(groupId))
        Fire(kGroupChanged, groupId);
}

unsigned int CContactListImpl::CreateContact(unsigned int accountId, unsigned int groupId)
{
    Lock lock(m_lock);
    if (groupId == 0)
        return AddItem(accountId, &m_accounts[accountId], nullptr, true);
    unsigned int owner = 0;
    Item* group = IsContact(groupId) ? nullptr : FindItem(groupId, &owner);
    if (!group || owner != accountId || group->closing)
        return 0;
    return AddItem(accountId, nullptr, group, true);
}

void CContactListImpl::NotifyContactAdded(unsigned int contactId)
{
    Lock lock(m_lock);
    if (Item* contact = IsContact(contactId) ? FindItem(contactId) : nullptr)
        Fire(kContactAdded, contactId, IdArg(contact->groupId));
}

void CContactListImpl::DeleteContact(unsigned int contactId) { PostToSelf(EVENT_ContactDelete, contactId, nullptr); }

bool CContactListImpl::MoveContact(unsigned int contactId, unsigned int groupId)
{
    PostToSelf(EVENT_ContactMove, contactId, IdArg(groupId));
    return true;
}

unsigned int CContactListImpl::GetContactGroup(unsigned int contactId)
{
    Lock lock(m_lock);
    Item* contact = FindItem(contactId);
    return contact ? contact->groupId : 0;
}

void CContactListImpl::SetContactStatus(unsigned int contactId, const Protocols::ContactStatusInfo* status)
{
    if (!status)
        return;
    Lock lock(m_lock);
    if (IsContact(contactId) && FindItem(contactId))
        Fire(kContactStatusChanged, contactId, new CEventArg_Data<Protocols::ContactStatusInfo>(*status));
}

void CContactListImpl::NotifyContactChanged(unsigned int contactId)
{
    Lock lock(m_lock);
    if (IsContact(contactId) && FindItem(contactId))
        Fire(kContactChanged, contactId);
}

void CContactListImpl::MessageReceived(unsigned int contactId, const Protocols::MessageInfo* message)
{
    if (!message)
        return;
    PostToSelf(EVENT_MessageReceived, contactId, new CEventArg_Data<Protocols::MessageInfo>(*message));
}

unsigned int CContactListImpl::GetItemKey(unsigned int itemId)
{
    Lock lock(m_lock);
    unsigned int accountId = 0;
    return FindItem(itemId, &accountId) ? accountId : 0;
}

bool CContactListImpl::GetData(unsigned int itemId, const CJOVString& name, void* buffer, unsigned int* size)
{
    if (!size)
        return false;
    Lock lock(m_lock);
    const NamedValue* value = FindValue(itemId, name);
    if (!value || value->GetSize() > *size || (value->GetSize() && !buffer))
        return false;
    if (value->GetSize())
        std::memcpy(buffer, value->GetData(), value->GetSize());
    *size = value->GetSize();
    return true;
}

bool CContactListImpl::GetString(unsigned int itemId, const CJOVString& name, CJOVString& out)
{
    Lock lock(m_lock);
    const NamedValue* value = FindValue(itemId, name);
    if (!value || value->GetSize() == 0)
        return false;
    out = value->AsString();
    return true;
}

bool CContactListImpl::GetDWord(unsigned int itemId, const CJOVString& name, DWORD* out)
{
    Lock lock(m_lock);
    const NamedValue* value = FindValue(itemId, name);
    if (!value || value->GetSize() != 4 || !out)
        return false;
    *out = value->AsDWord();
    return true;
}

bool CContactListImpl::GetWord(unsigned int itemId, const CJOVString& name, WORD* out)
{
    Lock lock(m_lock);
    const NamedValue* value = FindValue(itemId, name);
    if (!value || value->GetSize() != 2 || !out)
        return false;
    *out = value->AsWord();
    return true;
}

bool CContactListImpl::GetByte(unsigned int itemId, const CJOVString& name, BYTE* out)
{
    Lock lock(m_lock);
    const NamedValue* value = FindValue(itemId, name);
    if (!value || value->GetSize() != 1 || !out)
        return false;
    *out = value->AsByte();
    return true;
}

void CContactListImpl::SetData(unsigned int itemId, const CJOVString& name, const void* data, unsigned int size)
{
    // The stored form has one byte for the name's length.
    if (NamedValue::Utf8Length(name) > NamedValue::kMaxNameBytes)
        return;
    Lock lock(m_lock);
    Item* item = FindItem(itemId);
    if (!item)
        return;
    NamedValue* value = item->properties.Find(name);
    if (!value) {
        item->properties.Set(NamedValue(name));
        value = item->properties.Find(name);
    }
    if (value)
        value->SetData(data, size);
}

void CContactListImpl::SetString(unsigned int itemId, const CJOVString& name, const CJOVString& value)
{
    NamedValue bytes;
    bytes.SetString(value);
    SetData(itemId, name, bytes.GetData(), bytes.GetSize());
}

void CContactListImpl::SetDWord(unsigned int itemId, const CJOVString& name, const DWORD* value)
{
    if (!value)
        return;
    NamedValue bytes;
    bytes.SetDWord(static_cast<unsigned int>(*value));
    SetData(itemId, name, bytes.GetData(), bytes.GetSize());
}

void CContactListImpl::SetWord(unsigned int itemId, const CJOVString& name, const WORD* value)
{
    if (!value)
        return;
    NamedValue bytes;
    bytes.SetWord(*value);
    SetData(itemId, name, bytes.GetData(), bytes.GetSize());
}

void CContactListImpl::SetByte(unsigned int itemId, const CJOVString& name, const BYTE* value)
{
    if (!value)
        return;
    SetData(itemId, name, value, 1);
}

bool CContactListImpl::GetItems(unsigned int accountId, CJOVArray<CLItemInfo>* out)
{
    Lock lock(m_lock);
    auto account = m_accounts.find(accountId);
    if (account == m_accounts.end() || !out)
        return false;
    for (const auto& [id, item] : account->second) {
        if (IsContact(id)) {
            out->Append(CLItemInfo{0, id});
            continue;
        }
        out->Append(CLItemInfo{id, 0});
        for (const auto& member : item->contacts)
            out->Append(CLItemInfo{id, member.first});
    }
    return true;
}

} // namespace CL
