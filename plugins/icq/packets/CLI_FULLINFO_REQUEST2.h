// Meta request 2000/0x04D0: asks for every detail of one UIN.
#pragma once

#include "CLI_META_REQ.h"

class CCLI_FULLINFO_REQUEST2 : public CCLI_META_REQ {
public:
    CCLI_FULLINFO_REQUEST2(unsigned short sequence, unsigned int requestId, unsigned int ownerUIN,
                           unsigned short metaSequence, unsigned int targetUIN);
    int Pack(unsigned char* buffer, int size) override;

private:
    unsigned int m_targetUIN;
};
