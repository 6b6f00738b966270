// The scrolling window that shows one conversation: the nodes of its chat
// content one under the other, with a caret placed by a tap, a selection
// made by dragging (scrolling by itself past the window's edges), links
// opened by a tap, copy, copy-all and quote. Every question about what lies
// where goes to the content; the view keeps the scroll position, the caret,
// the two ends of the selection and the drag.
// UI thread.
#pragma once

#include "MenuInfo.h"
#include "ScrollWnd.h"
#include "messaging/AppChatSkin.h"
#include "messaging/ChatView.h"
#include "messaging/FindText.h"
#include "messaging/TextMeasurer.h"

class CChatContent;
class CGrowingTextBuffer;
class CMessageDialogCtrl;
class CMessageWnd;
struct SMessage;

constexpr UINT_PTR kAutoScrollTimer = 2000;
constexpr UINT kAutoScrollPeriodMs = 200;

// The context menu's commands.
constexpr unsigned int kChatCmdCopy = 1000;
constexpr unsigned int kChatCmdCopyAll = 1001;
constexpr unsigned int kChatCmdQuote = 1002;

class CChatCtrl : public CScrollWnd, public CChatView {
public:
    enum AutoScroll { NoAutoScroll = 0, ScrollingDown = 1, ScrollingUp = 2 };

    // owner: the page that takes quotes and typed characters, or null.
    // contentFlag: 0 for a message page, 1 for the history dialog.
    CChatCtrl(HINSTANCE instance, HWND parent, CMessageDialogCtrl* owner, int contentFlag);
    ~CChatCtrl() override;

    int Create(const RECT& rect);

    // Adds the entry and scrolls to the end.
    void AddEvent(const SMessage* message);
    // Adds count entries, oldest first, at once: one layout, one scroll
    // update and one repaint for them all.
    void AddEvents(const SMessage* messages, int count);
    // Lays everything out for the present width and scrolls to the end.
    void UpdateLayout();
    void Clear();
    // The hit's content y, or -1; a hit off screen comes to the top.
    int Find(const wchar_t* text, const FindFlags& flags);
    int FindFromStart(const wchar_t* text, const FindFlags& flags);
    void GetAllText(CGrowingTextBuffer& buffer);
    void Copy();
    void CopyAll();
    void Quote();
    // Without an owner page, quotes go to the contact's chat page in window as
    // it is when quoting (the history dialog's view: a page may close meanwhile).
    void SetQuoteContact(CMessageWnd* window, unsigned int contactId)
    {
        m_quoteWindow = window;
        m_quoteContact = contactId;
    }
    // At a screen point.
    void ShowContextMenu(int x, int y);
    static void FillContextMenu(CMenuInfo& menu, bool withQuote);

    HWND GetViewWindow() override { return m_hWnd; }
    HINSTANCE GetViewInstance() override { return m_hInstance; }
    CTextMeasurer& GetTextMeasurer() override { return m_measurer; }
    CChatSkin& GetSkin() override { return m_skin; }
    const MessageWndSettings& GetSettings() override;

    CChatContent* GetContent() const { return m_content; }
    POINT GetSelectionAnchor() const { return m_anchor; }
    POINT GetSelectionEnd() const { return m_end; }
    bool HasSelection() const { return m_anchor.x != m_end.x || m_anchor.y != m_end.y; }
    bool IsDragging() const { return m_dragging != 0; }
    int GetAutoScroll() const { return m_autoScroll; }

protected:
    void OnPaint(CJOVDrawContext* context) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH GetBkBrush() override;
    void OnScroll() override;

private:
    // The scroll range of the content's height, at its end.
    void ScrollToEnd();
    // Shows the scroll bar ahead of entries sure to need it, and lays the
    // content out at the width it leaves, so that they are laid out once.
    void MakeRoomFor(const SMessage* messages, int count);
    void RefreshCaret();
    POINT PlaceCaret(POINT point);
    void ApplySelection();
    void StopAutoScroll();
    void CopySelectionToClipboard();
    void OnButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnAutoScrollTick();
    bool OnKeyDown(UINT key);
    void OnSetFocus();

    // The owner, else the quote contact's page; null for none.
    CMessageDialogCtrl* QuoteTarget() const;

    CMessageDialogCtrl* m_owner;
    CMessageWnd* m_quoteWindow;
    unsigned int m_quoteContact;
    CChatContent* m_content;
    int m_dragging;
    POINT m_anchor;
    POINT m_end;
    int m_autoScroll;
    int m_caretHeight;
    bool m_holdLayout;  // a size change lays nothing out
    CGdiTextMeasurer m_measurer;
    CAppChatSkin m_skin;
};

// The record the chat views read: the program's messaging window's, or
// defaults while there is none.
const MessageWndSettings& GetMessagingSettings();
