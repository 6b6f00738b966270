#include "RuntimeProbe.h"

#include <cstdlib>

ProbeBase* MakeProbeDerived(const wchar_t* text)
{
    auto* derived = new ProbeDerived;
    derived->text = CJOVString(text);
    return derived;
}

char* AllocateWithNew(int n) { return new char[n]; }

void* AllocateWithMalloc(int n) { return std::malloc(static_cast<size_t>(n)); }

std::thread StartProbeThread(std::atomic<int>& flag)
{
    return std::thread([&flag] { flag = 42; });
}

CJOVString MakeString(const wchar_t* text) { return CJOVString(text); }
