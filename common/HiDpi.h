// Resolution awareness: lengths in the user interface are given for 96
// pixels per inch and scaled to the display's logical pixels per inch.
#pragma once

#include <windows.h>

#include "JOVCommon.h"

// The display's logical pixels per inch; 0 until HIDPI_InitScaling.
extern JOV_COMMON_API int g_HIDPI_LogPixelsX;
extern JOV_COMMON_API int g_HIDPI_LogPixelsY;

// Reads the screen's logical pixels per inch when g_HIDPI_LogPixelsX is still 0.
JOV_COMMON_API void HIDPI_InitScaling();
// n units as pixels: (n * dpi + 48) / 96; a negative length (a font height)
// keeps its sign and has its magnitude scaled. Initialises when needed.
JOV_COMMON_API int HIDPI_ScaleX(int n);
JOV_COMMON_API int HIDPI_ScaleY(int n);

// Moves and sizes the dialog's controls to where the dialog template
// templateName of instance places them (e.g. the other orientation's layout).
// Controls are matched with the template's items in order; FALSE when the
// template is missing or malformed or the dialog has other controls.
JOV_COMMON_API BOOL RelayoutDialog(HINSTANCE instance, HWND dialog, LPCWSTR templateName);
