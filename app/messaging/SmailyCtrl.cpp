#include "messaging/SmailyCtrl.h"

#include "messaging/ChatSkin.h"
#include "messaging/ChatSmilies.h"
#include "messaging/GifAnimator.h"
#include "messaging/GifPlayer.h"

CSmailyCtrl::CSmailyCtrl(HINSTANCE instance, HWND parent, int smileyIndex, CChatSkin* skin)
    : CWnd(instance, parent), m_smileyIndex(smileyIndex), m_player(nullptr), m_registered(0), m_paused(1),
      m_skin(skin), m_smilies(skin ? skin->GetSmilies() : nullptr), m_width(0), m_height(0),
      m_position()
{
    if (m_smilies && smileyIndex >= 0 && smileyIndex < m_smilies->GetCount()) {
        m_width = m_smilies->GetWidth(smileyIndex);
        m_height = m_smilies->GetHeight(smileyIndex);
    }
    Create(WS_VISIBLE, {0, 0, m_width, m_height});
}

CSmailyCtrl::~CSmailyCtrl() { Stop(); }

void CSmailyCtrl::Play()
{
    if (!m_registered) {
        CGifAnimator* animator = GetGifAnimator();
        if (animator) {
            m_player = animator->Register(this);
            m_registered = 1;
        }
    }
    m_paused = 0;
}

void CSmailyCtrl::Pause() { m_paused = 1; }

void CSmailyCtrl::MoveTo(int x, int y)
{
    if (x == m_position.x && y == m_position.y)
        return;
    Move(x, y);
    m_position = {x, y};
}

void CSmailyCtrl::Stop()
{
    if (m_registered) {
        CGifAnimator* animator = GetGifAnimator();
        if (animator)
            animator->Unregister(this);
    }
    m_player = nullptr;
    m_registered = 0;
}

void CSmailyCtrl::Invalidate()
{
    if (!m_paused && m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CSmailyCtrl::OnPaint(CJOVDrawContext* context)
{
    if (!m_player || m_paused || !m_smilies)
        return;
    CGifPlayer::CFrameLock frame(*m_player);
    HBITMAP bitmap = m_smilies->GetFrameBitmap(m_smileyIndex, frame.Current());
    if (!bitmap)
        return;
    int key = m_smilies->GetFrameKeyColor(m_smileyIndex, frame.Current());
    HDC memory = CreateCompatibleDC(context->hDC);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (key == -1)
        BitBlt(context->hDC, 0, 0, m_width, m_height, memory, 0, 0, SRCCOPY);
    else
        GdiTransparentBlt(context->hDC, 0, 0, m_width, m_height, memory, 0, 0, m_width, m_height,
                          static_cast<UINT>(key));
    SelectObject(memory, old);
    DeleteDC(memory);
}

void CSmailyCtrl::OnDestroy() { Stop(); }

LRESULT CSmailyCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN) {
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(m_hWnd, &point);
        ScreenToClient(m_hParent, &point);
        SendMessageW(m_hParent, WM_LBUTTONDOWN, wParam, MAKELPARAM(point.x, point.y));
        return 0;
    }
    return CWnd::OnMessage(message, wParam, lParam);
}

HBRUSH CSmailyCtrl::GetBkBrush()
{
    return m_skin ? m_skin->GetBackgroundBrush(0) : CWnd::GetBkBrush();
}
