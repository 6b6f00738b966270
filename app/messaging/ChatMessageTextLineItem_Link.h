// A piece of a link: drawn underlined in the link colour; a tap opens the
// whole link, whichever piece of a wrapped link was tapped.
// UI thread.
#pragma once

#include "messaging/ChatMessageTextLineItem_String.h"

class CChatMessageTextLineItem_Link : public CChatMessageTextLineItem_String {
public:
    CChatMessageTextLineItem_Link(const wchar_t* text, int start, int length, const RECT& rect, const int* widths,
                                  CChatView* parent, int linkStart, int linkLength);

    int GetType() const override;
    void Draw(CJOVDrawContext* context, int scroll) override;
    int OnClick(POINT point) override;

    int GetLinkStart() const { return m_linkStart; }
    int GetLinkLength() const { return m_linkLength; }

private:
    int m_linkStart;
    int m_linkLength;
};
