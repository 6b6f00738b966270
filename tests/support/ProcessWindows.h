// Another process's windows, found from outside by the tests that run JOV.exe.
#pragma once

#include <windows.h>

// The process a window belongs to.
inline DWORD ProcessOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// A visible top-level window of the process with that class and title (either
// may be null), or null.
inline HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title)
{
    struct Search {
        DWORD processId;
        const wchar_t* className;
        const wchar_t* title;
        HWND found;
    } search = {processId, className, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Search* search = reinterpret_cast<Search*>(param);
            if (ProcessOf(window) != search->processId || !IsWindowVisible(window))
                return TRUE;
            wchar_t text[128] = {};
            if (search->className && (!GetClassNameW(window, text, 128) || lstrcmpW(text, search->className) != 0))
                return TRUE;
            if (search->title) {
                GetWindowTextW(window, text, 128);
                if (lstrcmpW(text, search->title) != 0)
                    return TRUE;
            }
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
