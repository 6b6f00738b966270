/* The baseline of the start and memory benchmarks: the least a Win32 program
   does to show one window of the screen's size with a line of text. */
#include <windows.h>

static LRESULT CALLBACK MinimalWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        DrawTextW(dc, L"Minimal program", -1, &client, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)previous;
    (void)commandLine;
    WNDCLASSW windowClass = {0};
    windowClass.lpfnWndProc = MinimalWndProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"BenchMinimal";
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND window = CreateWindowExW(0, L"BenchMinimal", L"Minimal", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                                  instance, NULL);
    if (!window)
        return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
