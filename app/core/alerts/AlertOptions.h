// What the sound options page uses of the alert manager: the alert ids, each
// alert's sound and use flag, and the four settings, which the manager stores
// when it ends. UI thread (the manager guards itself).
#pragma once

#include <windows.h>

#include "JOVArray.h"
#include "JOVString.h"

namespace Alert {

struct AlertSettings {
    BOOL disableSounds = FALSE;
    BOOL disableVibrate = FALSE;
    // Silent while the overall status is Not Available or Occupied.
    BOOL useSoftMode = FALSE;
    CJOVString scheme;  // a folder under "Sounds"
};

class CAlertOptions {
public:
    // Every alert id, ascending.
    virtual void GetAlertIds(CJOVArray<unsigned int>* out) = 0;
    // Nothing for an unknown id.
    virtual void SetAlertSound(unsigned int alertId, const CJOVString& wavPath, int use) = 0;
    virtual AlertSettings GetSettings() = 0;
    virtual void SetSettings(const AlertSettings& settings) = 0;
    // Empties the table and takes the four standard alerts from the current
    // scheme; true when all four were read.
    virtual bool LoadScheme() = 0;

protected:
    ~CAlertOptions() = default;
};

} // namespace Alert
