// JOV.exe started from a fresh copy of the runnable tree in a temporary
// folder, with the program's windows found from outside.
#pragma once

#include <windows.h>

#include <string>

class CRunningProgram {
public:
    CRunningProgram();
    // Ends the program if it still runs, and removes the folder.
    ~CRunningProgram();
    CRunningProgram(const CRunningProgram&) = delete;
    CRunningProgram& operator=(const CRunningProgram&) = delete;

    // withPlugins: the "Protos" tree goes along, so accounts can be made.
    bool Start(bool withPlugins = false);
    // Before Start: a folder of the runnable tree ("Skins", "Langs") goes along.
    bool CopyAlong(const wchar_t* folder);
    // After the program ended: starts it again from the same folder.
    bool Restart();
    // Starts one more process from the same folder; its handle, or null.
    HANDLE StartAnother() const;
    // True when the program ended within the time.
    bool WaitForExit(DWORD ms, DWORD* exitCode = nullptr);
    // Ends the program at once, as a crash or a flat battery does: no close,
    // no shut-down; true once it is gone.
    bool Kill();

    std::wstring File(const wchar_t* name) const { return m_folder + L"\\" + name; }
    HANDLE Process() const { return m_process.hProcess; }

    // A top-level window of the program with that class and title (either may
    // be null), waited for up to the time.
    HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD ms = 10000) const;
    HWND FindWindowOf(const wchar_t* className, const wchar_t* title) const;
    // Waits until the window is gone.
    static bool WaitUntilGone(HWND window, DWORD ms = 5000);

    // Online for every account, from the overall status menu that the
    // list's digit key 1 opens; true once the menu is gone.
    bool GoOnline(HWND list) const;

    // The text of a soft key of the program's menu bar.
    std::wstring SoftKeyText(HWND bar, UINT command) const;

private:
    std::wstring m_folder;
    PROCESS_INFORMATION m_process;
};
