#include "UnixProcess.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>

namespace {

const wchar_t kProc[] = L"Z:\\proc\\";

// The whole of a /proc file: its size reads as 0, so read to the end.
std::string ReadProcFile(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

std::string LowerNarrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += static_cast<char>(c < 0x80 ? std::towlower(c) : '?');
    return narrow;
}

// Wine shows a process's command line as its Windows arguments; the first is
// the program, padded with spaces.
std::string FirstArgument(const std::string& cmdline)
{
    std::string first = cmdline.substr(0, cmdline.find('\0'));
    first.erase(first.find_last_not_of(' ') + 1);
    std::transform(first.begin(), first.end(), first.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    return first;
}

} // namespace

long UnixProcessPssKb(const std::wstring& programPath)
{
    const std::string program = LowerNarrow(programPath);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(kProc) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    long pss = -1;
    do {
        const std::wstring pid = found.cFileName;
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), iswdigit))
            continue;
        const std::wstring folder = kProc + pid + L"\\";
        if (FirstArgument(ReadProcFile(folder + L"cmdline")) != program)
            continue;
        const std::string rollup = ReadProcFile(folder + L"smaps_rollup");
        const size_t at = rollup.find("\nPss:");
        if (at != std::string::npos)
            pss = std::strtol(rollup.c_str() + at + 5, nullptr, 10);
        break;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return pss;
}
