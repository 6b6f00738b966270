// The header every client message body begins with: the 8-byte ICBM cookie,
// the channel and the peer's UIN.
#pragma once

#include "ByteWriter.h"
#include "JOVString.h"

void WriteICBMHeader(CByteWriter& body, unsigned int cookie1, unsigned int cookie2, unsigned short channel,
                     const CJOVString& uin);
