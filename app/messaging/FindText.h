// The text search of find in a chat: optional whole words, optional case;
// without it both sides are compared upper-cased, one rule for every item.
#pragma once

#include <vector>

struct FindFlags {
    int wholeWord;
    int matchCase;
};

// The first hit of pattern in haystack, or null. An empty pattern is never found.
const wchar_t* FindTextInString(const wchar_t* haystack, const wchar_t* pattern, const FindFlags& flags);

// The offset of the first hit at or after from in text (length characters),
// or -1. Word edges are judged against the whole text, so a search that goes
// on after a hit does not take the middle of a word for a word's start.
int FindTextFrom(const wchar_t* text, int length, int from, const wchar_t* pattern, const FindFlags& flags);

// The hits of one pattern in one text, one after another, with the text
// upper-cased once for them all (FindTextFrom's rules). Holds the pointers.
class CTextSearch {
public:
    CTextSearch(const wchar_t* text, int length, const wchar_t* pattern, const FindFlags& flags);
    // The offset of the first hit at or after from, or -1.
    int From(int from) const;

private:
    const wchar_t* m_text;
    int m_length;
    const wchar_t* m_searched;  // the text, or its upper-cased copy
    const wchar_t* m_needle;    // the pattern, or its upper-cased copy
    int m_patternLength;
    bool m_wholeWord;
    std::vector<wchar_t> m_foldedText;
    std::vector<wchar_t> m_foldedPattern;
};
