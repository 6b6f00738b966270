#include "Trace.h"

#include <windows.h>

#include <cwchar>

namespace {

const LONG kCapacity = 16384;
const int kTextLength = 64;

struct Record {
    LONGLONG at;
    LONGLONG queuedAt;  // 0: a phase mark
    LONGLONG ranTicks;
    long long count;
    DWORD thread;
    wchar_t text[kTextLength];
    volatile LONG ready;
};

struct TraceState {
    Record* records = nullptr;
    volatile LONG claimed = 0;
    LONG written = 0;
    bool fullReported = false;
    LONGLONG origin = 0;  // the process's start, in counter ticks
    LONGLONG frequency = 1;
    SRWLOCK flushLock = SRWLOCK_INIT;
};

TraceState s_trace;

bool AskedFor()
{
    wchar_t value[8];
    const DWORD length = GetEnvironmentVariableW(L"JOV_TRACE", value, 8);
    return length > 0 && length < 8 && std::wcscmp(value, L"0") != 0;
}

ULONGLONG FileTimeUnits(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The process's creation time on the counter's scale, so that lines read as
// time since the user started the program, the loader's share included.
LONGLONG ProcessStartTicks(LONGLONG now, LONGLONG frequency)
{
    FILETIME created, exited, kernel, user, current;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return now;
    GetSystemTimeAsFileTime(&current);
    if (FileTimeUnits(current) <= FileTimeUnits(created))
        return now;
    const ULONGLONG since = FileTimeUnits(current) - FileTimeUnits(created);
    return now - static_cast<LONGLONG>(since * static_cast<ULONGLONG>(frequency) / 10000000u);
}

LONGLONG Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Ms(LONGLONG ticks)
{
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(s_trace.frequency);
}

// Once, while the library loads: no thread marks before.
bool Start()
{
    if (!AskedFor())
        return false;
    void* memory = VirtualAlloc(nullptr, sizeof(Record) * kCapacity, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!memory)
        return false;
    s_trace.records = static_cast<Record*>(memory);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    s_trace.frequency = frequency.QuadPart;
    s_trace.origin = ProcessStartTicks(Ticks(), s_trace.frequency);
    return true;
}

Record* Claim()
{
    // Once past full (which is then reported), the count stops growing: a
    // run of days must not wrap it.
    if (s_trace.claimed > kCapacity)
        return nullptr;
    const LONG index = InterlockedIncrement(&s_trace.claimed) - 1;
    return index < kCapacity ? &s_trace.records[index] : nullptr;
}

void Ready(Record* record)
{
    record->thread = GetCurrentThreadId();
    InterlockedExchange(&record->ready, 1);
}

const int kLineLength = 160;
// Lines go out several at a time: each write to the debug output may wait
// for its reader. Debug-output readers take 2 to 4 kB at a time.
const int kWriteLength = 1800;

void FormatLine(const Record& record, wchar_t* line)
{
    const double at = Ms(record.at - s_trace.origin);
    if (record.queuedAt)
        std::swprintf(line, kLineLength, L"JOV trace: %.3f ms [%lx] %ls: queued %.3f ms, ran %.3f ms\n", at,
                      record.thread, record.text, Ms(record.at - record.queuedAt), Ms(record.ranTicks));
    else if (record.count >= 0)
        std::swprintf(line, kLineLength, L"JOV trace: %.3f ms [%lx] %ls %lld\n", at, record.thread, record.text,
                      record.count);
    else
        std::swprintf(line, kLineLength, L"JOV trace: %.3f ms [%lx] %ls\n", at, record.thread, record.text);
}

} // namespace

bool g_traceOn = Start();

long long TraceNow()
{
    return Ticks();
}

void TraceWrite(const wchar_t* what, long long count)
{
    const LONGLONG at = Ticks();
    Record* record = Claim();
    if (!record)
        return;
    record->at = at;
    record->queuedAt = 0;
    record->ranTicks = 0;
    record->count = count;
    std::swprintf(record->text, kTextLength, L"%ls", what ? what : L"");
    Ready(record);
}

void TraceHandOver(const CJOVString& queue, const CJOVString& event, long long queuedAt, long long startedAt)
{
    const LONGLONG now = Ticks();
    Record* record = Claim();
    if (!record)
        return;
    record->at = startedAt;
    // A queued time of 0 would read as a phase mark.
    record->queuedAt = queuedAt ? queuedAt : startedAt;
    record->ranTicks = now - startedAt;
    record->count = -1;
    std::swprintf(record->text, kTextLength, L"%.*ls <- %.*ls", queue.GetLength(), queue.Data() ? queue.Data() : L"",
                  event.GetLength(), event.Data() ? event.Data() : L"");
    Ready(record);
}

void TraceWriteOut()
{
    AcquireSRWLockExclusive(&s_trace.flushLock);
    const LONG claimed = s_trace.claimed;
    const LONG end = claimed < kCapacity ? claimed : kCapacity;
    // In claiming order; a record still being filled waits for the next flush.
    wchar_t lines[kWriteLength + kLineLength];
    size_t used = 0;
    while (s_trace.written < end && s_trace.records[s_trace.written].ready) {
        FormatLine(s_trace.records[s_trace.written++], lines + used);
        used += std::wcslen(lines + used);
        if (used >= kWriteLength) {
            OutputDebugStringW(lines);
            used = 0;
        }
    }
    if (used)
        OutputDebugStringW(lines);
    if (claimed > kCapacity && s_trace.written == kCapacity && !s_trace.fullReported) {
        s_trace.fullReported = true;
        OutputDebugStringW(L"JOV trace: full, later marks not kept\n");
    }
    ReleaseSRWLockExclusive(&s_trace.flushLock);
}
