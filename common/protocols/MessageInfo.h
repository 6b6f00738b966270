// One message that an account delivers or that the user sends.
#pragma once

#include "JOVString.h"
#include "JOVTime.h"

namespace Protocols {

struct MessageInfo {
    unsigned int contactId = 0;  // contact-list item id of the peer
    // Chosen by the account that builds it; the ICQ account: 0 ordinary or
    // authorization text, 1 offline message, 2 x-status reply.
    unsigned int kind = 0;
    int imageIndex = -1;  // -1: no image
    CTime time;           // now, when built
    CJOVString text;
    CJOVString title;
};

} // namespace Protocols
