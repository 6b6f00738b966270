// What the preferences' pages reach outside themselves: the settings store's
// values of the user interface and the components that own the other values
// (tray icon, contact-list control, notifications, history, messaging window,
// alerts, skin, proxy), each called only for what its page changes. The
// program's own set talks to the components start-up made; tests put fakes
// in its place.
// UI thread.
#pragma once

#include <windows.h>

#include "AlertManager.h"
#include "JOVString.h"
#include "SocketParams.h"
#include "core/alerts/AlertOptions.h"
#include "core/notify/Notifications.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/MessageWndSettings.h"

// The three settings dialogs of the messaging window.
enum MessagingSettingsDialog { MessagingChatDialog = 0, MessagingEditDialog = 1, MessagingControlsDialog = 2 };

class CPreferencesOwners {
public:
    // 8-bit values of the section GUID_GUI; false when missing.
    virtual bool GetGuiByte(const wchar_t* name, BYTE* value) = 0;
    virtual void SetGuiByte(const wchar_t* name, BYTE value) = 0;

    virtual bool IsTrayIconEnabled() = 0;
    virtual void ApplyTrayIconSetting(bool show) = 0;

    // The contact-list control's view; without a control, what is stored.
    virtual int GetCLMode() = 0;
    virtual unsigned int GetCLColumns() = 0;
    virtual void SetCLMode(int mode) = 0;
    virtual void SetCLOnlineOnly(BYTE on) = 0;
    virtual void SetCLColumns(unsigned int columns) = 0;

    // False without a notifications manager.
    virtual bool GetNotificationOptions(NotificationOptions* out) = 0;
    virtual void SetNotificationOptions(const NotificationOptions& options) = 0;

    virtual bool GetHistorySaving(int kind) = 0;
    virtual void SetHistorySaving(int kind, bool save) = 0;
    virtual MessageWndSettings::HistoryView GetHistoryView() = 0;
    virtual void SetHistoryView(const MessageWndSettings::HistoryView& view) = 0;
    virtual void OpenMessagingSettings(HWND parent, MessagingSettingsDialog dialog) = 0;

    // Both null without an alert manager.
    virtual Alert::CAlertManager* GetAlerts() = 0;
    virtual Alert::CAlertOptions* GetAlertOptions() = 0;

    // False without a skin manager.
    virtual bool GetSkinChoice(Skins::SkinChoice* out) = 0;
    virtual void ApplySkinChoice(const Skins::SkinChoice& choice) = 0;
    virtual void OpenSkinColors(HWND parent, const CJOVString& skin) = 0;
    // Where "Skins", "Smilies", "Langs" and "Sounds" are, with its trailing backslash.
    virtual CJOVString GetProgramFolder() = 0;

    // False without a sockets manager.
    virtual bool GetProxySettings(JOVSockets::SocketParams* out) = 0;
    virtual void SetProxySettings(const JOVSockets::SocketParams& params) = 0;

protected:
    ~CPreferencesOwners() = default;
};

// The set in use: the program's unless a test set another.
CPreferencesOwners& PreferencesOwners();
// Null goes back to the program's.
void SetPreferencesOwners(CPreferencesOwners* owners);
