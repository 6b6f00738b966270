#include "core/DebugLine.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>

void DebugLine(const wchar_t* format, ...)
{
    const size_t kSize = 1024;
    wchar_t line[kSize] = L"JOV: ";
    size_t prefix = wcslen(line);
    va_list args;
    va_start(args, format);
    vswprintf(line + prefix, kSize - prefix - 2, format, args);
    va_end(args);
    // A line too long for the buffer is cut, not dropped.
    line[kSize - 2] = 0;
    size_t end = wcslen(line);
    line[end] = L'\n';
    line[end + 1] = 0;
    OutputDebugStringW(line);
}
