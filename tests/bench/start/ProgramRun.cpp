#include "ProgramRun.h"

#include "UnixProcess.h"
#include "bench/BenchRow.h"

namespace {

struct WindowSearch {
    DWORD processId;
    int screenWidth;
    HWND found;
    long area;
};

BOOL CALLBACK TakeWidest(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    RECT rect;
    GetWindowRect(window, &rect);
    const long area = static_cast<long>(rect.right - rect.left) * (rect.bottom - rect.top);
    if (rect.right - rect.left == search->screenWidth && area > search->area) {
        search->found = window;
        search->area = area;
    }
    return TRUE;
}

BOOL CALLBACK FindUnpainted(HWND child, LPARAM param)
{
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

bool Painted(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        return false;
    bool unpainted = false;
    EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

} // namespace

CProgramRun::CProgramRun(const std::wstring& exePath)
    : m_exePath(exePath), m_process(), m_startedAt(-1), m_main(nullptr)
{
}

CProgramRun::~CProgramRun()
{
    if (m_process.hProcess)
        Close(5000);
}

bool CProgramRun::Start()
{
    std::wstring folder = m_exePath.substr(0, m_exePath.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + m_exePath + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    m_startedAt = NowMs();
    return CreateProcessW(m_exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          0, nullptr, folder.empty() ? nullptr : folder.c_str(),
                          &startup, &m_process) != FALSE;
}

HWND CProgramRun::FindMainWindow() const
{
    WindowSearch search = {m_process.dwProcessId, GetSystemMetrics(SM_CXSCREEN), nullptr, 0};
    EnumWindows(TakeWidest, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

double CProgramRun::WaitDrawn(DWORD timeoutMs)
{
    while (NowMs() - m_startedAt < timeoutMs) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0)
            return -1;
        HWND main = FindMainWindow();
        // Painting begins by taking the update region: the answer to a message
        // sent after that comes once the paint handler has returned.
        DWORD_PTR answer = 0;
        if (main && Painted(main) &&
            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) && Painted(main)) {
            m_main = main;
            return NowMs() - m_startedAt;
        }
        Sleep(1);
    }
    return -1;
}

long CProgramRun::PssKb() const
{
    return UnixProcessPssKb(m_exePath);
}

bool CProgramRun::Close(DWORD timeoutMs)
{
    return TimedClose(timeoutMs) >= 0;
}

double CProgramRun::TimedClose(DWORD timeoutMs)
{
    if (!m_process.hProcess)
        return 0;
    HWND main = m_main ? m_main : FindMainWindow();
    const double posted = NowMs();
    if (main)
        PostMessageW(main, WM_CLOSE, 0, 0);
    const bool closed = WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    const double took = NowMs() - posted;
    if (!closed) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, timeoutMs);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
    m_process = PROCESS_INFORMATION();
    return closed ? took : -1;
}
