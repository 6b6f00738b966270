#include "messaging/ChatView.h"

#include <shellapi.h>

CChatView::~CChatView()
{
    ReleaseMeasureDCs();
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
    ReleaseMeasureDCs();
    if (m_dc)
        ::ReleaseDC(m_dcWindow, m_dc);
    m_dc = nullptr;
    m_dcWindow = nullptr;
}

HDC CChatView::GetMeasureDC(HFONT font)
{
    for (int i = 0; i < m_measureCount; ++i) {
        if (m_measure[i].font == font)
            return m_measure[i].dc;
    }
    if (!m_dc)
        return nullptr;
    if (m_measureCount == kMeasureFonts) {
        // More fonts than ever asked for at once: the oldest makes room.
        SelectObject(m_measure[0].dc, m_measure[0].oldFont);
        DeleteDC(m_measure[0].dc);
        for (int i = 1; i < kMeasureFonts; ++i)
            m_measure[i - 1] = m_measure[i];
        --m_measureCount;
    }
    HDC dc = CreateCompatibleDC(m_dc);
    if (!dc)
        return m_dc;
    m_measure[m_measureCount++] = {font, dc, SelectObject(dc, font)};
    return dc;
}

void CChatView::ReleaseMeasureDCs()
{
    for (int i = 0; i < m_measureCount; ++i) {
        SelectObject(m_measure[i].dc, m_measure[i].oldFont);
        DeleteDC(m_measure[i].dc);
    }
    m_measureCount = 0;
}
