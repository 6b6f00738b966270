#include "SRV_SSI_AUTHxREPLY.h"

#include "PacketText.h"

int CSRV_SSI_AUTHxREPLY::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset)
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    int uinLength = body.U8();
    const unsigned char* uin = body.Bytes(uinLength);
    unsigned char accept = body.U8();
    if (body.Failed())
        return 0;
    m_uin = PacketText::Decode(uin, uinLength, PacketText::kUTF8);
    m_accept = accept;
    int reasonLength = body.U16();
    const unsigned char* reason = body.Bytes(reasonLength);
    m_reason = reason ? PacketText::Decode(reason, reasonLength, PacketText::kUTF8) : CJOVString();
    return FrameLength(length);
}
