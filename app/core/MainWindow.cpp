#include "core/MainWindow.h"

const wchar_t kMainWindowClass[] = L"JOV";

bool CMainWindow::Register(HINSTANCE instance)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassW(&wc) != 0;
}

HWND CMainWindow::Create(HINSTANCE instance)
{
    // The pocket screen is the whole desktop: the window fills it.
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    return CreateWindowExW(0, kMainWindowClass, L"JOV", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                           nullptr, instance, nullptr);
}

LRESULT CALLBACK CMainWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
