// Keeps a picture of a window as build/main/screenshots/<name>-<qvga|vga>.png.
#pragma once

#include <windows.h>

#include <vector>

bool SaveWindowPicture(HWND window, const wchar_t* name);
// Pixels as BGRA values, rows from the top.
bool SavePicture(const std::vector<DWORD>& pixels, int width, int height, const wchar_t* name);

class CChatContent;

// The content painted off the screen over the background from its top, as
// opaque BGRA values, rows from the top. Smilies, being windows, are left out.
std::vector<DWORD> PaintOffScreen(CChatContent& content, int width, int height, HBRUSH background);
