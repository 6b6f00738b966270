// Base of every event argument: a reference count shared by the queues that
// deliver it. The sender creates it with count 0 and hands it to the services
// bus; the bus adds one reference per delivery and each queue releases one
// after its handler returns, so the last delivery deletes it.
#pragma once

#include "JOVCommon.h"

class JOV_COMMON_API CEventArg {
public:
    CEventArg();
    // A copy is a new argument: it starts unshared, whatever the source's count.
    CEventArg(const CEventArg& other);
    CEventArg& operator=(const CEventArg& other);
    virtual ~CEventArg();

    // Adds n in one interlocked step; answers the new count.
    long AddRef(long n);
    // Deletes the argument when the count falls to exactly 0 (never below);
    // answers the new count.
    long Release();

private:
    volatile long m_refCount;
};

// Frees a new argument (count 0) that nobody will take, where the bus would
// have released it; none is fine.
inline void DiscardArg(CEventArg* arg)
{
    if (arg) {
        arg->AddRef(1);
        arg->Release();
    }
}
