// The account's own presence: the status the server confirms, the privacy
// mode kept in the roster's privacy settings item, and the x-status.
#include "ICQProtocol.h"

#include <cstring>

#include <cstdio>

#include "ICQSettingKeys.h"
#include "packets/CLI_SETUSERINFO.h"
#include "packets/CLI_SSIxITEM.h"
#include "packets/CapabilityRegistry.h"
#include "packets/SRV_ONLINExINFO.h"
#include "packets/StatusTable.h"

namespace {

// Sets the TLV to the value; true when it was added or its bytes differed.
bool PutTlv(CTLVCol& tlvs, const CTLV& value)
{
    for (CTLV& tlv : tlvs) {
        if (tlv.GetType() != value.GetType())
            continue;
        bool same = tlv.GetDataLength() == value.GetDataLength() &&
                    (value.GetDataLength() == 0 || memcmp(tlv.GetData(), value.GetData(), value.GetDataLength()) == 0);
        if (!same)
            tlv = value;
        return !same;
    }
    tlvs.push_back(value);
    return true;
}

} // namespace

void CICQProtocol::HandleOwnInfo(const unsigned char* packet, int length)
{
    CSRV_ONLINExINFO info;
    if (info.Unpack(packet, length) <= 0)
        return;
    const CTLV* tlv = info.GetTLVs().GetTLV(0x0006);
    if (!tlv || !tlv->GetData() || tlv->GetDataLength() < 4)
        return;
    // The status word is the TLV's low half; the status table holds it with
    // its bytes exchanged, as the online notice of a buddy is read.
    const unsigned char* value = tlv->GetData();
    unsigned short held = static_cast<unsigned short>(value[2] | (value[3] << 8));
    Protocols::Status status = IcqStatusToStatus(held);
    if (status == Protocols::StatusInvisible && m_wantedStatus == Protocols::StatusInvisibleForAll)
        status = Protocols::StatusInvisibleForAll;
    if (status == GetStatus())
        return;
    m_status = status;
    if (ReadByte(ICQ_KEY_AUTO_PRIVACY, 1) || status == Protocols::StatusInvisibleForAll) {
        unsigned char mode = 4;
        if (m_wantedStatus == Protocols::StatusInvisibleForAll)
            mode = 2;
        else if (m_wantedStatus == Protocols::StatusInvisible)
            mode = 3;
        SetPrivacyMode(mode, false);
    }
    PostStatusChanged();
}

void CICQProtocol::SetPrivacyMode(unsigned char mode, bool forced)
{
    m_privacyMode = mode;
    bool online = GetStatus() > Protocols::StatusOffline;
    if (RosterItem* item = FindPrivacyItem()) {
        bool changed = PutTlv(item->tlvs, CTLV(0x00CA, mode));
        if (!item->tlvs.GetTLV(0x00CB))
            item->tlvs.push_back(CTLV(0x00CB, 0xFFFFFFFFu));
        if ((changed || forced) && online) {
            RosterItem copy = *item;
            SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
                CCLI_SSIxUPDATE update(sequence, NextRequestId(), CJOVString(), 0, copy.itemId, kRosterPrivacy,
                                       copy.tlvs);
                return update.Pack(buffer, size);
            });
        }
    } else {
        RosterItem privacy;
        privacy.itemId = NewItemId();
        privacy.type = kRosterPrivacy;
        privacy.tlvs.push_back(CTLV(0x00CA, mode));
        privacy.tlvs.push_back(CTLV(0x00CB, 0xFFFFFFFFu));
        m_roster.push_back(privacy);
        if (online) {
            SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
                CCLI_SSIxADD add(sequence, NextRequestId(), CJOVString(), 0, privacy.itemId, kRosterPrivacy,
                                 privacy.tlvs);
                return add.Pack(buffer, size);
            });
        }
    }
    // The two invisible statuses are the privacy mode seen from the status.
    Protocols::Status status = GetStatus();
    Protocols::Status follows = status;
    if (status == Protocols::StatusInvisible && mode == 2)
        follows = Protocols::StatusInvisibleForAll;
    else if (status == Protocols::StatusInvisibleForAll && mode != 2)
        follows = Protocols::StatusInvisible;
    if (follows != status) {
        m_wantedStatus = follows;
        SetCurrentStatus(follows);
    }
}

int CICQProtocol::ClampXStatus(int index) const
{
    return index >= 0 && index <= static_cast<int>(m_xStatuses.size()) ? index : 0;
}

void CICQProtocol::SetXStatus(int index)
{
    m_xStatusIndex = ClampXStatus(index);
    SendXStatusCapabilities();
}

void CICQProtocol::SendXStatusCapabilities()
{
    if (GetStatus() == Protocols::StatusOffline)
        return;
    const CCapability* capability = nullptr;
    if (m_xStatusIndex > 0) {
        wchar_t name[32];
        swprintf(name, 32, L"capXS%dpic", m_xStatusIndex);
        capability = FindCapabilityByName(GetCapabilityRegistry(), CJOVString(name));
    }
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        if (capability) {
            CCLI_SETUSERINFO packet(sequence, NextRequestId(), *capability);
            return packet.Pack(buffer, size);
        }
        CCLI_SETUSERINFO packet(sequence, NextRequestId(), false);
        return packet.Pack(buffer, size);
    });
}

