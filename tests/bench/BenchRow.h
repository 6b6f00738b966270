// What a benchmark program prints for scripts/bench.sh: one tab-separated row
// a figure, the median of its runs with the minimum and maximum, and the
// baseline measured in the same run:
//   figure  median  min  max  unit  baseline-name  baseline-median
#pragma once

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <vector>

struct BenchSummary {
    double median = 0;
    double min = 0;
    double max = 0;
};

inline BenchSummary Summarise(std::vector<double> samples)
{
    BenchSummary summary;
    if (samples.empty())
        return summary;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    summary.median = samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    summary.min = samples.front();
    summary.max = samples.back();
    return summary;
}

// Rows end in a bare line feed whatever the console does.
inline void BeginRows()
{
    _setmode(_fileno(stdout), _O_BINARY);
}

inline void PrintRow(const char* figure, const std::vector<double>& samples, const char* unit,
                     const char* baseline = nullptr, const std::vector<double>& baselineSamples = {})
{
    const BenchSummary own = Summarise(samples);
    std::printf("%s\t%.1f\t%.1f\t%.1f\t%s\t", figure, own.median, own.min, own.max, unit);
    if (baseline && !baselineSamples.empty())
        std::printf("%s\t%.1f\n", baseline, Summarise(baselineSamples).median);
    else
        std::printf("-\t-\n");
    std::fflush(stdout);
}

// Milliseconds from an arbitrary origin, for differences.
inline double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
