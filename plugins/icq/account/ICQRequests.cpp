// What the plug-in's pages and dialogs hand to the account (AccountRequests.h),
// carried out on the account's thread.
#include "ICQProtocol.h"

#include "AccountRequests.h"
#include "ICQSettingKeys.h"
#include "EventArgData.h"
#include "cl/ContactList.h"
#include "packets/CLI_META_INFO_REQ.h"
#include "packets/CLI_SSI_SEND_AUTHxREQUEST.h"

namespace {

// The fixed request id of an authorization request.
const unsigned int kAuthorizationRequestId = 24;

} // namespace

bool CICQProtocol::OnDialogRequest(const CJOVString& name, CEventArg* arg)
{
    if (name == CJOVString(ICQ_EVENT_GET_GROUPS)) {
        std::vector<CJOVString>* groups = nullptr;
        if (ArgValue(arg, groups) && groups) {
            for (const RosterItem& item : m_roster) {
                if (item.type == kRosterGroup && item.groupId != 0)
                    groups->push_back(item.name);
            }
        }
    } else if (name == CJOVString(ICQ_EVENT_ADD_CONTACT)) {
        ContactToAdd contact;
        if (!ArgValue(arg, contact))
            return true;
        for (const RosterItem& item : m_roster) {
            if (item.type == kRosterGroup && item.groupId != 0 && item.name == contact.group) {
                AddContact(item.contactId, contact.uin, contact.name);
                break;
            }
        }
    } else if (name == CJOVString(ICQ_EVENT_ASK_AUTHORIZATION)) {
        AuthorizationToAsk request;
        if (ArgValue(arg, request))
            AskAuthorization(request.contactId, request.reason);
    } else if (name == CJOVString(ICQ_EVENT_GET_XSTATUSES)) {
        XStatusChoice* out = nullptr;
        if (ArgValue(arg, out) && out) {
            out->table = m_xStatuses;
            out->index = m_xStatusIndex;
        }
    } else if (name == CJOVString(ICQ_EVENT_SET_XSTATUS)) {
        XStatusChoice choice;
        if (!ArgValue(arg, choice))
            return true;
        // Only the texts: the capabilities are the module's.
        for (size_t i = 0; i < m_xStatuses.size() && i < choice.table.size(); ++i) {
            m_xStatuses[i].title = choice.table[i].title;
            m_xStatuses[i].description = choice.table[i].description;
        }
        SetXStatus(choice.index);
    } else if (name == CJOVString(ICQ_EVENT_SET_OWN_DETAILS)) {
        CTLVCol fields;
        if (ArgValue(arg, fields))
            SendOwnDetails(fields);
    } else if (name == CJOVString(ICQ_EVENT_LOGIN_CHANGED)) {
        ForgetContactList();
        PostToOwner(L"Account changed", nullptr);
    } else {
        return false;
    }
    return true;
}

void CICQProtocol::AskAuthorization(unsigned int contactId, const CJOVString& reason)
{
    const RosterItem* buddy = FindContactById(contactId);
    if (!buddy)
        return;
    CJOVString uin = buddy->name;
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_SSI_SEND_AUTHxREQUEST request(sequence, kAuthorizationRequestId, uin, reason);
        return request.Pack(buffer, size);
    });
}

void CICQProtocol::SendOwnDetails(const CTLVCol& fields)
{
    // Offline the pages keep the own fields read-only; a change that races a
    // disconnect stays in the settings only.
    if (fields.empty() || GetStatus() <= Protocols::StatusConnecting)
        return;
    unsigned short metaSequence = static_cast<unsigned short>(m_random());
    unsigned int ownUin = OwnUin();
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_META_INFO_REQ request(sequence, NextRequestId(), ownUin, metaSequence, fields);
        return request.Pack(buffer, size);
    });
}

void CICQProtocol::ForgetContactList()
{
    // The list, its cache and its mirror belong to the old login: the next
    // login must not show them, nor edit them on the new login's server.
    m_roster.clear();
    m_pendingEdits.clear();
    m_ssiTime = 0;
    m_ownUin = 0;
    if (m_settings)
        m_settings->SetData(m_accountId, CJOVString(ICQ_KEY_CL_DATA), std::vector<unsigned char>());
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    CJOVArray<CL::CLItemInfo> items;
    list->GetItems(m_accountId, &items);
    list->BeginTransaction();
    for (int i = 0; i < items.Count(); ++i) {
        if (items[i].contactId)
            list->DeleteContact(items[i].contactId);
    }
    for (int i = 0; i < items.Count(); ++i) {
        if (!items[i].contactId)
            list->DeleteGroup(items[i].groupId);
    }
    list->EndTransaction();
}
