// SNAC 0x04/0x0B: acknowledges a received channel-2 message.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CByteWriter;

class CCLI_SEND_ICBM_ACK_CH2 : public CSNACPacket {
public:
    // messageSequence as CSRV_CLIENT_ICBM::GetMessageSequence gives it.
    CCLI_SEND_ICBM_ACK_CH2(unsigned short sequence, unsigned int requestId, unsigned int cookie1,
                           unsigned int cookie2, const CJOVString& uin, unsigned short messageSequence);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

    // The 45 bytes from the first chunk's length through the second chunk,
    // shared with the x-status answer.
    static void WriteChunks(CByteWriter& body, unsigned short messageSequence);

private:
    unsigned int m_cookie1;
    unsigned int m_cookie2;
    CJOVString m_uin;
    unsigned short m_messageSequence;
};
