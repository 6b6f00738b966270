// The text search of find in a chat: optional whole words, optional case;
// without it both sides are compared upper-cased, one rule for every item.
#pragma once

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
