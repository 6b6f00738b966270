// SNAC 0x04/0x06 on channel 2: a server-relayed message, or (with a request
// number above 0) the question for a contact's x-status texts.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CCLI_SEND_ICBM_CH2 : public CSNACPacket {
public:
    // ownUIN is the sending account's UIN, quoted in an x-status request.
    CCLI_SEND_ICBM_CH2(const CJOVString& ownUIN, unsigned short sequence, unsigned int requestId,
                       unsigned int cookie1, unsigned int cookie2, const CJOVString& uin, const CJOVString& text,
                       bool utf8, int xStatusRequest);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    void PackPlainMessage(CByteWriter& body) const;
    void PackXStatusRequest(CByteWriter& body) const;

    CJOVString m_ownUIN;
    unsigned int m_cookie1;
    unsigned int m_cookie2;
    CJOVString m_uin;
    CJOVString m_text;
    bool m_utf8;
    int m_xStatusRequest;
};
