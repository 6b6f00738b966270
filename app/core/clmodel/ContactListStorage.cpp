// "CL data": the contact list in the settings store, three levels of packed
// named-value collections. Level 1: one value per account, named by the
// account's key (protocol identifier text + account name). Level 2: the
// account's top-level items by position ("0", "1", ...), a group as a level-3
// collection ("Group settings" + its contacts by position), a contact as its
// packed properties. Item ids are not stored.
#include <algorithm>
#include <cwchar>
#include <vector>

#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "Trace.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/settings/JOVDatabase.h"

namespace CL {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

const wchar_t kBlobName[] = L"CL data";
const wchar_t kGroupSettings[] = L"Group settings";

// Owns the string the account fills, so an answer that comes after the
// time-out still writes into live memory.
class CAccountNameArg final : public CEventArg_Data<CJOVString*> {
public:
    CAccountNameArg() : CEventArg_Data<CJOVString*>(&m_name) {}
    CJOVString m_name;
};

CJOVString Position(unsigned int index)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%u", index);
    return CJOVString(text);
}

// A position name's number; false for any other name.
bool PositionOf(const CJOVString& name, unsigned long* number)
{
    int length = name.GetLength();
    if (length == 0 || length > 9)
        return false;
    unsigned long value = 0;
    for (int i = 0; i < length; ++i) {
        wchar_t c = name.Data()[i];
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + static_cast<unsigned long>(c - L'0');
    }
    *number = value;
    return true;
}

void PutPacked(NamedValueMap* into, const CJOVString& name, const NamedValueMap& collection)
{
    unsigned size = collection.GetPackedSize();
    std::vector<unsigned char> bytes(size ? size : 1);
    if (size && collection.Pack(bytes.data(), size) != size)
        return;
    into->Set(NamedValue(name, bytes.data(), size));
}

void Unpack(const NamedValue& value, NamedValueMap* into)
{
    if (value.GetSize())
        into->Unpack(value.GetData(), value.GetSize());
}

Database::CJOVDatabase* Store(Services::CServicesManager& bus)
{
    return static_cast<Database::CJOVDatabase*>(bus.GetService(GUID_Database));
}

} // namespace

bool CContactListImpl::FetchAccountKey(unsigned int accountId, CJOVString* key)
{
    CAccountDirectory* directory = m_directory;
    JOV_GUID protocol{};
    unsigned int clientId = 0;
    if (!directory || !directory->FindAccount(accountId, &protocol, &clientId))
        return false;
    auto* arg = new CAccountNameArg;
    arg->AddRef(1);
    int answer = m_bus.SendEventToClient(clientId, GUID_ProtocolsManager, CJOVString(EVENT_GetAccountName), arg,
                                         nullptr, true);
    bool answered = answer != kEventNoAnswer && answer != Services::kNotFound;
    // A nameless account would share its key with every other one.
    bool named = answered && arg->m_name.GetLength() > 0;
    if (named)
        *key = protocol.GetString() + arg->m_name;
    arg->Release();
    return named;
}

bool CContactListImpl::ReadBlob(NamedValueMap* level1)
{
    Database::CJOVDatabase* store = Store(m_bus);
    unsigned size = 0;
    if (!store || !store->GetValueSize(GUID_ContactList, CJOVString(kBlobName), &size))
        return false;
    std::vector<unsigned char> bytes(size ? size : 1);
    if (!store->GetData(GUID_ContactList, CJOVString(kBlobName), bytes.data(), &size))
        return false;
    if (size)
        level1->Unpack(bytes.data(), size);
    return true;
}

void CContactListImpl::OnAccountAdded(unsigned int accountId)
{
    {
        Lock lock(m_lock);
        m_accounts.emplace(accountId, TopLevel());
    }
    Load(accountId);
}

bool CContactListImpl::Load(unsigned int accountId)
{
    // The account is asked with the lock released: it may be waiting for the
    // model itself.
    CJOVString key;
    return FetchAccountKey(accountId, &key) && TakeKey(accountId, key);
}

bool CContactListImpl::TakeKey(unsigned int accountId, const CJOVString& key)
{
    // Locked throughout: a save sees the key only once the part is in the
    // model; until then it keeps the part as stored.
    Lock lock(m_lock);
    auto known = m_accountKeys.find(accountId);
    if (known != m_accountKeys.end()) {
        if (known->second.GetLength() == 0 || known->second == key)
            return false;  // dropped with its deletion, or the same name
        m_droppedKeys.insert(known->second);
    }
    // Given up earlier in this run (deleted, renamed): what is still stored
    // under it is not this account's list.
    const bool givenUp = m_droppedKeys.erase(key) > 0;
    if (m_beforeListRead)
        m_beforeListRead(accountId);
    NamedValueMap level1;
    const NamedValue* stored = !givenUp && ReadBlob(&level1) ? level1.Find(key) : nullptr;
    if (stored) {
        TraceMark(L"list read");
        LoadItems(accountId, *stored);
        TraceMark(L"model filled");
    }
    m_accountKeys[accountId] = key;
    return stored != nullptr;
}

void CContactListImpl::LoadItems(unsigned int accountId, const NamedValue& level2Value)
{
    NamedValueMap level2;
    Unpack(level2Value, &level2);
    if (level2.GetCount() == 0)
        return;
    // By position number, not name order ("10" before "2"), so the items come
    // back in the order they were saved.
    std::vector<std::pair<unsigned long, const NamedValue*>> items;
    for (int i = 0; i < level2.GetCount(); ++i) {
        unsigned long position = 0;
        if (PositionOf(level2.GetAt(i)->GetName(), &position))
            items.emplace_back(position, level2.GetAt(i));
    }
    std::sort(items.begin(), items.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    BeginTransaction();
    {
        Lock lock(m_lock);
        for (const auto& entry : items) {
            NamedValueMap collection;
            Unpack(*entry.second, &collection);
            const NamedValue* settings = collection.Find(CJOVString(kGroupSettings));
            if (!settings) {
                unsigned int contactId = CreateContact(accountId, 0);
                if (Item* contact = FindItem(contactId)) {
                    Unpack(*entry.second, &contact->properties);
                    NotifyContactAdded(contactId);
                }
                continue;
            }
            unsigned int groupId = CreateGroup(accountId);
            Item* group = FindItem(groupId);
            if (!group)
                continue;
            Unpack(*settings, &group->properties);
            NotifyGroupAdded(groupId);
            for (unsigned int k = 0;; ++k) {
                const NamedValue* member = collection.Find(Position(k));
                if (!member)
                    break;
                unsigned int contactId = CreateContact(accountId, groupId);
                if (Item* contact = FindItem(contactId)) {
                    Unpack(*member, &contact->properties);
                    NotifyContactAdded(contactId);
                }
            }
        }
    }
    EndTransaction();
}

void CContactListImpl::PackAccount(const TopLevel& top, NamedValueMap* level2)
{
    unsigned int position = 0;
    for (const auto& [id, item] : top) {
        if (IsContact(id)) {
            PutPacked(level2, Position(position++), item->properties);
            continue;
        }
        NamedValueMap level3;
        PutPacked(&level3, CJOVString(kGroupSettings), item->properties);
        unsigned int member = 0;
        for (const auto& contact : item->contacts)
            PutPacked(&level3, Position(member++), contact.second->properties);
        PutPacked(level2, Position(position++), level3);
    }
}

bool CContactListImpl::KeepStoredParts(const std::set<CJOVString>& replaced, NamedValueMap* level1)
{
    NamedValueMap stored;
    if (!ReadBlob(&stored))
        return false;
    for (int i = 0; i < stored.GetCount(); ++i) {
        const NamedValue* value = stored.GetAt(i);
        if (!replaced.count(value->GetName()))
            level1->Set(*value);
    }
    return true;
}

void CContactListImpl::WriteBlob(const NamedValueMap& level1)
{
    Database::CJOVDatabase* store = Store(m_bus);
    unsigned size = level1.GetPackedSize();
    std::vector<unsigned char> bytes(size ? size : 1);
    if (!store || (size && level1.Pack(bytes.data(), size) != size))
        return;
    store->SetData(GUID_ContactList, CJOVString(kBlobName), bytes.data(), &size);
}

void CContactListImpl::DropStoredList(unsigned int accountId)
{
    Lock lock(m_lock);
    // With the parts of names given up since (a rename, a "Deleted" handled
    // first): the next save would drop them, but the file is written now.
    std::set<CJOVString> gone = m_droppedKeys;
    auto known = m_accountKeys.find(accountId);
    if (known != m_accountKeys.end() && known->second.GetLength() > 0)
        gone.insert(known->second);
    NamedValueMap level1;
    if (!gone.empty() && KeepStoredParts(gone, &level1))
        WriteBlob(level1);
    // Kept, empty, until "Deleted": that account must not be asked its name again.
    if (known != m_accountKeys.end())
        known->second = CJOVString();
}

void CContactListImpl::Save()
{
    if (!Store(m_bus))
        return;
    // Under the keys learnt when the accounts were added or renamed: the UI
    // thread saves, and must never wait on an account's thread.
    Lock lock(m_lock);
    NamedValueMap level1;
    std::set<CJOVString> replaced = m_droppedKeys;
    for (const auto& [accountId, key] : m_accountKeys) {
        auto account = m_accounts.find(accountId);
        if (account == m_accounts.end() || key.GetLength() == 0)
            continue;
        NamedValueMap level2;
        PackAccount(account->second, &level2);
        PutPacked(&level1, key, level2);
        replaced.insert(key);
    }
    // Parts of accounts that are not here or not named yet (no plug-in, no
    // manager, no answer) are kept as they were.
    KeepStoredParts(replaced, &level1);
    WriteBlob(level1);
}

} // namespace CL
