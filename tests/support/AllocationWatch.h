// Which C++ objects made on one thread since a watch began are still alive,
// so that a test tells a call that frees what it made from one that leaks it.
// A test program that compiles AllocationWatch.cpp has its global operator
// new and delete replaced: malloc and free, with this bookkeeping beside them.
#pragma once

#include <cstddef>

class CAllocationWatch {
public:
    // Watches the calling thread; one watch at a time in a program.
    CAllocationWatch();
    ~CAllocationWatch();
    CAllocationWatch(const CAllocationWatch&) = delete;
    CAllocationWatch& operator=(const CAllocationWatch&) = delete;

    // Made on the watched thread since the watch began and not freed since,
    // on any thread.
    size_t Live() const;
    bool IsLive(const void* object) const;
};
