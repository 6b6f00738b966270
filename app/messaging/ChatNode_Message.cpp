#include "messaging/ChatNode_Message.h"

#include <algorithm>

#include "messaging/ChatMessageItem_Head.h"
#include "messaging/ChatMessageItem_Text.h"
#include "messaging/ChatMessageTextLine.h"
#include "messaging/ChatMessageTextLineItem_String.h"
#include "messaging/ChatView.h"
#include "messaging/MessageWndSettings.h"

CChatNode_Message::CChatNode_Message(int subKind, const CJOVString& nick, const CJOVString& time,
                                     const CJOVString& text, int direction, CChatView* parent, int historyFlag)
    : CChatNode(parent), m_head(new CChatMessageItem_Head(subKind, nick, time, direction, parent, this)),
      m_text(new CChatMessageItem_Text(text, m_head, parent, historyFlag)), m_textSearched(false)
{
}

CChatNode_Message::~CChatNode_Message()
{
    delete m_text;
    delete m_head;
}

int CChatNode_Message::GetType() const { return ChatItemMessage; }

void CChatNode_Message::Layout(RECT& rect)
{
    m_rect = rect;
    RECT head = rect;
    m_head->Layout(head);
    RECT text = {rect.left, head.bottom, rect.right, head.bottom};
    m_text->Layout(text);
    m_rect.bottom = std::max(head.bottom, text.bottom);
    rect = m_rect;
}

void CChatNode_Message::Offset(int dy)
{
    CChatItem::Offset(dy);
    m_head->Offset(dy);
    m_text->Offset(dy);
}

void CChatNode_Message::Draw(CJOVDrawContext* context, int scroll)
{
    m_head->Draw(context, scroll);
    m_text->Draw(context, scroll);
}

void CChatNode_Message::Select(POINT first, POINT second, CJOVDrawContext* context)
{
    m_head->Select(first, second, context);
    m_text->Select(first, second, context);
}

void CChatNode_Message::ClearSelection()
{
    m_head->ClearSelection();
    m_text->ClearSelection();
}

void CChatNode_Message::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    m_head->AppendSelectedText(buffer);
    m_text->AppendSelectedText(buffer);
}

int CChatNode_Message::OnClick(POINT point) { return m_text->OnClick(point); }

void CChatNode_Message::AppendAllText(CGrowingTextBuffer& buffer)
{
    m_head->AppendAllText(buffer);
    m_text->AppendAllText(buffer);
}

int CChatNode_Message::Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context)
{
    if (!m_textSearched) {
        int top = m_head->Find(pattern, flags, context);
        if (top >= 0)
            return top;
        m_textSearched = true;
    }
    int top = m_text->Find(pattern, flags, context);
    // Nothing more here: the next search starts from the head again.
    if (top < 0)
        m_textSearched = false;
    return top;
}

void CChatNode_Message::ResetFind()
{
    m_head->ResetFind();
    m_text->ResetFind();
    m_textSearched = false;
}

POINT CChatNode_Message::SetCaretFromPoint(POINT point, CJOVDrawContext* context)
{
    const MessageWndSettings::ChatFlags& flags = m_parent->GetSettings().GetChatFlags();
    const RECT& head = m_head->GetRect();
    const RECT& text = m_text->GetRect();
    bool toText;
    if (!flags.showNames && !flags.showTime)
        toText = true;
    else if (flags.newLine)
        toText = point.y >= text.top;
    else
        toText = point.y > head.bottom ||
                 (point.y >= text.top && point.x >= head.left + m_text->GetFirstLineIndent());
    ResetCaret();
    POINT caret = toText ? m_text->SetCaretFromPoint(point, context) : m_head->SetCaretFromPoint(point, context);
    // An empty text holds no caret: the head takes it.
    if (!IsCaretAt(caret) && toText)
        caret = m_head->SetCaretFromPoint(point, context);
    return caret;
}

void CChatNode_Message::ResetCaret()
{
    m_head->ResetCaret();
    m_text->ResetCaret();
}

POINT CChatNode_Message::MoveCaret(int step, CJOVDrawContext* context)
{
    if (m_text->HoldsCaret()) {
        POINT moved = m_text->MoveCaret(step, context);
        // Before the text's start: into the head, at its end.
        if ((step == CaretPrevChar || step == CaretLineUp) && moved.x == -1 && m_head->GetRunCount() > 0) {
            const RECT& last = m_head->GetRun(m_head->GetRunCount() - 1)->GetRect();
            return m_head->SetCaretFromPoint({last.right, last.bottom}, context);
        }
        return moved;
    }
    POINT moved = m_head->MoveCaret(step, context);
    // Past the head's end: into the text, at its first line.
    if ((step == CaretNextChar || step == CaretLineDown) && moved.y == -1 && m_text->GetLineCount() > 0) {
        const RECT& first = m_text->GetLine(0)->GetRect();
        return m_text->SetCaretFromPoint({first.left, first.top}, context);
    }
    return moved;
}
