// SNAC 0x15/0x02: a request to the ICQ meta service. Inside the TLV 0x0001
// everything is little-endian. The base sends a request without data (such as
// the offline-messages request, meta type 60); subclasses add their data.
#pragma once

#include "SNACPacket.h"

class CCLI_META_REQ : public CSNACPacket {
public:
    // dataLength: the TLV's length d, 10 plus the request data.
    CCLI_META_REQ(unsigned short sequence, unsigned int requestId, unsigned short dataLength, unsigned int ownerUIN,
                  unsigned short metaType, unsigned short metaSequence);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

protected:
    // Writes the request with the given data, setting d from it.
    int PackRequest(unsigned char* buffer, int size, const unsigned char* data, int n);

    unsigned short m_metaDataLength;
    unsigned int m_ownerUIN;
    unsigned short m_metaType;
    unsigned short m_metaSequence;
};
