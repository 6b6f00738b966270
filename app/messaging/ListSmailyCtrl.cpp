#include "messaging/ListSmailyCtrl.h"

#include "HiDpi.h"
#include "core/AppGlobals.h"
#include "messaging/ChatSmilies.h"
#include "messaging/MessagingSkin.h"
#include "messaging/SmailyCtrl.h"

namespace {

const int kGap = 1;

HINSTANCE ProgramModule()
{
    return g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr);
}

} // namespace

CListSmailyCtrl::CListSmailyCtrl(HWND parent, int smileyCount, int cellWidth, int cellHeight)
    : CListImageCtrl(ProgramModule(), parent, smileyCount, cellWidth, cellHeight, HIDPI_ScaleX(kGap),
                     HIDPI_ScaleY(kGap)),
      m_controls(10), m_skin(g_App.pSkinManager)
{
}

CListSmailyCtrl::~CListSmailyCtrl()
{
    for (int i = 0; i < m_controls.Count(); ++i)
        delete m_controls[i];
    m_controls.RemoveAll();
}

void CListSmailyCtrl::OnCreate()
{
    CListImageCtrl::OnCreate();
    const int count = m_skin.GetSmilies()->GetCount();
    for (int smiley = 0; smiley < count; ++smiley)
        m_controls.Append(new CSmailyCtrl(m_hInstance, m_hWnd, smiley, &m_skin));
}

HBRUSH CListSmailyCtrl::GetBkBrush()
{
    return GetSkinBackgroundBrush();
}

void CListSmailyCtrl::RedrawImage(int index, const RECT& cell, CJOVDrawContext*)
{
    if (index < 0 || index >= m_controls.Count())
        return;
    CSmailyCtrl* control = m_controls[index];
    control->Pause();
    control->MoveTo((cell.left + cell.right - control->GetSmileyWidth()) / 2,
                    (cell.top + cell.bottom - control->GetSmileyHeight()) / 2);
    control->Play();
    control->Invalidate();
}
