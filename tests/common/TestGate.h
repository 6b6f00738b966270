// A gate a handler waits at until the test opens it (a manual-reset event).
#pragma once

#include <windows.h>

class CTestGate {
public:
    CTestGate() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~CTestGate() { CloseHandle(m_event); }
    CTestGate(const CTestGate&) = delete;
    CTestGate& operator=(const CTestGate&) = delete;

    void Open() { SetEvent(m_event); }
    // True when opened within the time.
    bool Wait(DWORD ms = 10000) { return WaitForSingleObject(m_event, ms) == WAIT_OBJECT_0; }

private:
    HANDLE m_event;
};
