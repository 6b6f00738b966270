// SNAC 0x13/0x08, 0x09 and 0x0A: add, change or delete one contact-list item.
// The three carry the same body and differ only in subtype.
#pragma once

#include "SNACPacket.h"
#include "SSIItem.h"

class CCLI_SSIxITEM : public CSNACPacket {
public:
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

protected:
    CCLI_SSIxITEM(unsigned short subtype, unsigned short sequence, unsigned int requestId, const CJOVString& name,
                  unsigned short groupId, unsigned short itemId, unsigned short type, const CTLVCol& tlvs);

private:
    SSIItem m_item;
};

class CCLI_SSIxADD : public CCLI_SSIxITEM {
public:
    CCLI_SSIxADD(unsigned short sequence, unsigned int requestId, const CJOVString& name, unsigned short groupId,
                 unsigned short itemId, unsigned short type, const CTLVCol& tlvs)
        : CCLI_SSIxITEM(0x08, sequence, requestId, name, groupId, itemId, type, tlvs)
    {
    }
};

class CCLI_SSIxUPDATE : public CCLI_SSIxITEM {
public:
    CCLI_SSIxUPDATE(unsigned short sequence, unsigned int requestId, const CJOVString& name, unsigned short groupId,
                    unsigned short itemId, unsigned short type, const CTLVCol& tlvs)
        : CCLI_SSIxITEM(0x09, sequence, requestId, name, groupId, itemId, type, tlvs)
    {
    }
};

class CCLI_SSIxDELETE : public CCLI_SSIxITEM {
public:
    CCLI_SSIxDELETE(unsigned short sequence, unsigned int requestId, const CJOVString& name, unsigned short groupId,
                    unsigned short itemId, unsigned short type, const CTLVCol& tlvs)
        : CCLI_SSIxITEM(0x0A, sequence, requestId, name, groupId, itemId, type, tlvs)
    {
    }
};
