// JOV.exe run from a copy of the runnable tree in a temporary folder, as a
// debugger runs it: every line it writes to the debug output is kept.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CDebuggedProgram {
public:
    CDebuggedProgram();
    // Ends the program if it still runs, and removes the folder.
    ~CDebuggedProgram();
    CDebuggedProgram(const CDebuggedProgram&) = delete;
    CDebuggedProgram& operator=(const CDebuggedProgram&) = delete;

    std::wstring Folder() const { return m_folder; }
    // Copies the program and its libraries; then the test adds what it needs.
    bool Prepare();
    // The same with every folder of the runnable tree it reads, plug-ins too.
    bool PrepareWhole();
    bool Start();
    // The index of the first debug line at or after from that holds text, or -1.
    int WaitForLine(const std::string& text, DWORD ms, int from = 0);
    std::vector<std::string> Lines();
    bool WaitForExit(DWORD ms);
    // A visible top-level window of the program with that title.
    HWND WaitForWindow(const wchar_t* title, DWORD ms);

private:
    void Debug();

    std::wstring m_folder;
    std::thread m_debugger;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::string> m_lines;
    bool m_started = false;
    bool m_exited = false;
    DWORD m_processId = 0;
    HANDLE m_process = nullptr;
};
