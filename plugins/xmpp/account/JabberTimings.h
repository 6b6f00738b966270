// How long an XMPP account waits, and its clock; tests shorten the waits and
// may turn the clock.
#pragma once

#include <windows.h>

struct JabberTimings {
    typedef DWORD (*TickSource)();

    static DWORD SystemTick() { return GetTickCount(); }

    // The request queue's worker looks for timed-out requests this often.
    DWORD queueScanMs = 50;
    // A one-shot callback whose answer has not come by then is dropped.
    DWORD oneShotExpiryMs = 120000;
    // A login not online by then is given up (a silent or stalled server).
    DWORD loginTimeoutMs = 60000;
    // Milliseconds, wrapping at 2^32 like the system's tick count.
    TickSource tick = &SystemTick;
};

// Whether more than `span` milliseconds have passed since `start`, also
// across the wrap of the tick counter.
inline bool MoreThanElapsed(DWORD now, DWORD start, DWORD span)
{
    return static_cast<DWORD>(now - start) > span;
}
