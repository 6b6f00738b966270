// One item of an account's server-side contact list, with what the account
// adds to it: its place in the program's contact-list model and, for buddies,
// the presence last heard.
#pragma once

#include "TLV.h"
#include "packets/SSIItem.h"
#include "protocols/Status.h"

enum RosterItemType : unsigned short {
    kRosterBuddy = 0,
    kRosterGroup = 1,
    kRosterVisible = 2,
    kRosterInvisible = 3,
    kRosterPrivacy = 4,
    kRosterIgnore = 14,
};

struct RosterItem : public SSIItem {
    RosterItem() {}
    explicit RosterItem(const SSIItem& item) : SSIItem(item) {}

    unsigned int contactId = 0;  // group or contact in the model; 0 none
    Protocols::Status status = Protocols::StatusOffline;
    CTLVCol onlineData;  // TLVs of the last online notice
    bool authorizationAsked = false;
};
