// The application's globals: the main window's handles and the long-lived
// components, which start-up creates and shut-down deletes, in a fixed order.
// UI thread: only the UI thread writes and reads these fields; the "GUI"
// client hands its changes over by posting to the main window.
#pragma once

#include <windows.h>

#include <map>

#include "MenuInfo.h"
#include "Shell.h"
#include "core/GuiServices.h"

namespace Database {
class CJOVDatabase;
}
namespace JOVSockets {
class CSocketsManagerImpl;
}
namespace CL {
class CContactListImpl;
}
namespace Protocols {
class CProtocolsManagerImpl;
}
namespace Skins {
class CSkinManagerImpl;
}
namespace Alert {
class CAlertManagerImpl;
}
class CCLCtrl;
class CMessageWnd;
class CEventsClientImpl;
class CNotificationsManager;
class CTrayIcon;
class CVersionCheck;

struct AppGlobals {
    HWND hMenuBar;
    HWND hMainWnd;
    MSG msg;
    HINSTANCE hInstance;

    unsigned int clCurrentItemChangedSubscription;
    unsigned int contactDetailsReceivedSubscription;
    unsigned int detailsReceivedSubscription;
    unsigned int statusChangedSubscription;
    unsigned int accountChangedSubscription;
    unsigned int deletedSubscription;
    unsigned int addedSubscription;
    unsigned int loadedSubscription;
    unsigned int lanChangedEventId;
    unsigned int guiClientId;
    HWND hStatusToolbar;

    Database::CJOVDatabase* pDatabase;
    unsigned int databaseServiceId;
    CCLCtrl* pCLCtrl;
    JOVSockets::CSocketsManagerImpl* pSocketsManager;
    CL::CContactListImpl* pContactList;
    Protocols::CProtocolsManagerImpl* pProtocolsManager;
    CMessageWnd* pMessageWnd;
    Skins::CSkinManagerImpl* pSkinManager;
    Alert::CAlertManagerImpl* pAlertManager;
    CNotificationsManager* pNotifications;
    CTrayIcon* pTrayIcon;
    CVersionCheck* pVersionCheck;

    CGuiServices* pServices;
    CEventsClientImpl* pGuiClient;

    std::map<unsigned int, AccountStatus> accountStatusMap;
    CMenuInfo leftMenu;
    CMenuInfo rightMenu;
    SHACTIVATEINFO activateInfo;

    // Open menus point at the descriptions: rebuilding waits until they close.
    int menuLoopDepth;
    bool menuRebuildPending;
    bool closing;
};

extern AppGlobals g_App;

// Own messages of the main window.
constexpr UINT WM_JOV_TRAY = WM_USER + 100;
constexpr UINT WM_JOV_SMILIES_CHANGE = WM_USER + 105;
// The "GUI" client queued changes for the UI thread.
constexpr UINT WM_JOV_GUI_UPDATE = WM_USER + 110;
