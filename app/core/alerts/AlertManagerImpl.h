// The alert service: a table of alerts (the four standard ones, from the
// user's settings or the sound scheme, and those registered later), the
// user's alert settings and the vibration pulser. Registered on the bus under
// GUID_AlertManager, which is also the section of its settings; it reads them
// when created and stores them when deleted.
//
// PlayAlert runs on the queue threads of the contact-list window and the GUI
// client and on the UI thread; one critical section guards the table and the
// settings. Sounds are asynchronous: no caller waits.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

#include "AlertManager.h"
#include "ServicesManager.h"
#include "core/alerts/AlertOptions.h"
#include "core/alerts/Vibrator.h"

namespace Alert {

// What the manager reaches outside itself; tests replace parts of it.
struct AlertEnvironment {
    // With its trailing backslash; empty: the program's folder.
    CJOVString programFolder;
    // The overall status (account 0); empty: asked of the protocol plug-in
    // manager on the bus. False when it cannot be had.
    std::function<bool(int* status)> overallStatus;
    VibratorTimings vibratorTimings;
};

class CAlertManagerImpl final : public CAlertManager, public CAlertOptions {
public:
    // PlaySoundW flags: file name, asynchronous, no default sound, a sound
    // still playing is not cut off.
    static constexpr DWORD kSoundFlags = 0x20013;

    explicit CAlertManagerImpl(Services::CServicesManager* bus, const AlertEnvironment& environment = {});
    ~CAlertManagerImpl();
    CAlertManagerImpl(const CAlertManagerImpl&) = delete;
    CAlertManagerImpl& operator=(const CAlertManagerImpl&) = delete;

    unsigned int RegisterAlert(const AlertInfo* info) override;
    bool UnregisterAlert(unsigned int alertId) override;
    bool GetAlert(unsigned int alertId, AlertInfo* out) override;
    unsigned int FindAlert(JOV_GUID owner, unsigned int name) override;
    bool PlayAlert(unsigned int alertId) override;

    void GetAlertIds(CJOVArray<unsigned int>* out) override;
    void SetAlertSound(unsigned int alertId, const CJOVString& wavPath, int use) override;
    AlertSettings GetSettings() override;
    void SetSettings(const AlertSettings& settings) override;
    bool LoadScheme() override;

    CVibrator* GetVibrator() { return m_vibrator.get(); }
    // Puts the options and the alerts into the settings store (the
    // destructor does too).
    void StoreSettings();

private:
    // Callers hold the lock.
    unsigned int FindLocked(const JOV_GUID& owner, unsigned int name) const;
    bool LoadSchemeLocked();
    void LoadSettings();
    bool QuietForStatus();
    CJOVString SchemeFolder() const;

    Services::CServicesManager* m_bus;
    unsigned int m_serviceId;
    std::map<unsigned int, AlertInfo> m_alerts;
    CRITICAL_SECTION m_lock;
    AlertSettings m_settings;
    std::unique_ptr<CVibrator> m_vibrator;
    AlertEnvironment m_environment;
};

} // namespace Alert
