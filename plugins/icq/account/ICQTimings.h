// The waits of an ICQ account; the tests shorten them.
#pragma once

struct ICQTimings {
    unsigned long reconnectDelayMs = 10000;   // from a lost connection to the new attempt
    unsigned long keepAliveIntervalMs = 120000;  // between two empty channel-5 frames
};
