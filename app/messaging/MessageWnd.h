// Stand-in for the messaging window: a hidden modeless dialog of the main
// window that takes the language and smilies notices. It has no tabs: the
// contact list's messages stay pending, and what the list hands it is
// dropped.
// UI thread.
#pragma once

#include <windows.h>

#include "messaging/ChatPages.h"

class CMessageWnd : public CChatPages {
public:
    explicit CMessageWnd(HWND parent);
    virtual ~CMessageWnd();
    CMessageWnd(const CMessageWnd&) = delete;
    CMessageWnd& operator=(const CMessageWnd&) = delete;

    // Creates the dialog window from its resource; false when it cannot.
    bool Create();
    HWND GetWnd() const { return m_hWnd; }

    // No tab is ever opened.
    void OpenContact(unsigned int contactId, int pendingCount) override;
    void AddMessage(unsigned int contactId, const SMessage* message) override;
    void UpdateContactPage(unsigned int contactId, int iconOnly, int stopBlink) override;
    void ClosePage(unsigned int contactId) override;

protected:
    virtual void OnLangChange();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hParent;
    HWND m_hWnd;
};
