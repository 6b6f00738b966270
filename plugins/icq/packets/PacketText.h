// How the packets turn wire bytes into texts and back.
#pragma once

#include "JOVString.h"

namespace PacketText {

const int kUTF8 = 65001;
const int kCyrillic = 1251;

// The bytes up to the first zero byte (or all n), in the code page.
CJOVString Decode(const unsigned char* bytes, int n, int codePage);
// Big-endian UTF-16 units up to the first zero unit; an odd last byte is dropped.
CJOVString DecodeUTF16BE(const unsigned char* bytes, int n);
// A screen name as the server compares it: lower case, no spaces.
CJOVString NormalizeScreenName(const CJOVString& name);
// The bytes between the first `open` marker found at or after `from` and the
// next `close` marker after it. False when either marker is missing.
bool FindBetween(const unsigned char* bytes, int n, int from, const char* open, const char* close,
                 const unsigned char*& found, int& length);

} // namespace PacketText
