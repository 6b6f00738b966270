// The tab strip of both tabbed dialog kinds: its metrics at the display's
// density, where the strip and the pages go, the tabs' widths, which tab is
// first visible, the two scroll arrows, hit-testing, keeping the current tab
// in view, dragging, and the painting that both kinds share. What a tab shows
// (images, title) is drawn by its owner.
// UI thread.
#pragma once

#include <windows.h>

#include <functional>

#include "JOVArray.h"
#include "JOVString.h"

class CTabStrip {
public:
    // Answers of HitTest besides a tab index.
    static constexpr int kNothing = -1;
    static constexpr int kNextArrow = -2;
    static constexpr int kPreviousArrow = -3;

    struct Metrics {
        int imageWidth;   // 16 units
        int imageHeight;  // 16 units, vertical
        int imageGap;     // 4 units after the image
        int inset;        // 4 units each side of a tab
        int arrowWidth;   // 15 units
        int arrowHeight;  // 15 units, vertical
        int arrowGap;     // 2 units between the arrows
        int dragDistance;  // 16 units: a shorter move is a tap
        int lineY;        // 1 unit, vertical
        int lineX;        // 1 unit
    };
    // The metrics at that density (pixels per inch).
    static Metrics MetricsFor(int dpiX, int dpiY);

    struct PaintStyle {
        // How far above the strip the current tab is filled to merge with its page.
        int currentRaise;
        // The next arrow shows when a tab reaches the right edge (true) or passes it.
        bool nextWhenReached;
    };

    CTabStrip();

    void SetMetrics(const Metrics& metrics) { m_metrics = metrics; }
    const Metrics& GetMetrics() const { return m_metrics; }

    // The strip along the bottom of client, above a band of toolbarHeight;
    // answers the page rectangle above it, 1 unit clear of the strip.
    RECT Layout(const RECT& client, int textHeight, int toolbarHeight);
    const RECT& GetRect() const { return m_rect; }
    // The strip's rectangle from 1 unit above, to repaint.
    RECT RepaintRect() const;

    // A tab's width for a title of textWidth pixels, with or without an image.
    int TabWidth(int textWidth, bool withImage) const;

    // What both dialog kinds do with their window: the titles are in the
    // dialog's font, the strip lies along its client area, and a focus button
    // (a child subclassed by proc, owner in its user data) takes the strip's keys.
    static HFONT DialogFont(HWND dialog);
    // Layout in the dialog's client area at its font's text height.
    RECT LayoutIn(HWND dialog, int toolbarHeight);
    // TabWidth of title in the dialog's font.
    int MeasureTitle(HWND dialog, CJOVString title, bool withImage) const;
    // Answers the button, or null; *previous gets the procedure proc replaced.
    static HWND CreateFocusButton(HWND dialog, HINSTANCE instance, void* owner, WNDPROC proc, WNDPROC* previous);
    // The focus button's notification (its WM_COMMAND's wParam): with
    // BN_SETFOCUS the strip is focused and shows the current tab, with
    // BN_KILLFOCUS it is not. True when the strip is to be repainted.
    bool OnFocusNotify(WPARAM wParam, int current, bool* focused);
    CJOVArray<int>& Widths() { return m_widths; }
    int Count() const { return m_widths.Count(); }

    int GetFirstVisible() const { return m_firstVisible; }
    void SetFirstVisible(int index) { m_firstVisible = index; }
    bool NextArrowShown() const { return m_nextShown; }
    bool PreviousArrowShown() const { return m_previousShown; }
    // Sets the arrows as painting does.
    void UpdateArrows(const PaintStyle& style);

    // A tab index, kNothing, kNextArrow or kPreviousArrow.
    int HitTest(POINT point) const;
    void KeepVisible(int current);
    // The pressed tab is dragged to x: it becomes first visible, then the
    // tabs before it come in while they fit left of x.
    void Drag(int pressedTab, int x);
    // A tap on an arrow scrolls by one tab.
    void ScrollBy(int tabs);
    // The release at point of a press at pressX on pressedTab (or none): a
    // short move is a tap, and a tap on an arrow scrolls; a longer one drags
    // the pressed tab. Answers the tab tapped, else kNothing; *moved tells
    // that the strip scrolled or was dragged.
    int Release(POINT point, int pressX, int pressedTab, bool* moved);

    // Answers of KeyTarget besides a tab index.
    static constexpr int kNextControl = -2;
    static constexpr int kPreviousControl = -3;
    // Where a key on the focused strip goes: Right and Left to the next or
    // previous tab, past the ends to the next or previous control; Down (and
    // Tab when tabMovesOn) to the next control, Up to the previous one;
    // kNothing for any other key.
    static int KeyTarget(UINT key, int current, int count, bool tabMovesOn);

    // Draws the strip: background, separators, the current tab merged with
    // the page (filled with pageBrush, brush origin at brushOrigin), the
    // focus frame when focused, each tab's content through drawTab (the tab's
    // rectangle), and the arrows. Sets the arrows' flags.
    void Paint(HDC dc, const PaintStyle& style, int current, bool focused, HBRUSH pageBrush, POINT brushOrigin,
               const std::function<void(HDC, int, const RECT&)>& drawTab);

private:
    void DrawArrows(HDC dc);

    Metrics m_metrics;
    RECT m_rect;
    CJOVArray<int> m_widths;
    int m_firstVisible;
    bool m_nextShown;
    bool m_previousShown;
};
