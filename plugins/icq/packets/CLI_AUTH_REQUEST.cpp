#include "CLI_AUTH_REQUEST.h"

#include "EncodedText.h"
#include "PacketText.h"

CCLI_AUTH_REQUEST::CCLI_AUTH_REQUEST(unsigned short sequence, unsigned int requestId, const CJOVString& uin)
    : CSNACPacket(sequence, 0, 0x17, 0x06, 0, requestId), m_uin(uin)
{
}

int CCLI_AUTH_REQUEST::Pack(unsigned char* buffer, int size)
{
    CEncodedText uin(m_uin, PacketText::kUTF8);
    CByteWriter body = BodyWriter(buffer, size);
    body.Tlv(0x0001, uin.Bytes(), uin.Length());
    return FinishSnac(buffer, size, body);
}
