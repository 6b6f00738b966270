// The control's trees as the model builds them, and the view operations:
// mode, "online only", columns, selection, scrolling and the settings read
// on "Loaded".
#include "clctrl/CLCtrlFixture.h"

#include "CriticalSectionLock.h"
#include "HiDpi.h"

namespace {

using Names = std::vector<std::wstring>;

TEST_F(CLCtrlTest, LoadedReadsTheViewSettingsAndRefusesValuesOutOfRange)
{
    SetByte(L"CL mode", 0);
    SetByte(L"CL online only", 1);
    SetByte(L"CLCtrl columns", 3);
    SetByte(L"CLCtrl offline open", 0);
    Start();
    EXPECT_EQ(m_control->GetMode(), 0);
    EXPECT_TRUE(m_control->IsOnlineOnly());
    EXPECT_EQ(m_control->GetColumns(), 3u);
    EXPECT_EQ(Children(m_control->GetStatusTree()), (Names{L"section 0", L"[section 1]", L"[section 2]"}));
    EXPECT_TRUE(m_control->GetStatusRoot(0)->IsOpen());
    EXPECT_FALSE(m_control->GetStatusRoot(1)->IsOpen());
    // "Simple" selects the "Online" section at once.
    EXPECT_EQ(m_control->GetCurrentItem(), m_control->GetStatusRoot(0));
    StopAll();

    SetByte(L"CL mode", 7);
    SetByte(L"CLCtrl columns", 0);
    Start();
    EXPECT_EQ(m_control->GetMode(), 1);
    EXPECT_EQ(m_control->GetColumns(), 2u);
    m_control->SetColumns(5);
    m_control->SetMode(2);
    EXPECT_EQ(m_control->GetColumns(), 2u);
    EXPECT_EQ(m_control->GetMode(), 1);
}

TEST_F(CLCtrlTest, TheTreesFollowAccountsGroupsAndContacts)
{
    Start();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int work = AddGroup(L"Work");
    AddContact(L"bob", friends);
    AddContact(L"Alice", friends);
    const unsigned int stranger = AddContact(L"stranger", 0);
    EXPECT_EQ(Children(m_control->GetAccountTree()), (Names{L"123456"}));
    EXPECT_EQ(Children(Account()), (Names{L"Friends", L"Work", L"Not in list"}));
    EXPECT_EQ(Children(Group(friends)), (Names{L"Alice", L"bob"}));
    EXPECT_EQ(Account()->GetStyle().images.Count(), 2);
    // Offline contacts wait in "Offline", contacts in no group in "Not in list".
    EXPECT_EQ(Children(m_control->GetStatusRoot(1)), (Names{L"Alice", L"bob"}));
    EXPECT_EQ(Children(m_control->GetStatusRoot(2)), (Names{L"stranger"}));
    EXPECT_TRUE(m_control->GetStatusRoot(2)->IsVisible());
    // The first account became current in the "Groups" view.
    EXPECT_EQ(m_control->GetCurrentItem(), Account());
    EXPECT_EQ(m_control->GetCurrentItemId(), kAccount);

    m_model->SetString(work, CJOVString(L"CL Alias"), CJOVString(L"Office"));
    m_model->NotifyGroupChanged(work);
    m_model->SetString(stranger, CJOVString(L"CL Alias"), CJOVString(L"Known"));
    m_model->NotifyContactChanged(stranger);
    Settle();
    EXPECT_EQ(Children(Account()), (Names{L"Friends", L"Office", L"Not in list"}));
    EXPECT_EQ(Children(m_control->GetStatusRoot(2)), (Names{L"Known"}));

    m_protocols.Change(kAccount, [](CFakeProtocols::Account& a) { a.name = L"renamed"; });
    FireManager(2, kAccount);
    EXPECT_EQ(Children(m_control->GetAccountTree()), (Names{L"renamed"}));
}

TEST_F(CLCtrlTest, SwitchingModesSelectsTheFirstItemOfTheShownTree)
{
    Start();
    m_control->SetMode(0);
    EXPECT_EQ(m_control->GetCurrentItem(), m_control->GetStatusRoot(0));
    m_control->SetMode(1);
    EXPECT_EQ(m_control->GetCurrentItem(), nullptr);
    AddAccount();
    m_control->SetMode(0);
    m_control->SetMode(1);
    EXPECT_EQ(m_control->GetCurrentItem(), Account());
    EXPECT_TRUE(Account()->IsFocused());
    EXPECT_FALSE(m_control->GetStatusRoot(0)->IsFocused());
}

TEST_F(CLCtrlTest, OnlineOnlyHidesOfflineContactsButNotUnreadOnesNorTheNotInListGroup)
{
    Start();
    AddAccount();
    const unsigned int quiet = AddGroup(L"Quiet");
    const unsigned int busy = AddGroup(L"Busy");
    const unsigned int empty = AddGroup(L"Empty");
    AddContact(L"sleeper", quiet);
    const unsigned int reader = AddContact(L"reader", busy);
    AddContact(L"nobody", 0);
    Receive(reader, L"hello");

    m_control->SetOnlineOnly(1);
    EXPECT_EQ(Children(Account()), (Names{L"[Quiet]", L"Busy", L"[Empty]", L"Not in list"}));
    EXPECT_EQ(Children(Group(quiet)), (Names{L"[sleeper]"}));
    EXPECT_EQ(Children(Group(busy)), (Names{L"reader"}));
    EXPECT_EQ(Children(NotInList()), (Names{L"nobody"}));
    EXPECT_FALSE(m_control->GetStatusRoot(1)->IsVisible());

    // Offline again while unread: still in sight.
    SetStatus(reader, Protocols::StatusOnline);
    SetStatus(reader, Protocols::StatusOffline);
    EXPECT_EQ(Children(Group(busy)), (Names{L"reader"}));
    EXPECT_TRUE(Group(busy)->IsVisible());
    EXPECT_EQ(SectionOf(reader), 0);

    m_control->SetOnlineOnly(0);
    EXPECT_EQ(Children(Account()), (Names{L"Quiet", L"Busy", L"Empty", L"Not in list"}));
    EXPECT_EQ(Children(Group(quiet)), (Names{L"sleeper"}));
    EXPECT_TRUE(m_control->GetStatusRoot(1)->IsVisible());
    (void)empty;
}

TEST_F(CLCtrlTest, SelectionMovesThroughVisibleRows)
{
    Start();
    AddAccount();
    AddAccount(2);
    const unsigned int first = AddGroup(L"First");
    const unsigned int second = AddGroup(L"Second");
    const unsigned int a = AddContact(L"a", first);
    const unsigned int b = AddContact(L"b", first);
    const unsigned int c = AddContact(L"c", second);

    EXPECT_EQ(m_control->GetCurrentItem(), Account());
    m_control->SelectPrevious();
    EXPECT_EQ(m_control->GetCurrentItem(), Account());

    m_control->SelectNext();
    EXPECT_EQ(m_control->GetCurrentItem(), Group(first));
    m_control->SelectNext();
    EXPECT_EQ(m_control->GetCurrentItem(), Contact(a));
    m_control->SelectPrevious();
    EXPECT_EQ(m_control->GetCurrentItem(), Group(first));
    m_control->SelectNext();
    m_control->SelectNext();
    EXPECT_EQ(m_control->GetCurrentItem(), Contact(b));
    // Past the last contact of a group: the next group; the hidden "Not in
    // list" group is skipped, so after the last group comes the next account.
    m_control->SelectNext();
    EXPECT_EQ(m_control->GetCurrentItem(), Group(second));
    m_control->SelectNext();
    EXPECT_EQ(m_control->GetCurrentItem(), Contact(c));
    m_control->SelectNext();
    EXPECT_EQ(m_control->GetCurrentItem(), Account(2));
    m_control->SelectPrevious();
    EXPECT_EQ(m_control->GetCurrentItem(), Contact(c));

    // A closed group is passed over as one row.
    Group(first)->SetOpenFlag(false);
    m_control->EnsureVisible(Group(second));
    m_control->SelectPrevious();
    EXPECT_EQ(m_control->GetCurrentItem(), Group(first));
}

TEST_F(CLCtrlTest, ColumnsReachEveryAccountAlsoOneAddedLater)
{
    Start();
    AddAccount();
    m_control->SetColumns(3);
    AddAccount(2);
    const unsigned int group = AddGroup(L"G", 2);
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
        AddContact(name, group, 2);
    EXPECT_EQ(Account()->GetStyle().columns, 3u);
    EXPECT_EQ(Account(2)->GetStyle().columns, 3u);
    CCriticalSectionLock hold(m_control->GetLock());
    const int row = HIDPI_ScaleY(kBranchRowUnits);
    EXPECT_EQ(static_cast<int>(Group(group)->GetHeight()), row + 2 * HIDPI_ScaleY(kContactRowUnits));
}

TEST_F(CLCtrlTest, ScrollRangeFollowsTheShownTreeAndTheCurrentRowComesIntoView)
{
    Start();
    AddAccount();
    const unsigned int group = AddGroup(L"Many");
    m_control->SetColumns(1);
    std::vector<unsigned int> contacts;
    for (int i = 0; i < 20; ++i)
        contacts.push_back(AddContact((L"c" + std::to_wstring(100 + i)).c_str(), group));
    Settle();
    SCROLLINFO info = ScrollInfo(SIF_ALL);
    GetScrollInfo(m_window, SB_VERT, &info);
    const int height = static_cast<int>(m_control->GetAccountTree()->GetHeight());
    EXPECT_EQ(info.nMax, height);
    RECT client;
    GetClientRect(m_window, &client);
    EXPECT_EQ(static_cast<int>(info.nPage), client.bottom);
    EXPECT_EQ(info.nPos, 0);

    m_control->EnsureVisible(Contact(contacts.back()));
    GetScrollInfo(m_window, SB_VERT, &info);
    RECT row = {};
    Contact(contacts.back())->GetItemRect(&row);
    EXPECT_EQ(info.nPos, row.bottom - client.bottom);

    m_control->EnsureVisible(Account());
    GetScrollInfo(m_window, SB_VERT, &info);
    EXPECT_EQ(info.nPos, 0);

    // From the queue thread the layout waits for the window's thread.
    DeleteAccount();
    EXPECT_EQ(m_control->GetCurrentItem(), nullptr);
    GetScrollInfo(m_window, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 0);
}

TEST_F(CLCtrlTest, PendingQuestionsSkipHandledEntries)
{
    Start();
    AddAccount();
    const unsigned int group = AddGroup(L"G");
    const unsigned int plain = AddContact(L"plain", group);
    const unsigned int offline = AddContact(L"offline", 0);
    const unsigned int pictured = AddContact(L"pictured", group);
    EXPECT_FALSE(m_control->HasPending());
    Receive(plain, L"one");
    Receive(offline, L"stored", 1);
    Receive(pictured, L"smile", 0, 77);
    EXPECT_EQ(m_control->GetNotifyIcon(plain), 22);
    EXPECT_EQ(m_control->GetNotifyIcon(offline), 24);
    EXPECT_EQ(m_control->GetNotifyIcon(pictured), 77);
    EXPECT_EQ(m_control->GetNotifyIcon(0x80000999u), -1);
    EXPECT_TRUE(m_control->HasPendingForAccount(kAccount));
    EXPECT_TRUE(m_control->HasPendingForGroup(group));
    EXPECT_TRUE(m_control->HasPendingForGroup(0));
    EXPECT_FALSE(m_control->HasPendingForAccount(2));

    for (const NotifyEntry& entry : m_control->GetPendingEntries())
        m_control->AnswerBubble(entry.entryId, FALSE);
    EXPECT_FALSE(m_control->HasPending());
    EXPECT_EQ(m_control->GetNotifyIcon(plain), -1);
    EXPECT_FALSE(m_control->HasPendingForAccount(kAccount));
}

} // namespace
