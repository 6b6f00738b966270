// SNAC 0x01/0x07: the rate classes and groups. Read only to acknowledge them;
// nothing throttles by these values.
#pragma once

#include <vector>

#include "RateClassInfo.h"
#include "SNACPacket.h"

class CSRV_RATE_LIMIT_INFO : public CSNACPacket {
public:
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    const std::vector<RateClassInfo>& GetClasses() const { return m_classes; }

private:
    std::vector<RateClassInfo> m_classes;
};
