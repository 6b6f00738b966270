// The contact-list control, served on the bus under GUID_CLCtrl and listening
// as the events client "CLCtrl": the account tree (accounts, their groups,
// the groups' contacts) and the status tree (sections "Online", "Offline",
// "Not in list" with contacts), kept in step with the contact-list model and
// the accounts; the pending incoming messages with their bubbles and alerts;
// the chat entries for the messaging window; a history record per message.
//
// Threads:
// - OnEvent runs on the queue thread "CLCtrl". It changes the trees under the
//   lock and reaches the UI thread only by invalidating the window and
//   posting to it: chat entries (kChatEntryMessage) and the page, layout and
//   scroll requests, which the window hands to OnWindowMessage.
// - The UI thread runs the window (CLWindow.cpp: painting, input, timer), the
//   item menus, the tree operations that the window, the main menu and the
//   preferences call, OpenChat, ClearNotifications and OnBubbleAnswer.
// - The lock guards both trees, the current item and the pending list; every
//   walk holds it. No account is asked anything while it is held: menus and
//   stale statuses are asked for by ids once it is released. A message's
//   history record is made under it and written once it is released, by
//   whichever thread made it (the queue thread, or the UI thread in OpenChat),
//   one writer at a time, in the order the records were made.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "EventsClient.h"
#include "JOVTime.h"
#include "MenuInfo.h"
#include "ServicesManager.h"
#include "contactlist/AccountItem.h"
#include "contactlist/ContactItem.h"
#include "contactlist/GroupItem.h"
#include "contactlist/StatusItem.h"
#include "messaging/ChatEntry.h"
#include "messaging/HistoryFiles.h"

class CChatPages;
class CNotifications;
namespace CL {
class CContactList;
}
namespace Protocols {
class CProtocolsManager;
}

// Messages the control posts to its window: a chat entry (wParam contact id,
// lParam an SMessage the handler frees), and requests for the UI thread.
inline constexpr UINT kChatEntryMessage = WM_USER + 7;
inline constexpr UINT kClosePageMessage = WM_USER + 21;   // wParam contact id
inline constexpr UINT kUpdatePageMessage = WM_USER + 22;  // wParam contact id, lParam bit 0 icon only, bit 1 stop blink
inline constexpr UINT kRelayoutMessage = WM_USER + 23;
inline constexpr UINT kScrollMessage = WM_USER + 24;

// One pending incoming message.
struct NotifyEntry {
    unsigned int entryId = 0;  // also the bubble's id
    unsigned int accountId = 0;
    unsigned int groupId = 0;  // 0: not in list
    unsigned int contactId = 0;
    unsigned int kind = 0;  // the message's
    int image = -1;         // the chat image
    CTime time;
    CJOVString text;
    bool shown = false;      // already in the contact's tab
    bool handled = false;    // its bubble was dismissed
    bool inHistory = false;  // the last record of the history file when made
};

// Where an item stands, by ids, so that it can be found again later.
struct CLItemRef {
    TreeItemKind kind = TreeItemKind::Root;
    unsigned int accountId = 0;
    unsigned int groupId = 0;
    unsigned int contactId = 0;
    unsigned int section = 0;
};

class CCLCtrl final : public CEventsClient {
public:
    // Registers the service, declares "CL current item changed", registers
    // the client and subscribes to "Loaded", which builds the trees.
    explicit CCLCtrl(Services::CServicesManager& bus);
    ~CCLCtrl();
    CCLCtrl(const CCLCtrl&) = delete;
    CCLCtrl& operator=(const CCLCtrl&) = delete;

    // Shut-down, before the messaging window goes: no handler runs after it
    // and OnBubbleAnswer finds no control.
    void Stop();
    // The process-wide control (the first made and not stopped), or null.
    static CCLCtrl* GetInstance();
    // The id of the events client "CLCtrl".
    unsigned int GetClientId() const { return m_clientId; }

    // The list's window, a child of parent with the timer of the blinking;
    // style gains WS_CHILD and WS_VSCROLL. 1 when it was made. UI thread.
    int CreateWnd(DWORD style, const RECT& rect, HWND parent, int controlId);
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Start-up's wiring; each may be null.
    void SetWindow(HWND window) { m_hWnd = window; }
    HWND GetWnd() const { return m_hWnd; }
    void SetChatPages(CChatPages* pages) { m_chat = pages; }
    void SetNotifications(CNotifications* notifications) { m_notifications = notifications; }

    int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override;

    // View mode (0 "Simple", 1 "Groups"), "online only" and columns (1 to 4);
    // other values are refused.
    void SetMode(int mode);
    void SetOnlineOnly(BYTE on);
    void SetColumns(unsigned int count);
    int GetMode() const { return m_mode; }
    bool IsOnlineOnly() const { return m_onlineOnly; }
    unsigned int GetColumns() const { return m_columns; }

    // The scroll range from the shown tree's height; off the UI thread a request to it.
    void RecalcLayout();
    void Refresh(BYTE relayout);
    // Makes the item current (null: none) and scrolls it into view.
    void EnsureVisible(CTreeItem* item);
    void SelectPrevious();
    void SelectNext();

    // Finders; they take the lock themselves.
    CStatusItem* GetStatusRoot(unsigned int section);
    bool FindAccountItem(unsigned int accountId, CAccountItem** account);
    bool FindGroupItem(unsigned int groupId, unsigned int accountId, CAccountItem** account, CGroupItem** group);
    bool FindGroup(unsigned int groupId, CAccountItem** account, CGroupItem** group);
    bool FindContactItem(unsigned int contactId, CAccountItem** account, CGroupItem** group,
                         CContactItem** contact);
    bool FindStatusContactItem(unsigned int contactId, CStatusItem** section, CContactItem** contact);

    // The current item's menu: its own entries, then its account's.
    void FillSelectedItemMenu(CMenuInfo& menu);
    // item's menu (item: a token, looked for in the trees under the lock);
    // ownerId gets the id the entries' handlers are called with. False when
    // the item is gone or has no menu. Asks the account: never under the lock.
    bool FillItemMenu(CTreeItem* item, CMenuInfo& menu, unsigned int* ownerId = nullptr);
    // Pops up item's menu at the screen point and runs the chosen entry.
    void ShowContextMenu(CTreeItem* item, HWND owner, int x, int y);
    // item is still linked in one of the trees; the answer holds while the
    // caller keeps the lock.
    bool IsLiveItem(const CTreeItem* item);
    // The current item by ids; kind Root when there is none.
    CLItemRef GetCurrentItemRef();
    // What an item menu's handler gets: the account, group or contact id.
    unsigned int GetCurrentItemId();

    // Pending-entry questions of the item drawing; handled entries do not count.
    int GetNotifyIcon(unsigned int contactId);
    BYTE HasPendingForAccount(unsigned int accountId);
    BYTE HasPendingForGroup(unsigned int groupId);
    BYTE HasPending();

    // While a paint draws under the lock: a contact whose status is stale,
    // asked of its account once the lock is released.
    void NoteStaleStatus(unsigned int contactId, unsigned int accountId);
    // "Status only" as read when the paint began.
    bool PaintStatusOnly() const { return m_paintStatusOnly; }

    // UI thread: shows the contact's chat and adds its entries not yet shown.
    void OpenChat(unsigned int contactId);
    static void OpenItemChat(CContactItem* item);
    // UI thread: the contact's entries are read. The number removed.
    int ClearNotifications(unsigned int contactId);
    // UI thread: the user opened (1) or dismissed (0) a message bubble.
    void AnswerBubble(unsigned int entryId, BOOL open);

    // UI thread: a message the control posted to its window; false for others.
    bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The model and the accounts' manager on the bus, or null.
    CL::CContactList* Model();
    Protocols::CProtocolsManager* Manager();

    // For the window and tests: the lock and what it guards.
    CRITICAL_SECTION& GetLock() { return m_lock; }
    CRootItem* GetAccountTree() const { return m_accountRoot; }
    CRootItem* GetStatusTree() const { return m_statusRoot; }
    CTreeItem* GetCurrentItem() const { return m_current; }
    std::vector<NotifyEntry> GetPendingEntries();
    // Tests: OpenChat calls it on its thread, unlocked, once the records of the
    // contact's pending entries are in the file, to change the list meanwhile.
    void SetHistoryWrittenHook(std::function<void(unsigned int contactId)> hook) { m_historyWritten = std::move(hook); }
    BYTE GetBlinkPhase() const { return m_blinkPhase; }
    bool IsMenuShown() const { return m_menuShown; }

private:
    // A message's history record, made under the lock and written after it.
    struct HistoryRecord {
        unsigned int contactId = 0;
        HistoryTarget history;
        unsigned char direction = 0;  // 0 received, 1 sent
        unsigned long time = 0;
        CJOVString text;
        unsigned int entryId = 0;  // the pending entry that counts it as in the file, or 0
    };
    // An entry for a chat that OpenChat is opening, with its history record
    // still to write.
    struct Arrival {
        SMessage message;
        HistoryRecord record;
    };

    CRootItem* ShownRoot() const;
    bool OnWindowThread() const;
    void Post(UINT message, WPARAM wParam, LPARAM lParam);
    void PostEntry(unsigned int contactId, SMessage* message);
    void ScrollToCurrent();
    void Invalidate();

    // Event handlers ("CLCtrl" thread).
    void OnLoaded();
    void OnAccountAdded(unsigned int accountId);
    void OnAccountDeleted(unsigned int accountId);
    void OnAccountChanged(unsigned int accountId);
    void OnMessageSent(CEventArg* arg2);
    void OnGroupAdded(unsigned int groupId);
    void OnGroupChanged(unsigned int groupId);
    void OnGroupDelete(unsigned int groupId);
    void OnContactAdded(unsigned int contactId, CEventArg* arg2);
    void OnContactChanged(unsigned int contactId);
    void OnContactDelete(unsigned int contactId);
    void OnContactGoneCheck(unsigned int contactId);
    // The control's request to itself to learn whether a deleted contact is gone.
    void PostGoneCheck(unsigned int contactId);
    static constexpr wchar_t kContactGoneCheck[] = L"Contact gone check";
    void OnContactStatusChanged(unsigned int contactId, CEventArg* arg2);
    void OnMessageReceived(unsigned int contactId, CEventArg* arg2);
    void WakeDevice();
    // Not under the lock: writes every record made so far, in order. A record
    // that fails leaves its entry out of the file's last records, and the
    // user is told once per contact.
    void WriteHistory();

    // The window (UI thread).
    void DestroyWnd();
    LRESULT OnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HWND window);
    void FetchStaleStatuses();
    bool OnKeyDown(HWND window, WPARAM key);
    // Opens the chat of the current item when it is a contact, not under the lock.
    void OpenCurrentContact();
    void OnScroll(HWND window, WPARAM wParam);
    void OnDrag(HWND window, WPARAM flags, int y);
    bool OnTap(HWND window, int x, int y);
    void OnTapUp(HWND window, int x);
    void OnTimer(HWND window);
    void OnContextMenu(HWND window, LPARAM lParam);
    int ScrollPos(HWND window) const;

    // Callers hold the lock.
    void MoveCurrentOutOf(CTreeItem* doomed);
    void ApplyGroupHiding(CGroupItem* group);
    void AddToSection(unsigned int section, CContactItem* contact);
    bool Resort(CContactItem* contact);
    bool HasUnhandled(unsigned int contactId) const;
    void ResetUnread(unsigned int contactId);
    void DropContact(unsigned int contactId);

    static std::atomic<CCLCtrl*> s_instance;

    Services::CServicesManager& m_bus;
    HWND m_hWnd = nullptr;
    unsigned int m_serviceId = 0;
    unsigned int m_currentItemEvent = 0;
    unsigned int m_clientId = 0;
    unsigned int m_subscriptions[15] = {};
    CRITICAL_SECTION m_lock;
    std::atomic<bool> m_redraw{true};
    std::atomic<int> m_mode{1};
    std::atomic<bool> m_onlineOnly{false};
    std::atomic<unsigned int> m_columns{2};
    CRootItem* m_statusRoot = nullptr;
    CRootItem* m_accountRoot = nullptr;
    CTreeItem* m_current = nullptr;
    std::vector<NotifyEntry> m_pending;
    AccountBranchStyle m_accountStyle;
    BranchStyle m_statusStyle;
    BranchStyle m_groupStyle;
    std::atomic<CChatPages*> m_chat{nullptr};
    std::atomic<CNotifications*> m_notifications{nullptr};
    std::atomic<bool> m_relayoutPosted{false};
    std::atomic<bool> m_scrollPosted{false};

    // The window's (UI thread).
    bool m_ownsWindow = false;
    BYTE m_blinkPhase = 1;
    UINT_PTR m_timerId = 0;
    int m_tapX = 0;
    int m_tapY = 0;
    bool m_menuShown = false;
    bool m_paintStatusOnly = false;
    // Stale contacts seen by the paint under way: contact id, account id.
    std::vector<std::pair<unsigned int, unsigned int>> m_staleSeen;

    // Chats being opened by OpenChat, and what arrived for them meanwhile.
    std::set<unsigned int> m_opening;
    std::vector<Arrival> m_arrivals;
    std::function<void(unsigned int)> m_historyWritten;
    // History records not yet written, in the order made (under the lock);
    // the writer, and the contacts told that their history failed (under
    // m_historyWriter).
    std::vector<HistoryRecord> m_historyQueue;
    std::mutex m_historyWriter;
    std::set<unsigned int> m_historyWarned;
    // Contacts the model announced deleted, until it is known whether they
    // come back (a move) or are gone: tick of the announcement.
    std::map<unsigned int, DWORD> m_maybeGone;
};

// The notifications manager's answer callback (UI thread).
void OnBubbleAnswer(unsigned int entryId, BOOL open);
