// What the test plug-ins' accounts (and the tests' own observers) report, in
// arrival order. The plug-ins find the program's exported JovTestLog.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

class CPluginLog {
public:
    static void Add(const std::wstring& line);
    static void Clear();
    static std::vector<std::wstring> Lines();
    // Position of the first line holding the text, -1 when none.
    static int Find(const std::wstring& text);
    static int Count(const std::wstring& text);
    // Position of the first line that is exactly the text, -1 when none.
    static int FindLine(const std::wstring& line);
    // Lines that are exactly the text.
    static int CountLines(const std::wstring& line);
    // Waits until a line holds the text; false after the time.
    static bool WaitFor(const std::wstring& text, DWORD ms = 10000);
};

extern "C" __declspec(dllexport) void JovTestLog(const wchar_t* line);
