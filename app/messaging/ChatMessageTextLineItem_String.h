// A run of plain text on a line: drawn in the context's font and colour,
// each character where the layout put it, selected by character middles,
// holding the caret between characters.
// UI thread.
#pragma once

#include <vector>

#include "messaging/ChatMessageTextLineItem.h"

class CChatMessageTextLineItem_String : public CChatMessageTextLineItem {
public:
    // widths: where each character of text starts as its owner laid it out,
    // from any origin (one entry past the text's end); kept by the owner.
    CChatMessageTextLineItem_String(const wchar_t* text, int start, int length, const RECT& rect,
                                    const int* widths, CChatView* parent);

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
    // Selects the run's characters first..last (indexes in the run).
    void SelectChars(int first, int last, const std::vector<int>& widths);
    // widths[i]: the width of the run's first i characters, as laid out.
    void Measure(std::vector<int>& widths) const;
    // Draws characters first..last (indexes in the text) from x.
    void DrawChars(HDC dc, int first, int last, int x, int top, UINT options, const RECT* box) const;
    // The middle of character i.
    int Middle(const std::vector<int>& widths, int i) const { return m_rect.left + (widths[i] + widths[i + 1]) / 2; }
    // The characters the caret walks: a closing "\r\n" is left out.
    int CaretLength() const;

    const int* m_widths;
    int m_selFirst;
    int m_selLast;
    int m_selLeft;
    int m_selRight;
    int m_caret;
};
