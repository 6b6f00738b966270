// How a contact is drawn: its status and two sets of image-identifier lists
// (status images, extra images). Copies are deep.
#pragma once

#include "JOVArray.h"
#include "protocols/Status.h"

namespace Protocols {

struct ContactStatusInfo {
    Status status = Offline;
    CJOVArray<CJOVArray<unsigned int>> statusImages{10};
    CJOVArray<CJOVArray<unsigned int>> extraImages{10};
};

} // namespace Protocols
