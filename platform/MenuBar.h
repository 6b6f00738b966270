// The soft-key menu bar: a bar along the bottom of the screen with (usually)
// two soft keys. A key either sends its command to the bar's owner or opens
// its drop-down menu above itself; the device's soft-key buttons are F1 (the
// first key) and F2 (the second). The bar shows and hides with its owner.
//
// The bar answers these toolbar messages, keys addressed by command unless
// said otherwise: TB_BUTTONCOUNT, TB_GETBUTTON (by index), TB_GETBUTTONINFOW
// and TB_SETBUTTONINFOW (TBIF_COMMAND, TBIF_STATE, TBIF_STYLE, TBIF_TEXT,
// TBIF_LPARAM, TBIF_BYINDEX), TB_COMMANDTOINDEX, TB_ENABLEBUTTON,
// TB_ISBUTTONENABLED, TB_GETSTATE, TB_SETSTATE, TB_GETITEMRECT (by index);
// and SHCMBM_GETMENU (the bar's menu) and SHCMBM_GETSUBMENU (lParam: a key's
// command; its drop-down menu, or 0).
//
// Soft-key bar resource (windres knows no such type, so it is RT_RCDATA),
// a run of 16-bit words:
//   menu id      menu resource whose sub-menus the keys open, 0 for none
//   key count
//   then for each key, from the left:
//     command    sent to the owner in WM_COMMAND, or the key's id
//     string id  the key's text in the module's string table, 0 for none
//     state      TBSTATE_* (TBSTATE_ENABLED for a usable key)
//     style      TBSTYLE_* (reported by TB_GETBUTTON, not interpreted)
//     sub-menu   index of the key's drop-down in the menu, or JOV_NOMENU
// Built from a menu resource instead (SHCMBF_HMENU), each top-level item is a
// key; a sub-menu item gets the command 0xFF00 + its position, since menu
// resources give such items no identifier.
//
// UI thread: the bar lives on its owner's thread.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "PlatformApi.h"

#define JOV_NOMENU 0xFFFF

#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010

#define SHCMBM_GETSUBMENU (WM_USER + 401)
#define SHCMBM_GETMENU (WM_USER + 402)

#ifndef RC_INVOKED

struct SHMENUBARINFO {
    DWORD cbSize;         // sizeof(SHMENUBARINFO)
    HWND hwndParent;      // the owner: receives the commands and menu messages
    DWORD dwFlags;        // SHCMBF_*
    UINT nToolBarId;      // soft-key bar resource, or menu resource with SHCMBF_HMENU
    HINSTANCE hInstRes;   // module holding the resources and the key texts
    int nBmpId;           // unused: keys show text only
    int cBmpImages;       // unused
    HWND hwndMB;          // out: the bar
    COLORREF clrBk;       // background with SHCMBF_COLORBK
};

extern "C" {

// Makes the bar for info->hwndParent (one bar a window: a new one replaces
// the old in SHFindMenuBar). FALSE when a resource is missing or malformed.
JOV_PLATFORM_API BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info);
// The bar made for window, or null.
JOV_PLATFORM_API HWND WINAPI SHFindMenuBar(HWND window);
// Enables or disables a key, by command or by index. E_FAIL when no such key.
JOV_PLATFORM_API HRESULT WINAPI SHEnableSoftkey(HWND menuBar, UINT id, BOOL byIndex, BOOL enable);

} // extern "C"

#endif
