// Shell services for dialogs and full-screen windows: dialog set-up, the
// Done button, full-screen mode, activation and setting-change handling.
// There is no task bar or input panel here: what they would show is kept per
// window and can be read back (and every call is in the shell call trace).
// UI thread.
#pragma once

#include <windows.h>

#include "PlatformApi.h"

#define SHIDIM_FLAGS 0x0001

#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020
#define SHIDIF_WANTSCROLLBAR 0x0040
#define SHIDIF_CANCELBUTTON 0x0080

#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

#define SHDB_SHOW 0x0001
#define SHDB_HIDE 0x0002
#define SHDB_SHOWCANCEL 0x0004

#define SHA_INPUTDIALOG 0x0001

// WM_SETTINGCHANGE word parameters: the input panel moved; the screen changed.
#define SPI_SETSIPINFO 224
#define SETTINGCHANGE_RESET 0x3002

#ifndef RC_INVOKED

struct SHINITDLGINFO {
    DWORD dwMask;   // SHIDIM_FLAGS
    HWND hDlg;
    DWORD dwFlags;  // SHIDIF_*
};

struct SHACTIVATEINFO {
    DWORD cbSize;         // sizeof(SHACTIVATEINFO)
    HWND hwndLastFocus;   // focus when the window was last deactivated
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};

extern "C" {

// Sizes the dialog to the full screen (SHIDIF_SIZEDLG, SHIDIF_SIZEDLGFULLSCREEN:
// above the menu bar's band; SHIDIF_FULLSCREENNOMENUBAR: the whole screen)
// without a frame of its own, makes an empty menu bar for SHIDIF_EMPTYMENU,
// and shows the Done (or Cancel) button for SHIDIF_DONEBUTTON (SHIDIF_CANCELBUTTON).
JOV_PLATFORM_API BOOL WINAPI SHInitDialog(SHINITDLGINFO* info);
// The device shows Done ("ok") in the task bar; here it sits mid soft-key bar
// of the window and F3 presses it too. It sends WM_COMMAND IDOK (IDCANCEL for
// SHDB_SHOWCANCEL) to the window.
JOV_PLATFORM_API BOOL WINAPI SHDoneButton(HWND window, DWORD state);
// Hides or shows the task bar, input-panel button and Start icon while the
// window is in front. The window moves itself.
JOV_PLATFORM_API BOOL WINAPI SHFullScreen(HWND window, DWORD state);
JOV_PLATFORM_API BOOL WINAPI SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info,
                                                DWORD flags);
// On SPI_SETSIPINFO and SETTINGCHANGE_RESET, a dialog sized by SHInitDialog
// is sized to the screen again.
JOV_PLATFORM_API BOOL WINAPI SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam,
                                                     SHACTIVATEINFO* info);
JOV_PLATFORM_API BOOL WINAPI SHInitExtraControls();

} // extern "C"

namespace Platform {

// SHFS_HIDE* bits of what SHFullScreen hid for the window (0: all shown).
JOV_PLATFORM_API DWORD GetFullScreenState(HWND window);
// The last SHDB_* state of the window's Done button, 0 when never set.
JOV_PLATFORM_API DWORD GetDoneButtonState(HWND window);

} // namespace Platform

#endif
