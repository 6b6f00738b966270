#include "ByteWriter.h"

#include <cstdlib>
#include <cstring>

#include "Packer.h"
#include "TLV.h"

CByteWriter::CByteWriter(unsigned char* buffer, int size, int start)
    : m_buffer(buffer), m_size(buffer && size > 0 ? size : 0), m_position(start), m_failed(start > m_size)
{
}

unsigned char* CByteWriter::Take(int n)
{
    if (m_failed || n < 0 || n > m_size - m_position) {
        m_failed = true;
        return nullptr;
    }
    unsigned char* at = m_buffer + m_position;
    m_position += n;
    return at;
}

void CByteWriter::U8(unsigned char value)
{
    if (unsigned char* at = Take(1))
        CPacker::Pack8(at, value);
}

void CByteWriter::U16(unsigned short value)
{
    if (unsigned char* at = Take(2))
        CPacker::Pack16(at, value);
}

void CByteWriter::U32(unsigned int value)
{
    if (unsigned char* at = Take(4))
        CPacker::Pack32(at, value);
}

void CByteWriter::U16LE(unsigned short value)
{
    if (unsigned char* at = Take(2))
        CPacker::Pack16LE(at, value);
}

void CByteWriter::U32LE(unsigned int value)
{
    if (unsigned char* at = Take(4))
        CPacker::Pack32LE(at, value);
}

void CByteWriter::Bytes(const void* bytes, int n)
{
    if (n == 0)
        return;
    if (!bytes) {
        m_failed = true;
        return;
    }
    if (unsigned char* at = Take(n))
        std::memcpy(at, bytes, static_cast<size_t>(n));
}

void CByteWriter::Zeros(int n)
{
    if (n == 0)
        return;
    if (unsigned char* at = Take(n))
        std::memset(at, 0, static_cast<size_t>(n));
}

void CByteWriter::Tlv(unsigned short type, const void* bytes, int n)
{
    if (!Fits(n, 16))
        return;
    U16(type);
    U16(static_cast<unsigned short>(n));
    Bytes(bytes, n);
}

void CByteWriter::Tlv16(unsigned short type, unsigned short value)
{
    U16(type);
    U16(2);
    U16(value);
}

void CByteWriter::Tlv32(unsigned short type, unsigned int value)
{
    U16(type);
    U16(4);
    U32(value);
}

void CByteWriter::Tlvs(const CTLVCol& items, bool littleEndian)
{
    int n = static_cast<int>(items.GetDataLength());
    if (n == 0)
        return;
    unsigned char* bytes = items.GetBuffer(littleEndian ? 1 : 0);
    if (!bytes) {
        m_failed = true;
        return;
    }
    Bytes(bytes, n);
    std::free(bytes);
}

int CByteWriter::Reserve16()
{
    int at = m_position;
    Zeros(2);
    return at;
}

void CByteWriter::Patch16(int position, unsigned short value)
{
    if (!m_failed && position >= 0 && position + 2 <= m_position)
        CPacker::Pack16(m_buffer + position, value);
}

bool CByteWriter::Fits(int value, int bits)
{
    if (value < 0 || value >= (1 << bits))
        m_failed = true;
    return !m_failed;
}
