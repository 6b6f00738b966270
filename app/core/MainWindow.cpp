#include "core/MainWindow.h"

#include <commctrl.h>

#include "MenuBar.h"
#include "ServiceIds.h"
#include "contactlist/AboutDlg.h"
#include "contactlist/ContactDetailsDlg.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/OwnerDrawnMenu.h"
#include "contactlist/PreferencesDlg.h"
#include "contactlist/UserDetailsDlg.h"
#include "core/AppGlobals.h"
#include "core/EventsClientImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/JOVResource.h"
#include "core/MainMenu.h"
#include "core/StartUp.h"
#include "core/notify/TrayIcon.h"
#include "core/StatusToolbar.h"
#include "messaging/MessageWnd.h"

namespace {

const DWORD kHideAll = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;
const DWORD kShowAll = SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON;

void OnCreate(HWND window)
{
    SHMENUBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.hwndParent = window;
    bar.dwFlags = SHCMBF_HIDESIPBUTTON;
    bar.nToolBarId = IDR_MAIN_MENUBAR;
    bar.hInstRes = g_App.hInstance;
    if (SHCreateMenuBar(&bar))
        g_App.hMenuBar = bar.hwndMB;
    g_App.activateInfo = SHACTIVATEINFO{};
    g_App.activateInfo.cbSize = sizeof(SHACTIVATEINFO);
}

void OnSize(int width, int height)
{
    RECT toolbar = {};
    if (g_App.hStatusToolbar)
        GetWindowRect(g_App.hStatusToolbar, &toolbar);
    int toolbarHeight = toolbar.bottom - toolbar.top;
    if (g_App.pCLCtrl)
        SetWindowPos(g_App.pCLCtrl->GetWnd(), nullptr, 0, 0, width, height - toolbarHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    if (g_App.hStatusToolbar)
        SetWindowPos(g_App.hStatusToolbar, nullptr, 0, height - toolbarHeight, width, toolbarHeight,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
}

void OnActivate(HWND window, WPARAM wParam, LPARAM lParam)
{
    SHHandleWMActivate(window, wParam, lParam, &g_App.activateInfo, 0);
    unsigned char fullScreen = 0;
    if (!g_App.pDatabase || !g_App.pDatabase->GetByte(GUID_GUI, L"Full screen", &fullScreen) || !fullScreen)
        return;
    if (LOWORD(wParam) != WA_INACTIVE) {
        RECT rect;
        GetWindowRect(window, &rect);
        SHFullScreen(window, kHideAll);
        MoveWindow(window, 0, 0, rect.right, rect.bottom, TRUE);
    } else {
        SHFullScreen(window, kShowAll);
    }
}

bool IsAccountDetailsCommand(UINT command)
{
    return command >= kCmdFirstAccountDetails && command < static_cast<UINT>(kFirstMenuCommand) &&
           g_App.pServices &&
           static_cast<int>(command - kCmdFirstAccountDetails) < g_App.pServices->GetAccountCount();
}

bool IsItemMenuCommand(UINT command)
{
    return (command >= 1000 && command <= 1099) || (command >= 2000 && command <= 2099) ||
           (command >= 4000 && command <= 4099) || command >= static_cast<UINT>(kFirstMenuCommand);
}

// False when the default procedure should have the command.
bool OnCommand(HWND window, UINT command)
{
    if (command == kCmdQuit) {
        SendMessageW(window, WM_CLOSE, 0, 0);
    } else if (command == kCmdAbout) {
        CAboutDlg about(window);
        about.DoModal();
    } else if (command == kCmdPreferences) {
        ShowPreferences(window, 0);
    } else if (IsAccountDetailsCommand(command)) {
        unsigned int accountId = g_App.pServices->GetAccountId(static_cast<int>(command - kCmdFirstAccountDetails));
        if (accountId)
            ShowUserDetails(window, accountId);
    } else if (command >= kFirstStatusButtonCommand && command <= kLastStatusButtonCommand) {
        if (g_App.pServices)
            ShowStatusMenu(window, g_App.hStatusToolbar, command, *g_App.pServices);
    } else if (IsItemMenuCommand(command)) {
        // Items the accounts add have no command of their own: they are
        // numbered from kFirstMenuCommand, and run like the item list's own.
        unsigned int subject = g_App.pCLCtrl ? g_App.pCLCtrl->GetCurrentItemId() : 0;
        if (!RunMenuItemHandler(GetRightSoftKeyMenu(g_App.hMenuBar), command, subject))
            return command < static_cast<UINT>(kFirstMenuCommand);
    } else {
        return false;
    }
    return true;
}

} // namespace

ATOM RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className)
{
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_JOV));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = className;
    return RegisterClassW(&wc);
}

void ApplyGuiUpdates()
{
    if (g_App.closing || !g_App.pGuiClient)
        return;
    if (g_App.menuLoopDepth > 0) {
        g_App.menuRebuildPending = true;
        return;
    }
    for (GuiUpdate& update : g_App.pGuiClient->TakeUpdates()) {
        switch (update.kind) {
        case GuiUpdate::SetStatus:
            UpdateAccountStatusButton(g_App.hStatusToolbar, update.accountId, update.status);
            if (update.accountId == 0 && g_App.pServices)
                g_App.pServices->RefreshTrayIcon();
            break;
        case GuiUpdate::RemoveButton:
            RemoveToolbarButton(g_App.hStatusToolbar, update.accountId);
            break;
        case GuiUpdate::RebuildMenu:
            g_App.hMenuBar = ApplyMainMenu(g_App.hMenuBar, update.leftMenu);
            break;
        case GuiUpdate::LangChanged:
            if (g_App.pMessageWnd)
                PostMessageW(g_App.pMessageWnd->GetWnd(), WM_JOV_LANG_CHANGED, 0, 0);
            break;
        case GuiUpdate::ReloadUserDetails:
            RefreshUserDetails(update.accountId);
            break;
        case GuiUpdate::ReloadContactDetails:
            RefreshContactDetails(update.accountId);
            break;
        }
    }
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_DESTROY:
        if (g_App.hMenuBar)
            DestroyWindow(g_App.hMenuBar);
        g_App.hMenuBar = nullptr;
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        OnActivate(window, wParam, lParam);
        return 0;
    case WM_SETFOCUS:
        if (g_App.pCLCtrl)
            SetFocus(g_App.pCLCtrl->GetWnd());
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(window, wParam, lParam, &g_App.activateInfo);
        return 0;
    case WM_DRAWITEM:
        if (wParam != 0)
            return 0;
        return DrawMenuItem(window, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM:
        if (wParam != 0)
            return 0;
        return MeasureMenuItem(window, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == static_cast<UINT_PTR>(kStatusToolbarId) && header->code == NM_CUSTOMDRAW &&
            g_App.pServices)
            return OnStatusToolbarCustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(lParam), *g_App.pServices);
        return 0;
    }
    case WM_COMMAND:
        if (OnCommand(window, LOWORD(wParam)))
            return 0;
        break;
    case WM_ENTERMENULOOP:
        ++g_App.menuLoopDepth;
        break;
    case WM_EXITMENULOOP:
        if (g_App.menuLoopDepth > 0)
            --g_App.menuLoopDepth;
        // Posted: a chosen item's command, posted before, runs first.
        if (g_App.menuLoopDepth == 0 && g_App.menuRebuildPending) {
            g_App.menuRebuildPending = false;
            PostMessageW(window, WM_JOV_GUI_UPDATE, 0, 0);
        }
        break;
    case WM_JOV_GUI_UPDATE:
        ApplyGuiUpdates();
        return 0;
    case WM_TIMER:
        if (wParam != kFinishStartUpTimer)
            break;
        KillTimer(window, wParam);
        FinishStartUp();
        return 0;
    case WM_JOV_TRAY:
        OnTrayIconMessage(static_cast<unsigned int>(wParam), static_cast<unsigned int>(lParam));
        return 0;
    case WM_CLOSE:
        ShutDown();
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
