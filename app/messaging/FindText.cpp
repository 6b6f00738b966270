#include "messaging/FindText.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

bool IsWordEdge(wchar_t c) { return std::iswspace(c) || std::iswpunct(c); }

// The platform's upper-casing knows every script, not only the C locale's letters.
void UpperCase(std::vector<wchar_t>& text)
{
    if (!text.empty())
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
}

} // namespace

CTextSearch::CTextSearch(const wchar_t* text, int length, const wchar_t* pattern, const FindFlags& flags)
    : m_text(text), m_length(text && length > 0 ? length : 0), m_searched(text), m_needle(pattern),
      m_patternLength(text && pattern ? static_cast<int>(std::wcslen(pattern)) : 0), m_wholeWord(flags.wholeWord != 0)
{
    if (m_patternLength == 0 || m_patternLength > m_length || flags.matchCase)
        return;
    // Both sides upper-cased once; offsets stay those of the text.
    m_foldedText.assign(text, text + m_length);
    m_foldedPattern.assign(pattern, pattern + m_patternLength);
    UpperCase(m_foldedText);
    UpperCase(m_foldedPattern);
    m_searched = m_foldedText.data();
    m_needle = m_foldedPattern.data();
}

int CTextSearch::From(int from) const
{
    if (from < 0 || m_patternLength == 0 || m_patternLength > m_length - from)
        return -1;
    for (int at = from; at + m_patternLength <= m_length; ++at) {
        if (m_searched[at] != m_needle[0] || std::wmemcmp(m_searched + at, m_needle, m_patternLength) != 0)
            continue;
        if (m_wholeWord) {
            int end = at + m_patternLength;
            if ((at > 0 && !IsWordEdge(m_text[at - 1])) || (end < m_length && !IsWordEdge(m_text[end])))
                continue;
        }
        return at;
    }
    return -1;
}

int FindTextFrom(const wchar_t* text, int length, int from, const wchar_t* pattern, const FindFlags& flags)
{
    if (!text || !pattern || from < 0)
        return -1;
    return CTextSearch(text, length, pattern, flags).From(from);
}

const wchar_t* FindTextInString(const wchar_t* haystack, const wchar_t* pattern, const FindFlags& flags)
{
    if (!haystack)
        return nullptr;
    int length = static_cast<int>(std::wcslen(haystack));
    int at = FindTextFrom(haystack, length, 0, pattern, flags);
    return at < 0 ? nullptr : haystack + at;
}
