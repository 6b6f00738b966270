#include "messaging/ChatMessageTextLineItem_Link.h"

#include <string>

#include "messaging/ChatSkin.h"
#include "messaging/ChatView.h"

CChatMessageTextLineItem_Link::CChatMessageTextLineItem_Link(const wchar_t* text, int start, int length,
                                                             const RECT& rect, const int* widths, CChatView* parent,
                                                             int linkStart, int linkLength)
    : CChatMessageTextLineItem_String(text, start, length, rect, widths, parent), m_linkStart(linkStart),
      m_linkLength(linkLength)
{
}

int CChatMessageTextLineItem_Link::GetType() const { return ChatItemLink; }

void CChatMessageTextLineItem_Link::Draw(CJOVDrawContext* context, int scroll)
{
    COLORREF link = m_parent->GetSkin().GetColor(CChatSkin::Link);
    DrawRun(context, scroll, &link, true);
}

int CChatMessageTextLineItem_Link::OnClick(POINT point)
{
    if (point.x < m_rect.left || point.x > m_rect.right)
        return 0;
    std::wstring address(m_text + m_linkStart, m_linkLength);
    if (!address.empty() && address[0] == L'w')
        address.insert(0, L"http://");
    m_parent->OpenLink(address.c_str());
    return 1;
}
