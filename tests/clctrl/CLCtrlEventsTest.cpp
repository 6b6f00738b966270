// The model's and the accounts' events as the control follows them: where
// contacts stand and when they show, the online and offline notices, the
// current item when its branch goes, moves against deletions.
#include "clctrl/CLCtrlFixture.h"

#include "common/RecordingClient.h"

namespace {

using Names = std::vector<std::wstring>;

TEST_F(CLCtrlTest, UnderOnlineOnlyAContactOfNoGroupShowsAndOneOfAGroupWaitsForItsStatus)
{
    SetByte(L"CL online only", 1);
    Start();
    AddAccount();
    const unsigned int group = AddGroup(L"Friends");
    EXPECT_FALSE(Group(group)->IsVisible());
    const unsigned int loose = AddContact(L"loose", 0);
    EXPECT_TRUE(NotInList()->IsVisible());
    EXPECT_EQ(Children(NotInList()), (Names{L"loose"}));
    EXPECT_TRUE(m_control->GetStatusRoot(2)->IsVisible());
    EXPECT_EQ(SectionOf(loose), 2);

    const unsigned int friendId = AddContact(L"friend", group);
    EXPECT_EQ(Children(Group(group)), (Names{L"[friend]"}));
    SetStatus(friendId, Protocols::StatusAway);
    EXPECT_EQ(Children(Group(group)), (Names{L"friend"}));
    EXPECT_TRUE(Group(group)->IsVisible());
    EXPECT_EQ(SectionOf(friendId), 0);
    EXPECT_FALSE(Contact(friendId)->IsStatusStale());

    SetStatus(friendId, Protocols::StatusOffline);
    EXPECT_EQ(Children(Group(group)), (Names{L"[friend]"}));
    EXPECT_FALSE(Group(group)->IsVisible());
    EXPECT_EQ(SectionOf(friendId), 1);
    // A contact of no group moves from "Not in list" on its first status.
    SetStatus(loose, Protocols::StatusOnline);
    EXPECT_EQ(SectionOf(loose), 0);
}

TEST_F(CLCtrlTest, OnlineNoticesWaitThirtySecondsAfterTheAccountLoggedOn)
{
    Start();
    AddAccount();
    const unsigned int group = AddGroup(L"G");
    const unsigned int early = AddContact(L"early", group);
    const unsigned int late = AddContact(L"late", group);
    const unsigned long now = CTime().GetUnixTime();
    m_protocols.Change(kAccount, [now](CFakeProtocols::Account& a) { a.logon = now - 20; });
    SetStatus(early, Protocols::StatusOnline);
    EXPECT_EQ(SectionOf(early), 0);
    EXPECT_TRUE(m_alerts.Played().empty());
    EXPECT_TRUE(Notices().empty());

    m_protocols.Change(kAccount, [now](CFakeProtocols::Account& a) { a.logon = now - 31; });
    SetStatus(late, Protocols::StatusFreeForChat);
    EXPECT_EQ(m_alerts.Played(), (std::vector<unsigned int>{Alert::kAlertContactOnline}));
    EXPECT_EQ(Notices(), (Names{L"online " + std::to_wstring(late)}));
    // Online again: already in "Online", nothing new.
    SetStatus(late, Protocols::StatusAway);
    EXPECT_EQ(m_alerts.Played().size(), 1u);
    EXPECT_EQ(Notices().size(), 1u);
}

TEST_F(CLCtrlTest, OfflineNoticesNeedTheAccountToAnswerThatItIsConnected)
{
    Start();
    AddAccount();
    const unsigned int group = AddGroup(L"G");
    const unsigned int contact = AddContact(L"c", group);
    // Just logged on: coming online is no news.
    const unsigned long now = CTime().GetUnixTime();
    m_protocols.Change(kAccount, [now](CFakeProtocols::Account& a) { a.logon = now; });
    SetStatus(contact, Protocols::StatusOnline);
    EXPECT_TRUE(Notices().empty());

    // The account itself is going offline.
    m_protocols.Change(kAccount, [](CFakeProtocols::Account& a) { a.status = Protocols::StatusOffline; });
    SetStatus(contact, Protocols::StatusOffline);
    EXPECT_TRUE(Notices().empty());

    SetStatus(contact, Protocols::StatusOnline);
    m_protocols.Change(kAccount, [](CFakeProtocols::Account& a) { a.statusAnswer = kEventNoAnswer; a.status = Protocols::StatusOnline; });
    SetStatus(contact, Protocols::StatusOffline);
    EXPECT_TRUE(Notices().empty()) << "a time-out is no answer";

    SetStatus(contact, Protocols::StatusOnline);
    m_protocols.Change(kAccount, [](CFakeProtocols::Account& a) { a.statusAnswer = 0; });
    SetStatus(contact, Protocols::StatusOffline);
    EXPECT_EQ(Notices(), (Names{L"offline " + std::to_wstring(contact)}));

    // Offline to offline: the account is not even asked.
    const int asked = m_protocols.StatusQuestions();
    SetStatus(contact, Protocols::StatusOffline);
    EXPECT_EQ(m_protocols.StatusQuestions(), asked);
    EXPECT_EQ(Notices().size(), 1u);
}

TEST_F(CLCtrlTest, ATransactionLaysOutOnceAtItsEnd)
{
    Start();
    AddAccount();
    Settle();
    const int before = m_relayouts;
    m_model->BeginTransaction();
    const unsigned int group = m_model->CreateGroup(kAccount);
    m_model->NotifyGroupAdded(group);
    for (int i = 0; i < 5; ++i)
        m_model->NotifyContactAdded(m_model->CreateContact(kAccount, group));
    Settle();
    EXPECT_EQ(m_relayouts, before);
    EXPECT_EQ(Group(group), nullptr) << "the model hands the transaction over at its end";
    m_model->EndTransaction();
    Settle();
    EXPECT_EQ(m_relayouts, before + 1);
    ASSERT_NE(Group(group), nullptr);
    EXPECT_EQ(Group(group)->GetChildCount(), 5u);
    SCROLLINFO info = ScrollInfo(SIF_RANGE);
    GetScrollInfo(m_window, SB_VERT, &info);
    EXPECT_EQ(info.nMax, static_cast<int>(m_control->GetAccountTree()->GetHeight()));
}

TEST_F(CLCtrlTest, TheCurrentItemLeavesABranchBeforeItGoes)
{
    CRecordingClient watcher;
    const unsigned int watcherId = m_bus->RegisterEventsClient(&watcher, CJOVString(L"GUI"));
    Start();
    m_bus->Subscribe(GUID_CLCtrl, CJOVString(EVENT_CLCurrentItemChanged), watcherId);
    AddAccount();
    AddAccount(2);
    const unsigned int first = AddGroup(L"First", 2);
    const unsigned int second = AddGroup(L"Second", 2);
    const unsigned int inner = AddContact(L"inner", second, 2);

    m_control->EnsureVisible(Contact(inner));
    m_model->DeleteGroup(second);
    Settle();
    EXPECT_EQ(Group(second), nullptr);
    EXPECT_EQ(m_control->GetCurrentItem(), Group(first));
    EXPECT_TRUE(Group(first)->IsFocused());

    m_control->EnsureVisible(Group(first));
    DeleteAccount(2);
    EXPECT_EQ(Children(m_control->GetAccountTree()), (Names{L"123456"}));
    EXPECT_EQ(m_control->GetCurrentItem(), Account());
    EXPECT_EQ(SectionOf(inner), -1);

    m_bus->SendEventToClient(watcherId, kTestSender, CJOVString(L"sync"), nullptr, nullptr, true);
    int changes = 0;
    for (const CRecordingClient::Delivery& delivery : watcher.Deliveries())
        changes += delivery.name == EVENT_CLCurrentItemChanged && delivery.hasArg1 && !delivery.hasArg2;
    EXPECT_GE(changes, 4);
    StopAll();
    m_bus->UnregisterEventsClient(watcherId);
}

TEST_F(CLCtrlTest, AMovedContactKeepsItsChatAndItsUnreadMessages)
{
    Start();
    AddAccount();
    const unsigned int from = AddGroup(L"From");
    const unsigned int to = AddGroup(L"To");
    const unsigned int mover = AddContact(L"mover", from);
    m_chat.Open(mover);
    m_chat.Current(0);
    Receive(mover, L"hi");
    ASSERT_EQ(m_control->GetPendingEntries().size(), 1u);

    m_model->MoveContact(mover, to);
    Settle();
    Settle();
    EXPECT_EQ(Children(Group(from)), Names{});
    EXPECT_EQ(Children(Group(to)), (Names{L"mover"}));
    EXPECT_TRUE(Contact(mover)->IsUnread());
    EXPECT_EQ(SectionOf(mover), 0);
    ASSERT_EQ(m_control->GetPendingEntries().size(), 1u);
    EXPECT_EQ(m_control->GetPendingEntries()[0].groupId, to);
    EXPECT_TRUE(m_chat.HasPage(mover));
    for (const std::wstring& call : Notices())
        EXPECT_NE(call, L"remove " + std::to_wstring(mover));

    m_model->DeleteContact(mover);
    Settle();
    Settle();
    EXPECT_FALSE(m_chat.HasPage(mover));
    EXPECT_TRUE(m_control->GetPendingEntries().empty());
    EXPECT_EQ(Notices().back(), L"remove " + std::to_wstring(mover));
    EXPECT_EQ(SectionOf(mover), -1);
    EXPECT_FALSE(Group(to)->IsVisible()) << "an emptied group hides";
}

TEST_F(CLCtrlTest, TabsHearOfStatusAndNameChangesOnTheWindowsThread)
{
    Start();
    AddAccount();
    const unsigned int contact = AddContact(L"c", AddGroup(L"G"));
    m_chat.Open(contact);
    SetStatus(contact, Protocols::StatusOnline);
    m_model->SetString(contact, CJOVString(L"CL Alias"), CJOVString(L"Cee"));
    m_model->NotifyContactChanged(contact);
    Settle();
    const std::wstring id = std::to_wstring(contact);
    EXPECT_EQ(m_chat.m_calls, (Names{L"update " + id + L" 1 0", L"update " + id + L" 0 0"}));
    EXPECT_EQ(Text(Contact(contact)->GetName()), L"Cee");
}

TEST_F(CLCtrlTest, EventsBeforeTheTreesExistOrWithoutTheModelChangeNothing)
{
    m_control = std::make_unique<CCLCtrl>(*m_bus);
    // No "Loaded" yet: no trees, and the events find nothing.
    m_bus->SendEventToClient(m_control->GetClientId(), GUID_ProtocolsManager, CJOVString(EVENT_Added),
                             new CEventArg_Data<unsigned int>(kAccount), nullptr, true);
    m_bus->SendEventToClient(m_control->GetClientId(), GUID_ContactList, CJOVString(EVENT_GroupAdded),
                             new CEventArg_Data<unsigned int>(1), nullptr, true);
    EXPECT_EQ(m_control->GetAccountTree(), nullptr);
    EXPECT_EQ(m_control->GetStatusRoot(0), nullptr);
    EXPECT_EQ(CCLCtrl::GetInstance(), m_control.get());
    m_control->Stop();
    EXPECT_EQ(CCLCtrl::GetInstance(), nullptr);
    EXPECT_FALSE(m_bus->IsServiceRegistered(GUID_CLCtrl));
}

} // namespace
