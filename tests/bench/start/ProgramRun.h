// One start of a program, watched from outside: launched from its full path
// (which tells its process from every other), watched until its main window
// is drawn, then closed as a user closes it.
#pragma once

#include <windows.h>

#include <string>

class CProgramRun {
public:
    explicit CProgramRun(const std::wstring& exePath);
    // Ends the program if it still runs.
    ~CProgramRun();
    CProgramRun(const CProgramRun&) = delete;
    CProgramRun& operator=(const CProgramRun&) = delete;

    // Starts it in its own folder.
    bool Start();
    // Milliseconds from Start until the main window (a visible top-level
    // window as wide as the screen) and its children have nothing left to
    // paint and the program has taken a message since; negative after the time.
    double WaitDrawn(DWORD timeoutMs);
    double StartedAt() const { return m_startedAt; }
    DWORD ProcessId() const { return m_process.dwProcessId; }
    // The proportional set size of its process, in kB; negative when unknown.
    long PssKb() const;
    // Posts WM_CLOSE to the main window and waits; ends the process after the
    // time. False when it had to be ended.
    bool Close(DWORD timeoutMs);
    // The same, timed: milliseconds from the post to the process's end;
    // negative when it had to be ended.
    double TimedClose(DWORD timeoutMs);
    // The main window WaitDrawn found.
    HWND MainWindow() const { return m_main; }

private:
    HWND FindMainWindow() const;

    std::wstring m_exePath;
    PROCESS_INFORMATION m_process;
    double m_startedAt;
    HWND m_main;
};
