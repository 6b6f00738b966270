// Start and memory of a program against a minimal Win32 program, measured
// from outside under the same Wine session: each run starts the program, then
// the minimal one, and closes each as a user does.
//
//   bench_start start  <runs> <program.exe> <minimal.exe> [<settings file>]
//       process start to the main window drawn
//   bench_start memory <runs> <program.exe> <minimal.exe> [<settings file>]
//       proportional set size ten seconds after start
//   bench_start phases <runs> <program.exe> [<settings file>]
//       the program's own trace of its start (JOV_TRACE): when each phase
//       ended, in ms from the process start
//   bench_start trace <program.exe> [<settings file>]
//       the whole trace of one such run, its lines as they came
// A settings file is copied beside the program as its "settings.jov" before
// each of its runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DebugOutput.h"
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

bool PlaceSettings(const std::wstring& exe, const std::wstring& settings)
{
    if (settings.empty())
        return true;
    const std::wstring target = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"settings.jov";
    if (CopyFileW(settings.c_str(), target.c_str(), FALSE))
        return true;
    std::fprintf(stderr, "cannot copy the settings file beside %ls\n", exe.c_str());
    return false;
}

// One run of one program: the start time in ms, or the memory in MB; negative on failure.
double Measure(const std::wstring& exe, const std::wstring& settings, bool memory)
{
    if (!PlaceSettings(exe, settings))
        return -1;
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

// The start's phases as the trace names them; the last is the first paint
// of the list after the control was filled.
const char* const kPhases[] = {"WinMain", "store read", "accounts made", "model filled", "control filled"};
const size_t kPhaseCount = sizeof(kPhases) / sizeof(kPhases[0]);
const char kFirstPaint[] = "first paint";
const DWORD kTraceTimeoutMs = 10000;

struct TraceMarkLine {
    double ms = 0;
    std::string text;  // with its count, if any
};

bool ParseTrace(const std::string& line, TraceMarkLine* mark)
{
    int offset = 0;
    if (std::sscanf(line.c_str(), "JOV trace: %lf ms [%*[0-9a-f]] %n", &mark->ms, &offset) != 1 || offset == 0)
        return false;
    mark->text = line.substr(static_cast<size_t>(offset));
    return true;
}

bool Names(const std::string& text, const char* phase)
{
    const size_t length = std::strlen(phase);
    return text.compare(0, length, phase) == 0 && (text.size() == length || text[length] == ' ');
}

// The phases' times, kPhaseCount of them and the first paint's; empty until all are there.
std::vector<double> PhaseTimes(const std::vector<std::string>& lines)
{
    std::vector<double> times(kPhaseCount + 1, -1);
    for (const std::string& line : lines) {
        TraceMarkLine mark;
        if (!ParseTrace(line, &mark))
            continue;
        for (size_t i = 0; i < kPhaseCount; ++i)
            if (times[i] < 0 && Names(mark.text, kPhases[i]))
                times[i] = mark.ms;
        if (times[kPhaseCount] < 0 && times[kPhaseCount - 1] >= 0 && Names(mark.text, "list painted"))
            times[kPhaseCount] = mark.ms;
    }
    for (double time : times)
        if (time < 0)
            return {};
    return times;
}

// One traced run: the phases' times, or empty on failure; the lines too when asked.
std::vector<double> MeasurePhases(CDebugOutput& output, const std::wstring& exe, const std::wstring& settings,
                                  std::vector<std::string>* lines = nullptr)
{
    if (!PlaceSettings(exe, settings))
        return {};
    CProgramRun run(exe);
    if (!run.Start() || run.WaitDrawn(kDrawnTimeoutMs) < 0)
        return {};
    std::vector<double> times;
    while (times.empty() && NowMs() - run.StartedAt() < kTraceTimeoutMs) {
        times = PhaseTimes(output.Lines(run.ProcessId()));
        if (times.empty())
            Sleep(5);
    }
    if (times.empty()) {
        std::fprintf(stderr, "the trace of %ls lacks phases:\n", exe.c_str());
        for (const std::string& line : output.Lines(run.ProcessId()))
            std::fprintf(stderr, "  %s\n", line.c_str());
    }
    const DWORD processId = run.ProcessId();
    run.Close(kCloseTimeoutMs);
    if (lines)
        *lines = output.Lines(processId);
    return times;
}

// runs 0: one run, its lines printed.
int Phases(int runs, const std::wstring& program, const std::wstring& settings)
{
    CDebugOutput output;
    if (!output.IsReading()) {
        std::fprintf(stderr, "the debug output is taken by another reader\n");
        return 1;
    }
    // The program inherits it.
    SetEnvironmentVariableW(L"JOV_TRACE", L"1");
    std::vector<std::vector<double>> samples(kPhaseCount + 1);
    if (runs == 0) {
        std::vector<std::string> lines;
        MeasurePhases(output, program, settings, &lines);
        for (const std::string& line : lines)
            std::printf("%s\n", line.c_str());
        return 0;
    }
    for (int i = 0; i < runs; ++i) {
        const std::vector<double> times = MeasurePhases(output, program, settings);
        if (times.empty())
            return 1;
        for (size_t phase = 0; phase < times.size(); ++phase)
            samples[phase].push_back(times[phase]);
    }
    SetEnvironmentVariableW(L"JOV_TRACE", nullptr);
    for (size_t phase = 0; phase < kPhaseCount; ++phase)
        PrintRow(kPhases[phase], samples[phase], "ms");
    PrintRow(kFirstPaint, samples[kPhaseCount], "ms");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 3 && std::wstring(argv[1]) == L"trace") {
        BeginRows();
        return Phases(0, FullPath(argv[2]), argc > 3 ? FullPath(argv[3]) : std::wstring());
    }
    if (argc >= 4 && std::wstring(argv[1]) == L"phases") {
        BeginRows();
        return Phases(std::max(1, _wtoi(argv[2])), FullPath(argv[3]), argc > 4 ? FullPath(argv[4]) : std::wstring());
    }
    if (argc < 5 || (std::wstring(argv[1]) != L"start" && std::wstring(argv[1]) != L"memory")) {
        std::fprintf(stderr, "usage: bench_start start|memory <runs> <program.exe> <minimal.exe> [<settings>]\n"
                             "       bench_start phases <runs> <program.exe> [<settings>]\n"
                             "       bench_start trace <program.exe> [<settings>]\n");
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
