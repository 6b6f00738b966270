// A smiley on a line: its animated control is moved over the item when
// drawn; it is selected, copied (as its code) and passed by the caret whole.
// UI thread.
#pragma once

#include "messaging/ChatMessageTextLineItem.h"

class CChatMessageItem_Text;

class CChatMessageTextLineItem_Smaily : public CChatMessageTextLineItem {
public:
    // The control belongs to the message text, which makes it when first asked.
    CChatMessageTextLineItem_Smaily(const RECT& rect, CChatView* parent, const wchar_t* text, int start, int length,
                                    CChatMessageItem_Text* owner, int smiley);

    int GetType() const override;
    void Draw(CJOVDrawContext* context, int scroll) override;
    void Select(POINT first, POINT second, CJOVDrawContext* context) override;
    void ClearSelection() override;
    void AppendSelectedText(CGrowingTextBuffer& buffer) override;
    POINT SetCaretFromPoint(POINT point, CJOVDrawContext* context) override;
    void ResetCaret() override;
    POINT MoveCaret(int step, CJOVDrawContext* context) override;
    int SelectRange(int first, int last, CJOVDrawContext* context) override;

    bool IsSelected() const { return m_selected != 0; }
    // -1 not here, 0 before the smiley, 1 after it.
    int GetCaret() const { return m_caret; }

private:
    // The caret is as tall as the text and stands on the smiley's bottom.
    int CaretTop() const;

    CChatMessageItem_Text* m_owner;
    int m_smiley;  // the text's picture
    int m_selected;
    int m_caret;
};
