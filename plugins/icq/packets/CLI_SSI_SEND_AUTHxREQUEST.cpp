#include "CLI_SSI_SEND_AUTHxREQUEST.h"

#include "EncodedText.h"
#include "PacketText.h"

CCLI_SSI_SEND_AUTHxREQUEST::CCLI_SSI_SEND_AUTHxREQUEST(unsigned short sequence, unsigned int requestId,
                                                       const CJOVString& uin, const CJOVString& reason)
    : CSNACPacket(sequence, 0, 0x13, 0x18, 0, requestId), m_uin(uin), m_reason(reason)
{
}

int CCLI_SSI_SEND_AUTHxREQUEST::Pack(unsigned char* buffer, int size)
{
    CEncodedText uin(m_uin, PacketText::kUTF8);
    CEncodedText reason(m_reason, PacketText::kUTF8);
    CByteWriter body = BodyWriter(buffer, size);
    if (body.Fits(uin.Length(), 8) && body.Fits(reason.Length(), 16)) {
        body.U8(static_cast<unsigned char>(uin.Length()));
        body.Bytes(uin.Bytes(), uin.Length());
        body.U16(static_cast<unsigned short>(reason.Length()));
        body.Bytes(reason.Bytes(), reason.Length());
        body.U16(0x0000);
    }
    return FinishSnac(buffer, size, body);
}
