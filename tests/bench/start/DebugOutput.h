// The debug output of other processes, read as a debug-output viewer reads it
// (the shared buffer that OutputDebugString fills when no debugger is
// attached), so that the program runs at its own pace, undebugged.
//
// One reader at a time in a Wine session. Its thread takes each line as it
// comes; any thread asks for the lines of one process.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CDebugOutput {
public:
    CDebugOutput();
    ~CDebugOutput();
    CDebugOutput(const CDebugOutput&) = delete;
    CDebugOutput& operator=(const CDebugOutput&) = delete;

    // False when another reader holds the buffer.
    bool IsReading() const { return m_thread.joinable(); }
    // The lines that process has written so far, without their line ends.
    std::vector<std::string> Lines(DWORD processId);

private:
    void Read();

    HANDLE m_bufferReady;
    HANDLE m_dataReady;
    HANDLE m_mapping;
    const unsigned char* m_view;
    volatile bool m_stop;
    std::mutex m_lock;
    std::vector<std::pair<DWORD, std::string>> m_lines;
    std::thread m_thread;
};
