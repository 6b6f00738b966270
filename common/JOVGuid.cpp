#include "JOVGuid.h"

#include <cwchar>
#include <cstring>

static_assert(sizeof(JOV_GUID) == 16, "identifier bytes are stored as they lie in memory");

bool JOV_GUID::operator==(const JOV_GUID& other) const
{
    return std::memcmp(this, &other, sizeof(JOV_GUID)) == 0;
}

CJOVString JOV_GUID::GetString() const
{
    wchar_t text[40];
    std::swprintf(text, 40, L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", Data1, Data2, Data3,
                  Data4[0], Data4[1], Data4[2], Data4[3], Data4[4], Data4[5], Data4[6], Data4[7]);
    return CJOVString(text);
}

namespace {

class FieldReader {
public:
    FieldReader(const wchar_t* text, int length) : m_text(text), m_length(length), m_pos(0), m_ok(true) {}

    bool Expect(wchar_t c)
    {
        if (m_ok && m_pos < m_length && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        m_ok = false;
        return false;
    }

    // Up to maxDigits hex digits; at least one is needed.
    bool Hex(int maxDigits, unsigned int& value)
    {
        if (!m_ok)
            return false;
        unsigned int v = 0;
        int digits = 0;
        while (digits < maxDigits && m_pos < m_length) {
            int d = Digit(m_text[m_pos]);
            if (d < 0)
                break;
            v = (v << 4) | static_cast<unsigned int>(d);
            ++m_pos;
            ++digits;
        }
        if (digits == 0)
            return m_ok = false;
        value = v;
        return true;
    }

private:
    static int Digit(wchar_t c)
    {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'a' && c <= L'f') return c - L'a' + 10;
        if (c >= L'A' && c <= L'F') return c - L'A' + 10;
        return -1;
    }

    const wchar_t* m_text;
    int m_length;
    int m_pos;
    bool m_ok;
};

} // namespace

void JOV_GUID::SetString(const CJOVString& text)
{
    FieldReader reader(text.Data(), text.GetLength());
    unsigned int v = 0;
    if (!reader.Expect(L'{') || !reader.Hex(8, v))
        return;
    Data1 = v;
    if (!reader.Expect(L'-') || !reader.Hex(4, v))
        return;
    Data2 = static_cast<unsigned short>(v);
    if (!reader.Expect(L'-') || !reader.Hex(4, v))
        return;
    Data3 = static_cast<unsigned short>(v);
    if (!reader.Expect(L'-'))
        return;
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && !reader.Expect(L'-'))
            return;
        if (!reader.Hex(2, v))
            return;
        Data4[i] = static_cast<unsigned char>(v);
    }
}
