#include "core/protocols/ProtocolsManagerImpl.h"

#include <cstring>
#include <vector>

#include "EventNames.h"
#include "ModuleExport.h"
#include "ServiceIds.h"

namespace Protocols {

CProtocolsManagerImpl* g_ProtocolsManager = nullptr;

namespace {

const wchar_t* const kEventNames[] = {EVENT_Added,           EVENT_Deleted,          EVENT_AccountChanged,
                                      EVENT_StatusChanged,   EVENT_MessageSent,      EVENT_DetailsReceived,
                                      EVENT_ContactDetailsReceived};

} // namespace

bool CProtocolsManagerImpl::GuidLess::operator()(const JOV_GUID& a, const JOV_GUID& b) const
{
    return std::memcmp(&a, &b, sizeof(JOV_GUID)) < 0;
}

CJOVString CProtocolsManagerImpl::DefaultProtosFolder()
{
    // The program's path may be longer than MAX_PATH: grow until it fits.
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return CJOVString();
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    while (length > 0 && path[length - 1] != L'\\')
        --length;
    path[length] = 0;
    return CJOVString(path.data()) + CJOVString(L"Protos\\");
}

CProtocolsManagerImpl::CProtocolsManagerImpl(Services::CServicesManager* bus, CProtocolsManagerHost* host,
                                             const CJOVString& protosFolder)
    : m_bus(bus), m_host(host), m_protosFolder(protosFolder), m_handler(this), m_serviceId(0), m_clientId(0),
      m_eventIds(), m_loadedSubscription(0), m_accountsRead(false),
      m_nextAccountId(0x10000001), m_closing(false),
      m_overallStatus(StatusOffline), m_statusTable(10)
{
    m_serviceId = m_bus->RegisterService(GUID_ProtocolsManager, static_cast<CProtocolsManager*>(this));
    m_clientId = m_bus->RegisterEventsClient(&m_handler, CJOVString(L"Protocols manager"));
    for (int i = 0; i < EvCount; ++i)
        m_eventIds[i] = m_bus->DeclareEvent(GUID_ProtocolsManager, CJOVString(kEventNames[i]));
    m_loadedSubscription = m_bus->Subscribe(GUID_ServicesManager, CJOVString(EVENT_Loaded), m_clientId);
    g_ProtocolsManager = this;
    LoadProtocols();
}

CProtocolsManagerImpl::~CProtocolsManagerImpl()
{
    if (g_ProtocolsManager == this)
        g_ProtocolsManager = nullptr;
    // No handler of ours may run while the accounts go (a deletion there would
    // destroy an account twice); the service stays for the accounts' settings.
    m_bus->UnregisterEventsClient(m_clientId);

    // Every account gets "Destroy" while its record still stands, so the
    // settings it writes back then reach its collection and are saved.
    AccountMap dying;
    std::unique_lock<std::recursive_mutex> lock(m_accountsLock);
    m_closing = true;
    while (!m_accounts.empty()) {
        auto first = m_accounts.begin();
        const unsigned int accountId = first->first;
        const unsigned int clientId = first->second.clientId;
        dying[accountId] = first->second;
        first->second.clientId = 0;
        lock.unlock();
        Send(clientId, EVENT_Destroy, nullptr, nullptr);
        lock.lock();
        m_accounts.erase(accountId);
    }
    lock.unlock();

    // Saved from the records being torn down: the live map is empty by now.
    SaveAccounts(dying);

    lock.lock();
    for (auto& [accountId, record] : dying) {
        if (auto destroy = GetExport<DestroyAccountFn>(record.library, JOV_EXPORT_DESTROY_ACCOUNT))
            destroy(record.clientId);
        FreeLibrary(record.library);
        delete record.settings;
    }
    dying.clear();
    // Deleted accounts' libraries whose turn did not come: the queue is gone.
    for (HMODULE library : m_freeing)
        FreeLibrary(library);
    m_freeing.clear();
    lock.unlock();
    ReleaseListedLibraries();

    for (unsigned int eventId : m_eventIds)
        m_bus->RemoveEvent(eventId);
    m_bus->UnregisterService(m_serviceId);
}

int CProtocolsManagerImpl::LoadProtocols()
{
    bool accountsRead;
    {
        std::lock_guard<std::recursive_mutex> accountsLock(m_accountsLock);
        accountsRead = m_accountsRead;
    }
    std::lock_guard<std::recursive_mutex> lock(m_protocolsLock);
    // FindProtocol's pointers must outlive a reload: the old entries are kept aside.
    if (!m_protocols.empty())
        m_retiredProtocols.push_back(std::move(m_protocols));
    m_protocols.clear();
    ReleaseListedLibraries();
    if (m_protosFolder.GetLength() == 0)
        return 0;

    CJOVString pattern = m_protosFolder + CJOVString(L"*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(static_cast<wchar_t*>(pattern), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        // Only a subfolder holds a plug-in, as the library named after it.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0)
            continue;
        CJOVString entryName(found.cFileName);
        CJOVString path = m_protosFolder + entryName + CJOVString(L"\\") + entryName + CJOVString(L".dll");
        HMODULE library = LoadLibraryW(static_cast<wchar_t*>(path));
        if (!library)
            continue;
        auto getInfo = GetExport<GetProtocolInfoFn>(library, JOV_EXPORT_GET_PROTOCOL_INFO);
        if (getInfo && GetExport<CreateAccountFn>(library, JOV_EXPORT_CREATE_ACCOUNT) &&
            GetExport<DestroyAccountFn>(library, JOV_EXPORT_DESTROY_ACCOUNT)) {
            ProtocolEntry entry;
            std::memset(&entry.info.guid, 0, sizeof(entry.info.guid));
            getInfo(entry.info);
            entry.libraryPath = path;
            // The first library found with a protocol id keeps it.
            if (m_protocols.emplace(entry.info.guid, entry).second) {
                ++count;
                // Kept until the stored accounts are made, so theirs is not a second load.
                if (!accountsRead) {
                    m_listedLibraries.push_back(library);
                    continue;
                }
            }
        }
        FreeLibrary(library);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

void CProtocolsManagerImpl::ReleaseListedLibraries()
{
    std::lock_guard<std::recursive_mutex> lock(m_protocolsLock);
    for (HMODULE library : m_listedLibraries)
        FreeLibrary(library);
    m_listedLibraries.clear();
}

int CProtocolsManagerImpl::GetProtocolCount()
{
    std::lock_guard<std::recursive_mutex> lock(m_protocolsLock);
    return static_cast<int>(m_protocols.size());
}

const ProtocolEntry* CProtocolsManagerImpl::FindProtocol(const JOV_GUID& protocol)
{
    std::lock_guard<std::recursive_mutex> lock(m_protocolsLock);
    auto found = m_protocols.find(protocol);
    return found == m_protocols.end() ? nullptr : &found->second;
}

ProtocolInfo CProtocolsManagerImpl::GetProtocol(int index)
{
    std::lock_guard<std::recursive_mutex> lock(m_protocolsLock);
    ProtocolInfo empty;
    std::memset(&empty.guid, 0, sizeof(empty.guid));
    if (index < 0 || index >= static_cast<int>(m_protocols.size()))
        return empty;
    auto it = m_protocols.begin();
    std::advance(it, index);
    return it->second.info;
}

Status CProtocolsManagerImpl::GetOverallStatus()
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    return m_overallStatus;
}

void SetStatusViaManager(unsigned int accountId, uintptr_t status)
{
    if (g_ProtocolsManager)
        g_ProtocolsManager->SetStatus(accountId, static_cast<Status>(status));
}

} // namespace Protocols
