#include "CLI_COOKIE.h"

#include "SRV_LOGIN_REPLY.h"

CCLI_COOKIE::CCLI_COOKIE(unsigned short sequence, const CSRV_LOGIN_REPLY& reply) : CICQPacket(1, sequence, 0)
{
    unsigned short length = 0;
    const unsigned char* cookie = reply.GetCookie(length);
    if (length)
        m_cookie.assign(cookie, cookie + length);
}

int CCLI_COOKIE::Pack(unsigned char* buffer, int size)
{
    CByteWriter payload(buffer, size, kFlapHeaderSize);
    payload.U32(1);
    payload.Tlv(0x0006, m_cookie.data(), static_cast<int>(m_cookie.size()));
    return FinishFrame(buffer, size, payload);
}
