// Parser of key=value lists such as the SASL DIGEST-MD5 challenge
// (realm="example.org",nonce="...",charset=utf-8). The text is parsed in place.
#pragma once

#include "JOVCommon.h"

class JOV_COMMON_API CStringPairs {
public:
    // How a quoted value is read: up to the next double quote, or as a
    // quoted-string of RFC 2831 (a backslash makes the character after it
    // plain, a quote too; the backslashes are dropped from the value).
    enum Quoting { kPlainQuotes, kBackslashEscapes };

    // The text is changed (NULs written) and must outlive the object. Parsing
    // stops at the first malformed pair; at most 100 pairs are kept.
    explicit CStringPairs(char* text);
    CStringPairs(char* text, Quoting quoting);
    ~CStringPairs();

    CStringPairs(const CStringPairs&) = delete;
    CStringPairs& operator=(const CStringPairs&) = delete;

    // The value of the first pair with exactly this key, or "" when there is none.
    const char* operator[](const char* key) const;

private:
    struct Pair {
        const char* key;
        const char* value;
    };

    Pair* m_pairs;
    int m_count;
};
