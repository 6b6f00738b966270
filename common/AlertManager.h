// The alert service of the plug-ins and windows, served on the bus under
// GUID_AlertManager: a table of alerts (a sound file and a use flag each) that
// callers play by identifier. Alerts 1 to 4 are the program's own: start-up,
// incoming message, message sent, contact online. Any thread may call it.
#pragma once

#include "JOVGuid.h"
#include "JOVString.h"

namespace Alert {

struct AlertInfo {
    JOV_GUID owner{};      // all zero for the program's own alerts
    unsigned int name = 0; // id of the display name in the program's language file
    CJOVString wavPath;    // full path; empty = no sound
    int use = 0;           // non-zero when switched on
};

constexpr unsigned int kAlertStartUp = 1;
constexpr unsigned int kAlertIncomingMessage = 2;
constexpr unsigned int kAlertMessageSent = 3;
constexpr unsigned int kAlertContactOnline = 4;

class CAlertManager {
public:
    // The new alert's id, or 0 when one with the same owner and name exists.
    virtual unsigned int RegisterAlert(const AlertInfo* info) = 0;
    // False for the program's own alerts (ids below 1000) and unknown ids.
    virtual bool UnregisterAlert(unsigned int alertId) = 0;
    virtual bool GetAlert(unsigned int alertId, AlertInfo* out) = 0;
    // 0 when none matches.
    virtual unsigned int FindAlert(JOV_GUID owner, unsigned int name) = 0;
    // True when the alert exists and was not suppressed.
    virtual bool PlayAlert(unsigned int alertId) = 0;

protected:
    // Only the main program destroys the service.
    ~CAlertManager() = default;
};

} // namespace Alert
