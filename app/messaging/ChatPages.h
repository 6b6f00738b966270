// What the contact-list control uses of the messaging window: open a chat,
// add an entry, refresh or close a tab, and which tabs exist.
//
// OpenContact, AddMessage, UpdateContactPage and ClosePage run on the UI
// thread. HasPage, GetCurrentContact and IsShownInFront answer on any thread
// from a copy of the tabs that the window keeps up to date through the
// Note... calls, so the control's queue thread never waits for the UI thread.
#pragma once

#include <windows.h>

#include <mutex>
#include <set>

#include "messaging/ChatEntry.h"

class CChatPages {
public:
    // pendingCount: how many of the entries the caller adds right after are
    // already the last messages of the contact's history file.
    virtual void OpenContact(unsigned int contactId, int pendingCount) = 0;
    // The record is not kept.
    virtual void AddMessage(unsigned int contactId, const SMessage* message) = 0;
    virtual void UpdateContactPage(unsigned int contactId, int iconOnly, int stopBlink) = 0;
    virtual void ClosePage(unsigned int contactId) = 0;

    bool HasPage(unsigned int contactId) const;
    // The current tab's contact; 0 without tabs.
    unsigned int GetCurrentContact() const;
    // The window is visible and the foreground window.
    bool IsShownInFront() const;

protected:
    CChatPages() = default;
    ~CChatPages() = default;

    // UI thread, as the tabs change.
    void NotePageOpened(unsigned int contactId);
    void NotePageClosed(unsigned int contactId);
    void NoteCurrentContact(unsigned int contactId);
    void NoteWindow(HWND window);

private:
    mutable std::mutex m_lock;
    std::set<unsigned int> m_pages;
    unsigned int m_current = 0;
    HWND m_window = nullptr;
};
