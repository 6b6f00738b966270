// A promise of the reader that an input broke: reported as a crash, with
// the promise's text, so that libFuzzer keeps the input as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void FuzzCheckFailed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "broken promise: %s (%s:%d)\n", condition, file, line);
    std::abort();
}

#define FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : FuzzCheckFailed(#condition, __FILE__, __LINE__))
