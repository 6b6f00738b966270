// SNAC 0x04/0x06 on channel 1: a plain text message, in UTF-16 when the peer
// takes unicode, else in code page 1251.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CCLI_SEND_ICBM_CH1 : public CSNACPacket {
public:
    CCLI_SEND_ICBM_CH1(unsigned short sequence, unsigned int requestId, unsigned int cookie1, unsigned int cookie2,
                       const CJOVString& uin, const CJOVString& text, bool unicode);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

private:
    unsigned int m_cookie1;
    unsigned int m_cookie2;
    CJOVString m_uin;
    CJOVString m_text;
    bool m_unicode;
};
