#include <windows.h>

#include "Trace.h"
#include "core/AppGlobals.h"
#include "core/JOVResource.h"
#include "core/StartUp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
{
    TraceMark(L"WinMain");
    if (!InitInstance(instance, showCommand))
        return 0;
    // Ctrl+Q and Ctrl+A: translated, and left to the default procedure.
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    while (GetMessageW(&g_App.msg, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(g_App.msg.hwnd, accelerators, &g_App.msg)) {
            TranslateMessage(&g_App.msg);
            DispatchMessageW(&g_App.msg);
        }
    }
    return static_cast<int>(g_App.msg.wParam);
}
