// The messaging window: one tab per open chat, each a message page over the
// contact's chat. Created hidden at start-up; opening a chat shows it, and it
// hides again when its last tab closes or the user closes it. It sends the
// user's text to the contact's account, shows the window menu with the items
// of the account's plug-in, the soft keys, an optional toolbar and a
// full-screen mode, and owns the smiley animation of the whole program.
// UI thread; the contact-list control's thread reads only the copy of the
// tabs kept in CChatPages.
#pragma once

#include <map>

#include "MenuInfo.h"
#include "ServicesManager.h"
#include "contactlist/ModelessTabsDlg.h"
#include "messaging/ChatPages.h"
#include "messaging/MessageWndSettings.h"

class CGifAnimator;
class CMessageDialogCtrl;

// The window menu's own commands.
enum MessageWndCommand : unsigned int {
    kMsgCmdSend = 2000,
    kMsgCmdSmilies = 2001,
    kMsgCmdContactDetails = 2002,
    kMsgCmdHistory = 2003,
    kMsgCmdSettingsCaption = 2004,
    kMsgCmdChatSettings = 2005,
    kMsgCmdEditSettings = 2006,
    kMsgCmdControlSettings = 2007,
    kMsgCmdClearChat = 2008,
    kMsgCmdCloseTab = 2009,
    kMsgCmdCloseWindow = 2010,
};
// Plug-in items are numbered from here.
constexpr unsigned int kMsgFirstPluginCommand = 2020;

class CMessageWnd : public CModelessTabsDlg, public CChatPages, public CMessageWndSettingsOwner {
public:
    class CToolBar;
    enum LeftKey { LeftKeySend = 0, LeftKeySmilies = 1, LeftKeyClose = 2 };

    // bus: where the settings, the contact list, the accounts, the alerts
    // and the history are found (the program's own when null).
    explicit CMessageWnd(HWND parent, Services::CServicesManager* bus = nullptr);
    ~CMessageWnd() override;

    void OpenContact(unsigned int contactId, int pendingCount) override;
    void AddMessage(unsigned int contactId, const SMessage* message) override;
    void UpdateContactPage(unsigned int contactId, int iconOnly, int stopBlink) override;
    void ClosePage(unsigned int contactId) override;

    // Null when the current index names no page.
    CMessageDialogCtrl* GetCurrentPage() const;
    // 0 for a page not held.
    unsigned int GetPageContact(const CMessageDialogCtrl* page) const;
    CMessageDialogCtrl* FindPage(unsigned int contactId) const;

    void SendCurrentMessage();
    void ChooseSmiley();
    void InsertSmiley(int smiley);
    void ApplySettings(int kind) override;
    void BuildMenu(CMenuInfo& menu);
    void ShowMenu();
    // The function soft key's action, by "Left key".
    void RunFunctionKey();

    MessageWndSettings& GetSettings() { return *m_settings; }
    const MessageWndSettings& GetSettings() const { return *m_settings; }
    CToolBar* GetToolBar() const { return m_toolbar; }
    Services::CServicesManager& GetBus() const { return *m_bus; }
    // Smilies are shown as text only.
    static bool AreSmiliesOff();

protected:
    void OnInitDialog() override;
    void OnChangeWindowSize() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLangChange() override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;
    HBRUSH GetBkBrush() override;
    void ActivatePage() override;
    void OnTabDoubleTap() override;
    int GetToolbarHeight() override;

private:
    void SetTitle();
    // The first image list of the contact's status, from its account.
    CJOVArray<unsigned int> StatusImages(unsigned int contactId);
    CJOVString Alias(unsigned int contactId);
    unsigned int AccountOf(unsigned int contactId);
    void ShowHistoryTail(CMessageDialogCtrl* page, unsigned int contactId, int pendingCount);
    void CloseContactPage(unsigned int contactId);
    void CreateToolBar();
    void PlaceToolBar();
    void RunMenuItem(const CMenuItemInfo& item);
    void ApplyFullScreen(bool active);
    bool IsFullScreen() const;
    bool IsFunctionKeyFirst() const;

    std::map<unsigned int, CMessageDialogCtrl*> m_pages;
    CToolBar* m_toolbar;
    Services::CServicesManager* m_bus;
    MessageWndSettings* m_settings;
    CGifAnimator* m_animator;
};
