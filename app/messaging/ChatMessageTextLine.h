// One laid-out line of a message: its pieces from left to right, owned.
// UI thread.
#pragma once

#include "JOVArray.h"
#include "messaging/ChatMessageTextLineItem.h"

class CChatMessageTextLine : public CChatItem {
public:
    CChatMessageTextLine(const RECT& rect, CChatView* parent);
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

    // Takes the item.
    void AddItem(CChatMessageTextLineItem* item);
    int GetItemCount() const { return m_items.Count(); }
    CChatMessageTextLineItem* GetItem(int index) const { return m_items[index]; }

    // The line's bottom becomes its items' lowest bottom, and every item
    // stands on it; answers it.
    int AlignItemsBottom();
    void MoveBottomTo(int y);
    int SelectRange(int first, int last, CJOVDrawContext* context);

private:
    // The item that holds the caret, or -1.
    int CaretItem(CJOVDrawContext* context, POINT* where);

    CJOVArray<CChatMessageTextLineItem*> m_items;
};
