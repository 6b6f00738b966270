// SNAC 0x01/0x06: asks for the rate classes; no body.
#pragma once

#include "SNACPacket.h"

class CCLI_RATES_REQUEST : public CSNACPacket {
public:
    CCLI_RATES_REQUEST(unsigned short sequence, unsigned int requestId);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }
};
