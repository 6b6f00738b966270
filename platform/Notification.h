// Notification bubbles. The shell layer draws them itself: one at a time,
// across the upper part of the screen, with an icon, a title and a body in a
// small HTML subset (see BubbleLayout.h), and the bubble's soft keys on a bar
// of its own along the bottom. A soft key posts WM_COMMAND (wParam: the key's
// command) to the notification's sink window. "Straight to tray" keeps the
// notification without a pop-up.
//
// Any thread may call these, threads that pump no messages included: the
// bubble's window lives on a thread of the shell layer that does.
#pragma once

#include <windows.h>

#include <string>

#include "PlatformApi.h"

#define SHNP_INFORM 0x1B1
#define SHNP_ICONIC 0x1B2

#define SHNF_STRAIGHTTOTRAY 0x00000001
#define SHNF_CRITICAL 0x00000002
#define SHNF_FORCEMESSAGE 0x00000008
#define SHNF_DISPLAYON 0x00000010
#define SHNF_SILENT 0x00000020
#define SHNF_HASMENU 0x00000040

#define NOTIF_NUM_SOFTKEYS 2
#define NOTIF_SOFTKEY_FLAGS_DISMISS 0x0000
#define NOTIF_SOFTKEY_FLAGS_HIDE 0x0001
#define NOTIF_SOFTKEY_FLAGS_STAYOPEN 0x0002
#define NOTIF_SOFTKEY_FLAGS_DISABLED 0x0008

#define SHNUM_PRIORITY 0x0001
#define SHNUM_DURATION 0x0002
#define SHNUM_ICON 0x0004
#define SHNUM_HTML 0x0008
#define SHNUM_TITLE 0x0010
#define SHNUM_SOFTKEYS 0x0020
#define SHNUM_TODAYKEY 0x0040
#define SHNUM_TODAYEXEC 0x0080
#define SHNUM_SOFTKEYCMDS 0x0100
#define SHNUM_FLAGS 0x0200

#ifndef RC_INVOKED

struct SOFTKEYCMD {
    WPARAM wpCmd;
    DWORD grfFlags;  // NOTIF_SOFTKEY_FLAGS_*
};

struct SOFTKEYNOTIFY {
    LPCWSTR pszTitle;
    SOFTKEYCMD skc;
};

struct SOFTKEYMENU {
    HMENU hMenu;
    SOFTKEYCMD* prgskc;
    UINT cskc;
};

struct SHNOTIFICATIONDATA {
    DWORD cbStruct;      // sizeof(SHNOTIFICATIONDATA)
    DWORD dwID;
    DWORD npPriority;    // SHNP_*
    DWORD csDuration;    // seconds; (DWORD)-1 for as long as it is not removed
    HICON hicon;
    DWORD grfFlags;      // SHNF_*
    CLSID clsid;         // with dwID, names the notification
    HWND hwndSink;
    LPCWSTR pszHTML;
    LPCWSTR pszTitle;
    LPARAM lParam;
    union {
        SOFTKEYMENU skm;  // SHNF_HASMENU: not drawn here
        SOFTKEYNOTIFY rgskn[NOTIF_NUM_SOFTKEYS];
    };
    LPCWSTR pszTodaySK;
    LPCWSTR pszTodayExec;
};

extern "C" {

// ERROR_SUCCESS, or ERROR_INVALID_PARAMETER (bad record), ERROR_ALREADY_EXISTS
// (that clsid and id are there).
JOV_PLATFORM_API LRESULT WINAPI SHNotificationAdd(SHNOTIFICATIONDATA* data);
// Changes the fields the SHNUM_* mask names. ERROR_NOT_FOUND when absent.
JOV_PLATFORM_API LRESULT WINAPI SHNotificationUpdate(DWORD mask, SHNOTIFICATIONDATA* data);
JOV_PLATFORM_API LRESULT WINAPI SHNotificationRemove(const CLSID* clsid, DWORD id);
// The record without its texts: the string fields come back null.
JOV_PLATFORM_API LRESULT WINAPI SHNotificationGetData(const CLSID* clsid, DWORD id, SHNOTIFICATIONDATA* data);

} // extern "C"

namespace Platform {

struct NotificationState {
    HWND sink = nullptr;
    DWORD flags = 0;
    DWORD priority = 0;
    HICON icon = nullptr;  // the caller's handle
    std::wstring title;
    std::wstring html;
    std::wstring keyTitles[NOTIF_NUM_SOFTKEYS];
    WPARAM keyCommands[NOTIF_NUM_SOFTKEYS] = {};
    DWORD keyFlags[NOTIF_NUM_SOFTKEYS] = {};
    bool poppedUp = false;  // shown as a bubble now
};

JOV_PLATFORM_API int GetNotificationCount();
JOV_PLATFORM_API bool GetNotificationState(const CLSID& clsid, DWORD id, NotificationState* state);
// The bubble on the screen, its soft-key bar; null when none is shown.
JOV_PLATFORM_API HWND GetBubbleWindow();
JOV_PLATFORM_API HWND GetBubbleSoftKeyBar();

} // namespace Platform

#endif
