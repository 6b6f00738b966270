#include "Core.h"

#include <cstdint>
#include <string>

#include "ShellTrace.h"

BOOL WINAPI TransparentImage(HDC destination, int x, int y, int width, int height, HANDLE source, int sourceX,
                             int sourceY, int sourceWidth, int sourceHeight, COLORREF key)
{
    DWORD type = GetObjectType(source);
    if (type == OBJ_DC || type == OBJ_MEMDC) {
        return TransparentBlt(destination, x, y, width, height, static_cast<HDC>(source), sourceX, sourceY,
                              sourceWidth, sourceHeight, key);
    }
    if (type != OBJ_BITMAP)
        return FALSE;
    HDC memory = CreateCompatibleDC(destination);
    if (!memory)
        return FALSE;
    HGDIOBJ old = SelectObject(memory, source);
    BOOL done = old && TransparentBlt(destination, x, y, width, height, memory, sourceX, sourceY, sourceWidth,
                                      sourceHeight, key);
    if (old)
        SelectObject(memory, old);
    DeleteDC(memory);
    return done;
}

BOOL WINAPI EventModify(HANDLE event, DWORD function)
{
    switch (function) {
    case EVENT_PULSE:
        return PulseEvent(event);
    case EVENT_RESET:
        return ResetEvent(event);
    case EVENT_SET:
        return SetEvent(event);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR name)
{
    if (IS_INTRESOURCE(name))
        return GetProcAddress(module, reinterpret_cast<LPCSTR>(name));
    // Export names are ASCII; any other character names no export.
    std::string narrow;
    for (const wchar_t* c = name; *c; ++c) {
        if (*c > 0x7F) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        narrow += static_cast<char>(*c);
    }
    return GetProcAddress(module, narrow.c_str());
}

namespace Platform {

namespace {

const int kDesktopPriorities[8] = {THREAD_PRIORITY_TIME_CRITICAL, THREAD_PRIORITY_HIGHEST,
                                   THREAD_PRIORITY_ABOVE_NORMAL,  THREAD_PRIORITY_NORMAL,
                                   THREAD_PRIORITY_BELOW_NORMAL,  THREAD_PRIORITY_LOWEST,
                                   THREAD_PRIORITY_LOWEST,        THREAD_PRIORITY_IDLE};

} // namespace

BOOL SetForegroundWindow(HWND window)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(window);
    HWND target = reinterpret_cast<HWND>(value & ~static_cast<uintptr_t>(1));
    TraceShellCall("SetForegroundWindow", target, value & 1);
    if (value & 1) {
        HWND popup = GetLastActivePopup(target);
        if (popup && IsWindowVisible(popup))
            target = popup;
    }
    if (IsIconic(target))
        ShowWindow(target, SW_RESTORE);
    return ::SetForegroundWindow(target);
}

BOOL SetThreadPriority(HANDLE thread, int priority)
{
    if (priority < 0 || priority > 7) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return ::SetThreadPriority(thread, kDesktopPriorities[priority]);
}

int GetThreadPriority(HANDLE thread)
{
    int desktop = ::GetThreadPriority(thread);
    if (desktop == THREAD_PRIORITY_ERROR_RETURN)
        return THREAD_PRIORITY_ERROR_RETURN;
    // Lowest answers 5, the level the program's background threads ask for.
    for (int level = 0; level < 8; ++level) {
        if (kDesktopPriorities[level] == desktop)
            return level;
    }
    return desktop > THREAD_PRIORITY_NORMAL ? 1 : 6;
}

} // namespace Platform
