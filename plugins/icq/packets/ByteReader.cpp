#include "ByteReader.h"

#include "Packer.h"

CByteReader::CByteReader() : m_data(nullptr), m_length(0), m_position(0), m_failed(false) {}

CByteReader::CByteReader(const unsigned char* data, int length)
    : m_data(data), m_length(data && length > 0 ? length : 0), m_position(0), m_failed(false)
{
}

const unsigned char* CByteReader::Take(int n)
{
    if (!Has(n)) {
        m_failed = true;
        return nullptr;
    }
    const unsigned char* at = m_data + m_position;
    m_position += n;
    return at;
}

unsigned char CByteReader::U8()
{
    const unsigned char* at = Take(1);
    return at ? CPacker::Unpack8(at) : 0;
}

unsigned short CByteReader::U16()
{
    const unsigned char* at = Take(2);
    return at ? CPacker::Unpack16(at) : 0;
}

unsigned int CByteReader::U32()
{
    const unsigned char* at = Take(4);
    return at ? CPacker::Unpack32(at) : 0;
}

unsigned short CByteReader::U16LE()
{
    const unsigned char* at = Take(2);
    return at ? static_cast<unsigned short>(at[0] | (at[1] << 8)) : 0;
}

unsigned int CByteReader::U32LE()
{
    const unsigned char* at = Take(4);
    if (!at)
        return 0;
    return static_cast<unsigned int>(at[0]) | (static_cast<unsigned int>(at[1]) << 8) |
           (static_cast<unsigned int>(at[2]) << 16) | (static_cast<unsigned int>(at[3]) << 24);
}

const unsigned char* CByteReader::Bytes(int n)
{
    return Take(n);
}

bool CByteReader::Skip(int n)
{
    return Take(n) != nullptr;
}

CByteReader CByteReader::Sub(int n)
{
    const unsigned char* at = Take(n);
    if (!at) {
        CByteReader failed;
        failed.m_failed = true;
        return failed;
    }
    return CByteReader(at, n);
}

CByteReader CByteReader::Rest() const
{
    if (m_failed) {
        CByteReader failed;
        failed.m_failed = true;
        return failed;
    }
    return CByteReader(Current(), Remaining());
}
