// An account's or the program's status. 0 is not connected, 1 a connection in
// progress, every value from 2 up is connected.
#pragma once

namespace Protocols {

enum Status : unsigned int {
    Offline = 0,
    Connecting = 1,
    Online = 2,
    Invisible = 3,
    InvisibleForAll = 4,
    FreeForChat = 5,
    Evil = 6,
    Depression = 7,
    AtHome = 8,
    AtWork = 9,
    Lunch = 10,
    Away = 11,
    NotAvailable = 12,
    Occupied = 13,
    DoNotDisturb = 14,
};

} // namespace Protocols
