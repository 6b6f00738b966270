// Room for one object on pages of its own. Once the object is destroyed its
// pages stay mapped but guarded, as freed memory not yet reused: any later
// read or write of them is counted (and then let through), so that a test can
// tell that nothing used the object after its end. One room at a time.
#pragma once

#include <windows.h>

#include <atomic>
#include <new>
#include <utility>

template <class T>
class CGuardedRoom {
public:
    CGuardedRoom()
        : m_pages(VirtualAlloc(nullptr, Size(), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)),
          m_handler(AddVectoredExceptionHandler(1, &CGuardedRoom::OnException)), m_object(nullptr)
    {
        s_room = this;
    }
    ~CGuardedRoom()
    {
        if (m_object)
            m_object->~T();
        RemoveVectoredExceptionHandler(m_handler);
        s_room = nullptr;
        VirtualFree(m_pages, 0, MEM_RELEASE);
    }
    CGuardedRoom(const CGuardedRoom&) = delete;
    CGuardedRoom& operator=(const CGuardedRoom&) = delete;

    template <class... Args>
    T* Make(Args&&... args)
    {
        m_object = new (m_pages) T(std::forward<Args>(args)...);
        return m_object;
    }

    // Runs the object's destructor, then guards its pages.
    void Destroy()
    {
        m_object->~T();
        m_object = nullptr;
        DWORD before = 0;
        VirtualProtect(m_pages, Size(), PAGE_READWRITE | PAGE_GUARD, &before);
    }

    int TouchesAfterDestroy() const { return m_touches; }

private:
    static SIZE_T Size() { return (sizeof(T) + 4095) & ~static_cast<SIZE_T>(4095); }

    static LONG CALLBACK OnException(EXCEPTION_POINTERS* info)
    {
        CGuardedRoom* room = s_room;
        const EXCEPTION_RECORD* record = info->ExceptionRecord;
        if (!room || record->ExceptionCode != STATUS_GUARD_PAGE_VIOLATION || record->NumberParameters < 2)
            return EXCEPTION_CONTINUE_SEARCH;
        const auto address = static_cast<ULONG_PTR>(record->ExceptionInformation[1]);
        const auto begin = reinterpret_cast<ULONG_PTR>(room->m_pages);
        if (address < begin || address >= begin + Size())
            return EXCEPTION_CONTINUE_SEARCH;
        // The system lifted the guard of that page: the access now goes through.
        ++room->m_touches;
        return EXCEPTION_CONTINUE_EXECUTION;
    }

    static inline CGuardedRoom* s_room = nullptr;
    void* m_pages;
    void* m_handler;
    T* m_object;
    std::atomic<int> m_touches{0};
};
