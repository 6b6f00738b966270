#include "messaging/ChatView.h"

#include <shellapi.h>

CChatView::~CChatView()
{
    if (m_dc)
        ::ReleaseDC(m_dcWindow, m_dc);
}

void CChatView::OpenLink(const wchar_t* address)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"Open";
    info.lpFile = address;
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info) && info.hProcess)
        CloseHandle(info.hProcess);
}

HDC CChatView::AcquireDC()
{
    if (m_dcUses++ == 0) {
        m_dcWindow = GetViewWindow();
        m_dc = GetDC(m_dcWindow);
    }
    return m_dc;
}

void CChatView::ReleaseDC()
{
    if (m_dcUses == 0 || --m_dcUses > 0)
        return;
    if (m_dc)
        ::ReleaseDC(m_dcWindow, m_dc);
    m_dc = nullptr;
    m_dcWindow = nullptr;
}
