// SNAC 0x13/0x19: a contact asks the account for authorization.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CSRV_SSI_AUTHxREQUEST : public CSNACPacket {
public:
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    const CJOVString& GetUIN() const { return m_uin; }
    // Empty when the frame ends before the reason.
    const CJOVString& GetReason() const { return m_reason; }

private:
    CJOVString m_uin;
    CJOVString m_reason;
};
