#include "RunningProgram.h"

#include <commctrl.h>

#include <vector>

namespace {

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool IsDots(const wchar_t* name)
{
    return lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0;
}

void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring path = folder + L"\\" + found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(path.c_str());
            else if (!IsDots(found.cFileName))
                RemoveFolder(path);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// A folder with everything under it.
bool CopyFolder(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool copied = true;
    do {
        std::wstring source = from + L"\\" + found.cFileName, target = to + L"\\" + found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            copied = CopyFileW(source.c_str(), target.c_str(), FALSE) && copied;
        else if (!IsDots(found.cFileName))
            copied = CopyFolder(source, target) && copied;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return copied;
}

// The program and the libraries beside it; without "Protos", no plug-ins.
bool CopyTree(const std::wstring& from, const std::wstring& to)
{
    std::vector<std::wstring> names = {L"JOV.exe"};
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"\\*.dll").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    for (const std::wstring& name : names) {
        if (!CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE))
            return false;
    }
    return true;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window))
        return TRUE;
    wchar_t text[128] = {};
    if (search->className && (!GetClassNameW(window, text, 128) || lstrcmpW(text, search->className) != 0))
        return TRUE;
    if (search->title) {
        GetWindowTextW(window, text, 128);
        if (lstrcmpW(text, search->title) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

} // namespace

CRunningProgram::CRunningProgram() : m_process{}
{
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH, temp);
    m_folder = std::wstring(temp) + L"jov_app_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(GetTickCount());
    CreateDirectoryW(m_folder.c_str(), nullptr);
}

CRunningProgram::~CRunningProgram()
{
    if (m_process.hProcess) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 5000);
        }
        CloseHandle(m_process.hProcess);
    }
    RemoveFolder(m_folder);
}

bool CRunningProgram::Start(bool withPlugins)
{
    if (!CopyTree(OwnFolder(), m_folder))
        return false;
    if (withPlugins && !CopyFolder(OwnFolder() + L"\\Protos", m_folder + L"\\Protos"))
        return false;
    m_process.hProcess = StartAnother();
    m_process.dwProcessId = m_process.hProcess ? GetProcessId(m_process.hProcess) : 0;
    return m_process.hProcess != nullptr;
}

bool CRunningProgram::CopyAlong(const wchar_t* folder)
{
    return CopyFolder(OwnFolder() + L"\\" + folder, m_folder + L"\\" + folder);
}

bool CRunningProgram::Restart()
{
    if (m_process.hProcess)
        CloseHandle(m_process.hProcess);
    m_process.hProcess = StartAnother();
    m_process.dwProcessId = m_process.hProcess ? GetProcessId(m_process.hProcess) : 0;
    return m_process.hProcess != nullptr;
}

HANDLE CRunningProgram::StartAnother() const
{
    std::wstring exe = File(L"JOV.exe");
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, m_folder.c_str(),
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

bool CRunningProgram::WaitForExit(DWORD ms, DWORD* exitCode)
{
    if (WaitForSingleObject(m_process.hProcess, ms) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(m_process.hProcess, exitCode);
    return true;
}

HWND CRunningProgram::FindWindowOf(const wchar_t* className, const wchar_t* title) const
{
    WindowSearch search = {m_process.dwProcessId, className, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND CRunningProgram::WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD ms) const
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindWindowOf(className, title))
            return window;
        if (GetTickCount() - start > ms)
            return nullptr;
        Sleep(50);
    }
}

bool CRunningProgram::WaitUntilGone(HWND window, DWORD ms)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(50);
    }
    return true;
}

std::wstring CRunningProgram::SoftKeyText(HWND bar, UINT command) const
{
    // The bar reads and writes the record in its own process.
    struct Block {
        TBBUTTONINFOW info;
        wchar_t text[64];
    };
    Block* remote = static_cast<Block*>(
        VirtualAllocEx(m_process.hProcess, nullptr, sizeof(Block), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote)
        return L"<no memory>";
    Block local = {};
    local.info.cbSize = sizeof(TBBUTTONINFOW);
    local.info.dwMask = TBIF_TEXT;
    local.info.pszText = remote->text;
    local.info.cchText = 64;
    std::wstring text = L"<unread>";
    if (WriteProcessMemory(m_process.hProcess, remote, &local, sizeof(local), nullptr) &&
        SendMessageW(bar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(remote)) >= 0 &&
        ReadProcessMemory(m_process.hProcess, remote, &local, sizeof(local), nullptr))
        text = local.text;
    VirtualFreeEx(m_process.hProcess, remote, 0, MEM_RELEASE);
    return text;
}
