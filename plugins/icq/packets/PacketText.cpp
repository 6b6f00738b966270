#include "PacketText.h"

#include <cstring>
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
