// The tray icon: the overall status of all accounts in the shell's
// notification area; a tap brings the program to the front. The setting
// "Show tray icon" (section GUID_GUI) switches it on and off.
// UI thread and the "GUI" client's queue thread; one lock guards the state.
#pragma once

#include <windows.h>

#include <mutex>

#include "JOVArray.h"
#include "ServicesManager.h"
#include "core/notify/NotifyHost.h"

class CTrayIcon {
public:
    static constexpr UINT kIconId = 5999;
    static constexpr UINT kCallbackMessage = WM_USER + 100;

    CTrayIcon(Services::CServicesManager* bus, CNotifyHost& host);
    // Leaves the icon as it is: shut-down removes it first, with Remove.
    ~CTrayIcon() = default;
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // "Show tray icon"; true when the store or the key is missing.
    bool IsEnabled();
    // Shows the overall status (adds the icon, or changes it); nothing when disabled.
    void Update();
    void Remove();
    // Stores the setting, then adds or removes the icon to match.
    void ApplySetting(bool show);
    // The main window's tray message: a stylus-down on our icon brings the
    // program to the front; anything else is ignored.
    void OnMessage(unsigned int id, unsigned int mouseMessage);
    bool IsShown();

private:
    Services::CServicesManager* m_bus;
    CNotifyHost& m_host;
    std::mutex m_lock;
    bool m_shown;
};

// The status icon: a 16-unit square (the screen's density), the images drawn
// over one another, black left transparent.
HICON CreateStatusTrayIcon(CNotifyHost& host, const CJOVArray<unsigned int>& images);

// The program's tray icon, as start-up made it (null before and after).
void SetTrayIcon(CTrayIcon* icon);
bool IsTrayIconEnabled();
void UpdateTrayIcon();
void RemoveTrayIcon();
void ApplyTrayIconSetting(bool show);
void OnTrayIconMessage(unsigned int id, unsigned int mouseMessage);
