#include "CLI_SETxSTATUS.h"

CCLI_SETxSTATUS::CCLI_SETxSTATUS(unsigned short sequence, unsigned int requestId, unsigned short statusFlags,
                                 unsigned short status, bool extended)
    : CSNACPacket(sequence, 0, 0x01, 0x1E, 0, requestId), m_statusFlags(statusFlags), m_status(status),
      m_extended(extended)
{
}

int CCLI_SETxSTATUS::Pack(unsigned char* buffer, int size)
{
    CByteWriter body = BodyWriter(buffer, size);
    body.U16(0x0006);
    body.U16(4);
    body.U16(m_statusFlags);
    body.U16LE(m_status);  // held form back to wire order
    if (m_extended)
        body.Tlv16(0x0008, 0x0000);
    body.U16(0x000C);
    body.U16(0x25);
    body.U32(0);           // internal IP address
    body.U32(0);           // port
    body.U8(0x04);         // connection type
    body.U16(0x000B);      // protocol version
    body.U32(0x01234567);  // connection cookie
    body.U32(m_extended ? 0x0000338B : 0x00001000);  // web front port
    body.U32(0x00000001);  // client features
    body.Zeros(12);        // three time stamps
    body.U16(0x0000);
    if (m_extended)
        body.Tlv16(0x001F, 0x0000);
    return FinishSnac(buffer, size, body);
}
