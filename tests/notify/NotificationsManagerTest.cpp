// The notifications manager as the contact-list control, the accounts and the
// version check use it: the order of its bubbles, the answers, the removals,
// the tray and the texts it shows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "ServiceIds.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "notify/NotifyFixture.h"

namespace {

// Bubbles stay until answered; blinking is quick.
NotificationTimings Patient()
{
    NotificationTimings timings;
    timings.warningMs = 20000;
    timings.shownMs = 20000;
    timings.blinkMs = 50;
    return timings;
}

NotificationTimings Quick()
{
    NotificationTimings timings;
    timings.warningMs = 400;
    timings.shownMs = 400;
    timings.blinkMs = 40;
    return timings;
}

} // namespace

TEST_F(NotificationsTest, AWarningGoesBeforeTheWaitingMessages)
{
    CNotificationsManager& manager = Start(Patient());
    Platform::NotificationState state;
    manager.AddMessageNotification(1, kImageMessage, kAlice, CJOVString(L"first"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    manager.AddMessageNotification(2, kImageMessage, kAlice, CJOVString(L"one"));
    manager.AddMessageNotification(3, kImageMessage, kBob, CJOVString(L"two"));
    manager.AddMessageNotification(4, kImageMessage, kAlice, CJOVString(L"three"));
    manager.AddWarningNotification(CJOVString(L"Socket connect error"));
    EXPECT_EQ(AnswerAll(),
              (std::vector<std::wstring>{L"Alice: first", L"Warning: Socket connect error", L"Alice: one", L"Bob: two",
                                         L"Alice: three"}));
}

TEST_F(NotificationsTest, ASignOnGoesBeforeTheWaitingMessages)
{
    CNotificationsManager& manager = Start(Patient());
    Platform::NotificationState state;
    manager.AddMessageNotification(1, kImageMessage, kAlice, CJOVString(L"first"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    manager.AddMessageNotification(2, kImageMessage, kBob, CJOVString(L"one"));
    manager.AddMessageNotification(3, kImageMessage, kBob, CJOVString(L"two"));
    manager.AddOnlineNotification(kAlice);
    std::vector<std::wstring> shown = AnswerAll();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[1], L"Status: [ Alice ]\nOnline\n\nICQ 123456789");
    EXPECT_EQ(shown[2], L"Bob: one");
    EXPECT_EQ(shown[3], L"Bob: two");
}

TEST_F(NotificationsTest, TheNewsWaitsWithTheWarningsWhateverComesAfterIt)
{
    CNotificationsManager& manager = Start(Patient());
    Platform::NotificationState state;
    manager.AddMessageNotification(1, kImageMessage, kAlice, CJOVString(L"first"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    manager.AddMessageNotification(2, kImageMessage, kBob, CJOVString(L"later"));
    manager.AddOnlineNotification(kAlice);
    manager.AddOfflineNotification(kBob);
    manager.AddNewVersionNotification(2021);
    // The news shows next; while it is up, another status notice and a
    // warning come.
    Press(CNotificationsManager::kCmdHide);
    ASSERT_TRUE(WaitForBubble(&state, 5000, L"Alice"));
    EXPECT_EQ(state.title, L"Information");
    manager.AddOnlineNotification(kEve);
    manager.AddWarningNotification(CJOVString(L"Late warning"));
    std::vector<std::wstring> shown = AnswerAll();
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0].substr(0, 12), L"Information:");
    EXPECT_EQ(shown[1], L"Warning: Late warning") << "before the status notices that waited";
    EXPECT_NE(shown[2].find(L"Alice"), std::wstring::npos);
    EXPECT_NE(shown[3].find(L"Bob"), std::wstring::npos);
    EXPECT_NE(shown[4].find(L"Eve"), std::wstring::npos);
    EXPECT_EQ(shown[5], L"Bob: later");
}

TEST_F(NotificationsTest, AnswersReachTheCallbackWithTheSerial)
{
    CNotificationsManager& manager = Start(Patient());
    Platform::NotificationState state;
    manager.AddMessageNotification(41, kImageMessage, kAlice, CJOVString(L"hi"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    EXPECT_EQ(state.keyTitles[0], L"Open");
    EXPECT_EQ(state.keyTitles[1], L"Hide");
    EXPECT_EQ(state.keyCommands[0], CNotificationsManager::kCmdOpen);
    EXPECT_EQ(state.keyFlags[1], static_cast<DWORD>(NOTIF_SOFTKEY_FLAGS_STAYOPEN));
    EXPECT_EQ(state.flags, static_cast<DWORD>(SHNF_SILENT));
    Press(CNotificationsManager::kCmdOpen);
    ASSERT_TRUE(WaitForNoBubble(5000));
    manager.AddMessageNotification(42, kImageMessage, kBob, CJOVString(L"there"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    Press(CNotificationsManager::kCmdHide);
    ASSERT_TRUE(WaitForNoBubble(5000));
    manager.AddWarningNotification(CJOVString(L"careful"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    EXPECT_EQ(state.keyTitles[0], L"OK");
    EXPECT_TRUE(state.keyTitles[1].empty());
    EXPECT_EQ(state.flags, static_cast<DWORD>(SHNF_SILENT | SHNF_CRITICAL));
    Press(CNotificationsManager::kCmdOk);
    ASSERT_TRUE(WaitForNoBubble(5000));
    Press(CNotificationsManager::kCmdOpen);  // nothing on display: no answer
    Pump(100);
    std::vector<Answer> answers = TakeAnswers();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].serial, 41u);
    EXPECT_TRUE(answers[0].open);
    EXPECT_EQ(answers[1].serial, 42u);
    EXPECT_FALSE(answers[1].open);
}

TEST_F(NotificationsTest, TheSoftKeysOnTheBubblesBarAnswer)
{
    CNotificationsManager& manager = Start(Patient());
    manager.AddMessageNotification(7, kImageMessage, kAlice, CJOVString(L"tap me"));
    ASSERT_TRUE(PumpUntil([] { return Platform::GetBubbleSoftKeyBar() != nullptr; }, 5000));
    HWND bar = Platform::GetBubbleSoftKeyBar();
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_TRUE(IsWindowVisible(Platform::GetBubbleWindow()));
    RECT key = {};
    ASSERT_TRUE(SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&key)));
    LPARAM point = MAKELPARAM((key.left + key.right) / 2, (key.top + key.bottom) / 2);
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(bar, WM_LBUTTONUP, 0, point);
    std::vector<Answer> answers;
    ASSERT_TRUE(PumpUntil([&] {
        answers = TakeAnswers();
        return !answers.empty();
    }, 5000));
    EXPECT_EQ(answers[0].serial, 7u);
    EXPECT_FALSE(answers[0].open) << "the right key is Hide";
    ASSERT_TRUE(WaitForNoBubble(5000));
    EXPECT_TRUE(PumpUntil([] { return !Platform::GetBubbleWindow() && !Platform::GetBubbleSoftKeyBar(); }, 5000))
        << "the window and its bar go with the notification";
}

TEST_F(NotificationsTest, RemovingAContactEndsItsBubbleAndDropsItsNotices)
{
    CNotificationsManager& manager = Start(Patient());
    Platform::NotificationState state;
    manager.AddMessageNotification(1, kImageMessage, kAlice, CJOVString(L"shown"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    manager.AddOnlineNotification(kAlice);
    manager.AddMessageNotification(2, kImageMessage, kBob, CJOVString(L"stays"));
    manager.AddMessageNotification(3, kImageMessage, kAlice, CJOVString(L"goes"));
    manager.AddWarningNotification(CJOVString(L"stays too"));
    CStopwatch watch;
    manager.RemoveNotification(kAlice);
    ASSERT_TRUE(WaitForBubble(&state, 5000, L"Alice"));
    EXPECT_LT(watch.Ms(), 3000u) << "the shown bubble ends at once";
    EXPECT_EQ(AnswerAll(),
              (std::vector<std::wstring>{L"Warning: stays too", L"Bob: stays"}));
    EXPECT_EQ(TakeAnswers().size(), 1u) << "only Bob's bubble was answered";
}

TEST_F(NotificationsTest, ARemovalBeforeTheBubbleShowsIsNotLost)
{
    CNotificationsManager& manager = Start(Quick());
    // The worker makes the bubble's icon after taking the notice and before
    // showing it: the removal comes right then.
    m_host.onDraw = [&manager](int imageId) {
        if (imageId == 31)
            manager.RemoveNotification(kAlice);
    };
    manager.AddMessageNotification(1, 31, kAlice, CJOVString(L"removed early"));
    // Lost, it would stay up for its time and then wait in the tray.
    Pump(300);
    Platform::NotificationState state;
    EXPECT_FALSE(BubbleState(&state)) << "ended at once, not after its time";
    EXPECT_FALSE(WaitForBubble(&state, 1500)) << "a removed message does not come back to the tray";
}

TEST_F(NotificationsTest, AnAnswerBeforeTheBubbleShowsIsNotLost)
{
    CNotificationsManager& manager = Start(Quick());
    HWND sink = manager.GetSinkWindow();
    m_host.onDraw = [sink](int imageId) {
        if (imageId == 32) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(sink, WM_COMMAND, CNotificationsManager::kCmdOpen, 0, SMTO_NORMAL, 5000, &result);
        }
    };
    manager.AddMessageNotification(9, 32, kBob, CJOVString(L"answered early"));
    std::vector<Answer> answers;
    ASSERT_TRUE(PumpUntil([&] {
        answers = TakeAnswers();
        return !answers.empty();
    }, 5000));
    EXPECT_EQ(answers[0].serial, 9u);
    EXPECT_TRUE(answers[0].open);
    Pump(300);
    Platform::NotificationState state;
    EXPECT_FALSE(BubbleState(&state)) << "ended at once, not after its time";
    EXPECT_FALSE(WaitForBubble(&state, 1500)) << "an answered message does not come back to the tray";
}

TEST_F(NotificationsTest, AnUnansweredMessageWaitsInTheTrayAndGivesWay)
{
    // Each bubble must be seen popped up before its time is out, also by a
    // test thread that a busy machine holds up a while.
    NotificationTimings timings = Quick();
    timings.shownMs = 1500;
    CNotificationsManager& manager = Start(timings);
    Platform::NotificationState state;
    manager.AddMessageNotification(5, kImageMessage, kAlice, CJOVString(L"are you there?"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    EXPECT_FALSE(state.flags & SHNF_STRAIGHTTOTRAY) << "first as a pop-up";
    EXPECT_TRUE(state.poppedUp);
    // Back in the tray once its time is out, blinking between its icon and the blank one.
    ASSERT_TRUE(PumpUntil([&] { return BubbleState(&state) && (state.flags & SHNF_STRAIGHTTOTRAY); }, 5000));
    EXPECT_FALSE(state.poppedUp);
    EXPECT_EQ(Platform::GetBubbleWindow(), nullptr);
    HICON image = manager.GetIcon(kImageMessage);
    HICON blank = manager.GetIcon(CNotificationsManager::kImageBlank);
    bool sawImage = false, sawBlank = false;
    PumpUntil([&] {
        if (BubbleState(&state)) {
            sawImage |= state.icon == image;
            sawBlank |= state.icon == blank;
        }
        return sawImage && sawBlank;
    }, 3000);
    EXPECT_TRUE(sawImage && sawBlank) << "blinks";

    // A new notice pops up over it; afterwards the message is back in the tray.
    manager.AddOnlineNotification(kBob);
    ASSERT_TRUE(WaitForBubble(&state, 5000, L"Alice"));
    EXPECT_EQ(state.title, L"Status");
    EXPECT_TRUE(state.poppedUp);
    ASSERT_TRUE(PumpUntil([&] { return BubbleState(&state) && state.title == L"Alice"; }, 5000));
    EXPECT_TRUE(state.flags & SHNF_STRAIGHTTOTRAY);
    Pump(timings.shownMs + 500);
    ASSERT_TRUE(BubbleState(&state)) << "it waits without a time limit";
    Press(CNotificationsManager::kCmdOpen);
    ASSERT_TRUE(WaitForNoBubble(5000));
    std::vector<Answer> answers = TakeAnswers();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].serial, 5u);
}

TEST_F(NotificationsTest, WhenBubblesGoStraightToTheTray)
{
    HWND behind = CreateWindowExW(0, L"STATIC", L"behind", WS_POPUP | WS_VISIBLE, 60, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND front = CreateWindowExW(0, L"STATIC", L"front", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    struct Case {
        const char* what;
        BOOL showMsg, ifOccupied, ifActive;
        int status;
        bool mainInFront;
        bool message, warning;  // straight to the tray
    };
    const Case cases[] = {
        {"all pop up", TRUE, FALSE, FALSE, 2, true, false, false},
        {"Show msg off", FALSE, FALSE, FALSE, 2, true, true, true},
        {"Occupied", TRUE, TRUE, FALSE, 13, true, true, false},
        {"Not Available", TRUE, TRUE, FALSE, 12, true, true, false},
        {"Away", TRUE, TRUE, FALSE, 11, true, false, false},
        {"main window in front", TRUE, FALSE, TRUE, 2, true, true, false},
        {"main window behind", TRUE, FALSE, TRUE, 2, false, false, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        NotificationOptions options = Popping();
        options.showMsg = test.showMsg;
        options.dontShowIfOccupied = test.ifOccupied;
        options.dontShowIfActive = test.ifActive;
        m_host.SetStatus(test.status, {kImageOnline});
        // Behind: the program's main window is another than the one in front.
        m_host.mainWindow = test.mainInFront ? front : behind;
        // The foreground window is the whole desktop's and a test program
        // running beside this one may take it: a bubble shown while another
        // window was in front is tried again.
        CNotificationsManager* manager = nullptr;
        Platform::NotificationState state;
        for (int attempt = 0;; ++attempt) {
            ASSERT_TRUE(PumpUntil(
                [&] {
                    SetForegroundWindow(front);
                    return GetForegroundWindow() == front;
                },
                5000));
            manager = &Start(Patient(), options);
            manager->AddMessageNotification(1, kImageMessage, kAlice, CJOVString(L"m"));
            ASSERT_TRUE(WaitForBubble(&state, 5000));
            if (GetForegroundWindow() == front || attempt == 20)
                break;
            Press(CNotificationsManager::kCmdHide);
            ASSERT_TRUE(WaitForNoBubble(5000));
            // Waits longer each time, so that programs in the same loop part.
            Pump(static_cast<DWORD>(std::min(20 * (attempt + 1), 200)));
        }
        EXPECT_EQ((state.flags & SHNF_STRAIGHTTOTRAY) != 0, test.message) << "message";
        EXPECT_EQ(state.poppedUp, !test.message);
        Press(CNotificationsManager::kCmdHide);
        ASSERT_TRUE(WaitForNoBubble(5000));
        manager->AddWarningNotification(CJOVString(L"w"));
        ASSERT_TRUE(WaitForBubble(&state, 5000));
        EXPECT_EQ((state.flags & SHNF_STRAIGHTTOTRAY) != 0, test.warning) << "warning";
        Press(CNotificationsManager::kCmdOk);
        ASSERT_TRUE(WaitForNoBubble(5000));
    }
    m_manager.reset();
    DestroyWindow(front);
    DestroyWindow(behind);
}

TEST_F(NotificationsTest, TurnedOffOnlyWarningsAndNewsShow)
{
    NotificationOptions options = Popping();
    options.turnOff = TRUE;
    CNotificationsManager& manager = Start(Patient(), options);
    manager.AddMessageNotification(1, kImageMessage, kAlice, CJOVString(L"silenced"));
    manager.AddOnlineNotification(kAlice);
    manager.AddOfflineNotification(kBob);
    manager.AddWarningNotification(CJOVString(L"still shown"));
    manager.AddNewVersionNotification(2021);
    std::vector<std::wstring> shown = AnswerAll();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], L"Warning: still shown");
    EXPECT_EQ(shown[1], L"Information: New version of JOV PDA (2021) is available on the JOV website.");

    options.turnOff = FALSE;
    options.signOn = FALSE;
    manager.SetOptions(options);
    manager.AddOnlineNotification(kAlice);
    manager.AddOfflineNotification(kBob);
    shown = AnswerAll();
    ASSERT_EQ(shown.size(), 1u) << "sign-on notices off, sign-off on";
    EXPECT_EQ(shown[0], L"Status: [ Bob ]\nOffline\n\nICQ 123456789");
}

TEST_F(NotificationsTest, TextsFromOutsideShowAsTheyStand)
{
    CNotificationsManager& manager = Start(Patient());
    Platform::NotificationState state;
    manager.AddMessageNotification(1, kImageMessage, kEve, CJOVString(L"<img src=\"file:\\\\C:\\x.gif\"> & <b>bold?</b>\r\n2nd"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    EXPECT_EQ(state.title, L"<b>Eve</b> & \"co\"") << "the title is plain text";
    EXPECT_EQ(Platform::BubbleHtmlText(state.html), L"<img src=\"file:\\\\C:\\x.gif\"> & <b>bold?</b>\n2nd");
    Press(CNotificationsManager::kCmdHide);
    ASSERT_TRUE(WaitForNoBubble(5000));
    manager.AddOnlineNotification(kEve);
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    EXPECT_EQ(Platform::BubbleHtmlText(state.html), L"[ <b>Eve</b> & \"co\" ]\nOnline\n\nICQ 123456789");
    Press(CNotificationsManager::kCmdOk);
    ASSERT_TRUE(WaitForNoBubble(5000));
    manager.AddWarningNotification(CJOVString(L"Server said: <font color=\"#FF0000\">pay</font>"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    EXPECT_EQ(Platform::BubbleHtmlText(state.html), L"Server said: <font color=\"#FF0000\">pay</font>");
}

TEST_F(NotificationsTest, TheLanguageGivesTheTexts)
{
    m_host.strings = {{169, L"Stav"}, {2, L"Připojen"}, {171, L"Informace"}, {167, L"Nová verze ("},
                      {168, L") je k dispozici."}, {179, L"Otevřít"}, {180, L"Skrýt"}};
    CNotificationsManager& manager = Start(Patient());
    Platform::NotificationState state;
    // The message's bubble holds the queue, so that the order below is the queue's.
    manager.AddMessageNotification(1, kImageMessage, kBob, CJOVString(L"ahoj"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    manager.AddOnlineNotification(kAlice);
    manager.AddNewVersionNotification(2031);
    std::vector<std::wstring> keys;
    std::vector<std::wstring> shown;
    while (PumpUntil([&] { return BubbleState(&state); }, 600)) {
        shown.push_back(Label(state));
        keys.push_back(state.keyTitles[0]);
        std::wstring label = Label(state);
        Press(state.keyCommands[0] == CNotificationsManager::kCmdOpen ? CNotificationsManager::kCmdHide
                                                                       : CNotificationsManager::kCmdOk);
        PumpUntil([&] { return !BubbleState(&state) || Label(state) != label; }, 5000);
    }
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1], L"Informace: Nová verze (2031) je k dispozici.");
    EXPECT_EQ(shown[2], L"Stav: [ Alice ]\nPřipojen\n\nICQ 123456789");
    EXPECT_EQ(keys[0], L"Otevřít");
    EXPECT_EQ(keys[1], L"OK") << "no text 173: the English one";
}

TEST_F(NotificationsTest, KeepsItsSevenSettingsInTheStore)
{
    CTempFolder folder;
    Services::CServicesManagerImpl bus;
    auto store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(folder.Path(L"settings.jov")));
    unsigned int storeId = bus.RegisterService(GUID_Database, store.get());
    {
        CNotificationsManager manager(&bus, m_host, Patient());
        NotificationOptions options = manager.GetOptions();
        EXPECT_FALSE(options.turnOff || options.signOn || options.signOff || options.dontBlink ||
                     options.dontShowIfOccupied);
        EXPECT_TRUE(options.showMsg && options.dontShowIfActive) << "the defaults";
        options = {TRUE, TRUE, TRUE, TRUE, FALSE, TRUE, FALSE};
        manager.SetOptions(options);
    }
    const wchar_t* keys[] = {L"Turn off", L"Sign on", L"Sign off", L"Dont blinking", L"Show msg",
                             L"Dont show if occupied", L"Dont show if active"};
    const unsigned char expected[] = {1, 1, 1, 1, 0, 1, 0};
    for (int i = 0; i < 7; ++i) {
        unsigned char value = 7;
        EXPECT_TRUE(store->GetByte(GUID_GUI, CJOVString(keys[i]), &value)) << i;
        EXPECT_EQ(value, expected[i]) << i;
    }
    CNotificationsManager again(&bus, m_host, Patient());
    NotificationOptions read = again.GetOptions();
    EXPECT_TRUE(read.turnOff && read.signOn && read.signOff && read.dontBlink && read.dontShowIfOccupied);
    EXPECT_FALSE(read.showMsg || read.dontShowIfActive);
    bus.UnregisterService(storeId);
}

TEST_F(NotificationsTest, EndingWithABubbleUpRemovesItAtOnce)
{
    CNotificationsManager& manager = Start(Quick());
    manager.AddMessageNotification(1, kImageMessage, kAlice, CJOVString(L"left unanswered"));
    manager.AddMessageNotification(2, kImageMessage, kBob, CJOVString(L"never shown"));
    Platform::NotificationState state;
    ASSERT_TRUE(PumpUntil([&] { return BubbleState(&state) && (state.flags & SHNF_STRAIGHTTOTRAY); }, 5000));
    CStopwatch watch;
    m_manager.reset();
    EXPECT_LT(watch.Ms(), 2000u);
    EXPECT_FALSE(BubbleState(&state));
    EXPECT_EQ(Platform::GetNotificationCount(), 0);
    EXPECT_TRUE(TakeAnswers().empty());
}

TEST_F(NotificationsTest, AWarningStaysSevenSecondsInRealTime)
{
    CNotificationsManager& manager = Start(NotificationTimings());
    Platform::NotificationState state;
    CStopwatch watch;
    manager.AddWarningNotification(CJOVString(L"Real time"));
    ASSERT_TRUE(WaitForBubble(&state, 5000));
    ASSERT_TRUE(WaitForNoBubble(20000));
    EXPECT_GE(watch.Ms() + 50, 7000u);
    EXPECT_LT(watch.Ms(), 15000u);
}
