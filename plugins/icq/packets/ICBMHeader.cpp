#include "ICBMHeader.h"

#include "EncodedText.h"
#include "PacketText.h"

void WriteICBMHeader(CByteWriter& body, unsigned int cookie1, unsigned int cookie2, unsigned short channel,
                     const CJOVString& uin)
{
    CEncodedText bytes(uin, PacketText::kCyrillic);
    body.U32(cookie1);
    body.U32(cookie2);
    body.U16(channel);
    if (!body.Fits(bytes.Length(), 8))
        return;
    body.U8(static_cast<unsigned char>(bytes.Length()));
    body.Bytes(bytes.Bytes(), bytes.Length());
}
