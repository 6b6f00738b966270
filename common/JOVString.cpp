#include "JOVString.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <windows.h>

namespace {

wchar_t* AllocUnits(int count)
{
    return static_cast<wchar_t*>(std::malloc(static_cast<size_t>(count) * sizeof(wchar_t)));
}

const char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(wchar_t c)
{
    if (c >= L'A' && c <= L'Z') return c - L'A';
    if (c >= L'a' && c <= L'z') return c - L'a' + 26;
    if (c >= L'0' && c <= L'9') return c - L'0' + 52;
    if (c == L'+') return 62;
    if (c == L'/') return 63;
    if (c == L'=') return 0;
    return -1;
}

} // namespace

CJOVString::CJOVString() : m_chars(nullptr), m_length(0) {}

CJOVString::CJOVString(const CJOVString& other) : m_chars(nullptr), m_length(0)
{
    Assign(other.m_chars, other.m_length);
}

CJOVString::CJOVString(const wchar_t* text) : m_chars(nullptr), m_length(0)
{
    if (text)
        Assign(text, static_cast<int>(std::wcslen(text)));
}

CJOVString::CJOVString(const unsigned char* text, int codePage) : m_chars(nullptr), m_length(0)
{
    if (!text || !*text)
        return;
    const char* src = reinterpret_cast<const char*>(text);
    int n = MultiByteToWideChar(static_cast<UINT>(codePage), 0, src, -1, nullptr, 0);
    if (n <= 1)
        return;
    wchar_t* units = AllocUnits(n);
    if (!units)
        return;
    if (MultiByteToWideChar(static_cast<UINT>(codePage), 0, src, -1, units, n) != n) {
        std::free(units);
        return;
    }
    m_chars = units;
    m_length = n - 1;  // the terminator is not kept
}

CJOVString::CJOVString(const unsigned char* bytes, int n, int codePage) : m_chars(nullptr), m_length(0)
{
    if (!bytes || n <= 0)
        return;
    const char* src = reinterpret_cast<const char*>(bytes);
    int count = MultiByteToWideChar(static_cast<UINT>(codePage), 0, src, n, nullptr, 0);
    if (count <= 0)
        return;
    wchar_t* units = AllocUnits(count);
    if (!units)
        return;
    if (MultiByteToWideChar(static_cast<UINT>(codePage), 0, src, n, units, count) != count) {
        std::free(units);
        return;
    }
    m_chars = units;
    m_length = count;
}

CJOVString::~CJOVString()
{
    std::free(m_chars);
}

bool CJOVString::Assign(const wchar_t* units, int length)
{
    wchar_t* copy = nullptr;
    if (length > 0) {
        copy = AllocUnits(length);
        if (!copy)
            length = 0;
        else
            std::memcpy(copy, units, static_cast<size_t>(length) * sizeof(wchar_t));
    }
    std::free(m_chars);
    m_chars = copy;
    m_length = copy ? length : 0;
    return copy != nullptr || length == 0;
}

CJOVString& CJOVString::operator=(const CJOVString& other)
{
    if (this != &other)
        Assign(other.m_chars, other.m_length);
    return *this;
}

CJOVString::operator wchar_t*()
{
    wchar_t* grown = static_cast<wchar_t*>(
        std::realloc(m_chars, static_cast<size_t>(m_length + 1) * sizeof(wchar_t)));
    if (!grown) {
        // No room for the terminator: a static empty text, never the
        // unterminated units (a reader would run past them).
        static wchar_t empty[1];
        empty[0] = 0;
        return empty;
    }
    m_chars = grown;
    m_chars[m_length] = 0;
    return m_chars;
}

CJOVString CJOVString::operator[](int index) const
{
    CJOVString unit;
    if (index >= 0 && index < m_length)
        unit.Assign(m_chars + index, 1);
    return unit;
}

CJOVString CJOVString::Substring(int start, int count) const
{
    CJOVString part;
    if (start < 0 || start > m_length || count <= 0)
        return part;
    int n = m_length - start < count ? m_length - start : count;
    part.Assign(m_chars + start, n);
    return part;
}

int CJOVString::Find(int start, const CJOVString& text) const
{
    if (start < 0)
        start = 0;
    if (start > m_length)
        return -1;
    // The search stops at an embedded NUL in either string.
    int hayLen = 0;
    while (hayLen < m_length && m_chars[hayLen] != 0)
        ++hayLen;
    int needleLen = 0;
    while (needleLen < text.m_length && text.m_chars[needleLen] != 0)
        ++needleLen;
    if (needleLen == 0)
        return start <= hayLen ? start : -1;
    for (int i = start; i + needleLen <= hayLen; ++i) {
        if (std::memcmp(m_chars + i, text.m_chars, static_cast<size_t>(needleLen) * sizeof(wchar_t)) == 0)
            return i;
    }
    return -1;
}

int CJOVString::Compare(const CJOVString& other) const
{
    int common = m_length < other.m_length ? m_length : other.m_length;
    for (int i = 0; i < common; ++i) {
        unsigned a = static_cast<unsigned short>(m_chars[i]);
        unsigned b = static_cast<unsigned short>(other.m_chars[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (m_length == other.m_length)
        return 0;
    return m_length < other.m_length ? -1 : 1;
}

bool CJOVString::operator==(const CJOVString& other) const { return Compare(other) == 0; }
bool CJOVString::operator!=(const CJOVString& other) const { return Compare(other) != 0; }
bool CJOVString::operator<(const CJOVString& other) const { return Compare(other) < 0; }
bool CJOVString::operator<=(const CJOVString& other) const { return Compare(other) <= 0; }
bool CJOVString::operator>(const CJOVString& other) const { return Compare(other) > 0; }
bool CJOVString::operator>=(const CJOVString& other) const { return Compare(other) >= 0; }

CJOVString CJOVString::operator+(const CJOVString& other) const
{
    CJOVString sum(*this);
    sum += other;
    return sum;
}

CJOVString& CJOVString::operator+=(const CJOVString& other)
{
    if (other.m_length == 0)
        return *this;
    int total = m_length + other.m_length;
    wchar_t* units = AllocUnits(total);
    if (!units) {
        std::free(m_chars);
        m_chars = nullptr;
        m_length = 0;
        return *this;
    }
    if (m_length)
        std::memcpy(units, m_chars, static_cast<size_t>(m_length) * sizeof(wchar_t));
    std::memcpy(units + m_length, other.m_chars, static_cast<size_t>(other.m_length) * sizeof(wchar_t));
    std::free(m_chars);
    m_chars = units;
    m_length = total;
    return *this;
}

void CJOVString::Remove(const CJOVString& text)
{
    if (text.m_length == 0)
        return;
    if (&text == this) {
        // The scan edits the text it looks for: work from a copy.
        CJOVString copy(text);
        Remove(copy);
        return;
    }
    const size_t unitBytes = static_cast<size_t>(text.m_length) * sizeof(wchar_t);
    // After a removal the scan resumes where the removed text began, so the
    // units that close up behind it are looked at again (XXYY less XY is XY).
    for (int i = 0; i + text.m_length <= m_length;) {
        if (std::memcmp(m_chars + i, text.m_chars, unitBytes) != 0) {
            ++i;
            continue;
        }
        std::memmove(m_chars + i, m_chars + i + text.m_length,
                     static_cast<size_t>(m_length - i - text.m_length) * sizeof(wchar_t));
        m_length -= text.m_length;
    }
    if (m_length == 0) {
        std::free(m_chars);
        m_chars = nullptr;
    }
}

void CJOVString::ToLower()
{
    if (m_length > 0)
        CharLowerBuffW(m_chars, static_cast<DWORD>(m_length));
}

unsigned char* CJOVString::GetBuffer(int codePage) const
{
    int n = 0;
    if (m_length > 0) {
        n = WideCharToMultiByte(static_cast<UINT>(codePage), 0, m_chars, m_length, nullptr, 0, nullptr, nullptr);
        if (n < 0)
            n = 0;
    }
    unsigned char* buffer = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(n) + 1));
    if (!buffer)
        return nullptr;
    if (n > 0)
        WideCharToMultiByte(static_cast<UINT>(codePage), 0, m_chars, m_length,
                            reinterpret_cast<char*>(buffer), n, nullptr, nullptr);
    buffer[n] = 0;
    return buffer;
}

void CJOVString::FreeBuffer(unsigned char* buffer)
{
    std::free(buffer);
}

CJOVString CJOVString::GetBase64EncodedString(const unsigned char* bytes, int n)
{
    CJOVString result;
    if (!bytes || n <= 0)
        return result;
    int outLen = 4 * ((n + 2) / 3);
    wchar_t* out = AllocUnits(outLen);
    if (!out)
        return result;
    int o = 0;
    for (int i = 0; i < n; i += 3) {
        unsigned v = static_cast<unsigned>(bytes[i]) << 16;
        int left = n - i;
        if (left > 1) v |= static_cast<unsigned>(bytes[i + 1]) << 8;
        if (left > 2) v |= bytes[i + 2];
        out[o++] = kBase64Alphabet[(v >> 18) & 63];
        out[o++] = kBase64Alphabet[(v >> 12) & 63];
        out[o++] = left > 1 ? kBase64Alphabet[(v >> 6) & 63] : L'=';
        out[o++] = left > 2 ? kBase64Alphabet[v & 63] : L'=';
    }
    result.m_chars = out;
    result.m_length = outLen;
    return result;
}

CJOVString CJOVString::GetBase64EncodedString() const
{
    if (m_length == 0)
        return CJOVString();
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(m_length)));
    if (!bytes)
        return CJOVString();
    for (int i = 0; i < m_length; ++i)
        bytes[i] = static_cast<unsigned char>(m_chars[i]);
    CJOVString encoded = GetBase64EncodedString(bytes, m_length);
    std::free(bytes);
    return encoded;
}

unsigned char* CJOVString::GetBase64DecodedBytes(int* count) const
{
    if (count)
        *count = 0;
    if (m_length == 0)
        return nullptr;
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(m_length) + 1));
    if (!bytes)
        return nullptr;
    int kept = 0;
    int group[4];
    wchar_t groupChars[4];
    int filled = 0;
    bool ok = true;
    for (int i = 0; i < m_length; ++i) {
        wchar_t c = m_chars[i];
        if (c == L'\r' || c == L'\n')
            continue;
        int v = Base64Value(c);
        if (v < 0) {
            ok = false;
            break;
        }
        groupChars[filled] = c;
        group[filled++] = v;
        if (filled < 4)
            continue;
        filled = 0;
        unsigned char b0 = static_cast<unsigned char>((group[0] << 2) | (group[1] >> 4));
        unsigned char b1 = static_cast<unsigned char>(((group[1] & 15) << 4) | (group[2] >> 2));
        unsigned char b2 = static_cast<unsigned char>(((group[2] & 3) << 6) | group[3]);
        int keep = groupChars[2] == L'=' ? 1 : groupChars[3] == L'=' ? 2 : 3;
        bytes[kept++] = b0;
        if (keep > 1) bytes[kept++] = b1;
        if (keep > 2) bytes[kept++] = b2;
        if (keep < 3)
            break;  // the padded group is the last; what follows is ignored
    }
    if (!ok || filled != 0 || kept == 0) {
        std::free(bytes);
        return nullptr;
    }
    bytes[kept] = 0;
    if (count)
        *count = kept;
    return bytes;
}

CJOVString CJOVString::GetBase64DecodedString() const
{
    int count = 0;
    unsigned char* bytes = GetBase64DecodedBytes(&count);
    if (!bytes)
        return CJOVString();
    CJOVString decoded(bytes, count, 0);
    FreeBuffer(bytes);
    return decoded;
}

CJOVString GetModuleDir(HMODULE module)
{
    wchar_t path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return CJOVString();
    int slash = -1;
    for (DWORD i = 0; i < n; ++i) {
        if (path[i] == L'\\')
            slash = static_cast<int>(i);
    }
    if (slash < 0)
        return CJOVString();
    path[slash + 1] = 0;
    return CJOVString(path);
}

CJOVString GetAppDir()
{
    return GetModuleDir(nullptr);
}
