// What the stream parser knows of XML without any state: which bytes and
// names it allows, its references and their decoding, where a read may cut
// text, and what a stanza's tree costs the heap by the parser's reckoning.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "JOVString.h"

namespace XmlReading {

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Whether the bytes are UTF-8: no stray continuation, no overlong form, no
// surrogate, nothing past U+10FFFF.
bool IsUtf8(const char* text, size_t length);

// Decodes UTF-8 text with the five predefined entities and character
// references replaced, appended to `out`, or only checked when it is null;
// false for bytes that are not UTF-8 and for any other reference.
bool DecodeText(const char* text, size_t length, std::string* out);

// Where text that goes on past the bytes at hand may be taken up to: before
// a reference that may still be open (in a CDATA section, before a "]" that
// may begin its end), and before a character whose bytes may not all be there.
int TextCutEnd(const char* data, int pos, int length, bool cdata = false);

CJOVString FromUtf8(const std::string& bytes);

// An attribute value: references decoded (into `out` when given); a "<" has
// no place in one.
bool DecodeValue(const char* text, size_t length, std::string& scratch, CJOVString* out);

typedef std::pair<const char*, size_t> NameBytes;

// Whether two of a tag's attributes share a name.
bool HasRepeatedName(std::vector<NameBytes>& names);

// An XML name: ASCII as XML allows it, anything beyond ASCII as long as it is UTF-8.
bool IsName(const char* text, size_t length);

// The attributes a skipped stanza still tells, enough to answer a request:
// each one's bit, 0 for any other.
unsigned ToldBit(const char* name, size_t length);

inline bool IsTold(const char* name, size_t length)
{
    return ToldBit(name, length) != 0;
}

// The told attribute whose value the outline of a tag opens, by its bit: the
// outline ends with its name, "=" and the quote, a blank around the "=" at
// most. The name follows a blank or the quote of the value before it.
unsigned ToldValueOpened(const std::string& outline);

// The heap's reckoning: what it adds to a block.
constexpr long long kBlockCost = 16;

// The node, and its place in its parent's list, which may have room for
// twice as many.
long long ElementCost(size_t nameLength);

// Its record in a list that may have room for twice as many, and its value
// in UTF-16: two bytes a byte at most.
long long AttributeCost(size_t nameLength, size_t valueBytes);

// A text's bytes as gathered (in a buffer of up to twice their size), then
// in UTF-16: four bytes a byte, and two blocks.
constexpr long long kTextBytesCost = 4;
constexpr long long kTextCost = 2 * kBlockCost + 2;

} // namespace XmlReading
