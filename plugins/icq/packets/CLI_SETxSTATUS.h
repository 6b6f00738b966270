// SNAC 0x01/0x1E: sets the own status. The status is given in held form (the
// wire word with its bytes exchanged, as the status table keeps it).
#pragma once

#include "SNACPacket.h"

class CCLI_SETxSTATUS : public CSNACPacket {
public:
    CCLI_SETxSTATUS(unsigned short sequence, unsigned int requestId, unsigned short statusFlags,
                    unsigned short status, bool extended);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    unsigned short m_statusFlags;
    unsigned short m_status;
    bool m_extended;
};
