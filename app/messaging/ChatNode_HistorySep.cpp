#include "messaging/ChatNode_HistorySep.h"

#include "messaging/ChatSkin.h"
#include "messaging/ChatView.h"

CChatNode_HistorySep::CChatNode_HistorySep(CChatView* parent) : CChatNode(parent) {}

int CChatNode_HistorySep::GetType() const { return ChatItemHistorySep; }

void CChatNode_HistorySep::Layout(RECT& rect)
{
    m_rect = {rect.left + SX(10), rect.top, rect.right - SX(10), rect.top + 1};
    rect.bottom = rect.top + 1;
}

void CChatNode_HistorySep::Draw(CJOVDrawContext* context, int scroll)
{
    HDC dc = context->hDC;
    HPEN pen = CreatePen(PS_DASH, m_rect.bottom - m_rect.top,
                         m_parent->GetSkin().GetColor(CChatSkin::HistorySeparator));
    HGDIOBJ old = SelectObject(dc, pen);
    POINT line[2] = {{m_rect.left, m_rect.top - scroll}, {m_rect.right, m_rect.top - scroll}};
    Polyline(dc, line, 2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

int CChatNode_HistorySep::Find(const wchar_t*, const FindFlags&, CJOVDrawContext*) { return -1; }

void CChatNode_HistorySep::ResetFind() {}

void CChatNode_HistorySep::AppendAllText(CGrowingTextBuffer&) {}
