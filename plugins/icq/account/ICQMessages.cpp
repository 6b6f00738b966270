// Text messages: sending on ICBM channel 1 or 2 as the buddy's client can
// take them, and acknowledging what arrives.
#include "ICQProtocol.h"

#include "ICQSettingKeys.h"
#include "packets/CLI_SEND_ICBM_ACK_CH2.h"
#include "packets/CLI_SEND_ICBM_CH1.h"
#include "packets/CLI_SEND_ICBM_CH2.h"
#include "packets/CLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE.h"
#include "packets/CapabilityRegistry.h"
#include "packets/ClientIdentification.h"
#include "packets/SRV_CLIENT_ICBM.h"
#include "packets/SRV_CLIENT_ICBMxACK_CH2.h"
#include "packets/ImageTable.h"
#include "JOVTime.h"

namespace {

// A name that is not a number belongs to the AIM side, which reads unicode.
bool IsScreenName(const CJOVString& name)
{
    for (int i = 0; i < name.GetLength(); ++i) {
        if (name.Data()[i] < L'0' || name.Data()[i] > L'9')
            return true;
    }
    return false;
}

unsigned short DirectConnectionVersion(const CTLVCol& onlineData)
{
    const CTLV* tlv = onlineData.GetTLV(0x000C);
    if (!tlv || !tlv->GetData() || tlv->GetDataLength() < 11)
        return 0;
    return static_cast<unsigned short>((tlv->GetData()[9] << 8) | tlv->GetData()[10]);
}

} // namespace

void CICQProtocol::SendMessage(const RosterItem& buddy, const CJOVString& text)
{
    unsigned int requestId = NextRequestId();
    unsigned int cookie1 = static_cast<unsigned int>(m_random());
    unsigned int cookie2 = static_cast<unsigned int>(m_random());
    bool channel2 = false;
    bool wide = false;  // unicode on channel 1, UTF-8 on channel 2
    if (buddy.status == Protocols::StatusOffline || IsScreenName(buddy.name)) {
        wide = IsScreenName(buddy.name);
    } else {
        std::vector<CCapability> capabilities;
        GetContactCapabilities(buddy.onlineData, capabilities);
        const CapabilityRegistry& registry = GetCapabilityRegistry();
        bool relay = HasCapability(registry, capabilities, CJOVString(L"caICQRelay"), 16) != 0;
        wide = HasCapability(registry, capabilities, CJOVString(L"caUTF8support"), 16) != 0;
        channel2 = relay && DirectConnectionVersion(buddy.onlineData) > 7;
    }
    if (channel2) {
        CJOVString ownUin = OwnUinText();
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_SEND_ICBM_CH2 packet(ownUin, sequence, requestId, cookie1, cookie2, buddy.name, text, wide, 0);
            return packet.Pack(buffer, size);
        });
    } else {
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_SEND_ICBM_CH1 packet(sequence, requestId, cookie1, cookie2, buddy.name, text, wide);
            return packet.Pack(buffer, size);
        });
    }
}

void CICQProtocol::HandleIcbmFamily(const CSNACPacket& snac, const unsigned char* packet, int length)
{
    if (snac.GetSubtype() == 0x0B) {
        CSRV_CLIENT_ICBMxACK_CH2 answer;
        if (answer.Unpack(packet, length) <= 0)
            return;
        const RosterItem* buddy = FindContactByName(answer.GetSenderUIN());
        const CTLV* capabilities = buddy ? buddy->onlineData.GetTLV(0x000D) : nullptr;
        if (!capabilities || !capabilities->GetData())
            return;
        int xStatus = FindXStatusByCapability(m_xStatuses, capabilities->GetData(), capabilities->GetDataLength() / 16);
        if (xStatus > 0)
            DeliverMessage(answer.GetSenderUIN(), 2, static_cast<int>(GetImageId(37 + xStatus)), answer.GetTitle(),
                           answer.GetDescription());
        return;
    }
    if (snac.GetSubtype() != 0x07)
        return;
    CSRV_CLIENT_ICBM message;
    if (message.Unpack(packet, length) <= 0)
        return;
    const RosterItem* sender = FindContactByName(message.GetSenderUIN());
    if (message.GetText().GetLength() == 0) {
        if (!message.IsXStatusRequest() || m_xStatusIndex < 1 || !IsVisibleTo(sender))
            return;
        CJOVString ownUin = OwnUinText();
        CJOVString title;
        CJOVString description;
        GetXStatusText(m_xStatuses, m_xStatusIndex - 1, title, description);
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE answer(sequence, 11, message.GetCookie1(), message.GetCookie2(),
                                                         ownUin, message.GetSenderUIN(), m_xStatusIndex, title,
                                                         description, message.GetMessageSequence());
            return answer.Pack(buffer, size);
        });
        return;
    }
    CJOVString text = message.GetText();
    unsigned int kind = 0;
    __int64 sentAt = 0;
    if (message.IsOffline()) {
        sentAt = message.GetTime();
        CTime sent(static_cast<unsigned long>(message.GetTime()));
        text = CJOVString(L"Offline message (") + sent.GetShortDateString() + CJOVString(L")\r\n") + text;
        kind = 1;
    }
    DeliverMessage(message.GetSenderUIN(), kind, -1, text, CJOVString(), sentAt);
    sender = FindContactByName(message.GetSenderUIN());
    if (IsVisibleTo(sender)) {
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_SEND_ICBM_ACK_CH2 ack(sequence, 11, message.GetCookie1(), message.GetCookie2(),
                                       message.GetSenderUIN(), message.GetMessageSequence());
            return ack.Pack(buffer, size);
        });
    }
}

void CICQProtocol::RequestXStatus(const RosterItem& buddy)
{
    if (buddy.status < Protocols::StatusOnline)
        return;
    const CTLV* capabilities = buddy.onlineData.GetTLV(0x000D);
    if (!capabilities || !capabilities->GetData())
        return;
    int xStatus = FindXStatusByCapability(m_xStatuses, capabilities->GetData(), capabilities->GetDataLength() / 16);
    if (xStatus < 1)
        return;
    CJOVString ownUin = OwnUinText();
    unsigned int requestId = NextRequestId();
    unsigned int cookie1 = static_cast<unsigned int>(m_random());
    unsigned int cookie2 = static_cast<unsigned int>(m_random());
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_SEND_ICBM_CH2 packet(ownUin, sequence, requestId, cookie1, cookie2, buddy.name, CJOVString(), false,
                                  xStatus);
        return packet.Pack(buffer, size);
    });
}
