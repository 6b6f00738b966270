// The dashed line between the history shown at the top of a chat and the
// live messages.
// UI thread.
#pragma once

#include "messaging/ChatItem.h"

class CChatNode_HistorySep : public CChatNode {
public:
    explicit CChatNode_HistorySep(CChatView* parent);

    int GetType() const override;
    void Draw(CJOVDrawContext* context, int scroll) override;
    void Layout(RECT& rect) override;
    int Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context) override;
    void ResetFind() override;
    void AppendAllText(CGrowingTextBuffer& buffer) override;
};
