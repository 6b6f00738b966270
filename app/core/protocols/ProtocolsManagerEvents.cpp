// The manager's event handler: start-up of the accounts, language changes,
// deletion, the accounts' reports and the overall status.
#include <vector>

#include "EventArgData.h"
#include "EventNames.h"
#include "ModuleExport.h"
#include "ServiceIds.h"
#include "Trace.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "protocols/ProtocolEventArgs.h"

namespace Protocols {

namespace {

typedef CEventArg_Data<unsigned int> UIntArg;

struct StatusRow {
    Status status;
    unsigned int image;
    const wchar_t* name;
};

// Menu order: the manager's status menu lists them so.
const StatusRow kStatusRows[] = {
    {StatusFreeForChat, 7, L"Free for Chat"}, {StatusEvil, 6, L"Evil"},
    {StatusDepression, 4, L"Depression"},     {StatusAtHome, 0, L"@ Home"},
    {StatusAtWork, 1, L"@ Work"},             {StatusLunch, 10, L"Lunch"},
    {StatusAway, 2, L"Away"},                 {StatusNotAvailable, 11, L"Not Available"},
    {StatusOccupied, 12, L"Occupied"},        {StatusDoNotDisturb, 5, L"Do not Disturb"},
    {StatusOnline, 14, L"Online"},            {StatusInvisible, 9, L"Invisible"},
    {StatusInvisibleForAll, 8, L"Invisible for All"}, {StatusConnecting, 3, L"Connecting"},
    {StatusOffline, 13, L"Offline"},
};

// Posted to the manager's own client after a deleted account's DestroyAccount.
const wchar_t kOwnFreeLibrary[] = L"Own free library";

// The same value in an argument of the program's own making: an argument an
// account made runs its library's code when released, so it must not be
// relayed or queued where it may outlive that library.
CEventArg* OwnCopy(CEventArg* arg)
{
    if (auto* id = dynamic_cast<UIntArg*>(arg))
        return new UIntArg(id->m_data);
    if (auto* status = dynamic_cast<CEventArg_Data<StatusInfo>*>(arg))
        return NewStatusInfoEventArg(status->m_data);
    if (auto* text = dynamic_cast<CEventArg_Data<CJOVString>*>(arg))
        return NewStringEventArg(text->m_data);
    return arg;  // none, or of a kind no account is known to send
}

bool AccountIdOf(CEventArg* arg, unsigned int* accountId)
{
    auto* data = dynamic_cast<UIntArg*>(arg);
    if (!data)
        return false;
    *accountId = data->m_data;
    return true;
}

} // namespace

int CProtocolsManagerImpl::CEventHandler::OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1,
                                                  CEventArg* arg2)
{
    return m_owner->OnEvent(sender, name, arg1, arg2);
}

int CProtocolsManagerImpl::OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1,
                                   CEventArg* arg2)
{
    if (sender == GUID_ServicesManager) {
        if (name == CJOVString(EVENT_Loaded))
            OnLoaded();
    } else if (sender == GUID_ProtocolsManager) {
        if (name == CJOVString(EVENT_OwnStatusChanged))
            OnOwnStatusChanged(arg1, arg2);
        else if (name == CJOVString(EVENT_OwnDeleteAccount))
            return OnOwnDeleteAccount(arg1);
        else if (name == CJOVString(kOwnFreeLibrary))
            OnOwnFreeLibrary();
    } else if (sender == GUID_GUI) {
        if (name == CJOVString(EVENT_LanChanged))
            OnLanguageChanged(arg1);
    } else {
        OnAccountEvent(sender, name, arg1, arg2);
    }
    return 0;
}

void CProtocolsManagerImpl::OnLoaded()
{
    m_bus->Subscribe(GUID_GUI, CJOVString(EVENT_LanChanged), m_clientId);
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        if (m_statusTable.Count() == 0)
            for (const StatusRow& row : kStatusRows) {
                StatusInfo info;
                info.status = row.status;
                info.name = CJOVString(row.name);
                info.images.Append(row.image);
                m_statusTable.Append(info);
            }
    }
    RebuildStatusNames();
    FireOverallStatus();
    LoadAccounts();
    ReleaseListedLibraries();
    TraceMark(L"accounts made");
}

void CProtocolsManagerImpl::RebuildStatusNames()
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    for (int i = 0; i < m_statusTable.Count(); ++i) {
        StatusInfo& row = m_statusTable[i];
        CJOVString text;
        if (m_host && m_host->GetString(row.status, text))
            row.name = text;
        else
            for (const StatusRow& fallback : kStatusRows)
                if (fallback.status == row.status)
                    row.name = CJOVString(fallback.name);
    }
}

void CProtocolsManagerImpl::OnLanguageChanged(CEventArg* arg1)
{
    RebuildStatusNames();
    auto* language = dynamic_cast<CEventArg_Data<CJOVString>*>(arg1);
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    for (const auto& [accountId, record] : m_accounts)
        if (record.clientId != 0)
            Post(record.clientId, EVENT_LangChange, NewStringEventArg(language ? language->m_data : CJOVString()),
                 nullptr);
}

void CProtocolsManagerImpl::Fire(EventIndex event, CEventArg* arg1, CEventArg* arg2, bool synchronous)
{
    m_bus->FireEvent(m_eventIds[event], arg1, arg2, synchronous);
}

void CProtocolsManagerImpl::FireOverallStatus()
{
    StatusInfo info;
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        info.status = m_overallStatus;
        for (int i = 0; i < m_statusTable.Count(); ++i)
            if (m_statusTable[i].status == m_overallStatus)
                info = m_statusTable[i];
    }
    Fire(EvStatusChanged, nullptr, NewStatusInfoEventArg(info));
}

void CProtocolsManagerImpl::OnAccountEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1,
                                           CEventArg* arg2)
{
    unsigned int accountId = 0;
    if (!AccountIdOf(arg1, &accountId))
        return;
    std::unique_lock<std::recursive_mutex> lock(m_accountsLock);
    auto found = m_accounts.find(accountId);
    // Only an account of that protocol speaks for that id.
    if (found == m_accounts.end() || found->second.protocol != sender)
        return;

    if (name == CJOVString(EVENT_AccountChanged))
        Fire(EvAccountChanged, OwnCopy(arg1), OwnCopy(arg2));
    else if (name == CJOVString(EVENT_DetailsReceived))
        Fire(EvDetailsReceived, OwnCopy(arg1), OwnCopy(arg2));
    else if (name == CJOVString(EVENT_ContactDetailsReceived))
        Fire(EvContactDetailsReceived, OwnCopy(arg1), OwnCopy(arg2));
    else if (name == CJOVString(EVENT_StatusChanged)) {
        auto* report = dynamic_cast<CEventArg_Data<StatusInfo>*>(arg2);
        if (!report || !IsValidStatus(report->m_data.status))
            return;
        found->second.lastStatus = report->m_data.status;
        if (report->m_data.status == StatusConnecting) {
            NamedValue logon(CJOVString(L"Logon date"));
            logon.SetDWord(static_cast<unsigned int>(CTime().GetUnixTime()));
            StoreSetting(accountId, logon);
        }
        // Computed when this comes back, after the events already queued.
        m_bus->SendEventToClient(m_clientId, GUID_ProtocolsManager, CJOVString(EVENT_OwnStatusChanged),
                                 OwnCopy(arg1), OwnCopy(arg2), false);
    } else if (name == CJOVString(EVENT_Warning)) {
        auto* text = dynamic_cast<CEventArg_Data<CJOVString>*>(arg2);
        lock.unlock();
        if (text && m_host)
            m_host->ShowWarning(accountId, text->m_data);
    }
}

void CProtocolsManagerImpl::OnOwnStatusChanged(CEventArg* arg1, CEventArg* arg2)
{
    auto* report = dynamic_cast<CEventArg_Data<StatusInfo>*>(arg2);
    if (!report)
        return;
    if (UpdateOverallStatus(report->m_data.status))
        FireOverallStatus();
    // The account's own report follows the overall one.
    Fire(EvStatusChanged, arg1, arg2);
}

bool CProtocolsManagerImpl::UpdateOverallStatus(Status s)
{
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    const Status old = m_overallStatus;
    // Connecting as soon as one account connects, online as soon as one is.
    if ((s > StatusOffline && old == StatusOffline) || (IsConnected(s) && old == StatusConnecting)) {
        m_overallStatus = s;
        return true;
    }
    // Otherwise from the statuses the accounts last reported, in id order.
    std::vector<Status> connected;
    Status highest = StatusOffline;
    for (const auto& [id, record] : m_accounts) {
        if (IsConnected(record.lastStatus))
            connected.push_back(record.lastStatus);
        else if (record.lastStatus > highest)
            highest = record.lastStatus;
    }
    bool allEqual = !connected.empty();
    bool holdsOld = false;
    for (Status status : connected) {
        allEqual = allEqual && status == connected.front();
        holdsOld = holdsOld || status == old;
    }
    if (connected.empty())
        m_overallStatus = highest;  // nobody online: connecting or offline
    else if (allEqual || !holdsOld)
        m_overallStatus = connected.front();  // agreed on, or no account shows the old one any more
    // All online accounts agreeing is announced even when unchanged.
    return m_overallStatus != old || (allEqual && s != StatusOffline);
}

int CProtocolsManagerImpl::OnOwnDeleteAccount(CEventArg* arg1)
{
    unsigned int accountId = 0;
    if (!AccountIdOf(arg1, &accountId))
        return Services::kNotFound;
    // Subscribers drop the account's items before it goes.
    Fire(EvDeleted, new UIntArg(accountId), nullptr, true);

    std::unique_lock<std::recursive_mutex> lock(m_accountsLock);
    auto found = m_accounts.find(accountId);
    if (found == m_accounts.end() || found->second.clientId == 0)
        return Services::kNotFound;
    const unsigned int clientId = found->second.clientId;
    lock.unlock();
    Send(clientId, EVENT_Destroy, nullptr, nullptr);

    lock.lock();
    found = m_accounts.find(accountId);
    if (found == m_accounts.end())
        return Services::kNotFound;
    AccountRecord record = found->second;
    m_accounts.erase(found);
    if (auto destroy = GetExport<DestroyAccountFn>(record.library, JOV_EXPORT_DESTROY_ACCOUNT))
        destroy(record.clientId);
    // What the account posted here until now (a last report on "Destroy")
    // still waits in this queue: its library goes after it.
    m_freeing.push_back(record.library);
    delete record.settings;
    lock.unlock();
    m_bus->SendEventToClient(m_clientId, GUID_ProtocolsManager, CJOVString(kOwnFreeLibrary), nullptr, nullptr,
                             false);
    // The overall status no longer counts the account.
    if (UpdateOverallStatus(StatusOffline))
        FireOverallStatus();
    return 0;
}

void CProtocolsManagerImpl::OnOwnFreeLibrary()
{
    // One per deletion, in the order of the deletions.
    HMODULE library = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        if (m_freeing.empty())
            return;
        library = m_freeing.front();
        m_freeing.pop_front();
    }
    FreeLibrary(library);
}

} // namespace Protocols
