// The shell's notification area (the tray). There is no task bar here: the
// shell layer keeps the icons itself, so that tests can read them and tap
// them; a tap posts the icon's callback message to its window, with the
// icon's id as wParam and the mouse message as lParam.
// Any thread.
#pragma once

#include <windows.h>

#include "PlatformApi.h"

#ifdef Shell_NotifyIcon
#undef Shell_NotifyIcon
#endif

#ifndef NIM_ADD
#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#endif
#ifndef NIF_MESSAGE
#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004
#endif

#ifndef RC_INVOKED

namespace Platform {

struct NOTIFYICONDATA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    WCHAR szTip[64];
};

// The shell keeps its own copy of the icon: the caller may destroy its own
// once the call has returned. NIM_ADD fails for an icon already there,
// NIM_MODIFY and NIM_DELETE for one that is not.
JOV_PLATFORM_API BOOL Shell_NotifyIcon(DWORD message, NOTIFYICONDATA* data);

struct TrayIconState {
    UINT callbackMessage;
    HICON icon;       // the shell's copy; valid until the icon changes
    WCHAR tip[64];
};

// False when the window has no icon of that id.
JOV_PLATFORM_API bool GetTrayIcon(HWND window, UINT id, TrayIconState* state);
JOV_PLATFORM_API int GetTrayIconCount();
// Posts the icon's callback message as a tap would (mouseMessage e.g.
// WM_LBUTTONDOWN); false when there is no such icon.
JOV_PLATFORM_API bool TapTrayIcon(HWND window, UINT id, UINT mouseMessage);

} // namespace Platform

#endif
