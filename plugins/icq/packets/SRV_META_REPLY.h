// SNAC 0x15/0x03: a reply of the ICQ meta service; little-endian inside its
// TLV 0x0001. The account reads the meta type here and then parses the frame
// again with the class for that type.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CSRV_META_REPLY : public CSNACPacket {
public:
    CSRV_META_REPLY();
    int Pack(unsigned char*, int) override { return NotSupported(); }
    // Answers the frame offset of the meta data (body offset 14), or 0.
    int Unpack(const unsigned char* buffer, int length) override;

    unsigned short GetTLVLength() const { return m_tlvLength; }
    unsigned int GetOwnerUIN() const { return m_ownerUIN; }
    unsigned short GetMetaType() const { return m_metaType; }
    unsigned short GetMetaSequence() const { return m_metaSequence; }

protected:
    // A meta string: LE16 length, then code-page 1251 bytes (a trailing zero
    // byte is not part of the text). Empty, with the reader failed, when cut.
    static CJOVString ReadMetaString(CByteReader& reader);

    unsigned short m_tlvLength;
    unsigned int m_ownerUIN;
    unsigned short m_metaType;
    unsigned short m_metaSequence;
};
