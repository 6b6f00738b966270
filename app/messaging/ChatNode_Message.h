// A message in the chat: its head over its text.
// UI thread.
#pragma once

#include "JOVString.h"
#include "messaging/ChatItem.h"

class CChatMessageItem_Head;
class CChatMessageItem_Text;

class CChatNode_Message : public CChatNode {
public:
    // direction: 0 incoming, 1 outgoing.
    CChatNode_Message(int subKind, const CJOVString& nick, const CJOVString& time, const CJOVString& text,
                      int direction, CChatView* parent, int historyFlag);
    ~CChatNode_Message() override;

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

    CChatMessageItem_Head* GetHead() const { return m_head; }
    CChatMessageItem_Text* GetText() const { return m_text; }

private:
    CChatMessageItem_Head* m_head;
    CChatMessageItem_Text* m_text;
    // The text's find started: the head is not searched again until a reset.
    bool m_textSearched;
};
