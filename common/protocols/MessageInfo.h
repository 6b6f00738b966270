// A message an account delivers or the user sends.
#pragma once

#include "JOVString.h"
#include "JOVTime.h"

namespace Protocols {

struct MessageInfo {
    unsigned int contactId = 0;
    // Set by the account that builds the record; 0 for an ordinary message.
    unsigned int kind = 0;
    int imageIndex = -1;  // -1: no image
    CTime time;
    CJOVString text;
    CJOVString title;
};

} // namespace Protocols
