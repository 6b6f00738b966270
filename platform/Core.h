// Core calls that only the device's system has, with the device's meaning,
// written over the desktop ones.
#pragma once

#include <windows.h>

#include "PlatformApi.h"

// EventModify functions.
#define EVENT_PULSE 1
#define EVENT_RESET 2
#define EVENT_SET 3

#ifndef RC_INVOKED

extern "C" {

// Copies the source rectangle (source: a device context or a bitmap) to the
// destination, stretched to its size, leaving out the pixels of colour key.
JOV_PLATFORM_API BOOL WINAPI TransparentImage(HDC destination, int x, int y, int width, int height, HANDLE source,
                                              int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                              COLORREF key);
// Sets, resets or pulses an event.
JOV_PLATFORM_API BOOL WINAPI EventModify(HANDLE event, DWORD function);
// GetProcAddress by a wide export name (or an ordinal).
JOV_PLATFORM_API FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR name);

} // extern "C"

namespace Platform {

// A window handle with its lowest bit set brings forward the window's
// last active owned window (a dialog open over it) instead of the window.
JOV_PLATFORM_API BOOL SetForegroundWindow(HWND window);

// Thread priorities on the device's scale, 0 (time-critical) to 7 (idle);
// 3 is normal and 5 the lowest above idle.
JOV_PLATFORM_API BOOL SetThreadPriority(HANDLE thread, int priority);
JOV_PLATFORM_API int GetThreadPriority(HANDLE thread);

} // namespace Platform

#endif
