// FLAP frame on channel 2 carrying one SNAC: family, subtype, flags, request id.
#pragma once

#include "ICQPacket.h"

// Frame offset of a SNAC body that has no extra data.
const int kSnacBodyOffset = 16;

class CSNACPacket : public CICQPacket {
public:
    CSNACPacket();
    CSNACPacket(unsigned short sequence, unsigned short dataLength, unsigned short family,
                unsigned short subtype, unsigned short flags, unsigned int requestId);

    // FLAP and SNAC headers; answers 16, the offset of the body.
    int Pack(unsigned char* buffer, int size) override;
    // Answers the offset of the body: 16, or 18 + L when flags bit 15 announces
    // L bytes of extra data (which are skipped); 0 when the frame is too short
    // for the headers or for the extra data it announces.
    int Unpack(const unsigned char* buffer, int length) override;

    unsigned short GetFamily() const { return m_family; }
    unsigned short GetSubtype() const { return m_subtype; }
    unsigned short GetFlags() const { return m_flags; }
    unsigned int GetRequestId() const { return m_requestId; }

protected:
    bool Is(unsigned short family, unsigned short subtype) const
    {
        return m_family == family && m_subtype == subtype;
    }
    // A writer placed at the start of the body.
    static CByteWriter BodyWriter(unsigned char* buffer, int size)
    {
        return CByteWriter(buffer, size, kSnacBodyOffset);
    }
    // Sets the data length from the body written, writes both headers and
    // answers the packet size; 0 when the body did not fit.
    int FinishSnac(unsigned char* buffer, int size, const CByteWriter& body);
    // A reader over the body of a frame whose headers Unpack has read.
    CByteReader BodyReader(const unsigned char* buffer, int length, int bodyOffset) const;

    unsigned short m_family;
    unsigned short m_subtype;
    unsigned short m_flags;
    unsigned int m_requestId;
};
