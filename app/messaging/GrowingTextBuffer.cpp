#include "messaging/GrowingTextBuffer.h"

#include <climits>
#include <cstring>
#include <cwchar>
#include <new>

CGrowingTextBuffer::CGrowingTextBuffer() : m_text(nullptr), m_length(0), m_capacity(0) {}

CGrowingTextBuffer::~CGrowingTextBuffer() { delete[] m_text; }

bool CGrowingTextBuffer::Reserve(int length)
{
    if (length < m_capacity)
        return true;
    long long capacity = m_capacity < 64 ? 64 : m_capacity;
    while (capacity <= length)
        capacity *= 2;
    if (capacity > INT_MAX)
        capacity = INT_MAX;
    if (capacity <= length)
        return false;
    wchar_t* grown = new (std::nothrow) wchar_t[capacity];
    if (!grown)
        return false;
    if (m_text)
        std::memcpy(grown, m_text, m_length * sizeof(wchar_t));
    grown[m_length] = L'\0';
    delete[] m_text;
    m_text = grown;
    m_capacity = static_cast<int>(capacity);
    return true;
}

void CGrowingTextBuffer::Append(const wchar_t* text, int count)
{
    // A text that cannot be kept whole is not kept at all: a copy never ends mid-way.
    if (!text || count <= 0 || count > INT_MAX - 1 - m_length || !Reserve(m_length + count))
        return;
    std::memcpy(m_text + m_length, text, count * sizeof(wchar_t));
    m_length += count;
    m_text[m_length] = L'\0';
}

void CGrowingTextBuffer::Append(const wchar_t* text)
{
    if (text)
        Append(text, static_cast<int>(std::wcslen(text)));
}
