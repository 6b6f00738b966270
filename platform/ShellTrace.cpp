#include "ShellTrace.h"

#include <cstring>
#include <deque>
#include <mutex>

namespace Platform {

namespace {

const size_t kMaxCalls = 1024;

std::mutex& TraceLock()
{
    static std::mutex lock;
    return lock;
}

std::deque<ShellCall>& Calls()
{
    static std::deque<ShellCall> calls;
    return calls;
}

} // namespace

void TraceShellCall(const char* name, HWND window, uintptr_t value)
{
    std::lock_guard<std::mutex> hold(TraceLock());
    Calls().push_back(ShellCall{name, window, value});
    if (Calls().size() > kMaxCalls)
        Calls().pop_front();
}

int GetShellCallCount()
{
    std::lock_guard<std::mutex> hold(TraceLock());
    return static_cast<int>(Calls().size());
}

bool GetShellCall(int index, ShellCall* call)
{
    std::lock_guard<std::mutex> hold(TraceLock());
    if (index < 0 || static_cast<size_t>(index) >= Calls().size() || !call)
        return false;
    *call = Calls()[index];
    return true;
}

int FindShellCall(const char* name, int from)
{
    std::lock_guard<std::mutex> hold(TraceLock());
    for (size_t i = from < 0 ? 0 : from; i < Calls().size(); ++i) {
        if (std::strcmp(Calls()[i].name, name) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void ClearShellCalls()
{
    std::lock_guard<std::mutex> hold(TraceLock());
    Calls().clear();
}

} // namespace Platform
