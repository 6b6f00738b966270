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

int FindTextFrom(const wchar_t* text, int length, int from, const wchar_t* pattern, const FindFlags& flags)
{
    if (!text || !pattern || from < 0)
        return -1;
    int patternLength = static_cast<int>(std::wcslen(pattern));
    if (patternLength == 0 || patternLength > length - from)
        return -1;
    const wchar_t* searched = text;
    const wchar_t* needle = pattern;
    std::vector<wchar_t> foldedText, foldedPattern;
    if (!flags.matchCase) {
        // Both sides upper-cased once; offsets stay those of the text.
        foldedText.assign(text, text + length);
        foldedPattern.assign(pattern, pattern + patternLength);
        UpperCase(foldedText);
        UpperCase(foldedPattern);
        searched = foldedText.data();
        needle = foldedPattern.data();
    }
    for (int at = from; at + patternLength <= length; ++at) {
        if (searched[at] != needle[0] || std::wmemcmp(searched + at, needle, patternLength) != 0)
            continue;
        if (flags.wholeWord) {
            int end = at + patternLength;
            if ((at > 0 && !IsWordEdge(text[at - 1])) || (end < length && !IsWordEdge(text[end])))
                continue;
        }
        return at;
    }
    return -1;
}

const wchar_t* FindTextInString(const wchar_t* haystack, const wchar_t* pattern, const FindFlags& flags)
{
    if (!haystack)
        return nullptr;
    int length = static_cast<int>(std::wcslen(haystack));
    int at = FindTextFrom(haystack, length, 0, pattern, flags);
    return at < 0 ? nullptr : haystack + at;
}
