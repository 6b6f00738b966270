// The preferences dialog (stand-in: names the page it was opened on).
// UI thread.
#pragma once

#include <windows.h>

// Runs the dialog modally on the page; answers its end code.
int ShowPreferences(HWND parent, int page);
