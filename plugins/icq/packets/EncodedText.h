// The bytes of a text in one code page, as a packet writes them: no terminator
// counted. Owns the buffer the string library hands out.
#pragma once

#include "JOVString.h"

class CEncodedText {
public:
    CEncodedText(const CJOVString& text, int codePage);
    ~CEncodedText();
    CEncodedText(const CEncodedText&) = delete;
    CEncodedText& operator=(const CEncodedText&) = delete;

    const unsigned char* Bytes() const { return m_bytes; }
    int Length() const { return m_length; }

private:
    unsigned char* m_bytes;
    int m_length;
};
