#include "CLI_META_REQ.h"

CCLI_META_REQ::CCLI_META_REQ(unsigned short sequence, unsigned int requestId, unsigned short dataLength,
                             unsigned int ownerUIN, unsigned short metaType, unsigned short metaSequence)
    : CSNACPacket(sequence, 0, 0x15, 0x02, 0, requestId), m_metaDataLength(dataLength), m_ownerUIN(ownerUIN),
      m_metaType(metaType), m_metaSequence(metaSequence)
{
}

int CCLI_META_REQ::Pack(unsigned char* buffer, int size)
{
    return PackRequest(buffer, size, nullptr, 0);
}

int CCLI_META_REQ::PackRequest(unsigned char* buffer, int size, const unsigned char* data, int n)
{
    CByteWriter body = BodyWriter(buffer, size);
    if (!body.Fits(10 + n, 16))
        return 0;
    m_metaDataLength = static_cast<unsigned short>(10 + n);
    body.U16(0x0001);
    body.U16(m_metaDataLength);
    body.U16LE(static_cast<unsigned short>(m_metaDataLength - 2));
    body.U32LE(m_ownerUIN);
    body.U16LE(m_metaType);
    body.U16LE(m_metaSequence);
    body.Bytes(data, n);
    return FinishSnac(buffer, size, body);
}
