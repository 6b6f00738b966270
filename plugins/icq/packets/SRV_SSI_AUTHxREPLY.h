// SNAC 0x13/0x1B: a contact granted or declined the account's request.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CSRV_SSI_AUTHxREPLY : public CSNACPacket {
public:
    CSRV_SSI_AUTHxREPLY() : m_accept(0) {}
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    const CJOVString& GetUIN() const { return m_uin; }
    unsigned char GetAccept() const { return m_accept; }
    // Empty when the frame ends before the reason.
    const CJOVString& GetReason() const { return m_reason; }

private:
    CJOVString m_uin;
    unsigned char m_accept;
    CJOVString m_reason;
};
