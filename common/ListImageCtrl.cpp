#include "ListImageCtrl.h"

CListImageCtrl::CListImageCtrl(HINSTANCE instance, HWND parent, int imageCount, int cellWidth, int cellHeight,
                               int horzGap, int vertGap)
    : CScrollWnd(instance, parent, 10), m_imageCount(imageCount), m_cellWidth(cellWidth), m_cellHeight(cellHeight),
      m_columns(0), m_rows(0), m_horzGap(horzGap), m_vertGap(vertGap), m_selection(-1), m_laidOutWidth(-1),
      m_laidOutHeight(-1)
{
}

int CListImageCtrl::Create(DWORD style, const RECT& rect)
{
    return CScrollWnd::Create(style, rect);
}

void CListImageCtrl::SetSelectImage(int index)
{
    ChangeSelection(index);
    SynchronizeSelectImage();
}

void CListImageCtrl::OnCreate()
{
    CScrollWnd::OnCreate();
    InitGrid();
}

void CListImageCtrl::OnWindowPosChanged(WINDOWPOS* pos)
{
    if (pos->flags & SWP_NOSIZE)
        return;
    if (pos->cx == m_laidOutWidth && pos->cy == m_laidOutHeight)
        return;
    InitGrid();
}

void CListImageCtrl::InitGrid()
{
    RECT window;
    GetWindowRect(m_hWnd, &window);
    m_laidOutWidth = window.right - window.left;
    m_laidOutHeight = window.bottom - window.top;

    int pos = GetScrollPos();
    SetScrollInfo(0, 0, 0, 0);
    int innerWidth = GetClientWidth() - 2;
    int innerHeight = GetClientHeight() - 2;
    int cellStepX = m_cellWidth + m_horzGap;
    int cellStepY = m_cellHeight + m_vertGap;
    if (cellStepX <= 0 || cellStepY <= 0)
        return;
    m_columns = (innerWidth + m_horzGap) / cellStepX;
    if (m_columns < 1)
        m_columns = 1;
    m_rows = (m_imageCount + m_columns - 1) / m_columns;
    int visibleRows = (innerHeight + m_vertGap) / cellStepY;
    if (visibleRows >= m_rows)
        return;
    // The scroll bar takes its width from the cells.
    m_columns = (innerWidth - GetSystemMetrics(SM_CXVSCROLL) + m_horzGap) / cellStepX;
    if (m_columns < 1)
        m_columns = 1;
    m_rows = (m_imageCount + m_columns - 1) / m_columns;
    m_scrollStep = cellStepY;
    SetScrollInfo(0, m_rows * cellStepY - m_vertGap, GetClientHeight(), pos);
}

bool CListImageCtrl::GetImageRect(int index, RECT* rect) const
{
    if (index < 0 || index >= m_imageCount || m_columns < 1 || !rect)
        return false;
    int row = index / m_columns;
    int column = index - row * m_columns;
    rect->top = row * (m_cellHeight + m_vertGap) - GetScrollPos() + 1;
    rect->left = column * (m_cellWidth + m_horzGap) + 1;
    rect->right = rect->left + m_cellWidth;
    rect->bottom = rect->top + m_cellHeight;
    return true;
}

int CListImageCtrl::HitTest(const POINT& point) const
{
    int cellStepX = m_cellWidth + m_horzGap;
    int cellStepY = m_cellHeight + m_vertGap;
    if (m_columns < 1 || point.x <= 0 || point.y <= 0 || cellStepX <= 0 || cellStepY <= 0)
        return -1;
    int y = GetScrollPos() + point.y - 1;
    int x = point.x - 1;
    int row = y / cellStepY;
    int column = x / cellStepX;
    if (column >= m_columns || row >= m_rows)
        return -1;
    // Inside the cell proper: a gap selects nothing.
    if (y >= row * cellStepY + m_cellHeight || x >= column * cellStepX + m_cellWidth)
        return -1;
    int index = row * m_columns + column;
    return index < m_imageCount ? index : -1;
}

void CListImageCtrl::HighliteSelectImage(CJOVDrawContext* context)
{
    RECT cell;
    if (!GetImageRect(m_selection, &cell))
        return;
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_HIGHLIGHT));
    HGDIOBJ old = SelectObject(context->hDC, pen);
    POINT frame[5] = {{cell.left - 1, cell.top - 1},
                      {cell.right, cell.top - 1},
                      {cell.right, cell.bottom},
                      {cell.left - 1, cell.bottom},
                      {cell.left - 1, cell.top - 1}};
    Polyline(context->hDC, frame, 5);
    SelectObject(context->hDC, old);
    DeleteObject(pen);
}

void CListImageCtrl::SynchronizeSelectImage()
{
    RECT cell;
    if (!GetImageRect(m_selection, &cell))
        return;
    int height = GetClientHeight();
    int pos = GetScrollPos();
    // Keep the selection frame (one pixel round the cell) in view too.
    if (cell.top - 1 < 0)
        SetScrollPos(pos + cell.top - 1);
    else if (cell.bottom + 1 > height)
        SetScrollPos(pos + cell.bottom + 1 - height);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CListImageCtrl::ChangeSelection(int index)
{
    if (index == m_selection)
        return;
    bool hadSelection = m_selection >= 0;
    m_selection = index;
    if (hadSelection)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CListImageCtrl::OnPaint(CJOVDrawContext* context)
{
    HighliteSelectImage(context);
    for (int i = 0; i < m_imageCount; ++i) {
        RECT cell;
        if (GetImageRect(i, &cell))
            RedrawImage(i, cell, context);
    }
}

void CListImageCtrl::RedrawImage(int, const RECT&, CJOVDrawContext*) {}

LRESULT CListImageCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_KEYDOWN: {
        int old = m_selection;
        int next = old;
        int last = m_imageCount - 1;
        switch (wParam) {
        case VK_RETURN:
            if (old >= 0)
                SendMessageW(m_hParent, WM_JOV_IMAGE_CHOSEN, reinterpret_cast<WPARAM>(m_hWnd), old);
            break;
        case VK_LEFT:
            if (old >= 1)
                next = old - 1;
            break;
        case VK_RIGHT:
            if (old < last)
                next = old + 1;
            break;
        case VK_UP:
            if (old >= 0 && m_columns > 0)
                next = old >= m_columns ? old - m_columns : 0;
            break;
        case VK_DOWN:
            if (old >= 0 && m_columns > 0) {
                if (old / m_columns >= m_rows - 1)
                    next = last;
                else
                    next = old + m_columns <= last ? old + m_columns : last;
            }
            break;
        }
        if (next != old) {
            ChangeSelection(next);
            SynchronizeSelectImage();
            SendMessageW(m_hParent, WM_JOV_IMAGE_SELECTED, reinterpret_cast<WPARAM>(m_hWnd), next);
        }
        return CScrollWnd::OnMessage(message, wParam, lParam);
    }
    case WM_LBUTTONDOWN: {
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        int hit = HitTest(point);
        ChangeSelection(hit);
        SynchronizeSelectImage();
        if (hit >= 0)
            SendMessageW(m_hParent, WM_JOV_IMAGE_CHOSEN, reinterpret_cast<WPARAM>(m_hWnd), hit);
        return 0;
    }
    }
    return CScrollWnd::OnMessage(message, wParam, lParam);
}
