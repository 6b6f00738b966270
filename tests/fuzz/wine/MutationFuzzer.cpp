#include "fuzz/wine/MutationFuzzer.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <thread>

#include "support/TestFolders.h"

namespace {

// What the handlers need to write a finding: set before the first input.
struct Current {
    const MutationOptions* options = nullptr;
    const unsigned char* data = nullptr;
    size_t size = 0;
    std::atomic<bool> running{false};
    std::atomic<ULONGLONG> started{0};
    std::atomic<bool> stopping{false};
    size_t mallocLimit = 0;  // 0 until the first input: set-up may allocate freely
};

Current g_current;

unsigned long long Hash(const unsigned char* data, size_t size)
{
    unsigned long long hash = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

// Written with the bare API: called from handlers, after a crash.
void WriteFile(const std::wstring& path, const void* bytes, size_t size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
}

// Keeps the input as a finding of that kind and ends the process.
[[noreturn]] void Finding(const char* kind, const char* what)
{
    if (!g_current.stopping.exchange(true)) {
        const MutationOptions& options = *g_current.options;
        char name[64];
        std::snprintf(name, sizeof name, "%s-%016llx", kind, Hash(g_current.data, g_current.size));
        std::wstring file = options.findings + L"\\";
        for (const char* c = name; *c; ++c)
            file += static_cast<wchar_t>(*c);
        WriteFile(file, g_current.data, g_current.size);
        std::string command = std::string(options.reproduce.begin(), options.reproduce.end()) + name + "\n";
        WriteFile(file + L".cmd", command.data(), command.size());
        std::fprintf(stderr, "finding: %s (%s), %zu bytes, kept as %s\n", kind, what, g_current.size, name);
        std::fflush(stderr);
    }
    TerminateProcess(GetCurrentProcess(), 3);
    for (;;)
        Sleep(1000);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* exception)
{
    char what[32];
    std::snprintf(what, sizeof what, "exception %08lx",
                  static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    Finding("crash", what);
}

void OnAbort(int)
{
    Finding("crash", "abort");
}

void Watch(unsigned int timeoutMs)
{
    while (!g_current.stopping) {
        Sleep(50);
        if (g_current.running && GetTickCount64() - g_current.started > timeoutMs)
            Finding("timeout", "slower than the time limit");
    }
}

size_t PeakResidentMb()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return 0;
    return counters.PeakWorkingSetSize / (1024 * 1024);
}

void RunInput(const MutationTarget& target, const FuzzBytes& input, const MutationOptions& options)
{
    g_current.data = input.data();
    g_current.size = input.size();
    g_current.started = GetTickCount64();
    g_current.running = true;
    target.run(input.data(), input.size());
    g_current.running = false;
    if (PeakResidentMb() > options.rssLimitMb)
        Finding("oom", "past the resident size limit");
}

bool ReadInput(const std::wstring& path, FuzzBytes& bytes)
{
    bytes = ReadWholeFile(path);
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<FuzzBytes> ReadCorpus(const std::vector<std::wstring>& folders)
{
    std::vector<FuzzBytes> corpus;
    for (const std::wstring& folder : folders) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            FuzzBytes bytes;
            if (ReadInput(folder + L"\\" + found.cFileName, bytes))
                corpus.push_back(std::move(bytes));
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (corpus.empty())
        corpus.push_back(FuzzBytes());
    return corpus;
}

class CMutator {
public:
    CMutator(unsigned int seed, const std::vector<FuzzBytes>& corpus, const std::vector<FuzzBytes>& words,
             size_t maxLength)
        : m_random(seed), m_corpus(corpus), m_words(words), m_maxLength(maxLength)
    {
    }

    FuzzBytes Next()
    {
        FuzzBytes input = m_corpus[Below(m_corpus.size())];
        const size_t edits = 1 + Below(4);
        for (size_t i = 0; i < edits; ++i)
            Edit(input);
        if (input.size() > m_maxLength)
            input.resize(m_maxLength);
        return input;
    }

private:
    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(m_random() % n); }

    void Insert(FuzzBytes& input, const FuzzBytes& piece)
    {
        input.insert(input.begin() + static_cast<long>(Below(input.size() + 1)), piece.begin(), piece.end());
    }

    void Edit(FuzzBytes& input)
    {
        static const unsigned char kInteresting[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0x20, 0x0A, 0x0D, '<', '&', '='};
        switch (Below(input.empty() ? 3 : 9)) {
        case 0:
            if (!m_words.empty())
                Insert(input, m_words[Below(m_words.size())]);
            break;
        case 1: {
            const FuzzBytes& other = m_corpus[Below(m_corpus.size())];
            const size_t from = Below(other.size() + 1);
            const size_t n = Below(other.size() - from + 1);
            Insert(input, FuzzBytes(other.begin() + static_cast<long>(from),
                                    other.begin() + static_cast<long>(from + n)));
            break;
        }
        case 2: {
            FuzzBytes run(1 + Below(16));
            for (unsigned char& byte : run)
                byte = static_cast<unsigned char>(m_random());
            Insert(input, run);
            break;
        }
        case 3:
            input[Below(input.size())] ^= static_cast<unsigned char>(1u << Below(8));
            break;
        case 4:
            input[Below(input.size())] = kInteresting[Below(sizeof kInteresting)];
            break;
        case 5: {
            const size_t from = Below(input.size());
            input.erase(input.begin() + static_cast<long>(from),
                        input.begin() + static_cast<long>(from + 1 + Below(std::min<size_t>(input.size() - from, 32))));
            break;
        }
        case 6: {
            const size_t from = Below(input.size());
            const size_t n = 1 + Below(std::min<size_t>(input.size() - from, 64));
            Insert(input, FuzzBytes(input.begin() + static_cast<long>(from),
                                    input.begin() + static_cast<long>(from + n)));
            break;
        }
        case 7:
            input.resize(Below(input.size()));
            break;
        default:
            if (!m_words.empty()) {
                const FuzzBytes& word = m_words[Below(m_words.size())];
                const size_t at = Below(input.size());
                for (size_t i = 0; i < word.size() && at + i < input.size(); ++i)
                    input[at + i] = word[i];
            }
            break;
        }
    }

    std::mt19937 m_random;
    const std::vector<FuzzBytes>& m_corpus;
    const std::vector<FuzzBytes>& m_words;
    size_t m_maxLength;
};

void Arm(const MutationOptions& options)
{
    g_current.options = &options;
    CreateDirectoryW(options.findings.c_str(), nullptr);
    SetUnhandledExceptionFilter(OnCrash);
    std::signal(SIGABRT, OnAbort);
}

} // namespace

// The allocation limit, for what the program's own code allocates.
void* operator new(size_t size)
{
    if (g_current.mallocLimit != 0 && size > g_current.mallocLimit)
        Finding("oom", "a single allocation past the limit");
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return operator new(size, std::nothrow);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

std::vector<FuzzBytes> ParseDictionary(const std::string& text)
{
    std::vector<FuzzBytes> words;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        const size_t open = line.find('"');
        const size_t close = line.rfind('"');
        if (line.empty() || line[0] == '#' || open == std::string::npos || close <= open)
            continue;
        FuzzBytes word;
        for (size_t i = open + 1; i < close; ++i) {
            if (line[i] != '\\' || i + 1 >= close) {
                word.push_back(static_cast<unsigned char>(line[i]));
            } else if (line[i + 1] == 'x' && i + 3 < close) {
                word.push_back(static_cast<unsigned char>(std::strtoul(line.substr(i + 2, 2).c_str(), nullptr, 16)));
                i += 3;
            } else {
                word.push_back(static_cast<unsigned char>(line[++i]));
            }
        }
        words.push_back(word);
    }
    return words;
}

MutationStats RunMutationFuzzer(const MutationTarget& target, const MutationOptions& options)
{
    Arm(options);
    if (target.setUp)
        target.setUp();
    const std::vector<FuzzBytes> corpus = ReadCorpus(options.corpus);
    FuzzBytes dictionary;
    if (!options.dictionary.empty())
        ReadInput(options.dictionary, dictionary);
    const std::vector<FuzzBytes> words = ParseDictionary(std::string(dictionary.begin(), dictionary.end()));
    size_t longest = 4096;
    for (const FuzzBytes& input : corpus)
        longest = std::max(longest, input.size());

    std::thread watchdog(Watch, options.timeoutMs);
    g_current.mallocLimit = options.mallocLimitMb * 1024 * 1024;
    MutationStats stats;
    stats.corpusSize = corpus.size();
    const ULONGLONG start = GetTickCount64();
    for (const FuzzBytes& input : corpus) {
        RunInput(target, input, options);
        ++stats.runs;
    }
    CMutator mutator(options.seed, corpus, words, longest);
    while (GetTickCount64() - start < static_cast<ULONGLONG>(options.seconds * 1000)) {
        const FuzzBytes input = mutator.Next();
        RunInput(target, input, options);
        ++stats.runs;
    }
    stats.seconds = static_cast<double>(GetTickCount64() - start) / 1000;
    g_current.mallocLimit = 0;
    g_current.stopping = true;
    watchdog.join();
    return stats;
}

bool RunOneInput(const MutationTarget& target, const std::wstring& path, const MutationOptions& options)
{
    FuzzBytes input;
    if (!ReadInput(path, input))
        return false;
    Arm(options);
    if (target.setUp)
        target.setUp();
    std::thread watchdog(Watch, options.timeoutMs);
    g_current.mallocLimit = options.mallocLimitMb * 1024 * 1024;
    RunInput(target, input, options);
    g_current.mallocLimit = 0;
    g_current.stopping = true;
    watchdog.join();
    return true;
}
