#include "SRV_META_REPLY.h"

#include "PacketText.h"

CSRV_META_REPLY::CSRV_META_REPLY() : m_tlvLength(0), m_ownerUIN(0), m_metaType(0), m_metaSequence(0) {}

int CSRV_META_REPLY::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset)
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    if (body.U16() != 0x0001)
        return 0;
    m_tlvLength = body.U16();
    body.Skip(2);  // chunk length
    m_ownerUIN = body.U32LE();
    m_metaType = body.U16LE();
    m_metaSequence = body.U16LE();
    if (body.Failed())
        return 0;
    return offset + body.Position();
}

CJOVString CSRV_META_REPLY::ReadMetaString(CByteReader& reader)
{
    int n = reader.U16LE();
    const unsigned char* text = reader.Bytes(n);
    return text ? PacketText::Decode(text, n, PacketText::kCyrillic) : CJOVString();
}
