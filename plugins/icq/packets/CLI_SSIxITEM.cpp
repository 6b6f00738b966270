#include "CLI_SSIxITEM.h"

CCLI_SSIxITEM::CCLI_SSIxITEM(unsigned short subtype, unsigned short sequence, unsigned int requestId,
                             const CJOVString& name, unsigned short groupId, unsigned short itemId,
                             unsigned short type, const CTLVCol& tlvs)
    : CSNACPacket(sequence, 0, 0x13, subtype, 0, requestId)
{
    m_item.name = name;
    m_item.groupId = groupId;
    m_item.itemId = itemId;
    m_item.type = type;
    m_item.tlvs = tlvs;
}

int CCLI_SSIxITEM::Pack(unsigned char* buffer, int size)
{
    CByteWriter body = BodyWriter(buffer, size);
    m_item.Write(body);
    return FinishSnac(buffer, size, body);
}
