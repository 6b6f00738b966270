// Event arguments made for the common records, on the heap, with count 0 (the
// bus takes them over when they are handed to it).
#pragma once

#include "EventArgData.h"
#include "protocols/Status.h"

namespace Protocols {

inline CEventArg* NewStringEventArg(const CJOVString& text) { return new CEventArg_Data<CJOVString>(text); }

inline CEventArg* NewStatusInfoEventArg(const StatusInfo& info) { return new CEventArg_Data<StatusInfo>(info); }

} // namespace Protocols
