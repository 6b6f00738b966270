// Meta request 2000/0x0C3A: changes the own details; each changed field is a
// TLV whose header and numbers are little-endian.
#pragma once

#include "CLI_META_REQ.h"
#include "TLV.h"

class CCLI_META_INFO_REQ : public CCLI_META_REQ {
public:
    CCLI_META_INFO_REQ(unsigned short sequence, unsigned int requestId, unsigned int ownerUIN,
                       unsigned short metaSequence, const CTLVCol& fields);
    int Pack(unsigned char* buffer, int size) override;

private:
    CTLVCol m_fields;
};
