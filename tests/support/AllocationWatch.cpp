#include "support/AllocationWatch.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Fixed room, so that the bookkeeping never allocates itself.
const size_t kRoom = 4096;

std::atomic<DWORD> g_watchedThread{0};
std::atomic_flag g_busy = ATOMIC_FLAG_INIT;
const void* g_live[kRoom];
size_t g_used = 0;

class CSpin {
public:
    CSpin()
    {
        while (g_busy.test_and_set(std::memory_order_acquire))
            SwitchToThread();
    }
    ~CSpin() { g_busy.clear(std::memory_order_release); }
    CSpin(const CSpin&) = delete;
    CSpin& operator=(const CSpin&) = delete;
};

void Note(void* object)
{
    if (!object || g_watchedThread.load() != GetCurrentThreadId())
        return;
    CSpin hold;
    if (g_used < kRoom)
        g_live[g_used++] = object;
}

void Forget(void* object)
{
    if (!object || g_watchedThread.load() == 0)
        return;
    CSpin hold;
    for (size_t i = 0; i < g_used; ++i) {
        if (g_live[i] == object) {
            g_live[i] = g_live[--g_used];
            return;
        }
    }
}

void* Allocate(std::size_t size)
{
    void* object = std::malloc(size ? size : 1);
    Note(object);
    return object;
}

void Free(void* object)
{
    Forget(object);
    std::free(object);
}

} // namespace

CAllocationWatch::CAllocationWatch()
{
    CSpin hold;
    g_used = 0;
    g_watchedThread = GetCurrentThreadId();
}

CAllocationWatch::~CAllocationWatch()
{
    CSpin hold;
    g_watchedThread = 0;
    g_used = 0;
}

size_t CAllocationWatch::Live() const
{
    CSpin hold;
    return g_used;
}

bool CAllocationWatch::IsLive(const void* object) const
{
    CSpin hold;
    for (size_t i = 0; i < g_used; ++i) {
        if (g_live[i] == object)
            return true;
    }
    return false;
}

void* operator new(std::size_t size)
{
    void* object = Allocate(size);
    if (!object)
        throw std::bad_alloc();
    return object;
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void operator delete(void* object) noexcept
{
    Free(object);
}

void operator delete[](void* object) noexcept
{
    Free(object);
}

void operator delete(void* object, std::size_t) noexcept
{
    Free(object);
}

void operator delete[](void* object, std::size_t) noexcept
{
    Free(object);
}

void operator delete(void* object, const std::nothrow_t&) noexcept
{
    Free(object);
}

void operator delete[](void* object, const std::nothrow_t&) noexcept
{
    Free(object);
}
