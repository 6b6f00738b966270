// SNAC 0x01/0x08: acknowledges the rate groups of a rate-limit reply, under
// that reply's request id.
#pragma once

#include <vector>

#include "SNACPacket.h"

class CSRV_RATE_LIMIT_INFO;

class CCLI_RATES_ACK : public CSNACPacket {
public:
    CCLI_RATES_ACK(const CSRV_RATE_LIMIT_INFO& rates, unsigned short sequence);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    std::vector<unsigned short> m_classIds;
};
