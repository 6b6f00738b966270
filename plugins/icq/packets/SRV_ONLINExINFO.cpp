#include "SRV_ONLINExINFO.h"

#include "PacketText.h"

int CSRV_ONLINExINFO::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset || !Is(0x01, 0x0F))
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    int uinLength = body.U8();
    const unsigned char* uin = body.Bytes(uinLength);
    body.Skip(2);  // warning level
    body.Skip(2);  // TLV count: the TLVs run to the end anyway
    if (body.Failed())
        return 0;
    m_uin = PacketText::Decode(uin, uinLength, PacketText::kUTF8);
    m_tlvs.clear();
    m_tlvs.Unpack(body.Current(), body.Remaining());
    return FrameLength(length);
}
