#include "messaging/ChatMessageTextLineItem.h"

CChatMessageTextLineItem::CChatMessageTextLineItem(CChatView* parent, const wchar_t* text, int start, int length,
                                                   const RECT& rect)
    : CChatItem(parent), m_text(text), m_start(start), m_length(length)
{
    m_rect = rect;
}

void CChatMessageTextLineItem::AlignBottom(int y)
{
    m_rect.top += y - m_rect.bottom;
    m_rect.bottom = y;
}

void CChatMessageTextLineItem::MoveLeftTo(int x)
{
    m_rect.right += x - m_rect.left;
    m_rect.left = x;
}
