#include "StringPairs.h"

#include <cstring>
#include <new>

namespace {

const int kMaxPairs = 100;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Cuts trailing blanks off [begin, end) by writing a NUL over the first of them.
void TerminateTrimmed(char* text, size_t begin, size_t end)
{
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    text[end] = 0;
}

// The end of a quoted-string whose value starts at `begin`: its closing
// quote, or null when there is none. The value is unescaped in place, moved
// to the front as the escapes drop out; *end is where it ends then.
const char* UnescapeQuoted(char* text, size_t begin, size_t length, size_t* end)
{
    size_t write = begin;
    for (size_t read = begin; read < length; ++read) {
        char c = text[read];
        if (c == '"') {
            *end = write;
            return text + read;
        }
        if (c == '\\' && read + 1 < length)
            c = text[++read];
        text[write++] = c;
    }
    return nullptr;
}

} // namespace

CStringPairs::CStringPairs(char* text) : CStringPairs(text, kPlainQuotes) {}

CStringPairs::CStringPairs(char* text, Quoting quoting) : m_pairs(nullptr), m_count(0)
{
    if (!text)
        return;
    Pair found[kMaxPairs];
    int count = 0;
    // Every NUL we write lies behind the cursor, so the original length bounds the scan.
    const size_t length = std::strlen(text);
    size_t pos = 0;
    while (pos < length && IsBlank(text[pos]))
        ++pos;

    while (pos < length && count < kMaxPairs) {
        const char* eq = std::strchr(text + pos, '=');
        if (!eq)
            break;
        size_t keyBegin = pos;
        size_t eqPos = static_cast<size_t>(eq - text);
        TerminateTrimmed(text, keyBegin, eqPos);

        size_t at = eqPos + 1;
        while (at < length && IsBlank(text[at]))
            ++at;
        size_t valueBegin;
        if (at < length && text[at] == '"') {
            valueBegin = at + 1;
            size_t valueEnd = 0;
            const char* close = quoting == kBackslashEscapes ? UnescapeQuoted(text, valueBegin, length, &valueEnd)
                                                             : std::strchr(text + valueBegin, '"');
            if (!close)
                break;
            size_t closePos = static_cast<size_t>(close - text);
            TerminateTrimmed(text, valueBegin, quoting == kBackslashEscapes ? valueEnd : closePos);
            pos = closePos + 1;
            while (pos < length && IsBlank(text[pos]))
                ++pos;
            if (pos < length && text[pos] == ',')
                ++pos;
        } else {
            // A plain token (charset=utf-8, algorithm=md5-sess) runs to the next comma.
            valueBegin = at;
            const char* comma = std::strchr(text + valueBegin, ',');
            size_t end = comma ? static_cast<size_t>(comma - text) : length;
            TerminateTrimmed(text, valueBegin, end);  // may overwrite the comma
            pos = comma ? end + 1 : length;
        }
        while (pos < length && IsBlank(text[pos]))
            ++pos;

        found[count].key = text + keyBegin;
        found[count].value = text + valueBegin;
        ++count;
    }

    if (count == 0)
        return;
    m_pairs = new (std::nothrow) Pair[count];
    if (!m_pairs)
        return;
    std::memcpy(m_pairs, found, sizeof(Pair) * static_cast<size_t>(count));
    m_count = count;
}

CStringPairs::~CStringPairs()
{
    delete[] m_pairs;
}

const char* CStringPairs::operator[](const char* key) const
{
    if (key) {
        for (int i = 0; i < m_count; ++i) {
            if (std::strcmp(m_pairs[i].key, key) == 0)
                return m_pairs[i].value;
        }
    }
    return "";
}
