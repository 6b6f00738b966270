// Shared by the ICQ tests: packing a client packet into bytes, building server
// frames with the scripted server's own encoder, and a buffer whose end is
// followed by an inaccessible page, so that a parse reading past a frame
// crashes the test instead of passing unnoticed.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "JOVString.h"
#include "ServerFrames.h"

typedef std::vector<unsigned char> Bytes;

// The body of a packed SNAC (everything after the 16 header bytes).
inline Bytes SnacBody(const Bytes& frame)
{
    return frame.size() < 16 ? Bytes() : Bytes(frame.begin() + 16, frame.end());
}

inline Bytes ServerFrame(const OscarWire::Frame& frame)
{
    return OscarWire::FlapBytes(frame.channel, 1, frame.payload);
}

inline Bytes B(std::initializer_list<int> values)
{
    Bytes bytes;
    for (int value : values)
        bytes.push_back(static_cast<unsigned char>(value));
    return bytes;
}

inline Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline std::wstring W(const CJOVString& text)
{
    return std::wstring(text.Data() ? text.Data() : L"", static_cast<size_t>(text.GetLength()));
}

// Bytes placed so that their last byte is the last readable byte of a page.
class CGuardedBytes {
public:
    explicit CGuardedBytes(const Bytes& bytes)
        : m_base(nullptr), m_end(nullptr), m_data(nullptr), m_size(0), m_capacity(0)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        m_page = info.dwPageSize;
        size_t pages = (bytes.size() + m_page - 1) / m_page + 1;
        m_base = static_cast<unsigned char*>(VirtualAlloc(nullptr, (pages + 1) * m_page, MEM_COMMIT | MEM_RESERVE,
                                                          PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + pages * m_page, m_page, PAGE_NOACCESS, &old);
        m_end = m_base + pages * m_page;
        m_data = m_end - bytes.size();
        m_size = bytes.size();
        m_capacity = bytes.size();
        if (!bytes.empty())
            std::memcpy(m_data, bytes.data(), bytes.size());
    }
    ~CGuardedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
    CGuardedBytes(const CGuardedBytes&) = delete;
    CGuardedBytes& operator=(const CGuardedBytes&) = delete;

    const unsigned char* Data() const { return m_data; }
    int Size() const { return static_cast<int>(m_size); }
    // Puts other bytes (no more than the first ones) against the same guard page.
    const unsigned char* Place(const Bytes& bytes)
    {
        if (bytes.size() > m_capacity)
            return nullptr;
        m_data = m_end - bytes.size();
        m_size = bytes.size();
        if (!bytes.empty())
            std::memcpy(m_data, bytes.data(), bytes.size());
        return m_data;
    }

private:
    unsigned char* m_base;
    unsigned char* m_end;
    unsigned char* m_data;
    size_t m_size;
    size_t m_capacity;
    size_t m_page;
};
