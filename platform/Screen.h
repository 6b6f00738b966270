// The pocket device's screen: portrait, of fixed size and density (240x320 at
// 96 dpi, or 480x640 at 192 dpi; the Wine prefix sets the density and a desktop
// of that size). It is the whole desktop: no task bar or input panel takes a
// part of it here.
#pragma once

#include <windows.h>

#include "PlatformApi.h"

namespace Platform {

JOV_PLATFORM_API RECT GetScreenRect();
JOV_PLATFORM_API int GetScreenDpiX();
JOV_PLATFORM_API int GetScreenDpiY();
// Height of a soft-key menu bar: 26 units of 1/96 inch.
JOV_PLATFORM_API int GetMenuBarHeight();
// What a full-screen window or dialog fills: the screen, less the menu bar's
// band along the bottom when the window has a menu bar.
JOV_PLATFORM_API RECT GetFullScreenRect(bool withMenuBar);

} // namespace Platform
