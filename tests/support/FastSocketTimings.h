// The sockets manager's polls and waits cut short, so that tests against
// loopback peers run fast.
#pragma once

#include "core/sockets/SocketTimings.h"

inline JOVSockets::SocketTimings FastSocketTimings()
{
    JOVSockets::SocketTimings timings;
    timings.busyPollMs = 20;
    timings.idlePollMs = 50;
    timings.closeWaitMs = 500;
    timings.apiReadyWaitMs = 200;
    return timings;
}
