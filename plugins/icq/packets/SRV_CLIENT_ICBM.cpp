#include "SRV_CLIENT_ICBM.h"

#include <cstring>

#include "PacketText.h"
#include "XtrazPlugin.h"

namespace {

const unsigned char kServerRelay[16] = {0x09, 0x46, 0x13, 0x49, 0x4C, 0x7F, 0x11, 0xD1,
                                        0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
const char kUTF8CapabilityText[] = "{0946134E-4C7F-11D1-8222-444553540000}";
const char kRTFCapabilityText[] = "{97B12751-243C-4334-AD22-D6ABF73F1492}";

bool TextIs(const unsigned char* bytes, long long length, const char* text)
{
    return length == static_cast<long long>(std::strlen(text)) &&
           std::memcmp(bytes, text, static_cast<size_t>(length)) == 0;
}

} // namespace

CSRV_CLIENT_ICBM::CSRV_CLIENT_ICBM()
    : m_cookie1(0), m_cookie2(0), m_icbmChannel(0), m_warningLevel(0), m_messageSequence(0)
{
}

int CSRV_CLIENT_ICBM::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset)
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    m_cookie1 = body.U32();
    m_cookie2 = body.U32();
    m_icbmChannel = body.U16();
    int uinLength = body.U8();
    const unsigned char* uin = body.Bytes(uinLength);
    m_warningLevel = body.U16();
    int userInfoCount = body.U16();
    if (body.Failed())
        return 0;
    m_uin = PacketText::NormalizeScreenName(PacketText::Decode(uin, uinLength, PacketText::kUTF8));
    if (m_uin.GetLength() == 0)
        return 0;

    m_allTLVs.clear();
    m_messageTLVs.clear();
    m_allTLVs.Unpack(body.Current(), body.Remaining());
    for (size_t i = static_cast<size_t>(userInfoCount); i < m_allTLVs.size(); ++i)
        m_messageTLVs.push_back(m_allTLVs[i]);

    // Known at once, so that plain channel-2 messages can be acknowledged too.
    m_messageSequence = 0;
    RelayedMessage message;
    if (FindRelayedMessage(message))
        m_messageSequence = ReadMessageSequence(message);
    return FrameLength(length);
}

bool CSRV_CLIENT_ICBM::FindRelayedMessage(RelayedMessage& message) const
{
    if (m_icbmChannel != 2)
        return false;
    const CTLV* rendezvous = m_messageTLVs.GetTLV(0x0005);
    if (!rendezvous)
        return false;
    CByteReader data(rendezvous->GetData(), rendezvous->GetDataLength());
    data.Skip(10);
    const unsigned char* capability = data.Bytes(16);
    if (!capability || std::memcmp(capability, kServerRelay, sizeof(kServerRelay)) != 0)
        return false;
    // The first TLV 0x2711 among those that follow, read in place.
    const unsigned char* value = nullptr;
    CByteReader scan(data.Current(), data.Remaining());
    while (scan.Has(4)) {
        unsigned short type = scan.U16();
        unsigned short n = scan.U16();
        const unsigned char* bytes = scan.Bytes(n);
        if (!bytes)
            break;
        if (type == 0x2711) {
            value = bytes;
            message.length = n;
            break;
        }
    }
    if (!value)
        return false;
    message.data = value;
    CByteReader v(value, message.length);
    int first = v.U16LE();
    v.Skip(first);
    int second = v.U16LE();
    v.Skip(second);
    message.typeOffset = v.Position();
    message.type = v.U8();
    v.Skip(5);
    message.messageLength = v.U16LE();
    return !v.Failed();
}

bool CSRV_CLIENT_ICBM::HasXtrazHeader(const RelayedMessage& message) const
{
    long long headerAt = static_cast<long long>(message.typeOffset) + 8 + message.messageLength;
    if (message.length < headerAt + XtrazPlugin::kHeaderSize)
        return false;
    return std::memcmp(message.data + headerAt, XtrazPlugin::kHeader, XtrazPlugin::kHeaderSize) == 0;
}

CJOVString CSRV_CLIENT_ICBM::GetText() const
{
    switch (m_icbmChannel) {
    case 1:
        return GetChannel1Text();
    case 2:
        return GetChannel2Text();
    case 4:
        return GetChannel4Text();
    default:
        return CJOVString();
    }
}

CJOVString CSRV_CLIENT_ICBM::GetChannel1Text() const
{
    const CTLV* fragments = m_messageTLVs.GetTLV(0x0002);
    if (!fragments)
        return CJOVString();
    CByteReader data(fragments->GetData(), fragments->GetDataLength());
    data.Skip(2);
    data.Skip(data.U16());  // the capabilities fragment
    data.Skip(2);
    int fragmentLength = data.U16();
    unsigned short charset = data.U16();
    data.Skip(2);
    // The length counts the charset words; a length below that holds no text.
    if (fragmentLength < 4)
        return CJOVString();
    const unsigned char* text = data.Bytes(fragmentLength - 4);
    if (!text)
        return CJOVString();
    if (charset == 0x0000 || charset == 0x0003)
        return PacketText::Decode(text, fragmentLength - 4, PacketText::kCyrillic);
    return PacketText::DecodeUTF16BE(text, fragmentLength - 4);
}

CJOVString CSRV_CLIENT_ICBM::GetChannel2Text() const
{
    RelayedMessage message;
    if (!FindRelayedMessage(message))
        return CJOVString();
    const long long m = message.typeOffset;
    const long long u = message.messageLength;
    const unsigned char* v = message.data;
    if (message.type == 0x01) {
        if (message.length < m + 8 + u)
            return CJOVString();
        CJOVString cyrillic = PacketText::Decode(v + m + 8, static_cast<int>(u), PacketText::kCyrillic);
        if (message.length < m + u + 20)
            return cyrillic;
        CByteReader g(v + m + u + 16, 4);
        long long capabilityLength = g.U32LE();
        if (message.length < m + u + 20 + capabilityLength)
            return CJOVString();
        const unsigned char* capability = v + m + u + 20;
        if (TextIs(capability, capabilityLength, kUTF8CapabilityText))
            return PacketText::Decode(v + m + 8, static_cast<int>(u), PacketText::kUTF8);
        if (TextIs(capability, capabilityLength, kRTFCapabilityText))
            return CJOVString();
        return cyrillic;
    }
    if (message.type == 0x1A && HasXtrazHeader(message)) {
        int start = static_cast<int>(m + 8 + u + XtrazPlugin::kHeaderSize);
        const unsigned char* found = nullptr;
        int n = 0;
        CJOVString text;
        if (PacketText::FindBetween(v, message.length, start, "title&gt;", "&lt;/title", found, n) && n > 0)
            text += PacketText::DecodeXtrazText(found, n);
        if (PacketText::FindBetween(v, message.length, start, "desc&gt;", "&lt;/desc", found, n) && n > 0)
            text += PacketText::DecodeXtrazText(found, n);
        return text;
    }
    return CJOVString();
}

CJOVString CSRV_CLIENT_ICBM::GetChannel4Text() const
{
    const CTLV* data = m_messageTLVs.GetTLV(0x0005);
    if (!data)
        return CJOVString();
    CByteReader value(data->GetData(), data->GetDataLength());
    value.Skip(6);
    int n = value.U16LE();
    const unsigned char* text = value.Bytes(n);
    if (!text)
        return CJOVString();
    return PacketText::Decode(text, n, PacketText::kCyrillic);
}

bool CSRV_CLIENT_ICBM::IsXStatusRequest()
{
    RelayedMessage message;
    if (!FindRelayedMessage(message) || message.type != 0x1A || !HasXtrazHeader(message))
        return false;
    m_messageSequence = ReadMessageSequence(message);
    return true;
}

unsigned short CSRV_CLIENT_ICBM::ReadMessageSequence(const RelayedMessage& message)
{
    // The last two bytes of the first chunk: at the offset its length word gives.
    CByteReader v(message.data, message.length);
    v.Skip(CByteReader(message.data, message.length).U16LE());
    return v.U16LE();
}

bool CSRV_CLIENT_ICBM::IsOffline() const
{
    return m_messageTLVs.GetTLV(0x0006) != nullptr;
}

unsigned int CSRV_CLIENT_ICBM::GetTime() const
{
    const CTLV* time = m_messageTLVs.GetTLV(0x0016);
    if (!time)
        return 0;
    CByteReader value(time->GetData(), time->GetDataLength());
    unsigned int seconds = value.U32();
    return value.Failed() ? 0 : seconds;
}
