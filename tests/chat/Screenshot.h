// Keeps a picture of a window as build/main/screenshots/<name>-<qvga|vga>.png.
#pragma once

#include <windows.h>

bool SaveWindowPicture(HWND window, const wchar_t* name);
