#include "SRV_AUTH_KEY_RESPONSE.h"

int CSRV_AUTH_KEY_RESPONSE::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset || !Is(0x17, 0x07))
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    unsigned short keyLength = body.U16();
    const unsigned char* key = body.Bytes(keyLength);
    if (body.Failed())
        return 0;
    m_key.assign(key, key + keyLength);
    return offset + body.Position();
}

const unsigned char* CSRV_AUTH_KEY_RESPONSE::GetKey(unsigned short& length) const
{
    length = static_cast<unsigned short>(m_key.size());
    return m_key.data();
}
