#include "core/notify/NotifyServices.h"

#include <new>

#include "contactlist/CLCtrl.h"
#include "core/AppGlobals.h"
#include "core/alerts/AlertManagerImpl.h"
#include "core/notify/AppNotifyHost.h"
#include "core/notify/NotificationsManager.h"
#include "core/notify/TrayIcon.h"
#include "core/notify/VersionCheck.h"
#include "core/notify/WarningHost.h"

namespace {

CAppNotifyHost s_notifyHost;
CWarningHost s_warningHost;

} // namespace

void CreateAlertsAndNotifications(Services::CServicesManager& bus)
{
    g_App.pAlertManager = new (std::nothrow) Alert::CAlertManagerImpl(&bus);
    g_App.pNotifications = new (std::nothrow) CNotificationsManager(&bus, s_notifyHost);
    if (g_App.pNotifications)
        g_App.pNotifications->SetAnswerCallback(OnBubbleAnswer);
    s_warningHost.SetNotifications(g_App.pNotifications);
    g_App.pTrayIcon = new (std::nothrow) CTrayIcon(&bus, s_notifyHost);
    SetTrayIcon(g_App.pTrayIcon);
    g_App.pVersionCheck = new (std::nothrow) CVersionCheck(&bus, [](int build) {
        // Stopped before the notifications go, so the manager is there.
        if (g_App.pNotifications)
            g_App.pNotifications->AddNewVersionNotification(build);
    });
}

// Nothing may add a notice once its manager is going: the accounts' warnings
// are cut off first.
void DeleteAlertsAndNotifications()
{
    s_warningHost.SetNotifications(nullptr);
    delete g_App.pVersionCheck;
    g_App.pVersionCheck = nullptr;
    SetTrayIcon(nullptr);
    delete g_App.pTrayIcon;
    g_App.pTrayIcon = nullptr;
    delete g_App.pNotifications;
    g_App.pNotifications = nullptr;
    delete g_App.pAlertManager;
    g_App.pAlertManager = nullptr;
}

Protocols::CProtocolsManagerHost* GetWarningHost()
{
    return &s_warningHost;
}
