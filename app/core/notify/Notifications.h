// What the contact-list control and the preferences use of the notifications
// manager: message and sign-on/sign-off bubbles, their removal when the chat
// opens, warnings, and the seven options the "Events" page edits. Any thread
// may call it.
#pragma once

#include <windows.h>

#include "JOVString.h"

struct NotificationOptions {
    BOOL turnOff = FALSE;
    BOOL signOn = FALSE;
    BOOL signOff = FALSE;
    BOOL dontBlink = FALSE;
    BOOL showMsg = TRUE;
    BOOL dontShowIfOccupied = FALSE;
    BOOL dontShowIfActive = TRUE;
};

class CNotifications {
public:
    // serial: the caller's number, handed back to the answer callback.
    virtual void AddMessageNotification(unsigned int serial, int imageId, unsigned int contactId,
                                        const CJOVString& text) = 0;
    virtual void AddOnlineNotification(unsigned int contactId) = 0;
    virtual void AddOfflineNotification(unsigned int contactId) = 0;
    // Every waiting notice of the contact goes; the one on display ends.
    virtual void RemoveNotification(unsigned int contactId) = 0;
    // A warning bubble; the text is shown as text, not markup.
    virtual void AddWarningNotification(const CJOVString& text) = 0;
    virtual NotificationOptions GetOptions() = 0;
    // Kept until the manager ends, which stores them.
    virtual void SetOptions(const NotificationOptions& options) = 0;

protected:
    ~CNotifications() = default;
};
