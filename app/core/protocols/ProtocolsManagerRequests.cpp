// Every request to an account, as an event to the account's client.
#include <vector>

#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "protocols/ProtocolEventArgs.h"

namespace Protocols {

namespace {

typedef CEventArg_Data<unsigned int> UIntArg;

// Hands the arguments to nobody: the bus would have released them.
void Discard(CEventArg* arg1, CEventArg* arg2)
{
    DiscardArg(arg1);
    DiscardArg(arg2);
}

} // namespace

int CProtocolsManagerImpl::Send(unsigned int clientId, const wchar_t* name, CEventArg* arg1, CEventArg* arg2)
{
    return m_bus->SendEventToClient(clientId, GUID_ProtocolsManager, CJOVString(name), arg1, arg2, true);
}

int CProtocolsManagerImpl::Post(unsigned int clientId, const wchar_t* name, CEventArg* arg1, CEventArg* arg2)
{
    return m_bus->SendEventToClient(clientId, GUID_ProtocolsManager, CJOVString(name), arg1, arg2, false);
}

bool CProtocolsManagerImpl::SendForZero(unsigned int accountId, const wchar_t* name, CEventArg* arg1,
                                        CEventArg* arg2)
{
    const unsigned int clientId = ClientOf(accountId);
    if (clientId == 0) {
        Discard(arg1, arg2);
        return false;
    }
    return Send(clientId, name, arg1, arg2) == 0;
}

// The ICQ account answers a menu request with 1, others with 0: any answer
// from the account counts, only a missing account or no answer does not.
bool CProtocolsManagerImpl::SendAnswered(unsigned int accountId, const wchar_t* name, CEventArg* arg1,
                                         CEventArg* arg2)
{
    const unsigned int clientId = ClientOf(accountId);
    if (clientId == 0) {
        Discard(arg1, arg2);
        return false;
    }
    const int answer = Send(clientId, name, arg1, arg2);
    return answer != Services::kNotFound && answer != kEventNoAnswer;
}

bool CProtocolsManagerImpl::PostRequest(unsigned int accountId, const wchar_t* name, CEventArg* arg1,
                                        CEventArg* arg2)
{
    const unsigned int clientId = ClientOf(accountId);
    if (clientId == 0) {
        Discard(arg1, arg2);
        return false;
    }
    return Post(clientId, name, arg1, arg2) == 1;
}

int CProtocolsManagerImpl::SendPages(unsigned int accountId, const wchar_t* name, CEventArg* arg1, CEventArg* arg2)
{
    if (accountId == 0) {
        Discard(arg1, arg2);
        return 0;
    }
    const unsigned int clientId = ClientOf(accountId);
    if (clientId == 0) {
        Discard(arg1, arg2);
        return Services::kNotFound;
    }
    return Send(clientId, name, arg1, arg2);
}

CJOVString CProtocolsManagerImpl::GetAccountName(unsigned int accountId, bool withProtocolGuid)
{
    JOV_GUID protocol;
    unsigned int clientId = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        auto found = m_accounts.find(accountId);
        if (found == m_accounts.end())
            return CJOVString();
        protocol = found->second.protocol;
        clientId = found->second.clientId;
    }
    CJOVString name;
    Send(clientId, EVENT_GetAccountName, new CEventArg_Data<CJOVString*>(&name), nullptr);
    return withProtocolGuid ? protocol.GetString() + name : name;
}

bool CProtocolsManagerImpl::GetImages(unsigned int accountId, CJOVArray<unsigned int>* images)
{
    return SendForZero(accountId, EVENT_GetImages, new CEventArg_Data<CJOVArray<unsigned int>*>(images), nullptr);
}

bool CProtocolsManagerImpl::GetContactStatusInfo(unsigned int accountId, unsigned int contactId,
                                                 ContactStatusInfo* info)
{
    return SendForZero(accountId, EVENT_GetContactStatusInfo, new UIntArg(contactId),
                       new CEventArg_Data<ContactStatusInfo*>(info));
}

bool CProtocolsManagerImpl::InitRootMenu(unsigned int accountId, CMenuInfo* menu)
{
    return SendAnswered(accountId, EVENT_InitRootMenu, nullptr, new CEventArg_Data<CMenuInfo*>(menu));
}

bool CProtocolsManagerImpl::InitGroupMenu(unsigned int accountId, unsigned int groupId, CMenuInfo* menu)
{
    return SendAnswered(accountId, EVENT_InitGroupMenu, new UIntArg(groupId), new CEventArg_Data<CMenuInfo*>(menu));
}

bool CProtocolsManagerImpl::InitContactMenu(unsigned int accountId, unsigned int contactId, CMenuInfo* menu)
{
    return SendAnswered(accountId, EVENT_InitContactMenu, new UIntArg(contactId),
                       new CEventArg_Data<CMenuInfo*>(menu));
}

bool CProtocolsManagerImpl::InitMessageWindowMenu(unsigned int accountId, unsigned int contactId, CMenuInfo* menu)
{
    return SendAnswered(accountId, EVENT_InitMessageWindowMenu, new UIntArg(contactId),
                       new CEventArg_Data<CMenuInfo*>(menu));
}

bool CProtocolsManagerImpl::CreateGroup(unsigned int accountId, const CJOVString& name)
{
    return PostRequest(accountId, EVENT_CreateGroup, NewStringEventArg(name), nullptr);
}

bool CProtocolsManagerImpl::RenameGroup(unsigned int accountId, unsigned int groupId, const CJOVString& name)
{
    return SendForZero(accountId, EVENT_RenameGroup, new UIntArg(groupId), NewStringEventArg(name));
}

bool CProtocolsManagerImpl::DeleteGroup(unsigned int accountId, unsigned int groupId)
{
    return PostRequest(accountId, EVENT_DeleteGroup, new UIntArg(groupId), nullptr);
}

bool CProtocolsManagerImpl::RenameContact(unsigned int accountId, unsigned int contactId, const CJOVString& name)
{
    return PostRequest(accountId, EVENT_RenameContact, new UIntArg(contactId), NewStringEventArg(name));
}

bool CProtocolsManagerImpl::MoveContact(unsigned int accountId, unsigned int contactId, unsigned int groupId)
{
    return PostRequest(accountId, EVENT_MoveContact, new UIntArg(contactId), new UIntArg(groupId));
}

bool CProtocolsManagerImpl::DeleteContact(unsigned int accountId, unsigned int contactId)
{
    return PostRequest(accountId, EVENT_DeleteContact, new UIntArg(contactId), nullptr);
}

bool CProtocolsManagerImpl::SendMessage(unsigned int accountId, const MessageInfo* message)
{
    if (!message || !PostRequest(accountId, EVENT_SendMessage, new CEventArg_Data<MessageInfo>(*message), nullptr))
        return false;
    Fire(EvMessageSent, new UIntArg(accountId), new CEventArg_Data<MessageInfo>(*message));
    return true;
}

int CProtocolsManagerImpl::GetAccountDetailsDlgInfo(unsigned int accountId, CJOVArray<CPanelInfo>* pages)
{
    return SendPages(accountId, EVENT_GetAccountDetailsDlgInfo, new CEventArg_Data<CJOVArray<CPanelInfo>*>(pages),
                     nullptr);
}

int CProtocolsManagerImpl::GetContactDetailsDlgInfo(unsigned int accountId, unsigned int contactId,
                                                    CJOVArray<CPanelInfo>* pages)
{
    return SendPages(accountId, EVENT_GetContactDetailsDlgInfo, new UIntArg(contactId),
                     new CEventArg_Data<CJOVArray<CPanelInfo>*>(pages));
}

int CProtocolsManagerImpl::GetOptionsDlgInfo(unsigned int accountId, CJOVArray<CPanelInfo>* pages)
{
    return SendPages(accountId, EVENT_GetOptionsDlgInfo, new CEventArg_Data<CJOVArray<CPanelInfo>*>(pages),
                     nullptr);
}

int CProtocolsManagerImpl::SetStatus(unsigned int accountId, Status status)
{
    if (accountId != 0) {
        const unsigned int clientId = ClientOf(accountId);
        if (clientId == 0)
            return Services::kNotFound;
        return Post(clientId, EVENT_SetStatus, new CEventArg_Data<Status>(status), nullptr);
    }

    // All accounts, by the statuses they last reported (asking would wait on
    // accounts that may be waiting on us). When some are connected only they
    // change; Offline stops every account, connecting ones included.
    std::vector<unsigned int> targets;
    {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        bool anyConnected = false;
        for (const auto& [id, record] : m_accounts)
            anyConnected = anyConnected || IsConnected(record.lastStatus);
        for (const auto& [id, record] : m_accounts) {
            if (record.clientId == 0 || record.deleting)
                continue;
            if (status == StatusOffline || !anyConnected || IsConnected(record.lastStatus))
                targets.push_back(record.clientId);
        }
    }
    int answer = 0;
    for (unsigned int clientId : targets)
        answer = Post(clientId, EVENT_SetStatus, new CEventArg_Data<Status>(status), nullptr);
    return answer;
}

int CProtocolsManagerImpl::GetStatus(unsigned int accountId, Status* out)
{
    if (accountId == 0) {
        if (out)
            *out = GetOverallStatus();
        return 0;
    }
    const unsigned int clientId = ClientOf(accountId);
    if (clientId == 0)
        return Services::kNotFound;
    const int answer = Send(clientId, EVENT_GetStatus, nullptr, nullptr);
    // A time-out, a vanished client or a value that is no status leaves *out alone.
    if (!IsValidStatus(answer))
        return answer == Services::kNotFound ? Services::kNotFound : kEventNoAnswer;
    if (out)
        *out = static_cast<Status>(answer);
    return 0;
}

int CProtocolsManagerImpl::GetStatusInfo(unsigned int accountId, Status status, StatusInfo* out)
{
    if (accountId == 0) {
        std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
        for (int i = 0; i < m_statusTable.Count(); ++i)
            if (m_statusTable[i].status == status && out) {
                *out = m_statusTable[i];
                break;
            }
        return 0;
    }
    const unsigned int clientId = ClientOf(accountId);
    if (clientId == 0)
        return Services::kNotFound;
    return Send(clientId, EVENT_GetStatusInfo, new CEventArg_Data<Status>(status),
                new CEventArg_Data<StatusInfo*>(out));
}

int CProtocolsManagerImpl::GetStatusMenuInfo(unsigned int accountId, CMenuInfo* menu)
{
    if (accountId != 0) {
        const unsigned int clientId = ClientOf(accountId);
        if (clientId == 0)
            return Services::kNotFound;
        return Send(clientId, EVENT_GetStatusMenuInfo, new CEventArg_Data<CMenuInfo*>(menu), nullptr);
    }
    if (!menu)
        return 0;
    std::lock_guard<std::recursive_mutex> lock(m_accountsLock);
    for (int i = 0; i < m_statusTable.Count(); ++i) {
        const StatusInfo& row = m_statusTable[i];
        if (row.status == StatusConnecting)
            continue;
        CMenuItemInfo item(row.name, reinterpret_cast<void*>(&SetStatusViaManager), row.status == m_overallStatus);
        if (row.images.Count() > 0)
            item.images.Append(row.images[0]);
        item.commandId = 0;
        item.param = static_cast<uintptr_t>(row.status);
        menu->Append(item);
        if (row.status == StatusAtWork || row.status == StatusDoNotDisturb || row.status == StatusInvisibleForAll)
            menu->Append(CMenuItemInfo(CMenuItemInfo::MenuItemSeparator));
    }
    return 0;
}

} // namespace Protocols
