#include "SRV_SSIxMODxACK.h"

int CSRV_SSIxMODxACK::Unpack(const unsigned char* buffer, int length)
{
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset)
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    unsigned short result = body.U16();
    if (body.Failed())
        return 0;
    m_result = result;
    return FrameLength(length);
}
