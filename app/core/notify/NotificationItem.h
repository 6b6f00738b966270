// One notice waiting for, or on, display.
#pragma once

#include "JOVString.h"

enum NotificationKind {
    kNoticeWarning = 0,
    kNoticeStatus = 1,         // a contact signing on or off, or the program's news
    kNoticeMessage = 2,
    kNoticeMessageShown = 3,   // a message already shown once, waiting in the tray
};

struct NotificationItem {
    unsigned int serial = 0;    // the caller's number, handed to the answer callback; 0 for none
    int kind = kNoticeWarning;
    unsigned int contactId = 0; // 0 for none
    int imageId = 0;            // skin image of the bubble's icon
    CJOVString title;
    CJOVString html;
    // The news of a newer build shows as a status notice but waits with the warnings.
    bool news = false;
};
