// SNAC 0x13/0x1A: grants or declines a contact's authorization request.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CCLI_SSI_AUTHxREPLY : public CSNACPacket {
public:
    CCLI_SSI_AUTHxREPLY(unsigned short sequence, unsigned int requestId, const CJOVString& uin, bool accept);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    CJOVString m_uin;
    bool m_accept;
};
