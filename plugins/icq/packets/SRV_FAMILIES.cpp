#include "SRV_FAMILIES.h"

int CSRV_FAMILIES::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset || !Is(0x01, 0x03))
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    m_families.clear();
    while (body.Has(2))
        m_families.push_back(body.U16());
    return offset + body.Position();
}
