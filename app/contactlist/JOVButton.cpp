#include "contactlist/JOVButton.h"

#include "HiDpi.h"
#include "contactlist/DialogSkin.h"
#include "core/AppGlobals.h"

CJOVButton::CJOVButton(HWND parent, unsigned int imageId, const RECT& rect)
    : CWnd(g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr), parent), m_imageId(imageId), m_pressed(0)
{
    Create(WS_VISIBLE | WS_BORDER | WS_TABSTOP, rect);
}

CJOVButton::~CJOVButton() {}

void CJOVButton::Repaint()
{
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CJOVButton::Click()
{
    SendMessageW(m_hParent, WM_COMMAND, MAKEWPARAM(IDC_JOV_BUTTON_CLICK, 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void CJOVButton::OnPaint(CJOVDrawContext* context)
{
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int size = HIDPI_ScaleX(16);
    const int height = HIDPI_ScaleY(16);
    const int left = (client.left + client.right - size) / 2;
    const int top = (client.top + client.bottom - height) / 2;
    RECT image = {left, top, left + size, top + height};
    if (g_App.pServices)
        g_App.pServices->DrawImage(m_imageId, context->hDC, image);
    if (GetFocus() == m_hWnd) {
        HGDIOBJ old = SelectObject(context->hDC, GetStockObject(BLACK_PEN));
        POINT frame[] = {{client.left, client.top},
                         {client.right - 1, client.top},
                         {client.right - 1, client.bottom - 1},
                         {client.left, client.bottom - 1},
                         {client.left, client.top}};
        Polyline(context->hDC, frame, 5);
        SelectObject(context->hDC, old);
    }
}

HBRUSH CJOVButton::GetBkBrush()
{
    return m_pressed ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : DialogSkin().GetBackgroundBrush();
}

LRESULT CJOVButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Repaint();
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTTAB;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_RIGHT:
        case VK_DOWN:
        case VK_TAB:
            PostMessageW(m_hParent, WM_NEXTDLGCTL, 0, FALSE);
            Repaint();
            return 0;
        case VK_LEFT:
        case VK_UP:
            PostMessageW(m_hParent, WM_NEXTDLGCTL, 1, FALSE);
            Repaint();
            return 0;
        case VK_SPACE:
        case VK_RETURN:
            m_pressed = 1;
            Repaint();
            return 0;
        }
        break;
    case WM_KEYUP:
        if (m_pressed) {
            Click();
            m_pressed = 0;
            Repaint();
        }
        return 0;
    case WM_CHAR:
        if (wParam != L' ' && wParam != L'\r' && wParam != L'\t')
            SendMessageW(m_hParent, WM_CHAR, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(m_hWnd);
        m_pressed = 1;
        SetFocus(m_hWnd);
        Repaint();
        return 0;
    case WM_LBUTTONUP:
        // A click wherever the stylus is lifted.
        Click();
        ReleaseCapture();
        m_pressed = 0;
        Repaint();
        return 0;
    }
    return CWnd::OnMessage(message, wParam, lParam);
}
