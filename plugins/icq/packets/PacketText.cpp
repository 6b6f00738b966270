#include "PacketText.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace PacketText {

CJOVString Decode(const unsigned char* bytes, int n, int codePage)
{
    if (!bytes || n <= 0)
        return CJOVString();
    const void* zero = std::memchr(bytes, 0, static_cast<size_t>(n));
    if (zero)
        n = static_cast<int>(static_cast<const unsigned char*>(zero) - bytes);
    return CJOVString(bytes, n, codePage);
}

CJOVString DecodeUTF16BE(const unsigned char* bytes, int n)
{
    if (!bytes || n < 2)
        return CJOVString();
    std::vector<wchar_t> units;
    units.reserve(static_cast<size_t>(n / 2) + 1);
    for (int i = 0; i + 1 < n; i += 2) {
        wchar_t unit = static_cast<wchar_t>((bytes[i] << 8) | bytes[i + 1]);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    units.push_back(0);
    return CJOVString(units.data());
}

namespace {

struct Entity {
    wchar_t character;
    const wchar_t* name;
};

const Entity kEntities[] = {
    {L'&', L"&amp;"}, {L'<', L"&lt;"}, {L'>', L"&gt;"}, {L'"', L"&quot;"}, {L'\'', L"&apos;"},
};

} // namespace

CJOVString EscapeXml(const CJOVString& text)
{
    std::wstring out;
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t c = text.Data()[i];
        const wchar_t* name = nullptr;
        for (const Entity& entity : kEntities) {
            if (entity.character == c)
                name = entity.name;
        }
        if (name)
            out += name;
        else
            out += c;
    }
    return CJOVString(out.c_str());
}

CJOVString UnescapeXml(const CJOVString& text)
{
    std::wstring out;
    const wchar_t* chars = text.Data();
    int n = text.GetLength();
    for (int i = 0; i < n;) {
        const Entity* found = nullptr;
        if (chars[i] == L'&') {
            for (const Entity& entity : kEntities) {
                size_t length = std::wcslen(entity.name);
                if (static_cast<size_t>(n - i) >= length && std::wcsncmp(chars + i, entity.name, length) == 0)
                    found = &entity;
            }
        }
        if (found) {
            out += found->character;
            i += static_cast<int>(std::wcslen(found->name));
        } else {
            out += chars[i++];
        }
    }
    return CJOVString(out.c_str());
}

CJOVString DecodeXtrazText(const unsigned char* bytes, int n)
{
    return UnescapeXml(UnescapeXml(Decode(bytes, n, kUTF8)));
}

int FittingLength(const unsigned char* bytes, int n, int room, int codePage)
{
    if (!bytes || n <= 0 || room <= 0)
        return 0;
    if (n <= room)
        return n;
    int length = room;
    if (codePage == kUTF8) {
        // Back off over continuation bytes to the lead byte, which goes too.
        while (length > 0 && (bytes[length] & 0xC0) == 0x80)
            --length;
    } else if (codePage == kUTF16BE) {
        length &= ~1;
        if (length >= 2 && bytes[length - 2] >= 0xD8 && bytes[length - 2] <= 0xDB)
            length -= 2;  // a high surrogate without its low half
    }
    return length;
}

CJOVString NormalizeScreenName(const CJOVString& name)
{
    CJOVString normal(name);
    normal.Remove(CJOVString(L" "));
    normal.ToLower();
    return normal;
}

namespace {

int FindMarker(const unsigned char* bytes, int n, int from, const char* marker)
{
    int m = static_cast<int>(std::strlen(marker));
    for (int i = from; i >= 0 && i + m <= n; ++i) {
        if (std::memcmp(bytes + i, marker, static_cast<size_t>(m)) == 0)
            return i;
    }
    return -1;
}

} // namespace

bool FindBetween(const unsigned char* bytes, int n, int from, const char* open, const char* close,
                 const unsigned char*& found, int& length)
{
    if (!bytes || from < 0 || from > n)
        return false;
    int start = FindMarker(bytes, n, from, open);
    if (start < 0)
        return false;
    start += static_cast<int>(std::strlen(open));
    int end = FindMarker(bytes, n, start, close);
    if (end < 0)
        return false;
    found = bytes + start;
    length = end - start;
    return true;
}

} // namespace PacketText
