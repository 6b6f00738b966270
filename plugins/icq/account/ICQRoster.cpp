// The account's copy of its server-side contact list: lookups, the cache in
// "CL data", presence of buddies and the privacy rules.
#include "ICQProtocol.h"

#include "ICQSettingKeys.h"
#include "ScreenName.h"
#include "packets/ByteReader.h"
#include "packets/ByteWriter.h"
#include "packets/SRV_USER_ONLINE.h"
#include "packets/StatusTable.h"

RosterItem* CICQProtocol::FindContactById(unsigned int contactId)
{
    if (contactId == 0)
        return nullptr;  // 0 is "not in the model", never an item
    for (RosterItem& item : m_roster) {
        if (item.contactId == contactId)
            return &item;
    }
    return nullptr;
}

RosterItem* CICQProtocol::FindContactByName(const CJOVString& uin)
{
    CJOVString wanted = NormalizeScreenName(uin);
    for (RosterItem& item : m_roster) {
        if (item.type == kRosterBuddy && NormalizeScreenName(item.name) == wanted)
            return &item;
    }
    return nullptr;
}

RosterItem* CICQProtocol::FindPrivacyItem()
{
    for (RosterItem& item : m_roster) {
        if (item.type == kRosterPrivacy)
            return &item;
    }
    return nullptr;
}

unsigned short CICQProtocol::NewItemId() const
{
    for (unsigned int id = 1024; id < 0x10000; ++id) {
        bool used = false;
        for (const RosterItem& item : m_roster) {
            if (item.itemId == id || (item.type == kRosterGroup && item.groupId == id)) {
                used = true;
                break;
            }
        }
        if (!used)
            return static_cast<unsigned short>(id);
    }
    return 0;
}

void CICQProtocol::LoadContactList()
{
    m_roster.clear();
    std::vector<unsigned char> data;
    if (!m_settings || !m_settings->GetData(m_accountId, CJOVString(ICQ_KEY_CL_DATA), data) || data.size() < 3)
        return;
    CByteReader reader(data.data(), static_cast<int>(data.size()));
    reader.Skip(1);  // version
    int count = reader.U16();
    for (int i = 0; i < count && !reader.Failed(); ++i) {
        SSIItem item;
        if (!item.Read(reader))
            break;  // a cut cache keeps the items read whole
        m_roster.push_back(RosterItem(item));
    }
}

void CICQProtocol::SaveContactList()
{
    if (!m_settings)
        return;
    size_t size = 3;
    for (const RosterItem& item : m_roster)
        size += 10 + static_cast<size_t>(item.name.GetLength()) * 3 + static_cast<size_t>(item.tlvs.GetDataLength());
    std::vector<unsigned char> data(size);
    CByteWriter writer(data.data(), static_cast<int>(size), 0);
    writer.U8(0);
    writer.U16(static_cast<unsigned short>(m_roster.size()));
    for (const RosterItem& item : m_roster)
        item.Write(writer);
    if (writer.Failed())
        return;
    data.resize(static_cast<size_t>(writer.Position()));
    m_settings->SetData(m_accountId, CJOVString(ICQ_KEY_CL_DATA), data);
}

bool CICQProtocol::InList(const RosterItem& buddy, unsigned short listType) const
{
    for (const RosterItem& item : m_roster) {
        if (item.type == listType && SameScreenName(item.name, buddy.name))
            return true;
    }
    return false;
}

bool CICQProtocol::IsVisibleTo(const RosterItem* buddy) const
{
    if (!buddy)
        return false;
    switch (m_privacyMode) {
    case 2:
        return false;
    case 3:
        return buddy->groupId != 0 && InList(*buddy, kRosterVisible);
    case 4:
        return buddy->groupId != 0 && !InList(*buddy, kRosterInvisible);
    case 5:
        return buddy->groupId != 0;
    default:
        return true;
    }
}

void CICQProtocol::HandleBuddyFamily(const CSNACPacket& snac, const unsigned char* packet, int length)
{
    if (snac.GetSubtype() == 0x0B) {
        CSRV_USER_ONLINE online;
        if (online.Unpack(packet, length) <= 0)
            return;
        RosterItem* buddy = FindContactByName(online.GetUIN());
        if (!buddy)
            return;  // users who are not buddies are not tracked
        buddy->status = IcqStatusToStatus(online.GetStatus());
        buddy->onlineData = online.GetTLVs();
        PushContactStatus(*buddy);
    } else if (snac.GetSubtype() == 0x0C) {
        CSRV_USER_OFFLINE offline;
        if (offline.Unpack(packet, length) <= 0)
            return;
        RosterItem* buddy = FindContactByName(offline.GetUIN());
        if (!buddy)
            return;
        // The online data stays: the menus of an offline contact still use
        // its capabilities.
        buddy->status = Protocols::StatusOffline;
        PushContactStatus(*buddy);
    }
}
