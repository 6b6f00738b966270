// A bounded record of the shell calls that leave nothing on the screen here
// (no task bar, no input panel), so that tests can see that they were made.
// Any thread may record; the record keeps the latest 1024 calls.
#pragma once

#include <windows.h>

#include <cstdint>

#include "PlatformApi.h"

namespace Platform {

struct ShellCall {
    const char* name;  // the call's name, a string literal
    HWND window;       // the window it was made for, or null
    uintptr_t value;   // its flags or state argument
};

JOV_PLATFORM_API void TraceShellCall(const char* name, HWND window, uintptr_t value);
JOV_PLATFORM_API int GetShellCallCount();
JOV_PLATFORM_API bool GetShellCall(int index, ShellCall* call);
// Index of the first call of that name at or after from, or -1.
JOV_PLATFORM_API int FindShellCall(const char* name, int from = 0);
JOV_PLATFORM_API void ClearShellCalls();

} // namespace Platform
