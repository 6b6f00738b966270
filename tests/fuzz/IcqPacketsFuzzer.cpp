// Every server packet the ICQ plug-in reads, chosen as the account chooses it:
// by the FLAP channel and, on channel 2, by the SNAC family and subtype. Each
// parsed packet is then asked what the account asks of it.
#include <cstddef>
#include <vector>

#include "CLI_RATES_ACK.h"
#include "CapabilityRegistry.h"
#include "ClientIdentification.h"
#include "SRV_AUTH_FAILED.h"
#include "SRV_AUTH_KEY_RESPONSE.h"
#include "SRV_CLIENT_ICBM.h"
#include "SRV_CLIENT_ICBMxACK_CH2.h"
#include "SRV_FAMILIES.h"
#include "SRV_FAMILIES_VERSIONS.h"
#include "SRV_HELLO.h"
#include "SRV_LOGIN_REPLY.h"
#include "SRV_META_BASIC_USERINFO.h"
#include "SRV_META_INTERESTS_USERINFO.h"
#include "SRV_META_MORE_USERINFO.h"
#include "SRV_META_NOTES_USERINFO.h"
#include "SRV_META_WORK_USERINFO.h"
#include "SRV_OFFLINE_MESSAGE.h"
#include "SRV_ONLINExINFO.h"
#include "SRV_RATE_LIMIT_INFO.h"
#include "SRV_SSI_AUTHxREPLY.h"
#include "SRV_SSI_AUTHxREQUEST.h"
#include "SRV_SSIxMODxACK.h"
#include "SRV_SSIxREPLY.h"
#include "SRV_USER_ONLINE.h"
#include "XStatusTable.h"

namespace {

typedef const unsigned char* Bytes;

// What the account makes of a contact's online information: its client,
// its capabilities and its x-status.
void ReadOnlineInfo(const CTLVCol& tlvs)
{
    static XStatusTable xStatuses;
    if (xStatuses.empty())
        BuildXStatusTable(xStatuses);
    std::vector<CCapability> capabilities;
    GetContactCapabilities(tlvs, capabilities);
    DetectClientKind(tlvs);
    HasCapability(GetCapabilityRegistry(), capabilities, CJOVString(L"UTF8"), 16);
    if (const CTLV* guids = tlvs.GetTLV(0x000D)) {
        if (guids->GetData())
            FindXStatusByCapability(xStatuses, guids->GetData(), guids->GetDataLength() / 16);
    }
}

void Service(unsigned short subtype, Bytes frame, int length)
{
    switch (subtype) {
    case 0x03: {
        CSRV_FAMILIES families;
        families.Unpack(frame, length);
        break;
    }
    case 0x18: {
        CSRV_FAMILIES_VERSIONS versions;
        versions.Unpack(frame, length);
        break;
    }
    case 0x07: {
        // The answer repeats the classes read.
        CSRV_RATE_LIMIT_INFO rates;
        if (rates.Unpack(frame, length) > 0) {
            std::vector<unsigned char> answer(kMaxFrameSize);
            CCLI_RATES_ACK ack(rates, 1);
            ack.Pack(answer.data(), kMaxFrameSize);
        }
        break;
    }
    case 0x0F: {
        CSRV_ONLINExINFO info;
        if (info.Unpack(frame, length) > 0)
            ReadOnlineInfo(info.GetTLVs());
        break;
    }
    default:
        break;
    }
}

void Buddy(unsigned short subtype, Bytes frame, int length)
{
    if (subtype == 0x0B) {
        CSRV_USER_ONLINE online;
        if (online.Unpack(frame, length) > 0) {
            online.GetStatus();
            ReadOnlineInfo(online.GetTLVs());
        }
    } else if (subtype == 0x0C) {
        CSRV_USER_OFFLINE offline;
        if (offline.Unpack(frame, length) > 0)
            offline.GetUIN();
    }
}

void Icbm(unsigned short subtype, Bytes frame, int length)
{
    if (subtype == 0x0B) {
        CSRV_CLIENT_ICBMxACK_CH2 answer;
        if (answer.Unpack(frame, length) > 0) {
            answer.GetTitle();
            answer.GetDescription();
        }
    } else if (subtype == 0x07) {
        CSRV_CLIENT_ICBM message;
        if (message.Unpack(frame, length) > 0) {
            if (message.GetText().GetLength() == 0)
                message.IsXStatusRequest();
            message.IsOffline();
            message.GetTime();
            message.GetMessageSequence();
        }
    }
}

void Ssi(unsigned short subtype, Bytes frame, int length)
{
    switch (subtype) {
    case 0x06: {
        CSRV_SSIxREPLY reply;
        if (reply.Unpack(frame, length) > 0)
            reply.GetLastChangeTime();
        break;
    }
    case 0x0E: {
        CSRV_SSIxMODxACK ack;
        if (ack.Unpack(frame, length) > 0)
            ack.GetResult();
        break;
    }
    case 0x19: {
        CSRV_SSI_AUTHxREQUEST request;
        if (request.Unpack(frame, length) > 0)
            request.GetReason();
        break;
    }
    case 0x1B: {
        CSRV_SSI_AUTHxREPLY reply;
        if (reply.Unpack(frame, length) > 0)
            reply.GetReason();
        break;
    }
    default:
        break;
    }
}

// The reply's kind depends on the request it answers: every kind is tried.
void Extensions(unsigned short subtype, Bytes frame, int length)
{
    if (subtype != 0x03)
        return;
    CSRV_META_REPLY reply;
    if (reply.Unpack(frame, length) <= 0)
        return;
    CSRV_OFFLINE_MESSAGE offline;
    if (offline.Unpack(frame, length) > 0) {
        offline.GetSender();
        offline.GetText();
    }
    CSRV_META_USERINFO part;
    if (part.Unpack(frame, length) <= 0)
        return;
    CSRV_META_BASIC_USERINFO basic;
    if (basic.Unpack(frame, length) > 0)
        basic.IsSuccess();
    CSRV_META_WORK_USERINFO work;
    if (work.Unpack(frame, length) > 0)
        work.IsSuccess();
    CSRV_META_MORE_USERINFO more;
    if (more.Unpack(frame, length) > 0)
        more.IsSuccess();
    CSRV_META_NOTES_USERINFO notes;
    if (notes.Unpack(frame, length) > 0)
        notes.IsSuccess();
    CSRV_META_INTERESTS_USERINFO interests;
    interests.Unpack(frame, length);
}

void Auth(unsigned short subtype, Bytes frame, int length)
{
    if (subtype == 0x07) {
        CSRV_AUTH_KEY_RESPONSE key;
        unsigned short keyLength = 0;
        if (key.Unpack(frame, length) > 0)
            key.GetKey(keyLength);
    } else if (subtype == 0x03) {
        CSRV_LOGIN_REPLY reply;
        unsigned short cookieLength = 0;
        if (reply.Unpack(frame, length) > 0) {
            reply.GetCookie(cookieLength);
            reply.GetErrorText();
            reply.GetHost();
            reply.GetPort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const int length = static_cast<int>(size);
    CICQPacket flap;
    if (flap.Unpack(data, length) <= 0)
        return 0;
    switch (flap.GetChannel()) {
    case 1: {
        CSRV_HELLO hello;
        hello.Unpack(data, length);
        break;
    }
    case 4: {
        CSRV_AUTH_FAILED signoff;
        if (signoff.Unpack(data, length) > 0) {
            signoff.GetErrorText();
            signoff.GetDisconnectText();
        }
        break;
    }
    case 2: {
        CSNACPacket snac;
        if (snac.Unpack(data, length) <= 0)
            break;
        switch (snac.GetFamily()) {
        case 0x01: Service(snac.GetSubtype(), data, length); break;
        case 0x03: Buddy(snac.GetSubtype(), data, length); break;
        case 0x04: Icbm(snac.GetSubtype(), data, length); break;
        case 0x13: Ssi(snac.GetSubtype(), data, length); break;
        case 0x15: Extensions(snac.GetSubtype(), data, length); break;
        case 0x17: Auth(snac.GetSubtype(), data, length); break;
        default: break;
        }
        break;
    }
    default:
        break;
    }
    return 0;
}
