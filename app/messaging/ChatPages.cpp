#include "messaging/ChatPages.h"

bool CChatPages::HasPage(unsigned int contactId) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_pages.count(contactId) != 0;
}

unsigned int CChatPages::GetCurrentContact() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_current;
}

bool CChatPages::IsShownInFront() const
{
    HWND window;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        window = m_window;
    }
    // Neither call waits for the window's thread.
    return window && IsWindowVisible(window) && GetForegroundWindow() == window;
}

void CChatPages::NotePageOpened(unsigned int contactId)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_pages.insert(contactId);
}

void CChatPages::NotePageClosed(unsigned int contactId)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_pages.erase(contactId);
    if (m_current == contactId)
        m_current = 0;
}

void CChatPages::NoteCurrentContact(unsigned int contactId)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_current = contactId;
}

void CChatPages::NoteWindow(HWND window)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_window = window;
}
