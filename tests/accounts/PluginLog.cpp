#include "PluginLog.h"

namespace {

std::mutex g_lock;
std::vector<std::wstring> g_lines;

} // namespace

void JovTestLog(const wchar_t* line) { CPluginLog::Add(line); }

void CPluginLog::Add(const std::wstring& line)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_lines.push_back(line);
}

void CPluginLog::Clear()
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_lines.clear();
}

std::vector<std::wstring> CPluginLog::Lines()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_lines;
}

int CPluginLog::Find(const std::wstring& text)
{
    std::vector<std::wstring> lines = Lines();
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(text) != std::wstring::npos)
            return static_cast<int>(i);
    return -1;
}

int CPluginLog::Count(const std::wstring& text)
{
    int count = 0;
    for (const std::wstring& line : Lines())
        count += line.find(text) != std::wstring::npos;
    return count;
}

bool CPluginLog::WaitFor(const std::wstring& text, DWORD ms)
{
    const DWORD start = GetTickCount();
    while (Find(text) < 0) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(2);
    }
    return true;
}

int CPluginLog::CountLines(const std::wstring& line)
{
    int count = 0;
    for (const std::wstring& held : Lines())
        count += held == line;
    return count;
}

int CPluginLog::FindLine(const std::wstring& line)
{
    std::vector<std::wstring> lines = Lines();
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == line)
            return static_cast<int>(i);
    return -1;
}
