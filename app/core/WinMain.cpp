#include <windows.h>

#include "core/MainWindow.h"
#include "core/ServicesManagerImpl.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    // One instance: a second start brings the running window to the front.
    if (HWND running = FindWindowW(kMainWindowClass, nullptr)) {
        SetForegroundWindow(running);
        return 0;
    }
    if (!CMainWindow::Register(instance) || !CMainWindow::Create(instance))
        return 1;
    // The last step of start-up: every service and client exists by now.
    g_ServicesManager.FireLoaded();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
