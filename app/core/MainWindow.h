// The main window: the contact list above the status toolbar, the soft-key
// menu bar below it. Its procedure runs the main menu's commands and shuts the
// program down on WM_CLOSE.
// UI thread.
#pragma once

#include <windows.h>

ATOM RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Applies what the "GUI" client queued, unless a menu is open (its items
// point at the descriptions): then when it closes.
void ApplyGuiUpdates();
