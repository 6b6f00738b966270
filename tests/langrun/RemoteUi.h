// The running program's windows seen from the test's process: its soft keys
// with their texts and rectangles, texts of lists and headers read through a
// block of the program's memory, and keys and taps posted as the user's.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "msgwnd/ProgramWindows.h"

// A block of memory in the process that owns a window, for the messages
// whose parameters point at records.
class CProgramMemory {
public:
    CProgramMemory(HWND window, size_t size);
    ~CProgramMemory();
    CProgramMemory(const CProgramMemory&) = delete;
    CProgramMemory& operator=(const CProgramMemory&) = delete;

    bool Ready() const { return m_remote != nullptr; }
    void* Remote(size_t at = 0) const { return static_cast<char*>(m_remote) + at; }
    bool Write(const void* data, size_t size, size_t at = 0);
    bool Read(void* data, size_t size, size_t at = 0);

private:
    HANDLE m_process;
    void* m_remote;
};

struct RemoteSoftKey {
    int command;
    std::wstring text;
    RECT rect;  // in the bar's client area
};

// The soft-key bar that window owns, waited for; null when it has none.
HWND SoftKeyBarOf(HWND window, DWORD ms = 5000);
std::vector<RemoteSoftKey> SoftKeys(HWND bar);
// The bar's key texts, left to right, joined by " | "; keys without a text left out.
std::wstring SoftKeyTexts(HWND bar);

void PostKey(HWND window, UINT key);
// A click on a dialog's push button, as the button tells its dialog.
void PostClick(HWND dialog, int id);
// Until the program's user-interface thread waits for input again, then a
// moment for the screen.
void WaitForProgramIdle(HWND window);
// A visible top-level window of the process that owns other, with that
// title; null when none shows within the time.
HWND WaitForTitle(HWND other, const std::wstring& title, DWORD ms = 10000);
// The child dialog (page) of a tabbed dialog that is shown.
HWND VisiblePage(HWND dialog);
