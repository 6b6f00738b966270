// Channel-2 frames: the SNAC header chooses the handler by family and subtype.
// SNACs of other families or subtypes are dropped without an answer.
#include "Trace.h"
#include "ICQProtocol.h"

#include <cwchar>

#include "ICQSettingKeys.h"
#include "packets/CLI_FAMILIES_VERSIONS.h"
#include "packets/CLI_MD5_LOGIN.h"
#include "packets/CLI_META_REQ.h"
#include "packets/CLI_RATES_ACK.h"
#include "packets/CLI_RATES_REQUEST.h"
#include "packets/CLI_SETUSERINFO.h"
#include "PluginModule.h"
#include "packets/SRV_AUTH_KEY_RESPONSE.h"
#include "packets/SRV_FAMILIES.h"
#include "packets/SRV_FAMILIES_VERSIONS.h"
#include "packets/SRV_META_REPLY.h"
#include "packets/SRV_OFFLINE_MESSAGE.h"
#include "packets/ImageTable.h"
#include "packets/SRV_RATE_LIMIT_INFO.h"
#include "packets/SRV_SSI_AUTHxREPLY.h"
#include "packets/SRV_SSI_AUTHxREQUEST.h"
#include "packets/SRV_SSIxREPLY.h"
#include "packets/CLI_SSIxITEM.h"

namespace {

// The server keeps the date a message was sent, in UTC; a date that cannot
// be one gives 0, and the message then takes the time of delivery.
__int64 OfflineMessageTime(const CSRV_OFFLINE_MESSAGE& message)
{
    int year = message.GetYear();
    int month = message.GetMonth();
    int day = message.GetDay();
    if (year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || message.GetHour() > 23 ||
        message.GetMinute() > 59)
        return 0;
    // Days since 1970-01-01 of a proleptic Gregorian date.
    int y = month <= 2 ? year - 1 : year;
    int era = y / 400;
    int yearOfEra = y - era * 400;
    int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    __int64 days = static_cast<__int64>(era) * 146097 + dayOfEra - 719468;
    return days * 86400 + message.GetHour() * 3600 + message.GetMinute() * 60;
}

} // namespace

int CICQProtocol::HandleSnac(const unsigned char* packet, int length)
{
    CSNACPacket snac;
    if (!Sockets() || snac.Unpack(packet, length) <= 0)
        return 0;
    switch (snac.GetFamily()) {
    case 0x01:
        HandleServiceFamily(snac, packet, length);
        break;
    case 0x02:
        HandleLocationFamily(snac);
        break;
    case 0x03:
        HandleBuddyFamily(snac, packet, length);
        break;
    case 0x04:
        HandleIcbmFamily(snac, packet, length);
        break;
    case 0x13:
        HandleSsiFamily(snac, packet, length);
        break;
    case 0x15:
        HandleExtensionsFamily(snac, packet, length);
        break;
    case 0x17:
        HandleAuthFamily(snac, packet, length);
        break;
    default:
        break;
    }
    return 0;
}

void CICQProtocol::HandleServiceFamily(const CSNACPacket& snac, const unsigned char* packet, int length)
{
    switch (snac.GetSubtype()) {
    case 0x03: {
        CSRV_FAMILIES families;
        if (families.Unpack(packet, length) <= 0)
            return;
        static const unsigned short kVersions[][2] = {{0x01, 4}, {0x13, 4}, {0x02, 1}, {0x03, 1}, {0x15, 1},
                                                      {0x04, 1}, {0x06, 1}, {0x09, 1}, {0x0A, 1}, {0x0B, 1}};
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_FAMILIES_VERSIONS request(sequence, NextRequestId());
            for (const auto& pair : kVersions)
                request.AddFamily(pair[0], pair[1]);
            return request.Pack(buffer, size);
        });
        break;
    }
    case 0x18: {
        CSRV_FAMILIES_VERSIONS versions;
        if (versions.Unpack(packet, length) <= 0)
            return;
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_RATES_REQUEST request(sequence, NextRequestId());
            return request.Pack(buffer, size);
        });
        break;
    }
    case 0x07: {
        CSRV_RATE_LIMIT_INFO rates;
        if (rates.Unpack(packet, length) <= 0)
            return;
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_RATES_ACK ack(rates, sequence);
            return ack.Pack(buffer, size);
        });
        SendSsiRightsRequest();
        SendHeaderOnlySnac(0x02, 0x02);
        SendHeaderOnlySnac(0x03, 0x02);
        SendHeaderOnlySnac(0x04, 0x04);
        SendHeaderOnlySnac(0x09, 0x02);
        break;
    }
    case 0x0B:
        ShowWarning(GetPluginText(98, L"Server pause"));
        Disconnect();
        StartReconnect();
        break;
    case 0x0F:
        HandleOwnInfo(packet, length);
        break;
    default:
        break;
    }
}

void CICQProtocol::HandleLocationFamily(const CSNACPacket& snac)
{
    if (snac.GetSubtype() != 0x03)
        return;
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_SETUSERINFO packet(sequence, NextRequestId(), true);
        return packet.Pack(buffer, size);
    });
}

void CICQProtocol::RequestContactList()
{
    m_roster.clear();
    SendHeaderOnlySnac(0x13, 0x04);
}

void CICQProtocol::HandleSsiFamily(const CSNACPacket& snac, const unsigned char* packet, int length)
{
    switch (snac.GetSubtype()) {
    case 0x03:
        if (ReadByte(ICQ_KEY_LOAD_CL, 1)) {
            RequestContactList();
        } else if (!m_loginComplete) {
            ApplyRoster();
            OnLoginComplete();
        }
        break;
    case 0x06: {
        CSRV_SSIxREPLY reply;
        if (reply.Unpack(packet, length) <= 0)
            return;
        for (const SSIItem& item : reply.GetItems())
            m_roster.push_back(RosterItem(item));
        TraceMark(L"ICQ list part", static_cast<long long>(reply.GetItems().size()));
        if (snac.GetFlags() & 0x0001)
            return;  // more parts follow
        m_ssiTime = reply.GetLastChangeTime();
        ApplyRoster();
        TraceMark(L"ICQ list mirrored");
        // The own-info packet may already have ended Connecting: the login
        // steps run once per session whatever the status says.
        if (!m_loginComplete)
            OnLoginComplete();
        else
            SetPrivacyMode(m_privacyMode, true);
        break;
    }
    case 0x0E:
        HandleEditAck(snac, packet, length);
        break;
    case 0x19: {
        CSRV_SSI_AUTHxREQUEST request;
        if (request.Unpack(packet, length) <= 0)
            return;
        if (RosterItem* buddy = FindContactByName(request.GetUIN()))
            buddy->authorizationAsked = true;
        DeliverMessage(request.GetUIN(), 0, static_cast<int>(GetImageId(33)),
                       GetPluginText(38, L"Authorization request: ") + request.GetReason(), CJOVString());
        break;
    }
    case 0x1B: {
        CSRV_SSI_AUTHxREPLY reply;
        if (reply.Unpack(packet, length) <= 0)
            return;
        RosterItem* buddy = FindContactByName(reply.GetUIN());
        if (!buddy)
            return;
        if (reply.GetAccept() && buddy->tlvs.GetTLV(0x0066)) {
            CTLVCol kept;
            for (const CTLV& tlv : buddy->tlvs) {
                if (tlv.GetType() != 0x0066)
                    kept.push_back(tlv);
            }
            buddy->tlvs = kept;
            SSIItem item = *buddy;
            SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
                CCLI_SSIxUPDATE update(sequence, NextRequestId(), item.name, item.groupId, item.itemId, kRosterBuddy,
                                       item.tlvs);
                return update.Pack(buffer, size);
            });
        }
        PushContactStatus(*buddy);
        CJOVString text = reply.GetUIN() + CJOVString(L"\n") +
                          (reply.GetAccept() ? GetPluginText(36, L"Accepted your authorization")
                                             : GetPluginText(37, L"Declined your authorization"));
        DeliverMessage(reply.GetUIN(), 0, static_cast<int>(GetImageId(33)), text, CJOVString());
        break;
    }
    default:
        break;
    }
}

void CICQProtocol::HandleAuthFamily(const CSNACPacket& snac, const unsigned char* packet, int length)
{
    // Only the login server's answers to this login count: on the BOS
    // connection one would trade the session for a new one.
    if (!m_onLoginServer)
        return;
    if (snac.GetSubtype() == 0x07) {
        CSRV_AUTH_KEY_RESPONSE key;
        if (key.Unpack(packet, length) <= 0)
            return;
        std::vector<unsigned char> password;
        if (m_settings)
            m_settings->GetData(m_accountId, CJOVString(ICQ_KEY_PASSWORD), password);
        unsigned char hash[16] = {};
        for (size_t i = 0; i < password.size() && i < 16; ++i)
            hash[i] = password[i];
        CJOVString uin = ReadString(ICQ_KEY_ACCOUNT_NAME);
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_MD5_LOGIN login(sequence, 0, uin, key, hash);
            return login.Pack(buffer, size);
        });
    } else if (snac.GetSubtype() == 0x03) {
        OnLoginReply(packet, length);
    }
}

void CICQProtocol::HandleExtensionsFamily(const CSNACPacket& snac, const unsigned char* packet, int length)
{
    if (snac.GetSubtype() != 0x03)
        return;
    CSRV_META_REPLY reply;
    if (reply.Unpack(packet, length) <= 0)
        return;
    if (reply.GetMetaType() == 0x41) {
        CSRV_OFFLINE_MESSAGE message;
        if (message.Unpack(packet, length) <= 0 || message.GetText().GetLength() == 0)
            return;
        wchar_t uin[16];
        swprintf(uin, 16, L"%u", message.GetSenderUIN());
        DeliverMessage(CJOVString(uin), 1, -1, message.GetText(), CJOVString(), OfflineMessageTime(message));
    } else if (reply.GetMetaType() == 0x07DA) {
        HandleMetaReply(reply.GetMetaSequence(), packet, length);
    } else if (reply.GetMetaType() == 0x42) {
        unsigned int uin = OwnUin();
        SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
            CCLI_META_REQ request(sequence, NextRequestId(), 10, uin, 0x3E, ++m_metaSequence);
            return request.Pack(buffer, size);
        });
    }
}
