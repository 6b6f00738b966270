#include "messaging/ChatMessageTextLineItem_Smaily.h"

#include "messaging/ChatMessageItem_Text.h"
#include "messaging/ChatSkin.h"
#include "messaging/ChatView.h"
#include "messaging/GrowingTextBuffer.h"
#include "messaging/MessageWndSettings.h"
#include "messaging/SmailyCtrl.h"

CChatMessageTextLineItem_Smaily::CChatMessageTextLineItem_Smaily(const RECT& rect, CChatView* parent,
                                                                 const wchar_t* text, int start, int length,
                                                                 CChatMessageItem_Text* owner, int smiley)
    : CChatMessageTextLineItem(parent, text, start, length, rect), m_owner(owner), m_smiley(smiley), m_selected(0),
      m_caret(-1)
{
}

int CChatMessageTextLineItem_Smaily::GetType() const { return ChatItemSmaily; }

void CChatMessageTextLineItem_Smaily::Draw(CJOVDrawContext* context, int scroll)
{
    CSmailyCtrl* control = m_owner->GetSmiley(m_smiley);
    if (!control)
        return;
    control->Pause();
    control->MoveTo(m_rect.left + 1, m_rect.top - scroll + 1);
    if (m_selected) {
        RECT back = {m_rect.left, m_rect.top - scroll, m_rect.right, m_rect.bottom - scroll + 1};
        HBRUSH brush = CreateSolidBrush(m_parent->GetSkin().GetColor(CChatSkin::Highlighting));
        FillRect(context->hDC, &back, brush);
        DeleteObject(brush);
    }
    control->Play();
    InvalidateRect(*control, nullptr, FALSE);
}

void CChatMessageTextLineItem_Smaily::Select(POINT first, POINT second, CJOVDrawContext*)
{
    m_selected = 0;
    POINT s = first.y <= second.y ? first : second;
    POINT e = first.y <= second.y ? second : first;
    const LONG top = m_rect.top, bottom = m_rect.bottom;
    const LONG middle = (m_rect.left + m_rect.right) / 2;
    if (e.y < top || s.y >= bottom || (s.x == e.x && s.y == e.y))
        return;
    if (s.y < top)
        m_selected = e.y >= bottom || e.x >= middle;
    else if (e.y >= bottom)
        m_selected = s.x <= middle;
    else {
        LONG leftX = s.x <= e.x ? s.x : e.x;
        LONG rightX = s.x <= e.x ? e.x : s.x;
        m_selected = leftX <= middle && middle <= rightX;
    }
}

void CChatMessageTextLineItem_Smaily::ClearSelection() { m_selected = 0; }

int CChatMessageTextLineItem_Smaily::SelectRange(int first, int last, CJOVDrawContext*)
{
    m_selected = first <= m_start && last >= m_start + m_length - 1;
    return m_selected;
}

void CChatMessageTextLineItem_Smaily::AppendSelectedText(CGrowingTextBuffer& buffer)
{
    if (m_selected)
        buffer.Append(m_text + m_start, m_length);
}

int CChatMessageTextLineItem_Smaily::CaretTop() const
{
    return m_rect.bottom - m_parent->GetSettings().GetTextHeight();
}

POINT CChatMessageTextLineItem_Smaily::SetCaretFromPoint(POINT point, CJOVDrawContext*)
{
    if (point.y <= m_rect.bottom && point.x <= (m_rect.left + m_rect.right) / 2) {
        m_caret = 0;
        return {m_rect.left, CaretTop()};
    }
    m_caret = 1;
    return {m_rect.right, CaretTop()};
}

void CChatMessageTextLineItem_Smaily::ResetCaret() { m_caret = -1; }

POINT CChatMessageTextLineItem_Smaily::MoveCaret(int step, CJOVDrawContext*)
{
    if (m_caret == -1)
        return NoCaret();
    if (step == CaretNextChar) {
        if (m_caret == 1) {
            m_caret = -1;
            return {m_rect.right, -1};
        }
        m_caret = 1;
    } else if (step == CaretPrevChar) {
        if (m_caret == 0) {
            m_caret = -1;
            return {-1, CaretTop()};
        }
        m_caret = 0;
    }
    return {m_caret == 0 ? m_rect.left : m_rect.right, CaretTop()};
}
