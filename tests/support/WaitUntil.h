// Polls a condition that another thread makes true.
#pragma once

#include <windows.h>

#include <functional>

// True once done() holds; false when it still does not after the time.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    for (int waited = 0; waited < timeoutMs; waited += 5) {
        if (done())
            return true;
        Sleep(5);
    }
    return done();
}
