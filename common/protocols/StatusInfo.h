// Statuses of every account, and how a plug-in describes one of its statuses
// to the program.
#pragma once

#include "JOVArray.h"
#include "JOVString.h"

namespace Protocols {

// 0 is not connected, 1 a connection in progress, 2 and above connected.
enum Status : int {
    StatusOffline = 0,
    StatusConnecting = 1,
    StatusOnline = 2,
    StatusInvisible = 3,
    StatusInvisibleForAll = 4,
    StatusFreeForChat = 5,
    StatusEvil = 6,
    StatusDepression = 7,
    StatusAtHome = 8,
    StatusAtWork = 9,
    StatusLunch = 10,
    StatusAway = 11,
    StatusNotAvailable = 12,
    StatusOccupied = 13,
    StatusDoNotDisturb = 14,
};

struct StatusInfo {
    Status status = StatusOffline;
    CJOVString name;               // localized display name
    CJOVArray<unsigned int> images{10};  // image ids; the windows draw the first
};

} // namespace Protocols
