// How long the sockets layer waits; the defaults are the device's, tests
// shorten them.
#pragma once

#include <windows.h>

namespace JOVSockets {

struct SocketTimings {
    DWORD busyPollMs = 100;        // select time-out while data flows
    DWORD idlePollMs = 500;        // select time-out on an idle line
    DWORD closeWaitMs = 600;       // Close waits this long for the worker before cutting its socket;
                                   // what is queued has as long to go out
    DWORD apiReadyWaitMs = 10000;  // wait for the Connection Manager to take requests
};

} // namespace JOVSockets
