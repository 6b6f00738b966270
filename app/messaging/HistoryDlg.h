// One contact's whole message history in a chat view: find (with whole words
// and case), the total, reload, delete (after asking) and save as a UTF-8
// text file. Opened from the contact's menu and from the messaging window.
// UI thread.
#pragma once

#include "MenuInfo.h"
#include "ServicesManager.h"
#include "contactlist/ModalDialog.h"

class CChatCtrl;
class CMessageDialogCtrl;
class CMessageWnd;

// The dialog menu's commands.
enum HistoryMenuCommand : unsigned int {
    kHistoryCmdTotal = 3000,
    kHistoryCmdRefresh = 3001,
    kHistoryCmdDelete = 3002,
    kHistoryCmdSaveAs = 3003,
    kHistoryCmdClose = 3004,
};

class CHistoryDlg : public CModalDialog {
public:
    // page: the chat page it was opened from, or null. Only its window is
    // kept: a quote goes to the contact's page as it is when quoting, since
    // the page may close meanwhile. bus: the program's when null.
    CHistoryDlg(HWND parent, CMessageDialogCtrl* page, unsigned int contactId,
                Services::CServicesManager* bus = nullptr);
    ~CHistoryDlg() override;

    int GetMessageCount() const { return m_messageCount; }
    bool IsFindPanelShown() const { return m_findShown; }
    CChatCtrl* GetChatView() const { return m_chat; }
    // The content y of the last hit of "->", -1 for none.
    int GetLastHit() const { return m_lastHit; }
    // The menu's description with the present total.
    void DescribeMenu(CMenuInfo& menu) const;

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog() override;
    void OnChangeWindowSize() override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;

private:
    void Load();
    void ToggleFindPanel();
    void Find();
    void ShowMenu();
    void Delete();
    void SaveAs();
    void Warn(const wchar_t* text);

    CChatCtrl* m_chat;
    CMessageWnd* m_quoteWindow;
    unsigned int m_contactId;
    int m_messageCount;
    bool m_findShown;
    wchar_t* m_lastSearch;
    int m_lastHit;
    Services::CServicesManager* m_bus;
};

// Runs the dialog for the contact over parent.
void ShowHistory(HWND parent, CMessageDialogCtrl* page, unsigned int contactId);
