// A piece of a laid-out line: a run of text, a link or a smiley, standing
// for characters of a text its owner keeps (the message text, or the head's
// nick or time).
// UI thread.
#pragma once

#include "messaging/ChatItem.h"

class CChatMessageTextLineItem : public CChatItem {
public:
    CChatMessageTextLineItem(CChatView* parent, const wchar_t* text, int start, int length, const RECT& rect);

    // Moves the item so that its bottom is y, keeping its height.
    virtual void AlignBottom(int y);
    // Marks the characters first..last (inclusive, indexes in the text) that
    // the item holds; nonzero when the range touches it.
    virtual int SelectRange(int first, int last, CJOVDrawContext* context) = 0;
    // Moves the item so that its left edge is x, keeping its width.
    void MoveLeftTo(int x);

    const wchar_t* GetText() const { return m_text; }
    int GetStart() const { return m_start; }
    int GetLength() const { return m_length; }

protected:
    const wchar_t* m_text;
    int m_start;
    int m_length;
};
