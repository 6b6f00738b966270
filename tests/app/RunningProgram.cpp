#include "RunningProgram.h"

#include <commctrl.h>

#include <vector>

#include "support/ProcessWindows.h"
#include "support/TestFolders.h"

CRunningProgram::CRunningProgram() : m_folder(MakeTempFolder(L"app")), m_process{} {}

CRunningProgram::~CRunningProgram()
{
    if (m_process.hProcess) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 5000);
        }
        CloseHandle(m_process.hProcess);
    }
    RemoveTree(m_folder);
}

bool CRunningProgram::Start(bool withPlugins)
{
    if (!CopyProgram(OwnFolder(), m_folder))
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

bool CRunningProgram::Kill()
{
    return m_process.hProcess && TerminateProcess(m_process.hProcess, 9) && WaitForExit(10000);
}

HWND CRunningProgram::FindWindowOf(const wchar_t* className, const wchar_t* title) const
{
    return FindProcessWindow(m_process.dwProcessId, className, title);
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

bool CRunningProgram::GoOnline(HWND list) const
{
    PostMessageW(list, WM_CHAR, L'1', 1);
    HWND menu = WaitForWindow(L"#32768", nullptr, 5000);
    if (!menu)
        return false;
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(menu, WM_KEYDOWN, key, 0);
    return WaitUntilGone(menu);
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
