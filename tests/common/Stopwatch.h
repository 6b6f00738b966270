// Milliseconds since construction.
#pragma once

#include <windows.h>

class CStopwatch {
public:
    CStopwatch() : m_start(GetTickCount64()) {}
    unsigned long long Ms() const { return GetTickCount64() - m_start; }

private:
    ULONGLONG m_start;
};
