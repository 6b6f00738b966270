// Accounts, their settings and "Accounts data".
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "EventNames.h"
#include "ModuleExport.h"
#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "protocols/ProtocolEventArgs.h"

namespace Protocols {

namespace {

const wchar_t kAccountsData[] = L"Accounts data";
// Where a damaged "Accounts data" is kept as it was read; a later one replaces it.
const wchar_t kDamagedAccountsData[] = L"Accounts data (damaged)";
const int kDamagedAccountsTextId = 201;
const int kGuidTextLength = 38;

} // namespace

unsigned int CProtocolsManagerImpl::CreateAccountInstance(const JOV_GUID& protocol, NamedValueMap* settings)
{
    std::unique_ptr<NamedValueMap> owned(settings ? settings : new NamedValueMap);
    const ProtocolEntry* entry = FindProtocol(protocol);
    if (!entry)
        return 0;
    CJOVString path(entry->libraryPath);
    HMODULE library = LoadLibraryW(path);
    if (!library)
        return 0;
    auto create = GetExport<CreateAccountFn>(library, JOV_EXPORT_CREATE_ACCOUNT);
    auto destroy = GetExport<DestroyAccountFn>(library, JOV_EXPORT_DESTROY_ACCOUNT);
    if (!create || !destroy) {
        FreeLibrary(library);
        return 0;
    }

    // The id is taken under the lock before the plug-in sees it, so two
    // creations at once cannot both be told the same id.
    unsigned int accountId = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        if (m_closing) {
            FreeLibrary(library);
            return 0;
        }
        accountId = m_nextAccountId++;
    }
    const unsigned int clientId = create(m_bus, accountId, m_clientId);

    bool inserted = false;
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        // Client id 0 is no account; a manager being torn down takes none.
        if (clientId != 0 && !m_closing)
            inserted = m_accounts
                           .emplace(accountId, AccountRecord{protocol, clientId, library, owned.get(),
                                                             StatusOffline, false})
                           .second;
        if (inserted)
            owned.release();
        else if (m_nextAccountId == accountId + 1)
            m_nextAccountId = accountId;  // nobody took a later id: keep the sequence whole
    }
    if (!inserted) {
        // The account may be running already: it must go before its code does.
        if (clientId != 0)
            destroy(clientId);
        FreeLibrary(library);
        return 0;
    }

    // "Create" first, so the account has read its settings before anything else reaches it.
    Send(clientId, EVENT_Create, nullptr, nullptr);
    Post(clientId, EVENT_LangChange, NewStringEventArg(m_host ? m_host->GetLanguageName() : CJOVString()),
         nullptr);
    Fire(EvAdded, new CEventArg_Data<unsigned int>(accountId), nullptr);
    return accountId;
}

unsigned int CProtocolsManagerImpl::AddAccount(const JOV_GUID& protocol)
{
    const unsigned int accountId = CreateAccountInstance(protocol, nullptr);
    if (accountId)
        SaveAccountsNow();
    return accountId;
}

int CProtocolsManagerImpl::DeleteAccount(unsigned int accountId)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        auto found = m_accounts.find(accountId);
        if (found != m_accounts.end())
            found->second.deleting = true;
    }
    m_bus->SendEventToClient(m_clientId, GUID_ProtocolsManager, CJOVString(EVENT_OwnDeleteAccount),
                             new CEventArg_Data<unsigned int>(accountId), new CEventArg_Data<bool>(false), false);
    // Its contact list leaves the store now, to go in the same write.
    if (CStoredLists* lists = m_storedLists)
        lists->DropStoredList(accountId);
    // Marked, it is left out of what is saved, though it goes only later.
    SaveAccountsNow();
    return 0;
}

int CProtocolsManagerImpl::GetAccountCount()
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    return static_cast<int>(m_accounts.size());
}

unsigned int CProtocolsManagerImpl::GetAccountId(int index)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    if (index < 0 || index >= static_cast<int>(m_accounts.size()))
        return 0;
    auto it = m_accounts.begin();
    std::advance(it, index);
    return it->first;
}

ProtocolInfo CProtocolsManagerImpl::GetAccountProtocol(unsigned int accountId)
{
    JOV_GUID protocol;
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        auto found = m_accounts.find(accountId);
        if (found == m_accounts.end())
            return GetProtocol(-1);
        protocol = found->second.protocol;
    }
    const ProtocolEntry* entry = FindProtocol(protocol);
    return entry ? entry->info : GetProtocol(-1);
}

unsigned int CProtocolsManagerImpl::ClientOf(unsigned int accountId)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    auto found = m_accounts.find(accountId);
    return found == m_accounts.end() ? 0 : found->second.clientId;
}

NamedValue* CProtocolsManagerImpl::FindSetting(unsigned int accountId, const CJOVString& name)
{
    auto found = m_accounts.find(accountId);
    return found == m_accounts.end() ? nullptr : found->second.settings->Find(name);
}

void CProtocolsManagerImpl::StoreSetting(unsigned int accountId, const NamedValue& value)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    auto found = m_accounts.find(accountId);
    if (found == m_accounts.end())
        return;
    if (NamedValue* existing = found->second.settings->Find(value.GetName()))
        *existing = value;
    else
        found->second.settings->Set(value);
}

bool CProtocolsManagerImpl::GetValueSize(unsigned int accountId, const CJOVString& name, unsigned* size)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    const NamedValue* value = FindSetting(accountId, name);
    if (!value || !size)
        return false;
    *size = value->GetSize();
    return true;
}

bool CProtocolsManagerImpl::GetData(unsigned int accountId, const CJOVString& name, void* buffer, unsigned* size)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    const NamedValue* value = FindSetting(accountId, name);
    if (!value || !size || *size < value->GetSize() || (!buffer && value->GetSize() > 0))
        return false;
    if (value->GetSize() > 0)
        std::memcpy(buffer, value->GetData(), value->GetSize());
    *size = value->GetSize();
    return true;
}

bool CProtocolsManagerImpl::GetString(unsigned int accountId, const CJOVString& name, CJOVString& out)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    const NamedValue* value = FindSetting(accountId, name);
    if (!value)
        return false;
    out = value->AsString();
    return true;
}

bool CProtocolsManagerImpl::GetDWord(unsigned int accountId, const CJOVString& name, DWORD* out)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    const NamedValue* value = FindSetting(accountId, name);
    if (!value || !out || value->GetSize() != 4)
        return false;
    *out = value->AsDWord();
    return true;
}

bool CProtocolsManagerImpl::GetWord(unsigned int accountId, const CJOVString& name, WORD* out)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    const NamedValue* value = FindSetting(accountId, name);
    if (!value || !out || value->GetSize() != 2)
        return false;
    *out = value->AsWord();
    return true;
}

bool CProtocolsManagerImpl::GetByte(unsigned int accountId, const CJOVString& name, BYTE* out)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    const NamedValue* value = FindSetting(accountId, name);
    if (!value || !out || value->GetSize() != 1)
        return false;
    *out = value->AsByte();
    return true;
}

void CProtocolsManagerImpl::SetData(unsigned int accountId, const CJOVString& name, const void* data,
                                    const unsigned* size)
{
    StoreSetting(accountId, NamedValue(name, data, size ? *size : 0));
}

void CProtocolsManagerImpl::SetString(unsigned int accountId, const CJOVString& name, const CJOVString& value)
{
    NamedValue stored(name);
    stored.SetString(value);
    StoreSetting(accountId, stored);
}

void CProtocolsManagerImpl::SetDWord(unsigned int accountId, const CJOVString& name, const DWORD* value)
{
    if (!value)
        return;
    NamedValue stored(name);
    stored.SetDWord(*value);
    StoreSetting(accountId, stored);
}

void CProtocolsManagerImpl::SetWord(unsigned int accountId, const CJOVString& name, const WORD* value)
{
    if (!value)
        return;
    NamedValue stored(name);
    stored.SetWord(*value);
    StoreSetting(accountId, stored);
}

void CProtocolsManagerImpl::SetByte(unsigned int accountId, const CJOVString& name, const BYTE* value)
{
    if (!value)
        return;
    NamedValue stored(name);
    stored.SetByte(*value);
    StoreSetting(accountId, stored);
}

bool CProtocolsManagerImpl::GetLogonDate(unsigned int accountId, CTime* out)
{
    DWORD unixTime = 0;
    bool found = GetDWord(accountId, CJOVString(L"Logon date"), &unixTime);
    if (out)
        *out = CTime(static_cast<unsigned long>(unixTime));
    return found;
}

void CProtocolsManagerImpl::SaveAccounts(const AccountMap& accounts)
{
    auto* store = static_cast<Database::CJOVDatabase*>(m_bus->GetService(GUID_Database));
    if (!store)
        return;
    // Never read this run: what is stored is kept, not replaced by nothing.
    if (!m_accountsRead)
        LoadAccounts(false);
    NamedValueMap all;
    int position = 1;
    auto add = [&](const CJOVString& protocolText, const unsigned char* data, unsigned size) {
        all.Set(NamedValue(protocolText + CJOVString(std::to_wstring(position).c_str()), data, size));
        ++position;
    };
    size_t kept = 0;
    for (const auto& [accountId, record] : accounts) {
        for (; kept < m_keptAccounts.size() && m_keptAccounts[kept].after < accountId; ++kept)
            add(m_keptAccounts[kept].protocolText, m_keptAccounts[kept].settings.GetData(),
                m_keptAccounts[kept].settings.GetSize());
        if (record.deleting)
            continue;
        std::vector<unsigned char> packed(record.settings->GetPackedSize());
        unsigned size = record.settings->Pack(packed.data(), static_cast<unsigned>(packed.size()));
        add(record.protocol.GetString(), packed.data(), size);
    }
    for (; kept < m_keptAccounts.size(); ++kept)
        add(m_keptAccounts[kept].protocolText, m_keptAccounts[kept].settings.GetData(),
            m_keptAccounts[kept].settings.GetSize());
    std::vector<unsigned char> bytes(all.GetPackedSize());
    unsigned size = all.Pack(bytes.data(), static_cast<unsigned>(bytes.size()));
    store->SetData(GUID_ProtocolsManager, CJOVString(kAccountsData), bytes.data(), &size);
}

bool CProtocolsManagerImpl::StoreAccounts()
{
    // Held while packing: the accounts write their settings meanwhile. Before
    // the stored accounts were read a save would keep them as no account.
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    if (!m_accountsRead || m_closing)
        return false;
    SaveAccounts(m_accounts);
    return true;
}

void CProtocolsManagerImpl::SaveAccountsNow()
{
    auto* store = static_cast<Database::CJOVDatabase*>(m_bus->GetService(GUID_Database));
    if (store && StoreAccounts())
        store->Save();
}

bool CProtocolsManagerImpl::ReadAccountsData(const std::vector<unsigned char>& bytes, NamedValueMap* items)
{
    bool whole = true;
    unsigned offset = 0;
    const unsigned length = static_cast<unsigned>(bytes.size());
    while (offset < length) {
        NamedValue item;
        const unsigned used = item.Unpack(bytes.data() + offset, length - offset);
        if (used == 0)
            return false;  // cut short: nothing after it can be read
        offset += used;
        // The name must begin with a whole protocol id text, not just parse as one.
        CJOVString guidText = item.GetName().Substring(0, kGuidTextLength);
        JOV_GUID protocol;
        std::memset(&protocol, 0, sizeof(protocol));
        protocol.SetString(guidText);
        if (guidText.GetLength() != kGuidTextLength || protocol.GetString() != guidText || !items->Set(item))
            whole = false;
    }
    return whole;
}

void CProtocolsManagerImpl::KeepDamagedAccountsData(const std::vector<unsigned char>& bytes, bool warn)
{
    auto* store = static_cast<Database::CJOVDatabase*>(m_bus->GetService(GUID_Database));
    if (!store)
        return;
    unsigned size = static_cast<unsigned>(bytes.size());
    store->SetData(GUID_ProtocolsManager, CJOVString(kDamagedAccountsData), bytes.data(), &size);
    if (!warn || !m_host)
        return;
    CJOVString text;
    if (!m_host->GetString(kDamagedAccountsTextId, text))
        text = CJOVString(L"The stored accounts are damaged: those that could be read are loaded, and a copy of the "
                          L"damaged data is kept.");
    m_host->ShowWarning(0, text);
}

void CProtocolsManagerImpl::LoadAccounts(bool create)
{
    auto* store = static_cast<Database::CJOVDatabase*>(m_bus->GetService(GUID_Database));
    if (!store)
        return;
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        if (m_accountsRead)
            return;
        m_accountsRead = true;
    }
    unsigned size = 0;
    if (!store->GetValueSize(GUID_ProtocolsManager, CJOVString(kAccountsData), &size) || size == 0)
        return;
    std::vector<unsigned char> bytes(size);
    if (!store->GetData(GUID_ProtocolsManager, CJOVString(kAccountsData), bytes.data(), &size))
        return;
    NamedValueMap all;
    bool damaged = !ReadAccountsData(bytes, &all);
    for (int i = 0; i < all.GetCount(); ++i) {
        const NamedValue* item = all.GetAt(i);
        CJOVString guidText = item->GetName().Substring(0, kGuidTextLength);
        JOV_GUID protocol;
        std::memset(&protocol, 0, sizeof(protocol));
        protocol.SetString(guidText);
        unsigned int accountId = 0;
        if (create && FindProtocol(protocol)) {
            auto* settings = new NamedValueMap;
            // Settings cut short: the values before the damage, as for the collection.
            if (item->GetSize() > 0 && settings->Unpack(item->GetData(), item->GetSize()) != item->GetSize())
                damaged = true;
            accountId = CreateAccountInstance(protocol, settings);
        }
        if (accountId == 0) {
            std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
            m_keptAccounts.push_back(KeptAccount{guidText, *item, m_nextAccountId - 1});
        }
    }
    if (damaged)
        KeepDamagedAccountsData(bytes, create);
}

bool CProtocolsManagerImpl::FindAccount(unsigned int accountId, JOV_GUID* protocol, unsigned int* clientId)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    AccountMap::const_iterator it = m_accounts.find(accountId);
    if (it == m_accounts.end() || it->second.clientId == 0)
        return false;
    if (protocol)
        *protocol = it->second.protocol;
    if (clientId)
        *clientId = it->second.clientId;
    return true;
}

} // namespace Protocols

