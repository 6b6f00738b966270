#include "core/skins/SkinColors.h"

#include <cstring>
#include <vector>

#include "FileBytes.h"

namespace Skins {

const COLORREF kDefaultColours[kColourCount] = {
    0x008000, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x804000, 0xFF0000, 0xFF0000, 0x0000FF, 0x800000, 0xC0D9F4, 0xFFFFFF,
    0x357EC9, 0x0000FF, 0xFF0000, 0x000000, 0x000080, 0x800000, 0xFFFFFF, 0x800000, 0x005353, 0x000000,
};

namespace {

const wchar_t* const kColourNames[kColourCount] = {
    L"Account name text", L"Account button", L"Account button gradient", L"Divider", L"Group name",
    L"Online counter in group", L"Online", L"Offline", L"Not in list", L"Focus", L"Focus gradient",
    L"Focus frame", L"Incoming events timestamp", L"Outgoing events timestamp", L"Message text",
    L"Custom status text", L"Highlighting", L"Highlight text", L"Link", L"History separator", L"Editing text",
};

const char kHeader[] = "[TarselColors]\r\n";
const size_t kHeaderLength = 16;
// A colour file is a few hundred bytes; anything far larger is not one.
const DWORD kMaxFileBytes = 1024 * 1024;

int HexDigit(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

const wchar_t* GetColourEnglishName(int index)
{
    return index >= 0 && index < kColourCount ? kColourNames[index] : L"";
}

BOOL ParseColours(const unsigned char* bytes, size_t length, COLORREF* colours)
{
    if (!bytes || length < kHeaderLength || std::memcmp(bytes, kHeader, kHeaderLength) != 0)
        return FALSE;
    int read = 0;
    for (size_t i = kHeaderLength; i < length && read < kColourCount; ++i) {
        if (bytes[i] != '=')
            continue;
        if (length - i - 1 < 6)
            return FALSE;
        COLORREF value = 0;
        for (size_t k = 1; k <= 6; ++k) {
            int digit = HexDigit(bytes[i + k]);
            if (digit < 0)
                return FALSE;
            value = value * 16 + static_cast<COLORREF>(digit);
        }
        colours[read++] = value;
        i += 6;
    }
    return read == kColourCount;
}

BOOL ReadColoursFile(const CJOVString& path, COLORREF* colours)
{
    CJOVString name(path);
    std::vector<unsigned char> bytes;
    if (ReadFileBytes(name, kMaxFileBytes, bytes) != FileBytesResult::Read)
        return FALSE;
    return ParseColours(bytes.data(), bytes.size(), colours);
}

} // namespace Skins
