// SNAC 0x01/0x03: the families the BOS server offers.
#pragma once

#include <vector>

#include "SNACPacket.h"

class CSRV_FAMILIES : public CSNACPacket {
public:
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    const std::vector<unsigned short>& GetFamilies() const { return m_families; }

private:
    std::vector<unsigned short> m_families;
};
