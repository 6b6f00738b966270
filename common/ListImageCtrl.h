// A scrolling grid of equally sized image cells with a keyboard and stylus
// selection: the pickers of smilies, x-status images and colours. Derived
// classes draw cell i in RedrawImage. The parent is told with SendMessage,
// wParam the control's window, lParam the image index:
//   WM_JOV_IMAGE_CHOSEN   Return pressed with a selection, or a cell tapped
//   WM_JOV_IMAGE_SELECTED an arrow key moved the selection
// UI thread.
#pragma once

#include "ScrollWnd.h"

constexpr UINT WM_JOV_IMAGE_CHOSEN = WM_USER + 8;
constexpr UINT WM_JOV_IMAGE_SELECTED = WM_USER + 9;

class JOV_COMMON_API CListImageCtrl : public CScrollWnd {
public:
    CListImageCtrl(HINSTANCE instance, HWND parent, int imageCount, int cellWidth, int cellHeight, int horzGap,
                   int vertGap);

    int Create(DWORD style, const RECT& rect);

    int GetSelectImage() const { return m_selection; }
    // Selects index (-1 for none) and scrolls it into view.
    void SetSelectImage(int index);

protected:
    void OnCreate() override;
    void OnPaint(CJOVDrawContext* context) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Draws image index into cell (client coordinates).
    virtual void RedrawImage(int index, const RECT& cell, CJOVDrawContext* context);

    int m_imageCount;
    int m_cellWidth;
    int m_cellHeight;
    int m_columns;
    int m_rows;
    int m_horzGap;
    int m_vertGap;
    int m_selection;

private:
    void InitGrid();
    int HitTest(const POINT& point) const;
    bool GetImageRect(int index, RECT* rect) const;
    void HighliteSelectImage(CJOVDrawContext* context);
    void SynchronizeSelectImage();
    // Sets the selection; repaints when it changed, even to none.
    void ChangeSelection(int index);

    int m_laidOutWidth;
    int m_laidOutHeight;
};
