#include "XmlReading.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "XmlNode.h"

using XmlReading::kBlockCost;
using XmlReading::NameBytes;

namespace {

bool IsNameStart(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}

bool IsNameByte(unsigned char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool IsXmlChar(unsigned long c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendUtf8(unsigned long c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool Named(const char* name, size_t length, const char* known)
{
    return length == std::strlen(known) && std::memcmp(name, known, length) == 0;
}

// "#123" or "#x7B"; false unless it names a character XML allows.
bool CharacterReference(const char* name, size_t length, unsigned long& c)
{
    size_t i = 1;
    int base = 10;
    if (i < length && name[i] == 'x') {
        base = 16;
        ++i;
    }
    if (i >= length)
        return false;
    c = 0;
    for (; i < length; ++i) {
        char u = name[i];
        int digit;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (base == 16 && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (base == 16 && u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        else
            return false;
        c = c * base + digit;
        if (c > 0x10FFFF)
            return false;
    }
    return IsXmlChar(c);
}

bool SameName(const NameBytes& a, const NameBytes& b)
{
    return a.second == b.second && std::memcmp(a.first, b.first, a.second) == 0;
}

// What a string holds without a block of the heap.
constexpr size_t kShortString = 15;

long long NameCost(size_t length)
{
    return length > kShortString ? static_cast<long long>(length) + 1 + kBlockCost : 0;
}

} // namespace

namespace XmlReading {

bool IsUtf8(const char* text, size_t length)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        unsigned char c = bytes[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t count;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            count = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            count = 2;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            count = 3;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (length - i <= count || bytes[i + 1] < low || bytes[i + 1] > high)
            return false;
        for (size_t k = 2; k <= count; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += count + 1;
    }
    return true;
}

bool DecodeText(const char* text, size_t length, std::string* out)
{
    size_t i = 0;
    while (i < length) {
        const char* amp = static_cast<const char*>(std::memchr(text + i, '&', length - i));
        size_t plain = amp ? static_cast<size_t>(amp - text) : length;
        if (!IsUtf8(text + i, plain - i))
            return false;
        if (out)
            out->append(text + i, plain - i);
        if (!amp)
            return true;
        size_t end = plain + 1;
        while (end < length && text[end] != ';' && end - plain < 12)
            ++end;
        if (end >= length || text[end] != ';')
            return false;
        const char* name = text + plain + 1;
        size_t nameLength = end - plain - 1;
        unsigned long c = 0;
        char single = 0;
        if (Named(name, nameLength, "lt"))
            single = '<';
        else if (Named(name, nameLength, "gt"))
            single = '>';
        else if (Named(name, nameLength, "amp"))
            single = '&';
        else if (Named(name, nameLength, "quot"))
            single = '"';
        else if (Named(name, nameLength, "apos"))
            single = '\'';
        else if (!(nameLength > 1 && name[0] == '#' && CharacterReference(name, nameLength, c)))
            return false;
        if (out) {
            if (single)
                *out += single;
            else
                AppendUtf8(c, *out);
        }
        i = end + 1;
    }
    return true;
}

int TextCutEnd(const char* data, int pos, int length, bool cdata)
{
    int end = length;
    if (cdata) {
        while (end > pos && end > length - 2 && data[end - 1] == ']')
            --end;
    } else {
        // A reference ends within 12 bytes of its "&".
        for (int i = length - 1; i >= pos && i >= length - 12; --i) {
            if (data[i] == ';')
                break;
            if (data[i] == '&') {
                end = i;
                break;
            }
        }
    }
    int lead = end - 1;
    while (lead > pos && lead > end - 4 && (static_cast<unsigned char>(data[lead]) & 0xC0) == 0x80)
        --lead;
    if (lead >= pos) {
        unsigned char c = static_cast<unsigned char>(data[lead]);
        int count = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (end - lead - 1 < count)
            end = lead;
    }
    return end;
}

CJOVString FromUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return CJOVString();
    return CJOVString(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()), CP_UTF8);
}

bool DecodeValue(const char* text, size_t length, std::string& scratch, CJOVString* out)
{
    if (length == 0) {
        if (out)
            *out = CJOVString();
        return true;
    }
    if (std::memchr(text, '<', length))
        return false;
    if (!std::memchr(text, '&', length)) {
        if (!IsUtf8(text, length))
            return false;
        if (out)
            *out = CJOVString(reinterpret_cast<const unsigned char*>(text), static_cast<int>(length), CP_UTF8);
        return true;
    }
    if (!out)
        return DecodeText(text, length, nullptr);
    scratch.clear();
    if (!DecodeText(text, length, &scratch))
        return false;
    *out = FromUtf8(scratch);
    return true;
}

bool HasRepeatedName(std::vector<NameBytes>& names)
{
    size_t count = names.size();
    if (count < 2)
        return false;
    if (count <= 16) {
        for (size_t i = 1; i < count; ++i) {
            for (size_t k = 0; k < i; ++k) {
                if (SameName(names[i], names[k]))
                    return true;
            }
        }
        return false;
    }
    // Many attributes: sorted, so that a hostile tag costs n log n, not n².
    std::sort(names.begin(), names.end(), [](const NameBytes& a, const NameBytes& b) {
        int order = std::memcmp(a.first, b.first, std::min(a.second, b.second));
        return order != 0 ? order < 0 : a.second < b.second;
    });
    for (size_t i = 1; i < count; ++i) {
        if (SameName(names[i], names[i - 1]))
            return true;
    }
    return false;
}

bool IsName(const char* text, size_t length)
{
    if (length == 0 || !IsNameStart(static_cast<unsigned char>(text[0])))
        return false;
    for (size_t i = 1; i < length; ++i) {
        if (!IsNameByte(static_cast<unsigned char>(text[i])))
            return false;
    }
    return IsUtf8(text, length);
}

unsigned ToldBit(const char* name, size_t length)
{
    return Named(name, length, "type") ? 1 : Named(name, length, "id") ? 2 : Named(name, length, "from") ? 4 : 0;
}

unsigned ToldValueOpened(const std::string& outline)
{
    size_t end = outline.size() - 1;  // before the quote
    if (end > 0 && outline[end - 1] == ' ')
        --end;
    if (end == 0 || outline[end - 1] != '=')
        return 0;
    --end;
    if (end > 0 && outline[end - 1] == ' ')
        --end;
    size_t start = end;
    while (start > 0 && outline[start - 1] != ' ' && outline[start - 1] != '"' && outline[start - 1] != '\'')
        --start;
    // The element's own name comes first, with nothing before it.
    return start > 0 ? ToldBit(outline.data() + start, end - start) : 0;
}

long long ElementCost(size_t nameLength)
{
    return static_cast<long long>(sizeof(XmlNode)) + kBlockCost +
           2 * static_cast<long long>(sizeof(std::unique_ptr<XmlNode>)) + NameCost(nameLength);
}

long long AttributeCost(size_t nameLength, size_t valueBytes)
{
    return 2 * static_cast<long long>(sizeof(XmlAttribute)) + NameCost(nameLength) +
           (valueBytes ? 2 * static_cast<long long>(valueBytes) + 2 + kBlockCost : 0);
}

} // namespace XmlReading
