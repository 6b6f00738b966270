#include "TLV.h"

#include "Packer.h"

#include <cstdlib>
#include <cstring>

namespace {

const unsigned short kNoType = 0xFFFF;
const int kHeaderSize = 4;

} // namespace

CTLV::CTLV() : m_type(kNoType), m_length(0), m_data(nullptr) {}

CTLV::CTLV(unsigned short type, unsigned char value) : m_type(kNoType), m_length(0), m_data(nullptr)
{
    Load(type, 1, &value);
}

CTLV::CTLV(unsigned short type, unsigned short value) : m_type(kNoType), m_length(0), m_data(nullptr)
{
    unsigned char bytes[2];
    CPacker::Pack16(bytes, value);
    Load(type, 2, bytes);
}

CTLV::CTLV(unsigned short type, unsigned int value) : m_type(kNoType), m_length(0), m_data(nullptr)
{
    unsigned char bytes[4];
    CPacker::Pack32(bytes, value);
    Load(type, 4, bytes);
}

CTLV::CTLV(unsigned short type, unsigned short length, const void* bytes)
    : m_type(kNoType), m_length(0), m_data(nullptr)
{
    Load(type, length, bytes);
}

CTLV::CTLV(const unsigned char* serialised, int available) : m_type(kNoType), m_length(0), m_data(nullptr)
{
    if (!serialised || available < kHeaderSize)
        return;
    unsigned short length = CPacker::Unpack16(serialised + 2);
    if (length > available - kHeaderSize)
        return;
    Load(CPacker::Unpack16(serialised), length, serialised + kHeaderSize);
}

CTLV::CTLV(const CTLV& other) : m_type(kNoType), m_length(0), m_data(nullptr)
{
    Load(other.m_type, other.m_length, other.m_data);
}

CTLV::CTLV(CTLV&& other) noexcept : m_type(other.m_type), m_length(other.m_length), m_data(other.m_data)
{
    other.m_type = kNoType;
    other.m_length = 0;
    other.m_data = nullptr;
}

CTLV& CTLV::operator=(const CTLV& other)
{
    if (this != &other)
        Load(other.m_type, other.m_length, other.m_data);
    return *this;
}

CTLV& CTLV::operator=(CTLV&& other) noexcept
{
    if (this != &other) {
        std::free(m_data);
        m_type = other.m_type;
        m_length = other.m_length;
        m_data = other.m_data;
        other.m_type = kNoType;
        other.m_length = 0;
        other.m_data = nullptr;
    }
    return *this;
}

CTLV::~CTLV()
{
    std::free(m_data);
}

void CTLV::Load(unsigned short type, unsigned short length, const void* bytes)
{
    unsigned char* data = nullptr;
    if (length > 0 && bytes) {
        data = static_cast<unsigned char*>(std::malloc(length));
        if (data)
            std::memcpy(data, bytes, length);
    }
    std::free(m_data);
    m_type = type;
    m_data = data;
    // Length and data always agree, so a serialiser never reads a missing buffer.
    m_length = data ? length : 0;
}

int CTLVCol::GetDataLength() const
{
    int total = 0;
    for (const CTLV& item : *this)
        total += kHeaderSize + item.GetDataLength();
    return total;
}

unsigned char* CTLVCol::GetBuffer(int littleEndian) const
{
    int total = GetDataLength();
    // One byte at least, so that an empty collection still answers a buffer.
    unsigned char* buffer = static_cast<unsigned char*>(std::malloc(total > 0 ? static_cast<size_t>(total) : 1));
    if (!buffer)
        return nullptr;
    unsigned char* at = buffer;
    for (const CTLV& item : *this) {
        if (littleEndian) {
            CPacker::Pack16LE(at, item.GetType());
            CPacker::Pack16LE(at + 2, item.GetDataLength());
        } else {
            CPacker::Pack16(at, item.GetType());
            CPacker::Pack16(at + 2, item.GetDataLength());
        }
        CPacker::PackBuffer(at + kHeaderSize, item.GetData(), item.GetDataLength());
        at += kHeaderSize + item.GetDataLength();
    }
    return buffer;
}

CTLV* CTLVCol::GetTLV(unsigned short type)
{
    for (CTLV& item : *this) {
        if (item.GetType() == type)
            return &item;
    }
    return nullptr;
}

const CTLV* CTLVCol::GetTLV(unsigned short type) const
{
    return const_cast<CTLVCol*>(this)->GetTLV(type);
}

int CTLVCol::Unpack(const unsigned char* bytes, int length)
{
    if (!bytes)
        length = 0;
    int offset = 0;
    while (length - offset >= kHeaderSize) {
        int end = offset + kHeaderSize + CPacker::Unpack16(bytes + offset + 2);
        if (end > length)
            break;  // a last item cut short is dropped
        push_back(CTLV(bytes + offset, length - offset));
        offset = end;
    }
    return GetDataLength();
}
