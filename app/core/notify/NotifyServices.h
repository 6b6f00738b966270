// Start-up and shut-down of the alert manager, the notifications manager,
// the tray icon and the version check (g_App keeps them). UI thread.
#pragma once

#include "ServicesManager.h"
#include "core/protocols/ProtocolsManagerHost.h"

// After the settings store and the main window, before the contact-list control.
void CreateAlertsAndNotifications(Services::CServicesManager& bus);
// After the contact-list control and before the contact-list model; the
// version check must already be stopped (with the GUI client).
void DeleteAlertsAndNotifications();
// The protocol plug-in manager's host: its accounts' warnings become bubbles.
Protocols::CProtocolsManagerHost* GetWarningHost();
