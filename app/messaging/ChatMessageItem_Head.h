// The head of a message: the message icon, the sender's nick and the time,
// wrapped by character when they do not fit, and " :" where the text goes on
// beside it. It tells the message text where its row ends.
// UI thread.
#pragma once

#include <string>

#include "JOVString.h"
#include "messaging/ChatItem.h"
#include "messaging/ChatTextRuns.h"

class CChatMessageTextLineItem_String;
class CChatNode_Message;

class CChatMessageItem_Head : public CChatNode {
public:
    // direction: 0 incoming, 1 outgoing; subKind is the icon's skin image.
    CChatMessageItem_Head(int subKind, const CJOVString& nick, const CJOVString& time, int direction,
                          CChatView* parent, CChatNode_Message* node);
    ~CChatMessageItem_Head() override;

    int GetType() const override;
    void Draw(CJOVDrawContext* context, int scroll) override;
    void Select(POINT first, POINT second, CJOVDrawContext* context) override;
    void ClearSelection() override;
    void AppendSelectedText(CGrowingTextBuffer& buffer) override;
    POINT SetCaretFromPoint(POINT point, CJOVDrawContext* context) override;
    void ResetCaret() override;
    POINT MoveCaret(int step, CJOVDrawContext* context) override;
    void Offset(int dy) override;
    void Layout(RECT& rect) override;
    int Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context) override;
    void ResetFind() override;
    void AppendAllText(CGrowingTextBuffer& buffer) override;

    // Where text may go on on the head's last row, and that row's extent.
    int GetTailX() const;
    void GetTailRows(int* top, int* bottom) const;

    // The nick's runs come first, then the time's.
    int GetRunCount() const { return m_runs.Count(); }
    CChatMessageTextLineItem_String* GetRun(int index) const { return m_runs[index]; }
    int GetNickRunCount() const { return m_runs.FirstCount(); }
    // -1 no separator, 0 in the Head font, 1 in the Head2 font.
    int GetSeparatorFont() const { return m_separatorFont; }
    const RECT& GetSeparatorRect() const { return m_separatorRect; }
    bool IsIconSelected() const { return m_iconSelected != 0; }
    bool IsSeparatorSelected() const { return m_separatorSelected != 0; }
    bool HoldsCaret() const { return m_caretRun >= 0; }

private:
    void DeleteRuns();

    CChatNode_Message* m_node;
    int m_image;
    std::wstring m_nick;
    std::wstring m_time;
    int m_direction;
    // The nick's runs, then the time's.
    CChatTextRuns m_runs;
    RECT m_separatorRect;
    // Where " :" has its characters, as measured in its font.
    int m_separatorWidths[3];
    int m_separatorFont;
    int m_separatorSelected;
    int m_iconSelected;
    int m_caretRun;
};
