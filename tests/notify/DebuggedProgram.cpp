#include "notify/DebuggedProgram.h"

#include "support/ProcessWindows.h"
#include "support/TestFolders.h"

CDebuggedProgram::CDebuggedProgram() : m_folder(MakeTempFolder(L"run")) {}

CDebuggedProgram::~CDebuggedProgram()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_process && !m_exited)
            TerminateProcess(m_process, 1);
    }
    if (m_debugger.joinable())
        m_debugger.join();
    RemoveTree(m_folder);
}

bool CDebuggedProgram::Prepare()
{
    return CopyProgram(OwnFolder(), m_folder);
}

bool CDebuggedProgram::PrepareWhole()
{
    if (!Prepare())
        return false;
    for (const wchar_t* folder : {L"Protos", L"Skins", L"Smilies", L"Sounds", L"Langs"}) {
        if (!CopyFolder(OwnFolder() + L"\\" + folder, m_folder + L"\\" + folder))
            return false;
    }
    return true;
}

bool CDebuggedProgram::Start()
{
    m_debugger = std::thread([this] { Debug(); });
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [this] { return m_started || m_exited; });
    return m_process != nullptr && !m_exited;
}

// A debugger's loop: it must run on the thread that started the process.
void CDebuggedProgram::Debug()
{
    std::wstring exe = m_folder + L"\\JOV.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    BOOL created = CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                                  nullptr, m_folder.c_str(), &startup, &process);
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_started = created != FALSE;
        m_exited = !created;
        m_process = created ? process.hProcess : nullptr;
        m_processId = created ? process.dwProcessId : 0;
    }
    m_changed.notify_all();
    if (!created)
        return;
    CloseHandle(process.hThread);
    bool done = false;
    while (!done) {
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, 60000))
            break;
        DWORD how = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO& text = event.u.DebugString;
            SIZE_T units = text.nDebugStringLength < 2048 ? text.nDebugStringLength : 2048;
            std::string line;
            if (text.fUnicode) {
                std::wstring wide(units, L'\0');
                SIZE_T got = 0;
                ReadProcessMemory(process.hProcess, text.lpDebugStringData, &wide[0], units * 2, &got);
                for (wchar_t c : wide)
                    line += c < 0x80 ? static_cast<char>(c) : '?';
            } else {
                line.resize(units);
                SIZE_T got = 0;
                ReadProcessMemory(process.hProcess, text.lpDebugStringData, &line[0], units, &got);
            }
            while (!line.empty() && (line.back() == '\0' || line.back() == '\n' || line.back() == '\r'))
                line.pop_back();
            std::lock_guard<std::mutex> hold(m_lock);
            m_lines.push_back(line);
            break;
        }
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                how = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            done = true;
            break;
        default:
            break;
        }
        m_changed.notify_all();
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, how);
    }
    WaitForSingleObject(process.hProcess, 10000);
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_exited = true;
        CloseHandle(m_process);
        m_process = nullptr;
    }
    m_changed.notify_all();
}

int CDebuggedProgram::WaitForLine(const std::string& text, DWORD ms, int from)
{
    std::unique_lock<std::mutex> hold(m_lock);
    int found = -1;
    m_changed.wait_for(hold, std::chrono::milliseconds(ms), [&] {
        for (size_t i = from < 0 ? 0 : from; i < m_lines.size(); ++i) {
            if (m_lines[i].find(text) != std::string::npos) {
                found = static_cast<int>(i);
                return true;
            }
        }
        return m_exited;
    });
    return found;
}

std::vector<std::string> CDebuggedProgram::Lines()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_lines;
}

bool CDebuggedProgram::WaitForExit(DWORD ms)
{
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(ms), [this] { return m_exited; });
}

HWND CDebuggedProgram::WaitForWindow(const wchar_t* title, DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        if (HWND window = FindProcessWindow(m_processId, nullptr, title))
            return window;
        Sleep(50);
    } while (GetTickCount() - start < ms);
    return nullptr;
}
