#include "ICQPacket.h"

#include "Packer.h"

CICQPacket::CICQPacket() : m_channel(0), m_sequence(0), m_dataLength(0) {}

CICQPacket::CICQPacket(unsigned char channel, unsigned short sequence, unsigned short dataLength)
    : m_channel(channel), m_sequence(sequence), m_dataLength(dataLength)
{
}

CICQPacket::~CICQPacket() {}

int CICQPacket::Pack(unsigned char* buffer, int size)
{
    if (!buffer || size < kFlapHeaderSize)
        return 0;
    CPacker::Pack8(buffer, 0x2A);
    CPacker::Pack8(buffer + 1, m_channel);
    CPacker::Pack16(buffer + 2, m_sequence);
    CPacker::Pack16(buffer + 4, m_dataLength);
    return kFlapHeaderSize;
}

int CICQPacket::Unpack(const unsigned char* buffer, int length)
{
    if (!buffer || length < kFlapHeaderSize || buffer[0] != 0x2A)
        return 0;
    m_channel = CPacker::Unpack8(buffer + 1);
    m_sequence = CPacker::Unpack16(buffer + 2);
    m_dataLength = CPacker::Unpack16(buffer + 4);
    return kFlapHeaderSize;
}

int CICQPacket::FrameLength(int length) const
{
    int stated = kFlapHeaderSize + m_dataLength;
    return length < stated ? length : stated;
}

int CICQPacket::FinishFrame(unsigned char* buffer, int size, const CByteWriter& writer)
{
    if (writer.Failed())
        return 0;
    int payload = writer.Position() - kFlapHeaderSize;
    if (payload < 0 || payload > 0xFFFF)
        return 0;
    m_dataLength = static_cast<unsigned short>(payload);
    // Qualified: the header of this frame, not the derived packet's Pack.
    if (!CICQPacket::Pack(buffer, size))
        return 0;
    return writer.Position();
}
