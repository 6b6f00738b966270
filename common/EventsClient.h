// The receiver of events. OnEvent runs on the client's own queue thread, one
// event at a time; its answer is the answer of a synchronous event. Either
// argument may be null.
#pragma once

#include "EventArg.h"
#include "JOVGuid.h"
#include "JOVString.h"

class CEventsClient {
public:
    virtual int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) = 0;

protected:
    // Owners delete clients through their own type, never through this interface.
    ~CEventsClient() = default;
};
