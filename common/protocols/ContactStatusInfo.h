// How a contact is drawn: its status and two sets of image-id lists.
#pragma once

#include "JOVArray.h"
#include "protocols/Status.h"

namespace Protocols {

struct ContactStatusInfo {
    Status status = StatusOffline;
    CJOVArray<CJOVArray<unsigned int>> statusImages{10};
    CJOVArray<CJOVArray<unsigned int>> extraImages{10};
};

} // namespace Protocols
