// What the chat and the smiley controls use of the skin manager: the current
// skin's colours and images, the background brush, the smilies options and
// the current smilies set.
// UI thread.
#pragma once

#include <windows.h>

#include "JOVDrawContext.h"

class CChatSmilies;

class CChatSkin {
public:
    // The skin's colours by index.
    enum Colour {
        IncomingTimestamp = 12,
        OutgoingTimestamp = 13,
        MessageText = 14,
        CustomStatusText = 15,
        Highlighting = 16,
        HighlightText = 17,
        Link = 18,
        HistorySeparator = 19,
    };

    virtual COLORREF GetColor(int index) = 0;
    // Draws a skin image into the rectangle; constantAlpha 255 is opaque.
    virtual BOOL DrawImage(unsigned id, CJOVDrawContext* context, int left, int top, int right, int bottom,
                           bool alpha, unsigned constantAlpha) = 0;
    virtual HBRUSH GetBackgroundBrush(int kind) = 0;
    // "Text Smailes": smiley codes stay text.
    virtual bool GetTextSmilies() = 0;
    // "Smailes Num": how many smiley pictures one chat view shows.
    virtual int GetSmiliesNumber() = 0;
    // The current set; may be empty, never null.
    virtual CChatSmilies* GetSmilies() = 0;

protected:
    ~CChatSkin() = default;
};
