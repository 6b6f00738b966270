// Start and memory of a program against a minimal Win32 program, measured
// from outside under the same Wine session: each run starts the program, then
// the minimal one, and closes each as a user does.
//
//   bench_start start  <runs> <program.exe> <minimal.exe> [<settings file>]
//       process start to the main window drawn
//   bench_start memory <runs> <program.exe> <minimal.exe> [<settings file>]
//       proportional set size ten seconds after start
// A settings file is copied beside the program as its "settings.jov" before
// each of its runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "bench/BenchRow.h"

namespace {

const DWORD kDrawnTimeoutMs = 60000;
const DWORD kCloseTimeoutMs = 15000;
const double kMemoryAfterMs = 10000;

std::wstring FullPath(const wchar_t* path)
{
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(path, MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(full) : std::wstring(path);
}

// One run of one program: the start time in ms, or the memory in MB; negative on failure.
double Measure(const std::wstring& exe, const std::wstring& settings, bool memory)
{
    if (!settings.empty()) {
        const std::wstring target = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"settings.jov";
        if (!CopyFileW(settings.c_str(), target.c_str(), FALSE)) {
            std::fprintf(stderr, "cannot copy the settings file beside %ls\n", exe.c_str());
            return -1;
        }
    }
    CProgramRun run(exe);
    if (!run.Start()) {
        std::fprintf(stderr, "%ls does not start (%lu)\n", exe.c_str(), GetLastError());
        return -1;
    }
    const double drawn = run.WaitDrawn(kDrawnTimeoutMs);
    if (drawn < 0) {
        std::fprintf(stderr, "%ls drew no main window\n", exe.c_str());
        return -1;
    }
    double figure = drawn;
    if (memory) {
        const double left = kMemoryAfterMs - (NowMs() - run.StartedAt());
        if (left > 0)
            Sleep(static_cast<DWORD>(left));
        const long kb = run.PssKb();
        if (kb < 0) {
            std::fprintf(stderr, "no memory figure for %ls\n", exe.c_str());
            return -1;
        }
        figure = kb / 1024.0;
    }
    if (!run.Close(kCloseTimeoutMs))
        std::fprintf(stderr, "%ls did not close in time and was ended\n", exe.c_str());
    return figure;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 5 || (std::wstring(argv[1]) != L"start" && std::wstring(argv[1]) != L"memory")) {
        std::fprintf(stderr, "usage: bench_start start|memory <runs> <program.exe> <minimal.exe> [<settings>]\n");
        return 2;
    }
    BeginRows();
    const bool memory = std::wstring(argv[1]) == L"memory";
    const int runs = std::max(1, _wtoi(argv[2]));
    const std::wstring program = FullPath(argv[3]);
    const std::wstring minimal = FullPath(argv[4]);
    const std::wstring settings = argc > 5 ? FullPath(argv[5]) : std::wstring();

    std::vector<double> own, baseline;
    for (int i = 0; i < runs; ++i) {
        const double a = Measure(program, settings, memory);
        const double b = Measure(minimal, std::wstring(), memory);
        if (a < 0 || b < 0)
            return 1;
        own.push_back(a);
        baseline.push_back(b);
    }
    if (memory)
        PrintRow("PSS 10 s after start", own, "MB", "minimal program", baseline);
    else
        PrintRow("start to window drawn", own, "ms", "minimal program", baseline);
    return 0;
}
