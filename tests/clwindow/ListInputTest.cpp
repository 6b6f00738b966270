// The window's input, sent as the system sends it: taps, tap-and-hold (the
// gesture's answer forced), double taps, right clicks, keys, digits, the
// scroll bar, dragging, strokes, the timer and the chat entries posted to it.
#include "clwindow/ListWindowFixture.h"

#include "CriticalSectionLock.h"
#include "Gesture.h"
#include "ShellTrace.h"
#include "dialogs/DialogScript.h"
#include "support/AllocationWatch.h"

namespace {

class ListInputTest : public ListWindowTest {
protected:
    void TearDown() override
    {
        Platform::SetTapAndHoldTime(500);
        ListWindowTest::TearDown();
    }

    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
    static int Middle(const RECT& row) { return (row.top + row.bottom) / 2; }

    // A tap whose pen comes up at once: the gesture sees no hold.
    void Tap(int x, int y)
    {
        PostMessageW(m_list, WM_LBUTTONUP, 0, At(x, y));
        SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        Pump();
    }
    void TapRow(CTreeItem* item, int x = 20) { Tap(x, Middle(RowOf(item))); }

    void Key(WPARAM key) { SendMessageW(m_list, WM_KEYDOWN, key, 1); }

    int ScrollPosition()
    {
        SCROLLINFO info = ScrollInfo(SIF_POS);
        GetScrollInfo(m_list, SB_VERT, &info);
        return info.nPos;
    }

    // An account with "Friends" holding count offline contacts named 100...
    unsigned int FillFriends(int count)
    {
        AddAccount();
        const unsigned int friends = AddGroup(L"Friends");
        m_model->BeginTransaction();
        for (int i = 0; i < count; ++i) {
            const unsigned int contactId = m_model->CreateContact(kAccount, friends);
            m_model->SetString(contactId, CJOVString(L"CL Alias"), CJOVString(std::to_wstring(100 + i).c_str()));
            m_model->NotifyContactAdded(contactId);
        }
        m_model->EndTransaction();
        Settle();
        return friends;
    }

    CContactItem* FirstContact(unsigned int groupId)
    {
        return static_cast<CContactItem*>(Group(groupId)->GetFirstChild());
    }

    int ShellCalls(const char* name)
    {
        int count = 0;
        for (int at = Platform::FindShellCall(name); at >= 0; at = Platform::FindShellCall(name, at + 1))
            ++count;
        return count;
    }
};

TEST_F(ListInputTest, TheFirstTapSelectsAndASecondTapClicksTheSelectedItem)
{
    StartList();
    const unsigned int friends = FillFriends(3);
    CGroupItem* group = Group(friends);
    TapRow(group);
    EXPECT_EQ(m_control->GetCurrentItem(), group);
    EXPECT_TRUE(group->IsOpen());

    ValidateRect(m_list, nullptr);
    const int y = Middle(RowOf(group));
    PostMessageW(m_list, WM_LBUTTONUP, 0, At(20, y));
    SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, At(20, y));
    EXPECT_FALSE(group->IsOpen());
    EXPECT_TRUE(HasUpdate());
    Pump();
    TapRow(group);
    EXPECT_TRUE(group->IsOpen());

    // A contact only becomes current; its click changes nothing.
    CContactItem* contact = FirstContact(friends);
    TapRow(contact);
    TapRow(contact);
    EXPECT_EQ(m_control->GetCurrentItem(), contact);
    EXPECT_TRUE(m_chat.m_calls.empty());
    // Below the last row nothing is hit.
    Tap(20, kHeight - 2);
    EXPECT_EQ(m_control->GetCurrentItem(), contact);
}

TEST_F(ListInputTest, ADoubleTapOrReturnOnAContactOpensItsChat)
{
    StartList();
    const unsigned int friends = FillFriends(2);
    CContactItem* contact = FirstContact(friends);
    const unsigned int contactId = contact->GetContactId();
    TapRow(contact);
    SendMessageW(m_list, WM_LBUTTONDBLCLK, MK_LBUTTON, At(20, Middle(RowOf(contact))));
    ASSERT_EQ(m_chat.m_calls.size(), 1u);
    EXPECT_EQ(m_chat.m_calls[0], L"open " + std::to_wstring(contactId) + L" 0");

    Key(VK_RETURN);
    EXPECT_EQ(m_chat.m_calls.size(), 2u);
    // On a group neither does anything.
    TapRow(Group(friends));
    SendMessageW(m_list, WM_LBUTTONDBLCLK, MK_LBUTTON, At(20, Middle(RowOf(Group(friends)))));
    Key(VK_RETURN);
    EXPECT_EQ(m_chat.m_calls.size(), 2u);
}

TEST_F(ListInputTest, HoldingTheCurrentItemShowsItsMenuWithoutClickingItAndStopsTheDrag)
{
    StartList();
    const unsigned int friends = FillFriends(30);
    CGroupItem* group = Group(friends);
    TapRow(group);
    Platform::SetTapAndHoldTime(0);

    int entries = 0;
    bool shownDuringMenu = false;
    CDialogScript script;
    script.WhenMenu([&](HWND menu) {
        entries = GetMenuItemCount(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
        shownDuringMenu = m_control->IsMenuShown();
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    script.Start();
    const int y = Middle(RowOf(group));
    SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, At(20, y));
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(shownDuringMenu);
    EXPECT_EQ(entries, 6);  // a group's own entries: open, close, separator, create, rename, delete
    EXPECT_TRUE(group->IsOpen());

    const int before = ScrollPosition();
    SendMessageW(m_list, WM_MOUSEMOVE, MK_LBUTTON, At(20, y - 40));
    EXPECT_EQ(ScrollPosition(), before);
    SendMessageW(m_list, WM_LBUTTONUP, 0, At(20, y - 40));
    EXPECT_FALSE(m_control->IsMenuShown());
}

TEST_F(ListInputTest, ARightClickShowsTheCurrentItemsMenu)
{
    StartList();
    const unsigned int friends = FillFriends(2);
    TapRow(FirstContact(friends));
    int entries = 0;
    CDialogScript script;
    script.WhenMenu([&](HWND menu) {
        entries = GetMenuItemCount(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    script.Start();
    SendMessageW(m_list, WM_RBUTTONDOWN, MK_RBUTTON, At(30, 30));
    SendMessageW(m_list, WM_RBUTTONUP, 0, At(30, 30));
    EXPECT_TRUE(script.Done());
    // Send, separator, details, history, copy, separator, rename, delete:
    // the only group offers no move.
    EXPECT_EQ(entries, 8);
}

TEST_F(ListInputTest, ArrowKeysMoveTheSelectionAndOpenAndCloseBranches)
{
    StartList();
    const unsigned int friends = FillFriends(2);
    CGroupItem* group = Group(friends);
    ASSERT_EQ(m_control->GetCurrentItem(), Account());
    Key(VK_DOWN);
    EXPECT_EQ(m_control->GetCurrentItem(), group);
    Key(VK_DOWN);
    CContactItem* contact = FirstContact(friends);
    EXPECT_EQ(m_control->GetCurrentItem(), contact);
    Key(VK_LEFT);
    EXPECT_EQ(m_control->GetCurrentItem(), group);
    Key(VK_LEFT);
    EXPECT_FALSE(group->IsOpen());
    Key(VK_RIGHT);
    EXPECT_TRUE(group->IsOpen());
    Key(VK_RIGHT);  // open: as down
    EXPECT_EQ(m_control->GetCurrentItem(), contact);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(m_control->GetCurrentItem(), Account());
    Key(VK_LEFT);
    EXPECT_FALSE(Account()->IsOpen());
    // A closed account has nowhere to go: no repaint either.
    ValidateRect(m_list, nullptr);
    Key(VK_LEFT);
    EXPECT_EQ(m_control->GetCurrentItem(), Account());
    EXPECT_FALSE(HasUpdate());
    Key(VK_DOWN);
    EXPECT_TRUE(HasUpdate());

    // In the "Simple" view a contact's parent is its section.
    SetStatus(contact->GetContactId(), Protocols::StatusOnline);
    m_control->SetMode(0);
    ASSERT_EQ(m_control->GetCurrentItem(), m_control->GetStatusRoot(0));
    Key(VK_DOWN);
    ASSERT_EQ(m_control->GetCurrentItem()->GetKind(), TreeItemKind::Contact);
    Key(VK_LEFT);
    EXPECT_EQ(m_control->GetCurrentItem(), m_control->GetStatusRoot(0));
}

TEST_F(ListInputTest, DigitKeysAskTheMainWindowForTheStatusMenu)
{
    StartList();
    for (wchar_t digit : {L'3', L'0', L'1', L'9', L'a'})
        SendMessageW(m_list, WM_CHAR, digit, 1);
    Pump();
    EXPECT_EQ(m_commands, (std::vector<UINT>{502, 500, 508}));
}

TEST_F(ListInputTest, TheScrollBarAndDraggingMoveTheList)
{
    SetByte(L"CLCtrl columns", 1);
    StartList();
    FillFriends(40);
    ASSERT_EQ(ScrollPosition(), 0);
    SendMessageW(m_list, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(ScrollPosition(), Y(20));
    SendMessageW(m_list, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(ScrollPosition(), Y(20) + kHeight);
    SendMessageW(m_list, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7), 0);
    EXPECT_EQ(ScrollPosition(), 7);
    SendMessageW(m_list, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(ScrollPosition(), 0);  // the bar keeps it in range
    SendMessageW(m_list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30), 0);
    EXPECT_EQ(ScrollPosition(), 30);

    // Dragging moves the list twice the pen's way.
    const int y = kHeight / 2;
    SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, At(20, y));
    const int start = ScrollPosition();
    SendMessageW(m_list, WM_MOUSEMOVE, MK_LBUTTON, At(20, y - 10));
    EXPECT_EQ(ScrollPosition(), start + 20);
    SendMessageW(m_list, WM_MOUSEMOVE, MK_LBUTTON, At(20, y - 5));
    EXPECT_EQ(ScrollPosition(), start + 10);
    SendMessageW(m_list, WM_MOUSEMOVE, 0, At(20, y + 50));
    EXPECT_EQ(ScrollPosition(), start + 10);
    SendMessageW(m_list, WM_LBUTTONUP, 0, At(20, y - 5));
}

TEST_F(ListInputTest, AStrokeAcrossMoreThanHalfTheWindowBringsBackTheCurrentChat)
{
    StartList();
    const unsigned int friends = FillFriends(2);
    const unsigned int contactId = FirstContact(friends)->GetContactId();
    m_chat.Open(contactId);
    const int y = kHeight - 10;  // below the rows
    SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, At(10, y));
    SendMessageW(m_list, WM_LBUTTONUP, 0, At(100, y));  // 90 of 240
    EXPECT_TRUE(m_chat.m_calls.empty());
    SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, At(200, y));
    SendMessageW(m_list, WM_LBUTTONUP, 0, At(10, y));
    ASSERT_EQ(m_chat.m_calls.size(), 1u);
    EXPECT_EQ(m_chat.m_calls[0], L"open " + std::to_wstring(contactId) + L" 0");
    // Without a current tab the stroke does nothing.
    m_chat.Current(0);
    SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, At(200, y));
    SendMessageW(m_list, WM_LBUTTONUP, 0, At(10, y));
    EXPECT_EQ(m_chat.m_calls.size(), 1u);
}

TEST_F(ListInputTest, TheTimerRepaintsOnlyWhileAMessageIsPendingAndKeepsTheDeviceAwake)
{
    StartList(false);
    const unsigned int friends = FillFriends(1);
    UpdateWindow(m_list);
    const BYTE phase = m_control->GetBlinkPhase();
    SendMessageW(m_list, WM_TIMER, 1, 0);
    EXPECT_NE(m_control->GetBlinkPhase(), phase);
    EXPECT_FALSE(HasUpdate());

    Receive(FirstContact(friends)->GetContactId(), L"hello");
    UpdateWindow(m_list);
    SendMessageW(m_list, WM_TIMER, 1, 0);
    EXPECT_TRUE(HasUpdate());

    // "Don't sleep": the idle timer is reset once a second.
    SetByte(L"Don't sleep", 1);
    Platform::ClearShellCalls();
    for (int tick = 0; tick < 4; ++tick)
        SendMessageW(m_list, WM_TIMER, 1, 0);
    EXPECT_EQ(ShellCalls("SystemIdleTimerReset"), 2);
    SetByte(L"Don't sleep", 0);
    SendMessageW(m_list, WM_TIMER, 1, 0);
    SendMessageW(m_list, WM_TIMER, 1, 0);
    EXPECT_EQ(ShellCalls("SystemIdleTimerReset"), 2);
}

TEST_F(ListInputTest, TheRealTimerTicksEveryHalfSecond)
{
    SetByte(L"Don't sleep", 1);
    StartList();
    Platform::ClearShellCalls();
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 6000 && ShellCalls("SystemIdleTimerReset") < 2) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Pump();
    }
    const DWORD took = GetTickCount() - start;
    EXPECT_EQ(ShellCalls("SystemIdleTimerReset"), 2);
    // The second reset comes with the fourth tick, two seconds after the
    // window was made.
    EXPECT_GE(took, 1400u);
}

TEST_F(ListInputTest, AServiceEntryPostedToTheWindowOpensTheChatFirst)
{
    StartList();
    const unsigned int friends = FillFriends(1);
    const unsigned int contactId = FirstContact(friends)->GetContactId();
    auto* entry = new SMessage{SMessage::Service, 5, CJOVString(L"Contact is typing"), CJOVString(), CJOVString()};
    PostMessageW(m_list, kChatEntryMessage, contactId, reinterpret_cast<LPARAM>(entry));
    Pump();
    ASSERT_EQ(m_chat.m_calls.size(), 1u);
    EXPECT_EQ(m_chat.m_calls[0], L"open " + std::to_wstring(contactId) + L" 0");
    ASSERT_EQ(m_chat.m_entries[contactId].size(), 1u);
    EXPECT_EQ(m_chat.m_entries[contactId][0], L"2 5 Contact is typing |");
}

TEST_F(ListInputTest, EntriesStillQueuedWhenTheWindowGoesAreFreed)
{
    StartList();
    const unsigned int friends = FillFriends(1);
    const unsigned int contactId = FirstContact(friends)->GetContactId();
    CAllocationWatch watch;
    auto* first = new SMessage{SMessage::Incoming, 5, CJOVString(L"one"), CJOVString(), CJOVString()};
    auto* second = new SMessage{SMessage::Service, 5, CJOVString(L"Contact is typing"), CJOVString(), CJOVString()};
    PostMessageW(m_list, kChatEntryMessage, contactId, reinterpret_cast<LPARAM>(first));
    PostMessageW(m_list, kChatEntryMessage, contactId, reinterpret_cast<LPARAM>(second));
    // Shut-down: the control stops and goes before the window reads its queue.
    m_control->Stop();
    m_control.reset();
    EXPECT_FALSE(watch.IsLive(first));
    EXPECT_FALSE(watch.IsLive(second));
    EXPECT_TRUE(m_chat.m_entries[contactId].empty()) << "nothing reaches a messaging window that is gone";
}

} // namespace
