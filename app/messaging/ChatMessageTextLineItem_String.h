// A run of plain text on a line: drawn in the context's font and colour,
// selected by character middles, holding the caret between characters.
// UI thread.
#pragma once

#include <vector>

#include "messaging/ChatMessageTextLineItem.h"

class CChatMessageTextLineItem_String : public CChatMessageTextLineItem {
public:
    CChatMessageTextLineItem_String(const wchar_t* text, int start, int length, const RECT& rect,
                                    CChatView* parent);

    int GetType() const override;
    void Draw(CJOVDrawContext* context, int scroll) override;
    void Select(POINT first, POINT second, CJOVDrawContext* context) override;
    void ClearSelection() override;
    void AppendSelectedText(CGrowingTextBuffer& buffer) override;
    POINT SetCaretFromPoint(POINT point, CJOVDrawContext* context) override;
    void ResetCaret() override;
    POINT MoveCaret(int step, CJOVDrawContext* context) override;
    int SelectRange(int first, int last, CJOVDrawContext* context) override;

    // -1 when nothing is selected.
    int GetSelectionFirst() const { return m_selFirst; }
    int GetSelectionLast() const { return m_selLast; }
    int GetSelectionLeft() const { return m_selLeft; }
    int GetSelectionRight() const { return m_selRight; }
    // -2 not here, -1 before the first character, k after character k.
    int GetCaret() const { return m_caret; }

protected:
    // Draws the run; unselected parts in colour (the current one when null),
    // underlined when asked.
    void DrawRun(CJOVDrawContext* context, int scroll, const COLORREF* colour, bool underline);

private:
    bool HasSelection() const { return m_selFirst >= 0 && m_selLeft != m_selRight; }
    void SelectWhole();
    void SetSelection(int first, int last, int left, int right);
    // widths[i]: the width of the run's first i characters.
    void Measure(CJOVDrawContext* context, std::vector<int>& widths) const;
    // The middle of character i.
    int Middle(const std::vector<int>& widths, int i) const { return m_rect.left + (widths[i] + widths[i + 1]) / 2; }
    // The characters the caret walks: a closing "\r\n" is left out.
    int CaretLength() const;

    int m_selFirst;
    int m_selLast;
    int m_selLeft;
    int m_selRight;
    int m_caret;
};
