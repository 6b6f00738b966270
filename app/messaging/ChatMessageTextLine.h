// One laid-out line of a message: its pieces from left to right. The layout
// only plans a line (where it stands, which characters it holds, where each
// piece ends); its pieces are made when the line is first asked for them
// (drawn, selected, searched, tapped, holding the caret), so that a long
// message costs for its lines in view, not for every piece it has. The line
// and its pieces live in the message's arena: the line ends its pieces when
// it is ended, and the message gives the memory back.
// UI thread.
#pragma once

#include "JOVArray.h"
#include "messaging/ChatMessageTextLineItem.h"

class CChatMessageItem_Text;

class CChatMessageTextLine : public CChatItem {
public:
    // The pieces of a planned line: the owner's runs from (firstRun,
    // firstPosition) up to, not including, (endRun, endPosition), one piece
    // a run at most, piece k ending at x = ends[k] (where the next begins).
    struct Plan {
        int firstRun;
        int firstPosition;
        int endRun;
        int endPosition;
        int textHeight;    // of a text piece; a smiley's is its own
        const int* ends;   // pieces entries, kept by the owner
        int pieces;
        int smilies;       // of the pieces
    };

    // An empty line.
    CChatMessageTextLine(const RECT& rect, CChatView* parent);
    // A planned line: rect is where its pieces stand, on its bottom.
    CChatMessageTextLine(const RECT& rect, CChatView* parent, CChatMessageItem_Text* owner, const Plan& plan);
    ~CChatMessageTextLine() override;

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

    // Takes the item (made in the message's arena); ends it when it cannot.
    // For the owner, making the planned pieces.
    void AddItem(CChatMessageTextLineItem* item);
    // Room for n items in all, made at once.
    void ReserveItems(int n) { m_items.Reserve(n); }
    // These make the pieces when not made yet.
    int GetItemCount() const;
    CChatMessageTextLineItem* GetItem(int index) const;
    // Whether the pieces are made; what they are and hold, made or not.
    bool HasItems() const { return m_made; }
    const Plan& GetPlan() const { return m_plan; }
    // The text offset of the line's first character, or -1 for an empty line.
    int GetTextStart() const { return m_plan.pieces > 0 ? m_plan.firstPosition : -1; }
    // A smiley's control follows the line wherever it is drawn from.
    bool HoldsSmilies() const { return (m_made ? m_smilies : m_plan.smilies) > 0; }

    // The line's bottom becomes its items' lowest bottom, and every item
    // stands on it; answers it. A planned line stands so from the start.
    int AlignItemsBottom();
    void MoveBottomTo(int y);
    int SelectRange(int first, int last, CJOVDrawContext* context);

private:
    void MakeItems() const;
    // The item that holds the caret, or -1.
    int CaretItem(CJOVDrawContext* context, POINT* where);

    CChatMessageItem_Text* m_owner;  // null for an empty line
    Plan m_plan;
    // Made on first use, from a const path too.
    mutable CJOVArray<CChatMessageTextLineItem*> m_items;
    mutable int m_smilies;  // of the items
    mutable bool m_made;
};
