#include "SRV_FAMILIES_VERSIONS.h"

int CSRV_FAMILIES_VERSIONS::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset || !Is(0x01, 0x18))
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    m_pairs.clear();
    while (body.Has(4)) {
        FamilyVersion pair;
        pair.family = body.U16();
        pair.version = body.U16();
        m_pairs.push_back(pair);
    }
    return offset + body.Position();
}
