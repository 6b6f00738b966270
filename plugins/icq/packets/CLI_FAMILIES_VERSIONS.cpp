#include "CLI_FAMILIES_VERSIONS.h"

CCLI_FAMILIES_VERSIONS::CCLI_FAMILIES_VERSIONS(unsigned short sequence, unsigned int requestId)
    : CSNACPacket(sequence, 0, 0x01, 0x17, 0, requestId)
{
}

void CCLI_FAMILIES_VERSIONS::AddFamily(unsigned short family, unsigned short version)
{
    m_pairs.push_back({family, version});
}

int CCLI_FAMILIES_VERSIONS::Pack(unsigned char* buffer, int size)
{
    CByteWriter body = BodyWriter(buffer, size);
    for (const FamilyVersion& pair : m_pairs) {
        body.U16(pair.family);
        body.U16(pair.version);
    }
    return FinishSnac(buffer, size, body);
}
