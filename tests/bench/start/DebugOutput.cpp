#include "DebugOutput.h"

#include <cstring>

namespace {

// A process id, then the text with its terminator.
const DWORD kBufferSize = 4096;

} // namespace

CDebugOutput::CDebugOutput()
    : m_bufferReady(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY")),
      m_dataReady(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY")),
      m_mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, L"DBWIN_BUFFER")),
      m_view(nullptr), m_stop(false)
{
    const bool taken = GetLastError() == ERROR_ALREADY_EXISTS;
    if (!m_bufferReady || !m_dataReady || !m_mapping || taken)
        return;
    m_view = static_cast<const unsigned char*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, kBufferSize));
    if (m_view)
        m_thread = std::thread([this] { Read(); });
}

CDebugOutput::~CDebugOutput()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_view)
        UnmapViewOfFile(m_view);
    for (HANDLE handle : {m_mapping, m_dataReady, m_bufferReady})
        if (handle)
            CloseHandle(handle);
}

void CDebugOutput::Read()
{
    while (!m_stop) {
        SetEvent(m_bufferReady);
        while (!m_stop && WaitForSingleObject(m_dataReady, 50) == WAIT_TIMEOUT) {
        }
        if (m_stop)
            break;
        DWORD processId = 0;
        std::memcpy(&processId, m_view, sizeof processId);
        const char* text = reinterpret_cast<const char*>(m_view + sizeof processId);
        const std::string written(text, strnlen(text, kBufferSize - sizeof processId));
        std::lock_guard<std::mutex> hold(m_lock);
        // One write may hold several lines.
        size_t start = 0;
        while (start < written.size()) {
            size_t end = written.find('\n', start);
            if (end == std::string::npos)
                end = written.size();
            std::string line = written.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            m_lines.emplace_back(processId, std::move(line));
            start = end + 1;
        }
    }
}

std::vector<std::string> CDebugOutput::Lines(DWORD processId)
{
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<std::string> lines;
    for (const auto& [from, line] : m_lines)
        if (from == processId)
            lines.push_back(line);
    return lines;
}
