// The user's edits of the server-side list: sent with a pending entry under
// their request id, applied to the roster when the server says yes.
#include "ICQProtocol.h"
#include "ScreenName.h"

#include "cl/ContactList.h"
#include "packets/CLI_SSIxITEM.h"
#include "PluginModule.h"
#include "packets/SRV_SSIxMODxACK.h"

namespace {

CJOVString Utf8Text(const CTLV* tlv)
{
    if (!tlv || !tlv->GetData() || tlv->GetDataLength() == 0)
        return CJOVString();
    return CJOVString(tlv->GetData(), tlv->GetDataLength(), CP_UTF8);
}

CTLV Utf8Tlv(unsigned short type, const CJOVString& text)
{
    unsigned char* utf8 = text.GetBuffer(CP_UTF8);
    int n = utf8 ? static_cast<int>(strlen(reinterpret_cast<const char*>(utf8))) : 0;
    CTLV tlv(type, static_cast<unsigned short>(n), utf8);
    CJOVString::FreeBuffer(utf8);
    return tlv;
}

void ReplaceTlv(CTLVCol& tlvs, const CTLV& value)
{
    for (CTLV& tlv : tlvs) {
        if (tlv.GetType() == value.GetType()) {
            tlv = value;
            return;
        }
    }
    tlvs.push_back(value);
}

} // namespace

RosterItem* CICQProtocol::FindGroupById(unsigned short groupId)
{
    for (RosterItem& item : m_roster) {
        if (item.type == kRosterGroup && item.groupId == groupId)
            return &item;
    }
    return nullptr;
}

void CICQProtocol::SendEdit(int operation, const SSIItem& item)
{
    unsigned int requestId = NextRequestId();
    m_pendingEdits[requestId] = PendingEdit{operation, item};
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        if (operation == kEditUpdate) {
            CCLI_SSIxUPDATE packet(sequence, requestId, item.name, item.groupId, item.itemId, item.type, item.tlvs);
            return packet.Pack(buffer, size);
        }
        if (operation == kEditDelete || operation == kEditMoveDelete) {
            CCLI_SSIxDELETE packet(sequence, requestId, item.name, item.groupId, item.itemId, item.type, item.tlvs);
            return packet.Pack(buffer, size);
        }
        CCLI_SSIxADD packet(sequence, requestId, item.name, item.groupId, item.itemId, item.type, item.tlvs);
        return packet.Pack(buffer, size);
    });
}

void CICQProtocol::CreateServerGroup(const CJOVString& name)
{
    SSIItem group;
    group.name = name;
    group.groupId = NewItemId();
    group.type = kRosterGroup;
    SendEdit(kEditAdd, group);
}

void CICQProtocol::RenameServerGroup(unsigned int groupContactId, const CJOVString& name)
{
    RosterItem* group = FindContactById(groupContactId);
    if (!group || group->type != kRosterGroup || name.GetLength() == 0)
        return;
    SSIItem renamed = *group;
    renamed.name = name;
    SendEdit(kEditUpdate, renamed);
}

void CICQProtocol::DeleteServerGroup(const unsigned int* groupContactId)
{
    if (!groupContactId) {
        // The contacts not in the list live only here: nothing to send.
        std::vector<RosterItem> kept;
        for (const RosterItem& item : m_roster) {
            if (!(item.type == kRosterBuddy && item.groupId == 0))
                kept.push_back(item);
        }
        CL::CContactList* list = ContactList();
        for (const RosterItem& item : m_roster) {
            if (list && item.type == kRosterBuddy && item.groupId == 0 && item.contactId)
                list->DeleteContact(item.contactId);
        }
        m_roster.swap(kept);
        return;
    }
    RosterItem* group = FindContactById(*groupContactId);
    if (!group || group->type != kRosterGroup)
        return;
    SendEdit(kEditDelete, *group);
}

void CICQProtocol::AddContact(unsigned int groupContactId, const CJOVString& uin, const CJOVString& displayName)
{
    RosterItem* group = FindContactById(groupContactId);
    if (!group || group->type != kRosterGroup)
        return;
    SSIItem buddy;
    buddy.name = uin;
    buddy.groupId = group->groupId;
    buddy.itemId = NewItemId();
    buddy.type = kRosterBuddy;
    if (displayName.GetLength() > 0)
        buddy.tlvs.push_back(Utf8Tlv(0x0131, displayName));
    SendEdit(kEditAdd, buddy);
}

void CICQProtocol::RenameContact(unsigned int contactId, const CJOVString& name)
{
    RosterItem* item = FindContactById(contactId);
    if (!item)
        return;
    SSIItem renamed = *item;
    ReplaceTlv(renamed.tlvs, Utf8Tlv(0x0131, name));
    SendEdit(kEditUpdate, renamed);
}

void CICQProtocol::MoveContact(unsigned int contactId, unsigned int groupContactId)
{
    RosterItem* item = FindContactById(contactId);
    RosterItem* target = FindContactById(groupContactId);
    if (!item || !target || target->type != kRosterGroup)
        return;
    SSIItem before = *item;
    SSIItem after = *item;
    after.groupId = target->groupId;
    SendHeaderOnlySnac(0x13, 0x11);
    SendEdit(kEditMoveDelete, before);
    after.itemId = NewItemId();
    SendEdit(kEditMoveAdd, after);
    SendHeaderOnlySnac(0x13, 0x12);
}

void CICQProtocol::DeleteContact(unsigned int contactId)
{
    RosterItem* item = FindContactById(contactId);
    if (!item)
        return;
    if (item->groupId != 0) {
        SendEdit(kEditDelete, *item);
        return;
    }
    // Not on the server: it goes at once.
    if (CL::CContactList* list = ContactList())
        list->DeleteContact(contactId);
    m_roster.erase(m_roster.begin() + (item - m_roster.data()));
}

void CICQProtocol::AddToPrivacyList(unsigned int contactId, unsigned short listType)
{
    RosterItem* item = FindContactById(contactId);
    if (!item)
        return;
    SSIItem entry;
    entry.name = item->name;
    entry.itemId = NewItemId();
    entry.type = listType;
    SendEdit(kEditAdd, entry);
}

void CICQProtocol::RemoveFromPrivacyList(unsigned int contactId, unsigned short listType)
{
    RosterItem* item = FindContactById(contactId);
    if (!item)
        return;
    for (const RosterItem& entry : m_roster) {
        if (entry.type == listType && SameScreenName(entry.name, item->name)) {
            SendEdit(kEditDelete, entry);
            return;
        }
    }
}

void CICQProtocol::HandleEditAck(const CSNACPacket& snac, const unsigned char* packet, int length)
{
    CSRV_SSIxMODxACK ack;
    if (ack.Unpack(packet, length) <= 0)
        return;
    auto found = m_pendingEdits.find(snac.GetRequestId());
    if (found == m_pendingEdits.end())
        return;
    PendingEdit edit = found->second;
    m_pendingEdits.erase(found);
    switch (ack.GetResult()) {
    case 0:
        ApplyEdit(edit);
        break;
    case 2:
        ShowWarning(GetPluginText(99, L"Item not found"));
        break;
    case 3:
        ShowWarning(GetPluginText(100, L"Item already exist"));
        break;
    case 10:
        ShowWarning(GetPluginText(101, L"Error adding item"));
        break;
    case 12:
        ShowWarning(GetPluginText(102, L"Can't add item (limit of this type of items exceeded)"));
        break;
    case 13:
        ShowWarning(GetPluginText(103, L"Trying to add ICQ contact to AIM list"));
        break;
    case 14:
        // The buddy needs authorization: added again once, marked as
        // awaiting it. An add that carried the mark already is not retried,
        // or a server that keeps refusing would be asked for ever.
        if (edit.operation == kEditAdd && edit.item.type == kRosterBuddy && !edit.item.tlvs.GetTLV(0x0066)) {
            edit.item.tlvs.push_back(CTLV(0x0066, static_cast<unsigned short>(0), nullptr));
            SendEdit(kEditAdd, edit.item);
        }
        ShowWarning(GetPluginText(104, L"Contact is authorization required"));
        break;
    default:
        break;
    }
}

void CICQProtocol::ApplyEdit(const PendingEdit& edit)
{
    const SSIItem& item = edit.item;
    CL::CContactList* list = ContactList();
    if (item.type == kRosterGroup) {
        RosterItem* group = FindGroupById(item.groupId);
        if (edit.operation == kEditAdd) {
            RosterItem added(item);
            added.contactId = CreateListGroup(added);
            m_roster.push_back(added);
        } else if (edit.operation == kEditUpdate && group) {
            group->name = item.name;
            group->tlvs = item.tlvs;
            if (list && group->contactId) {
                list->SetString(group->contactId, CJOVString(L"Account name"), item.name);
                list->SetString(group->contactId, CJOVString(L"CL Alias"), item.name);
                list->NotifyGroupChanged(group->contactId);
            }
        } else if (edit.operation == kEditDelete && group) {
            if (list && group->contactId)
                list->DeleteGroup(group->contactId);
            m_roster.erase(m_roster.begin() + (group - m_roster.data()));
        }
        return;
    }
    auto byItemId = [&](unsigned short type) -> RosterItem* {
        for (RosterItem& entry : m_roster) {
            if (entry.type == type && entry.itemId == item.itemId)
                return &entry;
        }
        return nullptr;
    };
    if (item.type == kRosterBuddy) {
        RosterItem* existing = FindContactByName(item.name);
        RosterItem* group = FindGroupById(item.groupId);
        if (edit.operation == kEditAdd) {
            if (existing) {
                existing->groupId = item.groupId;
                existing->itemId = item.itemId;
                existing->name = item.name;
                existing->tlvs = item.tlvs;
                if (list && existing->contactId && group)
                    list->MoveContact(existing->contactId, group->contactId);
            } else if (group) {
                RosterItem added(item);
                added.contactId = CreateListContact(group->contactId, item.name, item.name);
                m_roster.push_back(added);
                PushContactStatus(m_roster.back());
            }
        } else if (edit.operation == kEditUpdate) {
            if (RosterItem* entry = byItemId(kRosterBuddy)) {
                entry->name = item.name;
                entry->tlvs = item.tlvs;
                if (list && entry->contactId) {
                    CJOVString alias = Utf8Text(item.tlvs.GetTLV(0x0131));
                    list->SetString(entry->contactId, CJOVString(L"CL Alias"), alias.GetLength() ? alias : item.name);
                    list->NotifyContactChanged(entry->contactId);
                }
            }
        } else if (edit.operation == kEditDelete) {
            if (RosterItem* entry = byItemId(kRosterBuddy)) {
                if (list && entry->contactId)
                    list->DeleteContact(entry->contactId);
                m_roster.erase(m_roster.begin() + (entry - m_roster.data()));
            }
        } else if (edit.operation == kEditMoveAdd && existing) {
            existing->groupId = item.groupId;
            existing->itemId = item.itemId;
            if (list && existing->contactId && group)
                list->MoveContact(existing->contactId, group->contactId);
        }
        return;
    }
    if (item.type == kRosterVisible || item.type == kRosterInvisible || item.type == kRosterIgnore) {
        const wchar_t* key = item.type == kRosterVisible     ? L"In visible list"
                             : item.type == kRosterInvisible ? L"In invisible list"
                                                             : L"In ignore list";
        BYTE mark = 0;
        if (edit.operation == kEditAdd) {
            m_roster.push_back(RosterItem(item));
            mark = 1;
        } else if (edit.operation == kEditDelete) {
            RosterItem* entry = byItemId(item.type);
            if (!entry)
                return;
            m_roster.erase(m_roster.begin() + (entry - m_roster.data()));
        } else {
            return;
        }
        RosterItem* buddy = FindContactByName(item.name);
        if (list && buddy && buddy->contactId) {
            list->SetByte(buddy->contactId, CJOVString(key), &mark);
            PushContactStatus(*buddy);
        }
    }
}
