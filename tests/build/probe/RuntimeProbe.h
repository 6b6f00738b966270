// A second DLL that makes objects, buffers and threads for the test program to
// use, free and join: all modules must share one C++ runtime.
#pragma once

#include <atomic>
#include <thread>

#include "JOVString.h"

#if defined(RUNTIME_PROBE_BUILD)
#define PROBE_API __declspec(dllexport)
#else
#define PROBE_API __declspec(dllimport)
#endif

struct ProbeBase {
    virtual ~ProbeBase() = default;
};

struct ProbeDerived : ProbeBase {
    CJOVString text;
};

PROBE_API ProbeBase* MakeProbeDerived(const wchar_t* text);
PROBE_API char* AllocateWithNew(int n);
PROBE_API void* AllocateWithMalloc(int n);
PROBE_API std::thread StartProbeThread(std::atomic<int>& flag);
PROBE_API CJOVString MakeString(const wchar_t* text);
