#include "CLI_SEND_ICBM_ACK_CH2.h"

#include "ICBMHeader.h"

CCLI_SEND_ICBM_ACK_CH2::CCLI_SEND_ICBM_ACK_CH2(unsigned short sequence, unsigned int requestId, unsigned int cookie1,
                                               unsigned int cookie2, const CJOVString& uin,
                                               unsigned short messageSequence)
    : CSNACPacket(sequence, 0, 0x04, 0x0B, 0, requestId), m_cookie1(cookie1), m_cookie2(cookie2), m_uin(uin),
      m_messageSequence(messageSequence)
{
}

void CCLI_SEND_ICBM_ACK_CH2::WriteChunks(CByteWriter& body, unsigned short messageSequence)
{
    body.U16LE(27);
    body.U16LE(9);
    body.Zeros(16);
    body.U16LE(0);
    body.U32LE(1);
    body.U8(0);
    body.U16LE(messageSequence);  // the received bytes, unchanged
    body.U16LE(14);
    body.U16LE(messageSequence);
    body.Zeros(12);
}

int CCLI_SEND_ICBM_ACK_CH2::Pack(unsigned char* buffer, int size)
{
    CByteWriter body = BodyWriter(buffer, size);
    WriteICBMHeader(body, m_cookie1, m_cookie2, 2, m_uin);
    body.U16(0x0003);  // reason
    WriteChunks(body, m_messageSequence);
    const unsigned char message[] = {
        0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,  // plain type, empty message
        0x00, 0x00, 0x00, 0x00,                                // foreground
        0x00, 0xFF, 0xFF, 0xFF,                                // background
    };
    body.Bytes(message, sizeof(message));
    return FinishSnac(buffer, size, body);
}
