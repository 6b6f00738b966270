// One tab of the messaging window: the chat with one contact. The chat view
// fills the page above a multi-line edit box that grows with its text up to
// "Max line" lines and then scrolls; an optional Send button stands beside
// it. Enter sends when "SendOnEnter" is on, the arrow keys leave the edit box
// at its edges, and a tap-and-hold opens the edit menu.
// UI thread.
#pragma once

#include "JOVString.h"
#include "MenuInfo.h"
#include "contactlist/ModelessDlg.h"

class CChatCtrl;
class CJOVButton;
class CMessageWnd;
struct MessageWndSettings;
struct SMessage;

// The edit menu's commands.
constexpr unsigned int kEditCmdCut = 2000;
constexpr unsigned int kEditCmdCopy = 2001;
constexpr unsigned int kEditCmdCopyAll = 2002;
constexpr unsigned int kEditCmdPaste = 2003;

class CMessageDialogCtrl : public CModelessDlg {
public:
    explicit CMessageDialogCtrl(CMessageWnd* window);
    ~CMessageDialogCtrl() override;

    void AddEvent(const SMessage* message);
    // Oldest first, laid out at once.
    void AddEvents(const SMessage* messages, int count);
    void ClearChat();
    // 0 for an empty edit box (nothing changes); else the text, and the box is emptied.
    int TakeEditText(CJOVString& text);
    // A text that could not be sent goes back, the caret at its end.
    void RestoreEditText(const CJOVString& text);
    void ClearEdit();
    // At the edit box's caret, not undoable.
    void ReplaceSelection(const wchar_t* text);
    // The smiley's first code at the caret; nothing for an index outside the set.
    void InsertSmiley(int index);
    void Cut();
    void Copy();
    void Paste();
    void CopyAll();
    // MessageWndSettings::ApplyKind.
    void ApplySettings(int kind);
    void ApplyEditFont();
    void MoveCaretToEnd();
    int GetCaretCharIndex();
    void ShowEditMenu(int x, int y);
    static void FillEditMenu(CMenuInfo& menu);

    const MessageWndSettings& GetSettings() const;
    CMessageWnd* GetMessageWnd() const { return m_window; }
    CChatCtrl* GetChat() const { return m_chat; }
    HWND GetEdit() const { return m_edit; }
    CJOVButton* GetSendButton() const { return m_sendButton; }
    int GetEditHeight() const { return m_editHeight; }
    int GetLineHeight() const { return m_lineHeight; }
    int GetLineCount() const { return m_lineCount; }
    int GetMaxLines() const { return m_maxLines; }

protected:
    void OnInitDialog() override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HBRUSH GetBkBrush() override;

private:
    static LRESULT CALLBACK EditWndProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnEditMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnEditKey(UINT key);
    int SendButtonWidth() const;
    void Layout();
    void RecalcEditHeight();
    // Focus to the messaging window's tab item before or after control.
    void LeavePage(HWND control, bool backward);
    INT_PTR Answer(LRESULT result);

    CMessageWnd* m_window;
    CChatCtrl* m_chat;
    HWND m_edit;
    int m_editHeight;
    int m_lineHeight;
    int m_lineCount;
    int m_maxLines;
    CJOVButton* m_sendButton;

    // The edit class's own procedure, the same for every edit box.
    static WNDPROC s_editClassProc;
};
