// Holds a critical section for the life of a scope.
#pragma once

#include <windows.h>

class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CRITICAL_SECTION& lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    ~CCriticalSectionLock() { LeaveCriticalSection(&m_lock); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& m_lock;
};
