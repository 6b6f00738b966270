// The program's main window: a full-screen window on the pocket screen.
// Runs on the UI thread.
#pragma once

#include <windows.h>

class CMainWindow {
public:
    static bool Register(HINSTANCE instance);
    static HWND Create(HINSTANCE instance);

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

extern const wchar_t kMainWindowClass[];
