#include "SRV_CLIENT_ICBMxACK_CH2.h"

#include <cstring>

#include "PacketText.h"
#include "XtrazPlugin.h"

namespace {
// Plug-in name, tail and the two length words stand between the header and the text.
const int kAnswerTextStart = XtrazPlugin::kNameSize + XtrazPlugin::kTailSize + 8;
}

CSRV_CLIENT_ICBMxACK_CH2::CSRV_CLIENT_ICBMxACK_CH2() : m_cookie1(0), m_cookie2(0), m_icbmChannel(0) {}

int CSRV_CLIENT_ICBMxACK_CH2::Unpack(const unsigned char* buffer, int length)
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
    body.Skip(2);  // reason
    if (body.Failed())
        return 0;
    m_uin = PacketText::NormalizeScreenName(PacketText::Decode(uin, uinLength, PacketText::kUTF8));
    if (m_uin.GetLength() == 0)
        return 0;
    m_title = CJOVString();
    m_description = CJOVString();
    if (m_icbmChannel == 2)
        ReadXStatusAnswer(body);
    return FrameLength(length);
}

void CSRV_CLIENT_ICBMxACK_CH2::ReadXStatusAnswer(CByteReader& body)
{
    body.Skip(body.U16LE());
    body.Skip(body.U16LE());
    unsigned char type = body.U8();
    body.Skip(1);  // flags
    body.Skip(4);  // status and priority
    body.Skip(body.U16LE());
    if (body.Failed() || type != 0x1A || !body.Has(XtrazPlugin::kHeaderSize))
        return;
    if (std::memcmp(body.Bytes(XtrazPlugin::kHeaderSize), XtrazPlugin::kHeader, XtrazPlugin::kHeaderSize) != 0)
        return;
    const unsigned char* rest = body.Current();
    int n = body.Remaining();
    if (n < kAnswerTextStart)
        return;
    const unsigned char* found = nullptr;
    int foundLength = 0;
    if (PacketText::FindBetween(rest, n, kAnswerTextStart, "title&gt;", "&lt;/title", found, foundLength))
        m_title = PacketText::DecodeXtrazText(found, foundLength);
    if (PacketText::FindBetween(rest, n, kAnswerTextStart, "desc&gt;", "&lt;/desc", found, foundLength))
        m_description = PacketText::DecodeXtrazText(found, foundLength);
}
