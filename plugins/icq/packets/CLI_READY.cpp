#include "CLI_READY.h"

#include "FamilyVersion.h"

namespace {
const FamilyVersion kReadyFamilies[] = {
    {0x0001, 4}, {0x0013, 4}, {0x0002, 1}, {0x0003, 1}, {0x0015, 1},
    {0x0004, 1}, {0x0006, 1}, {0x0009, 1}, {0x000A, 1}, {0x000B, 1},
};
}

CCLI_READY::CCLI_READY(unsigned short sequence, unsigned int requestId)
    : CSNACPacket(sequence, 90, 0x01, 0x02, 0, requestId)
{
}

int CCLI_READY::Pack(unsigned char* buffer, int size)
{
    CByteWriter body = BodyWriter(buffer, size);
    for (const FamilyVersion& pair : kReadyFamilies) {
        body.U16(pair.family);
        body.U16(pair.version);
        body.U16(0x0110);
        body.U16(0x08E4);
    }
    return FinishSnac(buffer, size, body);
}
