// SNAC 0x01/0x18: the family versions the BOS server agreed to.
#pragma once

#include <vector>

#include "FamilyVersion.h"
#include "SNACPacket.h"

class CSRV_FAMILIES_VERSIONS : public CSNACPacket {
public:
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    const std::vector<FamilyVersion>& GetPairs() const { return m_pairs; }

private:
    std::vector<FamilyVersion> m_pairs;
};
