#include "CLI_SSI_AUTHxREPLY.h"

#include "EncodedText.h"
#include "PacketText.h"

CCLI_SSI_AUTHxREPLY::CCLI_SSI_AUTHxREPLY(unsigned short sequence, unsigned int requestId, const CJOVString& uin,
                                         bool accept)
    : CSNACPacket(sequence, 0, 0x13, 0x1A, 0, requestId), m_uin(uin), m_accept(accept)
{
}

int CCLI_SSI_AUTHxREPLY::Pack(unsigned char* buffer, int size)
{
    CEncodedText uin(m_uin, PacketText::kUTF8);
    CByteWriter body = BodyWriter(buffer, size);
    if (body.Fits(uin.Length(), 8)) {
        body.U8(static_cast<unsigned char>(uin.Length()));
        body.Bytes(uin.Bytes(), uin.Length());
        body.U8(m_accept ? 0x01 : 0x00);
        body.U16(0x0000);  // no reason text
    }
    return FinishSnac(buffer, size, body);
}
