// SNAC 0x02/0x04: announces the client's capabilities, with the x-status
// capability when one is set.
#pragma once

#include "Capability.h"
#include "SNACPacket.h"

class CCLI_SETUSERINFO : public CSNACPacket {
public:
    CCLI_SETUSERINFO(unsigned short sequence, unsigned int requestId, bool fullSet);
    CCLI_SETUSERINFO(unsigned short sequence, unsigned int requestId, const CCapability& xStatus);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    bool m_fullSet;
    bool m_hasXStatus;
    CCapability m_xStatus;
};
