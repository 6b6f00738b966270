#include "core/settings/NamedValue.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <windows.h>

namespace {

const unsigned kHeaderBytes = 5;  // the name's length byte and the data length

// Writes the UTF-8 form of the text (Utf8Length bytes) to out.
void EncodeUtf8(const CJOVString& text, unsigned char* out, unsigned n)
{
    if (n == 0)
        return;
    WideCharToMultiByte(CP_UTF8, 0, text.Data(), text.GetLength(), reinterpret_cast<char*>(out),
                        static_cast<int>(n), nullptr, nullptr);
}

void PutLE32(unsigned char* out, unsigned value)
{
    out[0] = static_cast<unsigned char>(value);
    out[1] = static_cast<unsigned char>(value >> 8);
    out[2] = static_cast<unsigned char>(value >> 16);
    out[3] = static_cast<unsigned char>(value >> 24);
}

unsigned GetLE32(const unsigned char* in)
{
    return static_cast<unsigned>(in[0]) | static_cast<unsigned>(in[1]) << 8 |
           static_cast<unsigned>(in[2]) << 16 | static_cast<unsigned>(in[3]) << 24;
}

} // namespace

NamedValue::NamedValue() : m_size(0), m_data(nullptr) {}

NamedValue::NamedValue(const CJOVString& name) : m_name(name), m_size(0), m_data(nullptr) {}

NamedValue::NamedValue(const CJOVString& name, const void* data, unsigned size)
    : m_name(name), m_size(0), m_data(nullptr)
{
    SetData(data, size);
}

NamedValue::NamedValue(const NamedValue& other) : m_name(other.m_name), m_size(0), m_data(nullptr)
{
    SetData(other.m_data, other.m_size);
}

NamedValue::NamedValue(NamedValue&& other) noexcept : m_size(other.m_size), m_data(other.m_data)
{
    m_name = other.m_name;
    other.m_size = 0;
    other.m_data = nullptr;
}

NamedValue& NamedValue::operator=(const NamedValue& other)
{
    if (this != &other) {
        m_name = other.m_name;
        SetData(other.m_data, other.m_size);
    }
    return *this;
}

NamedValue& NamedValue::operator=(NamedValue&& other) noexcept
{
    if (this != &other) {
        Free();
        m_name = other.m_name;
        m_size = other.m_size;
        m_data = other.m_data;
        other.m_size = 0;
        other.m_data = nullptr;
    }
    return *this;
}

NamedValue::~NamedValue()
{
    Free();
}

void NamedValue::Free()
{
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
}

unsigned NamedValue::Utf8Length(const CJOVString& text)
{
    if (text.GetLength() == 0)
        return 0;
    int n = WideCharToMultiByte(CP_UTF8, 0, text.Data(), text.GetLength(), nullptr, 0, nullptr, nullptr);
    return n > 0 ? static_cast<unsigned>(n) : 0;
}

unsigned NamedValue::GetPackedSize() const
{
    const unsigned nameBytes = Utf8Length(m_name);
    if (nameBytes > kMaxNameBytes || m_size > UINT_MAX - kHeaderBytes - nameBytes)
        return 0;
    return nameBytes + m_size + kHeaderBytes;
}

unsigned NamedValue::Pack(unsigned char* buffer, unsigned capacity) const
{
    const unsigned packed = GetPackedSize();
    if (!buffer || packed == 0 || capacity < packed)
        return 0;
    const unsigned nameBytes = packed - m_size - kHeaderBytes;
    buffer[0] = static_cast<unsigned char>(nameBytes);
    EncodeUtf8(m_name, buffer + 1, nameBytes);
    PutLE32(buffer + 1 + nameBytes, m_size);
    if (m_size)
        std::memcpy(buffer + kHeaderBytes + nameBytes, m_data, m_size);
    return packed;
}

unsigned NamedValue::Unpack(const unsigned char* buffer, unsigned length)
{
    if (!buffer || length < kHeaderBytes)
        return 0;
    const unsigned nameBytes = buffer[0];
    if (length - kHeaderBytes < nameBytes)
        return 0;
    const unsigned dataBytes = GetLE32(buffer + 1 + nameBytes);
    // Compared as what is left, so that a length near 2^32 cannot wrap the sum.
    if (length - kHeaderBytes - nameBytes < dataBytes)
        return 0;
    unsigned char* data = nullptr;
    if (dataBytes) {
        data = static_cast<unsigned char*>(std::malloc(dataBytes));
        if (!data)
            return 0;
        std::memcpy(data, buffer + kHeaderBytes + nameBytes, dataBytes);
    }
    Free();
    m_name = CJOVString(buffer + 1, static_cast<int>(nameBytes), CP_UTF8);
    m_data = data;
    m_size = dataBytes;
    return nameBytes + dataBytes + kHeaderBytes;
}

unsigned char NamedValue::AsByte() const
{
    return m_size >= 1 ? m_data[0] : 0;
}

unsigned short NamedValue::AsWord() const
{
    return m_size >= 2 ? static_cast<unsigned short>(m_data[0] | m_data[1] << 8) : 0;
}

unsigned int NamedValue::AsDWord() const
{
    return m_size >= 4 ? GetLE32(m_data) : 0;
}

CJOVString NamedValue::AsString() const
{
    if (m_size == 0 || m_size > INT_MAX)
        return CJOVString();
    return CJOVString(m_data, static_cast<int>(m_size), CP_UTF8);
}

void NamedValue::SetByte(unsigned char value)
{
    SetData(&value, 1);
}

void NamedValue::SetWord(unsigned short value)
{
    const unsigned char bytes[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
    SetData(bytes, 2);
}

void NamedValue::SetDWord(unsigned int value)
{
    unsigned char bytes[4];
    PutLE32(bytes, value);
    SetData(bytes, 4);
}

void NamedValue::SetString(const CJOVString& value)
{
    const unsigned n = Utf8Length(value);
    if (n == 0) {
        SetData(nullptr, 0);
        return;
    }
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(n));
    if (!bytes) {
        Free();
        return;
    }
    EncodeUtf8(value, bytes, n);
    SetData(bytes, n);
    std::free(bytes);
}

void NamedValue::SetData(const void* data, unsigned size)
{
    if (!data || size == 0) {
        Free();
        return;
    }
    if (size == m_size) {
        std::memmove(m_data, data, size);  // the bytes may be our own
        return;
    }
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(size));
    if (copy)
        std::memcpy(copy, data, size);
    Free();
    m_data = copy;
    m_size = copy ? size : 0;
}
