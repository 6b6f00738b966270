#include "CLI_FULLINFO_REQUEST2.h"

CCLI_FULLINFO_REQUEST2::CCLI_FULLINFO_REQUEST2(unsigned short sequence, unsigned int requestId,
                                               unsigned int ownerUIN, unsigned short metaSequence,
                                               unsigned int targetUIN)
    : CCLI_META_REQ(sequence, requestId, 16, ownerUIN, 2000, metaSequence), m_targetUIN(targetUIN)
{
}

int CCLI_FULLINFO_REQUEST2::Pack(unsigned char* buffer, int size)
{
    unsigned char data[6];
    CByteWriter request(data, sizeof(data), 0);
    request.U16LE(0x04D0);
    request.U32LE(m_targetUIN);
    return PackRequest(buffer, size, data, sizeof(data));
}
