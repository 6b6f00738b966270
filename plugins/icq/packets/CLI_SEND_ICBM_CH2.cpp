#include "CLI_SEND_ICBM_CH2.h"

#include <cstring>
#include <string>

#include "CapabilityRegistry.h"
#include "EncodedText.h"
#include "ICBMHeader.h"
#include "PacketText.h"
#include "XtrazPlugin.h"

namespace {

const char kUTF8CapabilityText[] = "{0946134E-4C7F-11D1-8222-444553540000}";

// The query of x-status request number n, quoting the asking UIN.
std::string XStatusQuery(int n, const CJOVString& ownUIN)
{
    CEncodedText uin(ownUIN, PacketText::kCyrillic);
    std::string query =
        "<N><QUERY>&lt;Q&gt;&lt;PluginID&gt;srvMng&lt;/PluginID&gt;&lt;/Q&gt;</QUERY><NOTIFY>&lt;srv&gt;&lt;id&gt;"
        "cAwaySrv&lt;/id&gt;&lt;req&gt;&lt;id&gt;AwayStat&lt;/id&gt;&lt;trans&gt;";
    query += std::to_string(n);
    query += "&lt;/trans&gt;&lt;senderId&gt;";
    query.append(reinterpret_cast<const char*>(uin.Bytes()), static_cast<size_t>(uin.Length()));
    query += "&lt;/senderId&gt;&lt;/req&gt;&lt;/srv&gt;</NOTIFY></N>\r\n";
    return query;
}

} // namespace

CCLI_SEND_ICBM_CH2::CCLI_SEND_ICBM_CH2(const CJOVString& ownUIN, unsigned short sequence, unsigned int requestId,
                                       unsigned int cookie1, unsigned int cookie2, const CJOVString& uin,
                                       const CJOVString& text, bool utf8, int xStatusRequest)
    : CSNACPacket(sequence, 0, 0x04, 0x06, 0, requestId), m_ownUIN(ownUIN), m_cookie1(cookie1), m_cookie2(cookie2),
      m_uin(uin), m_text(text), m_utf8(utf8), m_xStatusRequest(xStatusRequest)
{
}

int CCLI_SEND_ICBM_CH2::Pack(unsigned char* buffer, int size)
{
    unsigned short sequence = static_cast<unsigned short>(m_cookie1 & 0xFFFF);
    CByteWriter body = BodyWriter(buffer, size);
    WriteICBMHeader(body, m_cookie1, m_cookie2, 2, m_uin);

    body.U16(0x0005);
    int rendezvousLength = body.Reserve16();
    body.U16(0x0000);  // request
    body.U32(m_cookie1);
    body.U32(m_cookie2);
    const CCapability* relay = FindCapabilityByName(GetCapabilityRegistry(), CJOVString(L"caICQRelay"));
    if (relay)
        body.Bytes(relay->GetGuid(), 16);
    else
        body.Zeros(16);
    body.Tlv16(0x000A, 0x0001);
    body.Tlv(0x000F, nullptr, 0);
    body.U16(0x2711);
    int extendedLength = body.Reserve16();
    int extendedStart = body.Position();
    body.U16LE(27);
    body.U16LE(10);
    body.Zeros(16);
    body.U16LE(0);
    body.U32LE(3);
    body.U8(0);
    body.U16LE(sequence);
    body.U16LE(14);
    body.U16LE(sequence);
    body.Zeros(12);
    if (m_xStatusRequest > 0)
        PackXStatusRequest(body);
    else
        PackPlainMessage(body);
    int extended = body.Position() - extendedStart;
    body.Fits(extended + 40, 16);
    body.Patch16(extendedLength, static_cast<unsigned short>(extended));
    body.Patch16(rendezvousLength, static_cast<unsigned short>(extended + 40));
    body.Tlv(0x0003, nullptr, 0);
    return FinishSnac(buffer, size, body);
}

void CCLI_SEND_ICBM_CH2::PackPlainMessage(CByteWriter& body) const
{
    int codePage = m_utf8 ? PacketText::kUTF8 : PacketText::kCyrillic;
    CEncodedText text(m_text, codePage);
    body.U8(0x01);
    body.U8(0x00);
    body.U16LE(0);
    body.U16LE(4);
    // A text longer than one frame can carry is cut at a character; after it
    // come its zero byte, the colours, the capability text and TLV 3.
    int after = 1 + 8 + (m_utf8 ? 4 + static_cast<int>(std::strlen(kUTF8CapabilityText)) : 0) + 4;
    int room = kMaxFrameSize - body.Position() - 2 - after;
    int kept = PacketText::FittingLength(text.Bytes(), text.Length(), room, codePage);
    int length = kept + 1;  // with the zero byte
    if (!body.Fits(length, 16))
        return;
    body.U16LE(static_cast<unsigned short>(length));
    body.Bytes(text.Bytes(), kept);
    body.U8(0);
    body.U32LE(0x00000000);  // foreground colour
    body.U32LE(0xFFFFFF00);  // background colour
    if (m_utf8) {
        int capabilityLength = static_cast<int>(std::strlen(kUTF8CapabilityText));
        body.U32LE(static_cast<unsigned int>(capabilityLength));
        body.Bytes(kUTF8CapabilityText, capabilityLength);
    }
}

void CCLI_SEND_ICBM_CH2::PackXStatusRequest(CByteWriter& body) const
{
    const unsigned char emptyMessage[] = {0x1A, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00};
    body.Bytes(emptyMessage, sizeof(emptyMessage));
    body.Bytes(XtrazPlugin::kHeader, XtrazPlugin::kHeaderSize);
    body.Bytes(XtrazPlugin::kName, XtrazPlugin::kNameSize);
    body.Bytes(XtrazPlugin::kTail, XtrazPlugin::kTailSize);
    std::string query = XStatusQuery(m_xStatusRequest, m_ownUIN);
    int length = static_cast<int>(query.size());
    body.U32LE(static_cast<unsigned int>(length + 4));
    body.U32LE(static_cast<unsigned int>(length));
    body.Bytes(query.data(), length);
}
