// SNAC 0x01/0x02: the client is ready; lists every family with its tool.
#pragma once

#include "SNACPacket.h"

class CCLI_READY : public CSNACPacket {
public:
    CCLI_READY(unsigned short sequence, unsigned int requestId);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }
};
