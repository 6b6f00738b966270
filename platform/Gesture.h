// Tap-and-hold recognition: called on a stylus-down, it waits while the
// stylus stays down and still; held long enough, it is the context-menu
// gesture. A right mouse button already down counts as a completed hold.
// UI thread: it reads the caller's message queue while it waits.
#pragma once

#include <windows.h>

#include "PlatformApi.h"

#define SHRG_RETURNCMD 0x0001
#define SHRG_NOTIFYPARENT 0x0002
#define SHRG_LONGDELAY 0x0008
#define SHRG_NOANIMATION 0x0010

#define GN_CONTEXTMENU 1000

#ifndef RC_INVOKED

struct SHRGINFO {
    DWORD cbSize;      // sizeof(SHRGINFO)
    HWND hwndClient;   // the window that got the stylus-down
    POINT ptDown;      // where, in its client coordinates
    DWORD dwFlags;     // SHRG_*
};

// WM_NOTIFY record sent to the parent with SHRG_NOTIFYPARENT (code GN_CONTEXTMENU).
struct NMRGINFO {
    NMHDR hdr;
    POINT ptAction;    // screen coordinates
    DWORD dwItemSpec;
};

extern "C" {

// GN_CONTEXTMENU when the hold completes, else 0 (stylus lifted or moved
// away; those messages stay queued for the caller). On completion, unless
// SHRG_RETURNCMD: SHRG_NOTIFYPARENT sends WM_NOTIFY to the parent, otherwise
// the window gets WM_CONTEXTMENU at the screen point.
JOV_PLATFORM_API DWORD WINAPI SHRecognizeGesture(SHRGINFO* info);

} // extern "C"

namespace Platform {

// How long the stylus must stay down (doubled with SHRG_LONGDELAY); 500 ms by default.
JOV_PLATFORM_API void SetTapAndHoldTime(DWORD milliseconds);
JOV_PLATFORM_API DWORD GetTapAndHoldTime();

} // namespace Platform

#endif
