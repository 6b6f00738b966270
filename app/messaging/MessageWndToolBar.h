// The messaging window's optional toolbar, the band along its bottom: the
// bar of recent smilies, then the smilies button and the send button, each
// shown by its setting. Its three controls take the focus in that order.
// UI thread.
#pragma once

#include "Wnd.h"
#include "messaging/MessageWnd.h"

class CJOVButton;
class CQuickSmailyPanel;

class CMessageWnd::CToolBar : public CWnd {
public:
    // Makes the window on rect of the owner's dialog.
    CToolBar(CMessageWnd* owner, const RECT& rect);
    ~CToolBar() override;

    // Places the bar and the buttons for the present size and settings.
    void Relayout();

    CQuickSmailyPanel* GetQuickBar() const { return m_quickBar; }
    CJOVButton* GetSmiliesButton() const { return m_smiliesButton; }
    CJOVButton* GetSendButton() const { return m_sendButton; }

protected:
    void OnCreate() override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH GetBkBrush() override;

private:
    struct Geometry {
        RECT bar;
        RECT smilies;
        RECT send;
    };
    Geometry Measure() const;
    // The focusable controls in order, hidden buttons left out.
    int Focusables(HWND* controls) const;
    void MoveFocus(bool backward);

    CMessageWnd* m_owner;
    CQuickSmailyPanel* m_quickBar;
    CJOVButton* m_smiliesButton;
    CJOVButton* m_sendButton;
};
