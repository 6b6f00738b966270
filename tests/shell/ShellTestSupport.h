// Shared pieces of the window tests: a top-level host window that records
// what it is sent, and message pumping on the test's (UI) thread.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CTestHost {
public:
    // A visible popup over the whole screen, or over rect.
    explicit CTestHost(const RECT* rect = nullptr);
    ~CTestHost();
    CTestHost(const CTestHost&) = delete;
    CTestHost& operator=(const CTestHost&) = delete;

    HWND Window() const { return m_window; }
    int Count(UINT message) const;
    // The last one recorded, or null.
    const RecordedMessage* Last(UINT message) const;
    void Clear() { m_messages.clear(); }

    // Called for every message before the default procedure.
    std::function<void(UINT, WPARAM, LPARAM)> onMessage;

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window;
    std::vector<RecordedMessage> m_messages;
};

// Dispatches what is queued now.
void Pump();
// Dispatches until done() or the timeout; answers done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeout = 3000);
void PumpFor(DWORD milliseconds);
HINSTANCE TestModule();
// Posts a key press (down) of a virtual key to window.
void PostKey(HWND window, UINT key);
