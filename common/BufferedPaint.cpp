#include "BufferedPaint.h"

CBufferedPaint::CBufferedPaint(HWND window, HBRUSH background)
    : m_window(window), m_paint(), m_memory(nullptr), m_bitmap(nullptr), m_oldBitmap(nullptr), m_width(0),
      m_height(0)
{
    HDC dc = BeginPaint(window, &m_paint);
    RECT client;
    GetClientRect(window, &client);
    m_width = client.right;
    m_height = client.bottom;
    if (!dc || m_width <= 0 || m_height <= 0)
        return;
    m_memory = CreateCompatibleDC(dc);
    m_bitmap = m_memory ? CreateCompatibleBitmap(dc, m_width, m_height) : nullptr;
    if (!m_bitmap) {
        if (m_memory)
            DeleteDC(m_memory);
        m_memory = nullptr;
        return;
    }
    m_oldBitmap = SelectObject(m_memory, m_bitmap);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    POINT oldOrigin;
    SetBrushOrgEx(m_memory, -origin.x, -origin.y, &oldOrigin);
    FillRect(m_memory, &client, background);
    SetBrushOrgEx(m_memory, oldOrigin.x, oldOrigin.y, nullptr);
    SetBkMode(m_memory, TRANSPARENT);
}

CBufferedPaint::~CBufferedPaint()
{
    if (m_memory) {
        BitBlt(m_paint.hdc, 0, 0, m_width, m_height, m_memory, 0, 0, SRCCOPY);
        SelectObject(m_memory, m_oldBitmap);
        DeleteObject(m_bitmap);
        DeleteDC(m_memory);
    }
    EndPaint(m_window, &m_paint);
}

HBRUSH PrepareControlColor(HDC dc, HWND control, HBRUSH brush)
{
    SetBkMode(dc, TRANSPARENT);
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
    return brush;
}
