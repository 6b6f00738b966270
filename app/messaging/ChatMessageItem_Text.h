// The body of a message: its text cut into plain runs, smilies and links
// once, when made, and laid out into lines that fit the view on every
// layout; the first line may stand beside the head. A line's pieces are made
// when it is first drawn, selected, searched or tapped: the cost of a long
// message is its text's, not its pieces'. Its allowance of smiley
// pictures only ever shrinks: the chat-wide limit turns its first smilies
// back into text. A picture's control is made when it is first drawn: a
// picture the limit takes back before then costs no window.
// UI thread.
#pragma once

#include <string>
#include <vector>

#include "JOVArray.h"
#include "JOVString.h"
#include "messaging/ChatItem.h"
#include "messaging/ChatItemArena.h"

class CChatMessageItem_Head;
class CChatMessageTextLine;
class CSmailyCtrl;

class CChatMessageItem_Text : public CChatNode {
public:
    struct ParsingTextItem {
        int start;
        int length;
        int type;   // ChatItemSmaily, ChatItemString or ChatItemLink
        int index;  // a smiley's control index (its index in the set while parsing)
    };

    CChatMessageItem_Text(const CJOVString& text, CChatMessageItem_Head* head, CChatView* parent, int historyFlag);
    ~CChatMessageItem_Text() override;

    int GetType() const override;
    void Draw(CJOVDrawContext* context, int scroll) override;
    void Select(POINT first, POINT second, CJOVDrawContext* context) override;
    void ClearSelection() override;
    void AppendSelectedText(CGrowingTextBuffer& buffer) override;
    int OnClick(POINT point) override;
    POINT SetCaretFromPoint(POINT point, CJOVDrawContext* context) override;
    void ResetCaret() override;
    POINT MoveCaret(int step, CJOVDrawContext* context) override;
    void Offset(int dy) override;
    void Layout(RECT& rect) override;
    int Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context) override;
    void ResetFind() override;
    void AppendAllText(CGrowingTextBuffer& buffer) override;

    // Rebuilds the runs and the smiley pictures from the text and the allowance.
    void Parse();
    // Lowers the allowance; 1 when smilies turned into text (lay out again).
    int SetSmiliesLimit(int allowance);
    int GetFirstLineIndent() const;

    const std::wstring& GetText() const { return m_text; }
    int GetRunCount() const { return m_runs.Count(); }
    const ParsingTextItem& GetRun(int index) const { return m_runs[index]; }
    int GetSmileyCount() const { return m_smilies.Count(); }
    // The picture's control, made on the first call (a child of the view).
    CSmailyCtrl* GetSmiley(int index);
    int GetAllowance() const { return m_allowance; }
    int GetLineCount() const { return m_lines.Count(); }
    CChatMessageTextLine* GetLine(int index) const { return m_lines[index]; }
    bool IsLaidOut() const { return m_laidOut != 0; }
    // What the lines' memory holds, kept from layout to layout.
    size_t GetLinesCapacity() const { return m_arena.GetCapacity(); }
    // Makes a planned line's pieces, for the line when it is first asked for them.
    void MakeItems(CChatMessageTextLine& line);
    bool HoldsCaret() const { return m_caretLine >= 0; }

private:
    struct LineSpan;
    struct Smiley {
        int smiley;  // in the set
        int width;
        int height;
        CSmailyCtrl* control;  // null until drawn
    };

    void DeleteLines();
    void DeleteSmilies();
    // Lays the lines out; false when line 0 beside the head could not take
    // the text's first word, which then starts again below the head.
    bool LayoutLines(const RECT& rect, bool besideHead, const std::vector<int>& extents, int height);
    // Plans the line of the atoms from one cursor to the other, at x = left
    // (its pieces are made when first asked for).
    CChatMessageTextLine* BuildLine(const LineSpan& span, int left, int top, int right,
                                    const std::vector<int>& extents, int height);
    bool IsFirstLineBesideHead() const;
    // The text offset a line starts at (the text's length for an empty one).
    int LineStart(int line) const;
    // The first line that may hold the character at position.
    int FirstLineAt(int position) const;

    std::wstring m_text;
    // Where each character starts, from the text's start, as the last layout
    // measured it (line breaks take no room): every width and every letter's
    // place comes from it. Its pieces draw with it.
    std::vector<int> m_extents;
    CChatMessageItem_Head* m_head;
    CJOVArray<ParsingTextItem> m_runs;
    CJOVArray<Smiley> m_smilies;
    CJOVArray<CChatMessageTextLine*> m_lines;
    // Holds the lines and their pieces (ended by DeleteLines).
    CChatItemArena m_arena;
    int m_allowance;
    int m_laidOut;
    int m_findPosition;
    int m_caretLine;
};
