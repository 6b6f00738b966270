// A service line: an image and a notice (a text and a second text after
// it), broken by character into lines as wide as the view.
// UI thread.
#pragma once

#include <string>

#include "JOVString.h"
#include "messaging/ChatItem.h"
#include "messaging/ChatTextRuns.h"

class CChatMessageTextLineItem_String;

class CChatNode_Service : public CChatNode {
public:
    CChatNode_Service(int subKind, const CJOVString& nick, const CJOVString& time, CChatView* parent);
    ~CChatNode_Service() override;

    int GetType() const override;
    void Draw(CJOVDrawContext* context, int scroll) override;
    void Select(POINT first, POINT second, CJOVDrawContext* context) override;
    void ClearSelection() override;
    void AppendSelectedText(CGrowingTextBuffer& buffer) override;
    POINT SetCaretFromPoint(POINT point, CJOVDrawContext* context) override;
    void Offset(int dy) override;
    void Layout(RECT& rect) override;
    int Find(const wchar_t* pattern, const FindFlags& flags, CJOVDrawContext* context) override;
    void ResetFind() override;
    void AppendAllText(CGrowingTextBuffer& buffer) override;

    int GetPieceCount() const { return m_items.Count(); }
    CChatMessageTextLineItem_String* GetPiece(int index) const { return m_items[index]; }
    int GetFirstTextPieceCount() const { return m_items.FirstCount(); }
    bool IsImageSelected() const { return m_imageSelected != 0; }

private:
    int m_image;
    std::wstring m_first;
    std::wstring m_second;
    CChatTextRuns m_items;
    int m_imageSelected;
};
