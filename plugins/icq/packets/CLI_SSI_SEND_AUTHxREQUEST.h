// SNAC 0x13/0x18: asks a contact for authorization, with a reason text.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CCLI_SSI_SEND_AUTHxREQUEST : public CSNACPacket {
public:
    CCLI_SSI_SEND_AUTHxREQUEST(unsigned short sequence, unsigned int requestId, const CJOVString& uin,
                               const CJOVString& reason);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    CJOVString m_uin;
    CJOVString m_reason;
};
