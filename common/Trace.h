// The start-up and login trace, for finding where the time goes: a timestamp
// for each phase reached and for each event handed from one thread to another.
//
// Off unless the environment variable JOV_TRACE is set (to anything but "0")
// when the common library loads; off, a mark costs one flag test. On, marks
// are kept in memory as they come, from any thread, and TraceFlush writes
// those not yet written to the debug output, so that no write lands inside
// the phases being timed. One line each:
//   JOV trace: <ms since the process started> [<thread id>] <what>[ <count>]
//   JOV trace: <ms> [<thread id>] <queue> <- <event>: queued <ms>, ran <ms>
// (the hand-over's time is when its handler began).
#pragma once

#include "JOVCommon.h"
#include "JOVString.h"

extern JOV_COMMON_API bool g_traceOn;

inline bool TraceOn()
{
    return g_traceOn;
}

// Performance-counter ticks, for TraceHandOver; only while the trace is on.
JOV_COMMON_API long long TraceNow();
JOV_COMMON_API void TraceWrite(const wchar_t* what, long long count);
// An event queued at queuedAt whose handler ran from startedAt until now.
JOV_COMMON_API void TraceHandOver(const CJOVString& queue, const CJOVString& event, long long queuedAt,
                                  long long startedAt);
JOV_COMMON_API void TraceWriteOut();

// A phase reached, with a count when it has one (negative: none).
inline void TraceMark(const wchar_t* what, long long count = -1)
{
    if (g_traceOn)
        TraceWrite(what, count);
}

// Writes the marks kept so far to the debug output; callers choose moments
// outside the phases being timed (the list window's timer, which comes when
// the UI thread is idle; shut-down; a benchmark between its runs).
inline void TraceFlush()
{
    if (g_traceOn)
        TraceWriteOut();
}
