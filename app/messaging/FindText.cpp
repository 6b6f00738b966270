#include "messaging/FindText.h"

#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

bool IsWordEdge(wchar_t c) { return std::iswspace(c) || std::iswpunct(c); }

bool MatchesAt(const wchar_t* text, const wchar_t* pattern, int patternLength, bool matchCase)
{
    if (matchCase)
        return std::wmemcmp(text, pattern, patternLength) == 0;
    for (int i = 0; i < patternLength; ++i) {
        if (std::towupper(text[i]) != static_cast<wint_t>(pattern[i]))
            return false;
    }
    return true;
}

} // namespace

int FindTextFrom(const wchar_t* text, int length, int from, const wchar_t* pattern, const FindFlags& flags)
{
    if (!text || !pattern || from < 0)
        return -1;
    int patternLength = static_cast<int>(std::wcslen(pattern));
    if (patternLength == 0 || patternLength > length - from)
        return -1;
    bool matchCase = flags.matchCase != 0;
    // Without match case the pattern is upper-cased once, the text as it goes.
    std::vector<wchar_t> folded;
    const wchar_t* needle = pattern;
    if (!matchCase) {
        folded.assign(pattern, pattern + patternLength);
        for (wchar_t& c : folded)
            c = static_cast<wchar_t>(std::towupper(c));
        needle = folded.data();
    }
    wchar_t first = needle[0];
    for (int at = from; at + patternLength <= length; ++at) {
        wchar_t c = matchCase ? text[at] : static_cast<wchar_t>(std::towupper(text[at]));
        if (c != first || !MatchesAt(text + at, needle, patternLength, matchCase))
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
