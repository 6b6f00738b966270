// One chat entry on its way from the contact-list control or the history
// reader to the messaging window and the chat content. Plain data: receivers
// copy what they need and never keep the record; its builder frees it.
#pragma once

#include "JOVString.h"

struct SMessage {
    enum Kind : unsigned int { Incoming = 0, Outgoing = 1, Service = 2, HistorySeparator = 3 };

    unsigned int kind;  // left unset: whoever builds a record sets every field
    int subKind;        // skin image id of the entry's icon
    CJOVString nick;    // sender's name; a service entry's text
    CJOVString time;    // exactly as shown, brackets included
    CJOVString text;    // empty for a service entry and a separator
};
