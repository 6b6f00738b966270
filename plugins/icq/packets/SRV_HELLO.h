// The server's greeting on connect: FLAP payload 00 00 00 01.
#pragma once

#include "ICQPacket.h"

class CSRV_HELLO : public CICQPacket {
public:
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;
};
