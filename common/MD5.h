// MD5 digest (RFC 1321), for the ICQ login and the SASL DIGEST-MD5 exchange.
#pragma once

#include "JOVCommon.h"

class JOV_COMMON_API CMD5 {
public:
    static void Hash(const void* data, unsigned length, unsigned char digest[16]);
};
