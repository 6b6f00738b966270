// The runs of the two texts a head or a service line shows on one row: the
// first in the Head font, the second in the Subhead font, each broken by
// character into rows no wider than the node. A search runs through both as
// one text, so a hit may span them.
// UI thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "JOVArray.h"

class CChatMessageTextLineItem_String;
class CChatView;
class CJOVDrawContext;
struct FindFlags;

class CChatTextRuns {
public:
    explicit CChatTextRuns(CChatView* parent);
    ~CChatTextRuns();
    CChatTextRuns(const CChatTextRuns&) = delete;
    CChatTextRuns& operator=(const CChatTextRuns&) = delete;

    // Deletes every run; the search goes on from where it was.
    void Clear();
    // Moves every run dy down.
    void Offset(int dy);
    int Count() const { return m_runs.Count(); }
    CChatMessageTextLineItem_String* operator[](int index) const { return m_runs[index]; }
    // The runs placed so far make the first text.
    void EndFirstText()
    {
        m_firstCount = m_runs.Count();
        m_secondText = true;
    }
    int FirstCount() const { return m_firstCount; }
    HFONT Font(int run) const;

    // Places the text in rows from x, later rows from x0; a row that cannot
    // take the next character ends, but never before its first one. widths:
    // the text's prefix widths, kept for the runs to draw with. True when a
    // new row was begun.
    bool PlaceRows(const std::wstring& text, std::vector<int> widths, int x, int x0, int right, int rowTop,
                   int height);
    // Marks [from, to] of the first or the second text on its runs; answers
    // the top of the first run that marks part of it, or -1.
    int MarkRange(bool second, int from, int to, CJOVDrawContext* context);
    // Finds the next hit of pattern in first and second together and marks
    // it; answers its top, or -1 (and the next search starts over).
    int Find(const std::wstring& first, const std::wstring& second, const wchar_t* pattern, const FindFlags& flags,
             CJOVDrawContext* context);
    void ResetFind() { m_findPosition = -1; }

private:
    CChatView* m_parent;
    CJOVArray<CChatMessageTextLineItem_String*> m_runs;
    // The first text's prefix widths and the second's.
    std::vector<int> m_widths[2];
    bool m_secondText;
    int m_firstCount;
    // Where the previous hit starts in both texts together; -1 none.
    int m_findPosition;
};
