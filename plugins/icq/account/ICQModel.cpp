// The roster as the program's contact-list model shows it: groups and
// contacts made or matched by name, how each buddy is drawn, and the
// messages handed over.
#include "ICQProtocol.h"
#include "ScreenName.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <set>

#include "ServiceIds.h"
#include "ServicesManager.h"
#include "cl/ContactList.h"
#include "packets/ClientIdentification.h"
#include "packets/ImageTable.h"
#include "protocols/MessageInfo.h"

namespace {

const wchar_t* const kAccountName = L"Account name";
const wchar_t* const kAlias = L"CL Alias";

CJOVString Utf8Text(const CTLV* tlv)
{
    if (!tlv || !tlv->GetData() || tlv->GetDataLength() == 0)
        return CJOVString();
    return CJOVString(tlv->GetData(), tlv->GetDataLength(), CP_UTF8);
}

CJOVArray<unsigned int> Images(std::initializer_list<int> positions)
{
    CJOVArray<unsigned int> images;
    for (int position : positions)
        images.Append(GetImageId(position));
    return images;
}

} // namespace

CL::CContactList* CICQProtocol::ContactList()
{
    if (!m_services)
        return nullptr;
    return static_cast<CL::CContactList*>(m_services->GetService(GUID_ContactList));
}

unsigned int CICQProtocol::CreateListGroup(const RosterItem& group)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return 0;
    unsigned int id = list->CreateGroup(m_accountId);
    if (id == 0)
        return 0;
    list->SetString(id, CJOVString(kAccountName), group.name);
    list->SetString(id, CJOVString(kAlias), group.name);
    list->NotifyGroupAdded(id);
    return id;
}

unsigned int CICQProtocol::CreateListContact(unsigned int groupId, const CJOVString& uin, const CJOVString& displayName)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return 0;
    unsigned int id = list->CreateContact(m_accountId, groupId);
    if (id == 0)
        return 0;
    list->SetString(id, CJOVString(kAccountName), uin);
    list->SetString(id, CJOVString(kAlias), displayName);
    list->NotifyContactAdded(id);
    return id;
}

void CICQProtocol::ApplyRoster()
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    CJOVArray<CL::CLItemInfo> items;
    list->GetItems(m_accountId, &items);
    std::map<CJOVString, CL::CLItemInfo> modelContacts;  // by normalised UIN
    std::map<CJOVString, CJOVString> modelContactNames;  // normalised -> as the model has it
    std::map<CJOVString, unsigned int> modelGroups;      // by name
    for (int i = 0; i < items.Count(); ++i) {
        const CL::CLItemInfo& item = items[i];
        CJOVString name;
        list->GetString(item.contactId ? item.contactId : item.groupId, CJOVString(kAccountName), name);
        if (item.contactId) {
            modelContacts[NormalizeScreenName(name)] = item;
            modelContactNames[NormalizeScreenName(name)] = name;
        } else {
            modelGroups[name] = item.groupId;
        }
    }
    // Who is on the visible, invisible and ignore lists, by normalised name:
    // looked up for every buddy, so the roster is walked once, not per buddy.
    static const struct {
        unsigned short list;
        const wchar_t* key;
    } kMarks[] = {{kRosterVisible, L"In visible list"},
                  {kRosterInvisible, L"In invisible list"},
                  {kRosterIgnore, L"In ignore list"}};
    std::set<CJOVString> marked[3];
    for (const RosterItem& item : m_roster) {
        for (int i = 0; i < 3; ++i) {
            if (item.type == kMarks[i].list)
                marked[i].insert(NormalizeScreenName(item.name));
        }
    }
    list->BeginTransaction();
    // Groups first: the server may list a buddy before its group, and that
    // buddy must not be taken for one without a group and deleted.
    std::map<unsigned short, unsigned int> keptGroups;  // SSI group id -> model group
    for (RosterItem& group : m_roster) {
        if (group.type != kRosterGroup || group.groupId == 0)
            continue;
        auto found = modelGroups.find(group.name);
        if (found != modelGroups.end()) {
            group.contactId = found->second;
            modelGroups.erase(found);
        } else {
            group.contactId = CreateListGroup(group);
        }
        keptGroups[group.groupId] = group.contactId;
    }
    for (RosterItem& buddy : m_roster) {
        if (buddy.type != kRosterBuddy)
            continue;
        if (buddy.groupId == 0) {
            // Not in the list (stored in "CL data"): the model's contact
            // outside every group of that name is this one; a copy without
            // one goes below, and the next message makes it anew.
            auto found = modelContacts.find(NormalizeScreenName(buddy.name));
            buddy.contactId = 0;
            if (found != modelContacts.end() && found->second.groupId == 0) {
                buddy.contactId = found->second.contactId;
                modelContacts.erase(found);
            }
            continue;
        }
        auto group = keptGroups.find(buddy.groupId);
        if (group == keptGroups.end())
            continue;
        CJOVString displayName = Utf8Text(buddy.tlvs.GetTLV(0x0131));
        const CJOVString normalized = NormalizeScreenName(buddy.name);
        auto found = modelContacts.find(normalized);
        if (found != modelContacts.end()) {
            if (found->second.groupId != group->second)
                list->MoveContact(found->second.contactId, group->second);
            buddy.contactId = found->second.contactId;
            CJOVString alias;
            list->GetString(buddy.contactId, CJOVString(kAlias), alias);
            if (displayName.GetLength() > 0 && displayName != alias) {
                list->SetString(buddy.contactId, CJOVString(kAlias), displayName);
                list->NotifyContactChanged(buddy.contactId);
            }
            modelContacts.erase(found);
        } else {
            buddy.contactId = CreateListContact(group->second, buddy.name,
                                                displayName.GetLength() > 0 ? displayName : buddy.name);
        }
        bool listed[3];
        bool differs = false;
        for (int i = 0; i < 3; ++i) {
            listed[i] = marked[i].count(normalized) != 0;
            BYTE held = 0;
            list->GetByte(buddy.contactId, CJOVString(kMarks[i].key), &held);
            differs = differs || (held != 0) != listed[i];
        }
        if (differs) {
            for (int i = 0; i < 3; ++i) {
                BYTE value = listed[i] ? 1 : 0;
                list->SetByte(buddy.contactId, CJOVString(kMarks[i].key), &value);
            }
            PushContactStatus(buddy);
        }
    }
    m_roster.erase(std::remove_if(m_roster.begin(), m_roster.end(),
                                  [](const RosterItem& item) {
                                      return item.type == kRosterBuddy && item.groupId == 0 && item.contactId == 0;
                                  }),
                   m_roster.end());
    for (const auto& contact : modelContacts) {
        if (contact.second.groupId != 0) {
            list->DeleteContact(contact.second.contactId);
        } else {
            // A contact not in the list stays, as a buddy outside every group.
            RosterItem buddy;
            buddy.name = modelContactNames[contact.first];
            buddy.contactId = contact.second.contactId;
            m_roster.push_back(buddy);
        }
    }
    for (const auto& group : modelGroups)
        list->DeleteGroup(group.second);
    list->EndTransaction();
}

void CICQProtocol::GetContactStatusInfo(unsigned int contactId, Protocols::ContactStatusInfo& info)
{
    CL::CContactList* list = ContactList();
    if (!list)
        return;
    info.statusImages.RemoveAll();
    info.extraImages.RemoveAll();
    CJOVString uin;
    list->GetString(contactId, CJOVString(kAccountName), uin);
    const RosterItem* buddy = FindContactByName(uin);
    bool inGroup = list->GetContactGroup(contactId) != 0;
    if (!buddy) {
        info.status = Protocols::StatusOffline;
        info.statusImages.Append(Images({inGroup ? 2 : 20}));
        return;
    }
    if (!inGroup) {
        info.statusImages.Append(Images({20}));
        return;
    }
    info.status = buddy->status;
    bool screenName = buddy->name.GetLength() > 0 && IsCharAlphaW(buddy->name.Data()[0]);
    CJOVArray<unsigned int> client;
    if (buddy->status < Protocols::StatusOnline) {
        client.Append(GetImageId(screenName && buddy->status == Protocols::StatusOffline ? 3 : 2));
    } else if (screenName) {
        client.Append(GetImageId(7));
    } else {
        client.Append(GetImageId(DetectClientKind(buddy->onlineData) != kClientOther ? 6 : 5));
    }
    int status = buddy->status;
    if (status == Protocols::StatusInvisible || status >= Protocols::StatusFreeForChat)
        client.Append(GetImageId(status + 5));
    info.statusImages.Append(client);
    if (buddy->status >= Protocols::StatusOnline) {
        const CTLV* capabilities = buddy->onlineData.GetTLV(0x000D);
        int xStatus = capabilities && capabilities->GetData()
                          ? FindXStatusByCapability(m_xStatuses, capabilities->GetData(),
                                                    capabilities->GetDataLength() / 16)
                          : 0;
        if (xStatus > 0)
            info.statusImages.Append(Images({37 + xStatus}));
    }
    static const struct {
        const wchar_t* key;
        int image;
    } kMarks[] = {{L"In visible list", 27}, {L"In invisible list", 28}, {L"In ignore list", 29}};
    for (const auto& mark : kMarks) {
        BYTE value = 0;
        if (list->GetByte(contactId, CJOVString(mark.key), &value) && value)
            info.extraImages.Append(Images({mark.image}));
    }
    if (buddy->tlvs.GetTLV(0x0066))
        info.extraImages.Append(Images({34}));
}

void CICQProtocol::PushContactStatus(const RosterItem& buddy)
{
    CL::CContactList* list = ContactList();
    if (!list || buddy.contactId == 0)
        return;
    Protocols::ContactStatusInfo info;
    GetContactStatusInfo(buddy.contactId, info);
    list->SetContactStatus(buddy.contactId, &info);
}

void CICQProtocol::DeliverMessage(const CJOVString& uin, unsigned int kind, int imageId, const CJOVString& text,
                                  const CJOVString& title, __int64 sentAt)
{
    if (text.GetLength() == 0)
        return;
    RosterItem* buddy = FindContactByName(uin);
    if (!buddy) {
        RosterItem stranger;
        stranger.name = uin;
        stranger.contactId = CreateListContact(0, uin, uin);
        m_roster.push_back(stranger);
        buddy = &m_roster.back();
    }
    CL::CContactList* list = ContactList();
    if (!list || buddy->contactId == 0)
        return;
    Protocols::MessageInfo message;
    message.contactId = buddy->contactId;
    message.kind = kind;
    message.imageIndex = imageId;
    message.time = CTime(sentAt > 0 ? sentAt : static_cast<__int64>(time(nullptr)));
    message.text = text;
    message.title = title;
    list->MessageReceived(buddy->contactId, &message);
}
