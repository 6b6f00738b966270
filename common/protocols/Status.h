// The statuses of accounts and of the program as a whole, and how a status is shown.
#pragma once

#include "JOVArray.h"
#include "JOVString.h"

namespace Protocols {

// 0 is not connected, 1 a connection in progress, every value from 2 up is
// connected; no other ordering carries meaning.
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

constexpr int kStatusCount = 15;

inline bool IsValidStatus(int value) { return value >= StatusOffline && value < kStatusCount; }
inline bool IsConnected(int value) { return value >= StatusOnline && value < kStatusCount; }

struct StatusInfo {
    Status status = StatusOffline;
    CJOVString name;                   // localized display name
    CJOVArray<unsigned int> images{10};  // image ids; the windows use the first
};

} // namespace Protocols
