#include "core/StartUp.h"

#include <commctrl.h>

#include <new>

#include "Core.h"
#include "EventNames.h"
#include "HiDpi.h"
#include "MenuBar.h"
#include "Screen.h"
#include "ServiceIds.h"
#include "Trace.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/PreferencesDlg.h"
#include "core/AppGlobals.h"
#include "core/AppGuiServices.h"
#include "core/alerts/AlertManagerImpl.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/skins/AppSkinHost.h"
#include "core/skins/DialogSkinAdapter.h"
#include "core/skins/SkinManagerImpl.h"
#include "core/JOVResource.h"
#include "core/MainMenu.h"
#include "core/MainWindow.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/ProxySettings.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "core/StatusToolbar.h"
#include "core/notify/NotificationsManager.h"
#include "core/notify/NotifyServices.h"
#include "core/notify/TrayIcon.h"
#include "messaging/MessageWnd.h"

namespace {

const int kTextLength = 100;
const int kContactsControlId = 2;
const int kNoAccountPreferencesPage = 8;

CAppGuiServices s_services;
CEventsClientImpl s_guiClient(s_services);
Skins::CAppSkinHost s_skinHost;
Skins::CDialogSkinAdapter* s_dialogSkin = nullptr;

bool InitControls()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES | ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&controls))
        return false;
    SHInitExtraControls();
    return true;
}

bool BringRunningInstanceForward(const wchar_t* className, const wchar_t* title)
{
    HWND running = FindWindowW(className, title);
    if (!running)
        return false;
    // The low bit brings forward a dialog open over the window.
    Platform::SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(running) | 1));
    return true;
}

void CreateDatabase()
{
    g_App.pDatabase = new (std::nothrow) Database::CJOVDatabase;
    if (g_App.pDatabase)
        g_App.databaseServiceId = g_ServicesManager.RegisterService(::GUID_Database, g_App.pDatabase);
}

void DeleteDatabase()
{
    if (!g_App.pDatabase)
        return;
    g_ServicesManager.UnregisterService(g_App.databaseServiceId);
    delete g_App.pDatabase;
    g_App.pDatabase = nullptr;
}

bool CreateMainWindow(const wchar_t* className, const wchar_t* title)
{
    RECT screen = Platform::GetScreenRect();
    g_App.hMainWnd = CreateWindowExW(0, className, title, WS_POPUP | WS_VISIBLE, screen.left, screen.top,
                                     screen.right - screen.left, screen.bottom - screen.top, nullptr, nullptr,
                                     g_App.hInstance, nullptr);
    if (!g_App.hMainWnd)
        return false;
    if (g_App.hMenuBar) {
        RECT window, bar;
        GetWindowRect(g_App.hMainWnd, &window);
        GetWindowRect(g_App.hMenuBar, &bar);
        MoveWindow(g_App.hMainWnd, window.left, window.top, window.right - window.left,
                   window.bottom - window.top - (bar.bottom - bar.top), FALSE);
    }
    g_App.hStatusToolbar = CreateStatusToolbar(g_App.hMainWnd);
    return true;
}

// It creates the localization and starts loading the smilies set.
void CreateSkinManager()
{
    g_App.pSkinManager = new (std::nothrow) Skins::CSkinManagerImpl(&g_ServicesManager, &s_skinHost);
    if (g_App.pSkinManager) {
        s_dialogSkin = new (std::nothrow) Skins::CDialogSkinAdapter(*g_App.pSkinManager, GetAppDir());
        SetDialogSkin(s_dialogSkin);
    }
}

// Saves its settings into the store, which is deleted after it.
void DeleteSkinManager()
{
    SetDialogSkin(nullptr);
    delete s_dialogSkin;
    s_dialogSkin = nullptr;
    delete g_App.pSkinManager;
    g_App.pSkinManager = nullptr;
}

// Before the model and the manager, so that it hears every account and
// contact they announce on "Loaded".
void CreateContactsWindow()
{
    g_App.pCLCtrl = new (std::nothrow) CCLCtrl(g_ServicesManager);
    if (!g_App.pCLCtrl)
        return;
    g_App.pCLCtrl->SetNotifications(g_App.pNotifications);
    RECT client;
    GetClientRect(g_App.hMainWnd, &client);
    // Above the status toolbar, as WM_SIZE places it later: made after the
    // toolbar, the list would cover it until then.
    RECT toolbar = {};
    if (g_App.hStatusToolbar)
        GetWindowRect(g_App.hStatusToolbar, &toolbar);
    client.bottom -= toolbar.bottom - toolbar.top;
    g_App.pCLCtrl->CreateWnd(WS_VISIBLE | WS_TABSTOP, client, g_App.hMainWnd, kContactsControlId);
    SetFocus(g_App.pCLCtrl->GetWnd());
}

// After the messaging window, which the control no longer reaches.
void DeleteContactsWindow()
{
    delete g_App.pCLCtrl;
    g_App.pCLCtrl = nullptr;
}

// The model subscribes to "Loaded" before the manager, so it has joined
// "Added" before any account is announced.
void CreateNetworkAndAccounts()
{
    g_App.pSocketsManager = new (std::nothrow) JOVSockets::CSocketsManagerImpl(g_ServicesManager);
    g_App.pContactList = new (std::nothrow) CL::CContactListImpl(g_ServicesManager);
    g_App.pProtocolsManager =
        new (std::nothrow) Protocols::CProtocolsManagerImpl(&g_ServicesManager, GetWarningHost());
    if (g_App.pContactList)
        g_App.pContactList->SetAccountDirectory(g_App.pProtocolsManager);
    if (g_App.pContactList && g_App.pProtocolsManager)
        g_App.pProtocolsManager->SetStoredLists(g_App.pContactList);
}

// The model saves while the accounts still answer; the manager saves the
// accounts while the store is still registered.
void DeleteNetworkAndAccounts()
{
    if (g_App.pProtocolsManager)
        g_App.pProtocolsManager->SetStoredLists(nullptr);
    delete g_App.pContactList;
    g_App.pContactList = nullptr;
    delete g_App.pProtocolsManager;
    g_App.pProtocolsManager = nullptr;
    delete g_App.pSocketsManager;
    g_App.pSocketsManager = nullptr;
}

void RegisterGuiClient()
{
    g_App.pGuiClient = &s_guiClient;
    g_App.guiClientId = g_ServicesManager.RegisterEventsClient(&s_guiClient, L"GUI");
    s_guiClient.Attach(&g_ServicesManager, g_App.guiClientId, g_App.hMainWnd);
    g_App.lanChangedEventId = g_ServicesManager.DeclareEvent(GUID_GUI, EVENT_LanChanged);
    g_App.loadedSubscription = g_ServicesManager.Subscribe(GUID_ServicesManager, EVENT_Loaded, g_App.guiClientId);
}

// Waits for a handler still running: nothing of the client runs after this.
void StopGuiClient()
{
    if (g_App.guiClientId)
        g_ServicesManager.UnregisterEventsClient(g_App.guiClientId);
    g_App.guiClientId = 0;
    s_services.StopVersionCheck();
}

void CreateMessageWindow()
{
    g_App.pMessageWnd = new (std::nothrow) CMessageWnd(g_App.hMainWnd);
    if (g_App.pMessageWnd)
        g_App.pMessageWnd->Create();
    if (g_App.pCLCtrl)
        g_App.pCLCtrl->SetChatPages(g_App.pMessageWnd);
}

// The control stops first: no handler of it reaches the window after this.
void DeleteMessageWindow()
{
    if (g_App.pCLCtrl)
        g_App.pCLCtrl->Stop();
    delete g_App.pMessageWnd;
    g_App.pMessageWnd = nullptr;
}

} // namespace

void InitHiDpiScale()
{
    HIDPI_InitScaling();
}

CEventsClientImpl& GuiClient()
{
    return s_guiClient;
}

BOOL InitInstance(HINSTANCE instance, int showCommand)
{
    InitHiDpiScale();
    g_App.hInstance = instance;
    g_App.pServices = &s_services;
    if (!InitControls())
        return FALSE;
    TraceMark(L"controls registered");
    wchar_t title[kTextLength] = L"JOV";
    wchar_t className[kTextLength] = L"JOV";
    LoadStringW(instance, IDS_APP_TITLE, title, kTextLength);
    LoadStringW(instance, IDS_APP_CLASS, className, kTextLength);
    if (BringRunningInstanceForward(className, title))
        return FALSE;
    if (!RegisterMainWindowClass(instance, className))
        return FALSE;
    HCURSOR previousCursor = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));

    CreateDatabase();
    TraceMark(L"store read");
    if (!CreateMainWindow(className, title))
        return FALSE;
    TraceMark(L"main window made");
    CreateSkinManager();
    TraceMark(L"skins made");
    CreateAlertsAndNotifications(g_ServicesManager);
    TraceMark(L"alerts made");
    CreateContactsWindow();
    TraceMark(L"list window made");
    RegisterGuiClient();
    CreateNetworkAndAccounts();
    TraceMark(L"services made");
    g_ServicesManager.FireLoaded();
    TraceMark(L"loaded");

    ShowWindow(g_App.hMainWnd, showCommand);
    UpdateWindow(g_App.hMainWnd);
    TraceMark(L"main window shown");
    g_App.hMenuBar = BuildMainMenu(g_App.hMenuBar);
    TraceMark(L"menu built");
    // A timer's message comes after the paints: see FinishStartUp.
    SetTimer(g_App.hMainWnd, kFinishStartUpTimer, 0, nullptr);
    SetWindowPos(g_App.hMenuBar, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    if (g_App.pCLCtrl)
        SetFocus(g_App.pCLCtrl->GetWnd());
    SetCursor(previousCursor);
    TraceMark(L"start-up done");
    if (s_services.GetAccountCount() == 0)
        ShowPreferences(g_App.hMainWnd, kNoAccountPreferencesPage);
    return TRUE;
}

void SaveSettingsNow()
{
    if (!g_App.pDatabase || g_App.closing)
        return;
    if (g_App.pMessageWnd)
        g_App.pMessageWnd->GetSettings().Save();
    if (g_App.pNotifications)
        g_App.pNotifications->StoreOptions();
    if (g_App.pAlertManager)
        g_App.pAlertManager->StoreSettings();
    if (g_App.pContactList)
        g_App.pContactList->Save();
    if (g_App.pProtocolsManager)
        g_App.pProtocolsManager->StoreAccounts();
    if (g_App.pSocketsManager)
        JOVSockets::SaveProxySettings(g_ServicesManager, g_App.pSocketsManager->GetProxySettings());
    if (g_App.pSkinManager)
        g_App.pSkinManager->SaveSettings();
    g_App.pDatabase->Save();
}

void FinishStartUp()
{
    // Accounts go online only when asked, after start-up: no chat entry can
    // reach the list control before this.
    if (g_App.closing || g_App.pMessageWnd)
        return;
    CreateMessageWindow();
    TraceMark(L"messaging window made");
}

void ShutDown()
{
    TraceFlush();
    g_App.closing = true;
    RemoveTrayIcon();
    StopGuiClient();
    DeleteMessageWindow();
    DeleteContactsWindow();
    DeleteAlertsAndNotifications();
    DeleteNetworkAndAccounts();
    DeleteSkinManager();
    DeleteDatabase();
}
