// Pictures of the pocket screen for a person to look at: the whole screen
// (dialogs and their soft-key bars) as build/main/screenshots/
// dialogs-<what>-<qvga|vga>.png, named by the screen's density.
#pragma once

#include <windows.h>

#include <string>

// Repaints every window of this thread now, then saves the screen; false
// when the picture could not be taken or written.
bool SaveScreenshot(const std::wstring& what);
// The same as <area>-<what>-<qvga|vga>.png.
bool SaveScreenshotAs(const std::wstring& area, const std::wstring& what);
// "qvga" at 96 dpi, "vga" at 192.
std::wstring ScreenName();
