// Messages through the control: pending entries and their bubbles, entries
// for open tabs, opening a chat with what waits for it, the history records
// and waking the device.
#include "clctrl/CLCtrlFixture.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>

#include "Power.h"
#include "ShellTrace.h"
#include "messaging/HistoryFormat.h"
#include "support/WaitUntil.h"

namespace {

using Names = std::vector<std::wstring>;

std::vector<std::wstring> HistoryTexts(Services::CServicesManager& bus, unsigned int contactId)
{
    CJOVArray<SMessage> messages;
    ReadHistory(bus, contactId, messages);
    std::vector<std::wstring> texts;
    for (int i = 0; i < messages.Count(); ++i)
        texts.push_back(Text(messages[i].text));
    return texts;
}

// Another handle has the file open and shares nothing.
bool IsHeldOpen(const std::wstring& file)
{
    HANDLE open = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (open == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(open);
    return false;
}

class CLCtrlMessagesTest : public CLCtrlTest {
protected:
    void SetUp() override
    {
        CLCtrlTest::SetUp();
        Start();
        AddAccount();
        m_group = AddGroup(L"Friends");
        m_contact = AddContact(L"pal", m_group);
        m_id = std::to_wstring(m_contact);
    }

    unsigned int m_group = 0;
    unsigned int m_contact = 0;
    std::wstring m_id;
};

TEST_F(CLCtrlMessagesTest, AMessageWithoutATabWaitsUntilTheChatOpens)
{
    Receive(m_contact, L"one");
    EXPECT_FALSE(m_chat.HasPage(m_contact));
    ASSERT_EQ(m_control->GetPendingEntries().size(), 1u);
    const NotifyEntry entry = m_control->GetPendingEntries()[0];
    EXPECT_FALSE(entry.shown);
    EXPECT_TRUE(entry.inHistory);
    EXPECT_EQ(entry.accountId, kAccount);
    EXPECT_EQ(entry.groupId, m_group);
    EXPECT_EQ(Notices(), (Names{L"message " + std::to_wstring(entry.entryId) + L" 22 " + m_id + L" one"}));
    EXPECT_EQ(m_alerts.Played(), (std::vector<unsigned int>{Alert::kAlertIncomingMessage}));
    EXPECT_TRUE(Contact(m_contact)->IsUnread());
    EXPECT_EQ(SectionOf(m_contact), 0);
    EXPECT_EQ(HistoryTexts(*m_bus, m_contact), (Names{L"one"}));

    m_control->OpenChat(m_contact);
    EXPECT_EQ(m_chat.m_calls, (Names{L"open " + m_id + L" 1"}));
    const std::wstring time = Text(CTime(1700000000UL).GetShortDateString());
    EXPECT_EQ(m_chat.m_entries[m_contact], (Names{L"0 22 pal (" + time + L")|one"}));
    // Once in the tab, a second opening adds nothing.
    m_control->OpenChat(m_contact);
    EXPECT_EQ(m_chat.m_calls.back(), L"open " + m_id + L" 0");
    EXPECT_EQ(m_chat.Texts(m_contact), (Names{L"one"}));

    EXPECT_EQ(m_control->ClearNotifications(m_contact), 1);
    EXPECT_EQ(Notices().back(), L"remove " + m_id);
    EXPECT_FALSE(Contact(m_contact)->IsUnread());
    EXPECT_EQ(SectionOf(m_contact), 1);
}

TEST_F(CLCtrlMessagesTest, AMessageForTheTabInFrontIsShownWithoutNotice)
{
    // The foreground window is the whole desktop's: a test program running
    // beside this one may take it at any moment. A try counts only when the
    // window stayed in front while the message came; each try has a contact
    // of its own, and one that lost the front leaves no entry behind.
    ShowWindow(m_window, SW_SHOW);
    m_chat.Front(m_window);
    size_t notices = 0;
    size_t played = 0;
    bool inFront = false;
    for (int attempt = 0; attempt < 100 && !inFront; ++attempt) {
        if (attempt > 0) {
            m_control->ClearNotifications(m_contact);
            // Waits longer each time, so that programs in the same loop part.
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min(20 * attempt, 200)),
                                      QS_ALLINPUT);
            Pump();
            m_contact = AddContact((L"pal" + std::to_wstring(attempt)).c_str(), m_group);
        }
        m_chat.Open(m_contact);
        SetForegroundWindow(m_window);
        if (!m_chat.IsShownInFront())
            continue;
        notices = Notices().size();
        played = m_alerts.Played().size();
        Receive(m_contact, L"hi");
        inFront = m_chat.IsShownInFront();
    }
    ASSERT_TRUE(inFront);
    EXPECT_EQ(m_chat.Texts(m_contact), (Names{L"hi"}));
    EXPECT_TRUE(m_control->GetPendingEntries().empty());
    EXPECT_EQ(Notices().size(), notices);
    EXPECT_FALSE(Contact(m_contact)->IsUnread());
    const std::vector<unsigned int> alerts = m_alerts.Played();
    EXPECT_EQ(std::vector<unsigned int>(alerts.begin() + static_cast<std::ptrdiff_t>(played), alerts.end()),
              (std::vector<unsigned int>{Alert::kAlertIncomingMessage}));
    EXPECT_EQ(HistoryTexts(*m_bus, m_contact), (Names{L"hi"}));

    // Another tab in front: shown, and pending as already shown.
    m_chat.Current(0);
    Receive(m_contact, L"again", 1);
    EXPECT_EQ(m_chat.Texts(m_contact), (Names{L"hi", L"again"}));
    ASSERT_EQ(m_control->GetPendingEntries().size(), 1u);
    EXPECT_TRUE(m_control->GetPendingEntries()[0].shown);
    EXPECT_EQ(m_control->GetNotifyIcon(m_contact), 24);
    m_control->OpenChat(m_contact);
    EXPECT_EQ(m_chat.Texts(m_contact), (Names{L"hi", L"again"}));
}

TEST_F(CLCtrlMessagesTest, AServiceMessageOnlyOpensTheChatWithItsEntry)
{
    Receive(m_contact, L"is away", 2, 5);
    EXPECT_EQ(m_chat.m_calls, (Names{L"open " + m_id + L" 0"}));
    EXPECT_EQ(m_chat.m_entries[m_contact], (Names{L"2 5 is away 12:00|"}));
    EXPECT_TRUE(m_control->GetPendingEntries().empty());
    EXPECT_TRUE(m_alerts.Played().empty());
    EXPECT_TRUE(HistoryTexts(*m_bus, m_contact).empty());
}

TEST_F(CLCtrlMessagesTest, SentMessagesReachTheTabAndTheHistory)
{
    m_chat.Open(m_contact);
    Send(m_contact, L"out");
    const std::wstring time = Text(CTime(1700000100UL).GetShortDateString());
    EXPECT_EQ(m_chat.m_entries[m_contact], (Names{L"1 23 I (" + time + L")|out"}));
    CJOVArray<SMessage> messages;
    ASSERT_EQ(ReadHistory(*m_bus, m_contact, messages), kHistoryOk);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages[0].kind, 1u);
    EXPECT_TRUE(m_alerts.Played().empty());
}

TEST_F(CLCtrlMessagesTest, DismissingTheLastBubbleClearsTheUnreadMark)
{
    const unsigned int other = AddContact(L"aaa", m_group);
    Receive(m_contact, L"one");
    Receive(m_contact, L"two");
    EXPECT_EQ(Children(Group(m_group)), (Names{L"pal", L"aaa"}));
    const std::vector<NotifyEntry> entries = m_control->GetPendingEntries();
    ASSERT_EQ(entries.size(), 2u);

    OnBubbleAnswer(entries[0].entryId, FALSE);
    EXPECT_EQ(m_chat.m_calls, (Names{L"update " + m_id + L" 0 1"}));
    EXPECT_TRUE(Contact(m_contact)->IsUnread());
    OnBubbleAnswer(entries[1].entryId, FALSE);
    EXPECT_FALSE(Contact(m_contact)->IsUnread());
    EXPECT_EQ(Children(Group(m_group)), (Names{L"aaa", L"pal"}));
    EXPECT_EQ(SectionOf(m_contact), 1);
    EXPECT_FALSE(m_control->HasPending());
    // The entries stay until the chat is read.
    EXPECT_EQ(m_control->GetPendingEntries().size(), 2u);

    OnBubbleAnswer(12345, TRUE);
    EXPECT_EQ(m_chat.m_calls.size(), 2u);
    OnBubbleAnswer(entries[0].entryId, TRUE);
    EXPECT_EQ(m_chat.m_calls.back(), L"open " + m_id + L" 2");
    EXPECT_EQ(m_chat.Texts(m_contact), (Names{L"one", L"two"}));
    (void)other;
}

TEST_F(CLCtrlMessagesTest, AMessageForAContactWithoutItemIsKeptAndMarkedWhenItArrives)
{
    const unsigned int late = m_model->CreateContact(kAccount, m_group);
    m_model->SetString(late, CJOVString(L"CL Alias"), CJOVString(L"late"));
    m_model->SetString(late, CJOVString(L"Account name"), CJOVString(L"uinlate"));
    Receive(late, L"early bird");
    ASSERT_EQ(m_control->GetPendingEntries().size(), 1u);
    EXPECT_EQ(HistoryTexts(*m_bus, late), (Names{L"early bird"}));
    EXPECT_EQ(Notices().size(), 1u);

    m_model->NotifyContactAdded(late);
    Settle();
    ASSERT_NE(Contact(late), nullptr);
    EXPECT_TRUE(Contact(late)->IsUnread());
    EXPECT_EQ(Children(Group(m_group)), (Names{L"late", L"pal"}));
    EXPECT_EQ(SectionOf(late), 0);
}

TEST_F(CLCtrlMessagesTest, WhatArrivesWhileTheChatOpensReachesItOnce)
{
    m_chat.Open(m_contact);
    Send(m_contact, L"old");
    m_chat.ClosePage(m_contact);
    m_chat.m_calls.clear();
    Receive(m_contact, L"p1");
    Receive(m_contact, L"p2");

    // The window as it opens a tab: the history tail without the pending
    // records the control adds itself.
    m_chat.onOpen = [this](unsigned int contactId, int pending) {
        Receive(contactId, L"during");
        Send(contactId, L"sent meanwhile");
        CJOVArray<SMessage> tail;
        ReadHistoryTail(*m_bus, contactId, 10 + pending, tail);
        for (int i = 0; i < tail.Count() - pending; ++i)
            m_chat.m_entries[contactId].push_back(L"history|" + Text(tail[i].text));
    };
    m_control->OpenChat(m_contact);
    m_chat.onOpen = nullptr;
    Pump();
    EXPECT_EQ(m_chat.m_calls, (Names{L"open " + m_id + L" 2"}));
    EXPECT_EQ(m_chat.Texts(m_contact), (Names{L"old", L"p1", L"p2", L"during", L"sent meanwhile"}));
    EXPECT_EQ(HistoryTexts(*m_bus, m_contact), (Names{L"old", L"p1", L"p2", L"during", L"sent meanwhile"}));

    // Afterwards the tab takes entries as usual.
    Receive(m_contact, L"after");
    EXPECT_EQ(m_chat.Texts(m_contact).back(), L"after");
}

TEST_F(CLCtrlMessagesTest, AChatOpeningAsItsContactIsDeletedCountsTheEntriesItGets)
{
    Receive(m_contact, L"p1");
    Receive(m_contact, L"p2");
    m_control->SetHistoryWrittenHook([this](unsigned int contactId) {
        m_model->DeleteContact(contactId);
        Settle();
        Settle();
    });
    m_control->OpenChat(m_contact);
    m_control->SetHistoryWrittenHook(nullptr);
    EXPECT_TRUE(m_control->GetPendingEntries().empty());
    // The window shows the file's tail but for the last records it is told
    // of: any entry it gets beyond them would show twice.
    ASSERT_FALSE(m_chat.m_calls.empty());
    EXPECT_EQ(m_chat.m_calls[0], L"open " + m_id + L" " + std::to_wstring(m_chat.Texts(m_contact).size()));
}

TEST_F(CLCtrlMessagesTest, AHistoryThatCannotBeWrittenIsToldOncePerContact)
{
    const unsigned int other = AddContact(L"bob", m_group);
    // Folders where the files should be: no record can go there.
    for (const wchar_t* name : {L"ICQ_123456_uinpal.vdh", L"ICQ_123456_uinbob.vdh"})
        ASSERT_TRUE(CreateDirectoryW(m_folder.File(name).c_str(), nullptr));
    Receive(m_contact, L"one");
    m_chat.Open(m_contact);
    Send(m_contact, L"two");
    Receive(m_contact, L"three");
    Receive(other, L"four");
    Names warnings;
    for (const std::wstring& call : Notices()) {
        if (call.compare(0, 8, L"warning ") == 0)
            warnings.push_back(call);
    }
    EXPECT_EQ(warnings, (Names{L"warning The message history of \"pal\" could not be saved.",
                               L"warning The message history of \"bob\" could not be saved."}));
    // Not in the file: not counted among its last records when the chat opens.
    ASSERT_FALSE(m_control->GetPendingEntries().empty());
    EXPECT_FALSE(m_control->GetPendingEntries()[0].inHistory);
}

TEST_F(CLCtrlMessagesTest, TheListIsFreeWhileAMessageWaitsForTheHistoryFiles)
{
    // Another contact's long history, read as the history dialog reads it:
    // the files are busy for a while.
    const unsigned int chatty = AddContact(L"chatty", m_group);
    const std::wstring file = m_folder.File(L"ICQ_123456_uinchatty.vdh");
    using namespace HistoryFormat;
    constexpr int kStored = 100000;
    Header header = Header::New(CJOVString(L"uinchatty"), CJOVString(L"chatty"));
    Record record;
    record.text = "stored";
    const std::vector<unsigned char> encoded = EncodeRecord(record);
    header.SetCount(kStored);
    header.SetLastId(kStored);
    header.SetRecordsSize(static_cast<unsigned int>(encoded.size() * kStored));
    std::vector<unsigned char> bytes = header.Encode();
    bytes.reserve(bytes.size() + encoded.size() * kStored);
    for (int i = 0; i < kStored; ++i)
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    CTempFolder::Write(file, bytes);
    std::atomic<int> read{0};
    std::thread reader([&] {
        // A look at the file from the test may keep it from opening at first.
        for (;;) {
            CJOVArray<SMessage> messages;
            if (ReadHistory(*m_bus, chatty, messages) != kHistoryCannotOpen) {
                read = messages.Count();
                return;
            }
        }
    });
    // The reader has the file, and the files' lock, while the file is refused.
    const bool busy = WaitUntil([&] { return IsHeldOpen(file); });
    bool shownWhileBusy = false;
    if (busy) {
        Protocols::MessageInfo message;
        message.contactId = m_contact;
        message.time = CTime(1700000000UL);
        message.text = CJOVString(L"new");
        m_model->MessageReceived(m_contact, &message);
        WaitUntil([&] { return !m_control->GetPendingEntries().empty(); });
        shownWhileBusy = IsHeldOpen(file);
    }
    reader.join();
    ASSERT_TRUE(busy);
    EXPECT_TRUE(shownWhileBusy) << "the list was held until the history files were free";
    Settle();
    EXPECT_EQ(read, kStored);
    EXPECT_EQ(HistoryTexts(*m_bus, m_contact), (Names{L"new"}));
}

TEST_F(CLCtrlMessagesTest, RecordsKeepTheOrderOfArrivalWhileTheChatOpensMeanwhile)
{
    constexpr int kMessages = 60;
    // The window reads the history while at least one more message arrives.
    m_chat.onOpen = [this](unsigned int, int) {
        const size_t before = m_alerts.Played().size();
        WaitUntil([&] { return m_alerts.Played().size() > before || before == kMessages; });
    };
    for (int i = 0; i < kMessages; ++i) {
        Protocols::MessageInfo message;
        message.contactId = m_contact;
        message.time = CTime(1700000000UL + static_cast<unsigned long>(i));
        message.text = CJOVString(std::to_wstring(i).c_str());
        m_model->MessageReceived(m_contact, &message);
    }
    while (m_alerts.Played().size() < kMessages) {
        m_control->OpenChat(m_contact);
        Pump();
        m_chat.ClosePage(m_contact);
        m_control->ClearNotifications(m_contact);
    }
    m_chat.onOpen = nullptr;
    Settle();
    Names expected;
    for (int i = 0; i < kMessages; ++i)
        expected.push_back(std::to_wstring(i));
    EXPECT_EQ(HistoryTexts(*m_bus, m_contact), expected);
}

TEST_F(CLCtrlMessagesTest, EntriesNotInTheHistoryAreNotCountedAsItsLastRecords)
{
    SetByte(L"Hist Save", 0, GUID_History);
    Receive(m_contact, L"unsaved");
    EXPECT_FALSE(m_control->GetPendingEntries()[0].inHistory);
    m_control->OpenChat(m_contact);
    EXPECT_EQ(m_chat.m_calls, (Names{L"open " + m_id + L" 0"}));
    EXPECT_EQ(m_chat.Texts(m_contact), (Names{L"unsaved"}));
}

TEST_F(CLCtrlMessagesTest, AMessageWakesASuspendedDeviceWhenAsked)
{
    Platform::ClearShellCalls();
    Platform::SimulatePowerState(POWER_STATE_SUSPEND);
    Receive(m_contact, L"sleeping");
    EXPECT_EQ(Platform::FindShellCall("SetSystemPowerState"), -1) << "\"Wake up\" is off";

    SetByte(L"Wake up", 1);
    Receive(m_contact, L"wake");
    const int set = Platform::FindShellCall("SetSystemPowerState");
    ASSERT_NE(set, -1);
    Platform::ShellCall call;
    Platform::GetShellCall(set, &call);
    EXPECT_EQ(call.value, static_cast<uintptr_t>(POWER_STATE_ON | POWER_FORCE));

    Platform::ClearShellCalls();
    Receive(m_contact, L"awake");
    EXPECT_NE(Platform::FindShellCall("GetSystemPowerState"), -1);
    EXPECT_EQ(Platform::FindShellCall("SetSystemPowerState"), -1);
    Platform::SimulatePowerState(POWER_STATE_ON);
}

TEST_F(CLCtrlMessagesTest, WithoutAWindowEntriesAreDroppedAndNothingElseChanges)
{
    m_control->SetWindow(nullptr);
    m_chat.Open(m_contact);
    Receive(m_contact, L"lost entry");
    Send(m_contact, L"lost too");
    EXPECT_TRUE(m_chat.Texts(m_contact).empty());
    EXPECT_EQ(HistoryTexts(*m_bus, m_contact), (Names{L"lost entry", L"lost too"}));
    EXPECT_EQ(m_control->GetPendingEntries().size(), 1u);
}

TEST_F(CLCtrlMessagesTest, ClearingUnderOnlineOnlyHidesTheOfflineContactAgain)
{
    m_control->SetOnlineOnly(1);
    Receive(m_contact, L"psst");
    EXPECT_TRUE(Contact(m_contact)->IsVisible());
    EXPECT_TRUE(Group(m_group)->IsVisible());
    EXPECT_EQ(m_control->ClearNotifications(m_contact), 1);
    EXPECT_FALSE(Contact(m_contact)->IsVisible());
    EXPECT_FALSE(Group(m_group)->IsVisible());
    EXPECT_EQ(m_control->ClearNotifications(m_contact), 0);
}

} // namespace
