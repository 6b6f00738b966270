// SNAC 0x01/0x17: the family versions the client speaks.
#pragma once

#include <vector>

#include "FamilyVersion.h"
#include "SNACPacket.h"

class CCLI_FAMILIES_VERSIONS : public CSNACPacket {
public:
    CCLI_FAMILIES_VERSIONS(unsigned short sequence, unsigned int requestId);
    void AddFamily(unsigned short family, unsigned short version);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    std::vector<FamilyVersion> m_pairs;
};
