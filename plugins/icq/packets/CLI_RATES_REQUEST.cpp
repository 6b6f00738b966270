#include "CLI_RATES_REQUEST.h"

CCLI_RATES_REQUEST::CCLI_RATES_REQUEST(unsigned short sequence, unsigned int requestId)
    : CSNACPacket(sequence, 10, 0x01, 0x06, 0, requestId)
{
}

int CCLI_RATES_REQUEST::Pack(unsigned char* buffer, int size)
{
    return FinishSnac(buffer, size, BodyWriter(buffer, size));
}
