#include "SNACPacket.h"

#include "Packer.h"

CSNACPacket::CSNACPacket() : CICQPacket(2, 0, 0), m_family(0), m_subtype(0), m_flags(0), m_requestId(0) {}

CSNACPacket::CSNACPacket(unsigned short sequence, unsigned short dataLength, unsigned short family,
                         unsigned short subtype, unsigned short flags, unsigned int requestId)
    : CICQPacket(2, sequence, dataLength), m_family(family), m_subtype(subtype), m_flags(flags),
      m_requestId(requestId)
{
}

int CSNACPacket::Pack(unsigned char* buffer, int size)
{
    if (size < kSnacBodyOffset || !CICQPacket::Pack(buffer, size))
        return 0;
    CPacker::Pack16(buffer + 6, m_family);
    CPacker::Pack16(buffer + 8, m_subtype);
    CPacker::Pack16(buffer + 10, m_flags);
    CPacker::Pack32(buffer + 12, m_requestId);
    return kSnacBodyOffset;
}

int CSNACPacket::Unpack(const unsigned char* buffer, int length)
{
    if (!CICQPacket::Unpack(buffer, length))
        return 0;
    CByteReader frame(buffer, FrameLength(length));
    frame.Skip(kFlapHeaderSize);
    m_family = frame.U16();
    m_subtype = frame.U16();
    m_flags = frame.U16();
    m_requestId = frame.U32();
    if (m_flags & 0x8000)
        frame.Skip(frame.U16());
    return frame.Failed() ? 0 : frame.Position();
}

int CSNACPacket::FinishSnac(unsigned char* buffer, int size, const CByteWriter& body)
{
    if (body.Failed() || body.Position() < kSnacBodyOffset)
        return 0;
    int payload = body.Position() - kFlapHeaderSize;
    if (payload > 0xFFFF)
        return 0;
    m_dataLength = static_cast<unsigned short>(payload);
    if (!CSNACPacket::Pack(buffer, size))
        return 0;
    return body.Position();
}

CByteReader CSNACPacket::BodyReader(const unsigned char* buffer, int length, int bodyOffset) const
{
    int end = FrameLength(length);
    if (bodyOffset > end)
        return CByteReader();
    return CByteReader(buffer + bodyOffset, end - bodyOffset);
}
