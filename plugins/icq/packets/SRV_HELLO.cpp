#include "SRV_HELLO.h"

int CSRV_HELLO::Unpack(const unsigned char* buffer, int length)
{
    if (!CICQPacket::Unpack(buffer, length) || m_dataLength != 4)
        return 0;
    CByteReader payload(buffer + kFlapHeaderSize, FrameLength(length) - kFlapHeaderSize);
    if (payload.U32() != 1 || payload.Failed())
        return 0;
    return kFlapHeaderSize + 4;
}
