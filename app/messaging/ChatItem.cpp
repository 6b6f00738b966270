#include "messaging/ChatItem.h"

CChatItem::CChatItem(CChatView* parent) : m_rect(), m_parent(parent) {}

CChatItem::~CChatItem() = default;

int CChatItem::GetType() const { return ChatItemBase; }

void CChatItem::Draw(CJOVDrawContext*, int) {}

void CChatItem::Select(POINT, POINT, CJOVDrawContext*) {}

void CChatItem::ClearSelection() {}

void CChatItem::AppendSelectedText(CGrowingTextBuffer&) {}

int CChatItem::OnClick(POINT) { return 0; }

POINT CChatItem::SetCaretFromPoint(POINT, CJOVDrawContext*) { return NoCaret(); }

void CChatItem::ResetCaret() {}

POINT CChatItem::MoveCaret(int, CJOVDrawContext*) { return NoCaret(); }

void CChatItem::Offset(int dy)
{
    m_rect.top += dy;
    m_rect.bottom += dy;
}
