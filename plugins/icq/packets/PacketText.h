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
const int kUTF16BE = 1201;
// How many of the first n bytes of an encoded text fit in room bytes without
// splitting a character: a UTF-8 sequence or a UTF-16 surrogate pair stays
// whole; a single-byte code page cuts anywhere.
int FittingLength(const unsigned char* bytes, int n, int room, int codePage);
// A screen name as the server compares it: lower case, no spaces.
CJOVString NormalizeScreenName(const CJOVString& name);
// A text for the content of an XML element: & < > " ' as entities.
CJOVString EscapeXml(const CJOVString& text);
// The five entities above back to their characters; anything else stays.
CJOVString UnescapeXml(const CJOVString& text);
// A title or description of an x-status answer: UTF-8 content of an inner
// XML that itself travels escaped, so two layers of entities are undone.
CJOVString DecodeXtrazText(const unsigned char* bytes, int n);
// The bytes between the first `open` marker found at or after `from` and the
// next `close` marker after it. False when either marker is missing.
bool FindBetween(const unsigned char* bytes, int n, int from, const char* open, const char* close,
                 const unsigned char*& found, int& length);

} // namespace PacketText
