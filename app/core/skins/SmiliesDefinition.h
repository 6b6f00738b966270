// "_define.ini" of a smilies set: 8-bit text, one line a smiley (line k
// belongs to the k-th GIF file in name order), codes separated by commas.
// Each byte becomes the UTF-16 unit of the same value; carriage returns and
// NUL bytes are skipped. Empty codes are dropped (they would match
// everywhere); a line without codes still holds its place. A line feed at
// the very end opens no further smiley.
#pragma once

#include <cstddef>
#include <vector>

#include "JOVString.h"

typedef std::vector<std::vector<CJOVString>> SmiliesCodes;

SmiliesCodes ParseSmiliesDefinition(const unsigned char* bytes, size_t length);
