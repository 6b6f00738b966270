// The messaging window over the real contact-list control: chats opening with
// their history tail, entries reaching their tabs and blinking ones, tabs
// closing, the send path, the soft keys, the menu, settings that change the
// window, the smilies notice and what the window leaves at shut-down.
#include <algorithm>

#include "HiDpi.h"
#include "Shell.h"
#include "contactlist/JOVButton.h"
#include "core/skins/SkinManagerImpl.h"
#include "dialogs/DialogScript.h"
#include "messaging/ChatCtrl.h"
#include "messaging/GifAnimator.h"
#include "messaging/HistoryFiles.h"
#include "messaging/MessageWndToolBar.h"
#include "messaging/MessagingIds.h"
#include "messaging/QuickSmailyPanel.h"
#include "msgwnd/MessagingFixture.h"

namespace {

std::vector<std::wstring> Texts(const std::vector<std::wstring>& from, size_t first, size_t count)
{
    std::vector<std::wstring> texts;
    for (size_t i = first; i < first + count; ++i)
        texts.push_back(L"message:" + from[i]);
    return texts;
}

// Long nodes by their start and length, for a readable failure.
std::vector<std::wstring> Shortened(const std::vector<std::wstring>& nodes)
{
    std::vector<std::wstring> shortened;
    for (const std::wstring& node : nodes)
        shortened.push_back(node.size() > 20 ? node.substr(0, 12) + L"... " + std::to_wstring(node.size()) : node);
    return shortened;
}

// Keys down to the item with that command (separators are skipped), then Enter.
void ChooseMenuCommand(HWND menuWindow, UINT command)
{
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    int downs = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (!(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR))
            ++downs;
        if (GetMenuItemID(menu, i) == command)
            break;
    }
    for (int i = 0; i < downs; ++i)
        PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 1);
}

std::vector<UINT> MenuCommands(HWND menuWindow)
{
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    std::vector<UINT> commands;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        commands.push_back(GetMenuItemID(menu, i));
    return commands;
}

unsigned int s_handlerContact = 0;
uintptr_t s_handlerParam = 0;
void PluginItemHandler(unsigned int contactId, uintptr_t param)
{
    s_handlerContact = contactId;
    s_handlerParam = param;
}

} // namespace

TEST_F(MessagingTest, AChatOpensWithTheHistoryTailLessThePendingEntriesAndOnlyOnce)
{
    SetByte(L"ShowHist", 1);
    SetDWord(L"ShowHistNum", 4);
    Start();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int ann = AddContact(L"Ann", friends);
    const unsigned int bob = AddContact(L"Bob", friends);
    std::vector<std::wstring> records;
    for (int i = 0; i < 10; ++i)
        records.push_back(L"record " + std::to_wstring(i));
    WriteHistory(ann, records);
    WriteHistory(bob, {L"old one", L"old two", L"old three"});

    window->OpenContact(ann, 2);
    std::vector<std::wstring> expected = Texts(records, 4, 4);
    expected.push_back(L"separator:");
    EXPECT_EQ(Nodes(ann), expected) << "the last 6 read, the 2 pending left for the caller";
    EXPECT_TRUE(IsWindowVisible(window->GetWnd()));
    EXPECT_TRUE(window->HasPage(ann));
    EXPECT_EQ(window->GetCurrentContact(), ann);

    window->OpenContact(ann, 0);
    EXPECT_EQ(Nodes(ann).size(), expected.size()) << "an open chat is only selected";

    window->Show(false);
    MessageWndSettings::HistoryView off = {0, 4};
    window->GetSettings().SetHistoryView(off);
    window->OpenContact(bob, 3);
    EXPECT_TRUE(Nodes(bob).empty()) << "history off: the 3 read are all the caller's, no separator";
    EXPECT_TRUE(IsWindowVisible(window->GetWnd()));
}

TEST_F(MessagingTest, APendingMessageThatHistoryDidNotKeepHidesNoHistoryRecord)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    WriteHistory(ann, {L"one", L"two", L"three", L"four", L"five"});
    SetHistorySaving(*bus, 0, false);
    Receive(ann, L"unsaved hello");
    EXPECT_FALSE(window->HasPage(ann)) << "a message without a tab waits as a notification";
    EXPECT_FALSE(IsWindowVisible(window->GetWnd()));

    control->OpenChat(ann);
    Pump();
    EXPECT_EQ(Nodes(ann), (std::vector<std::wstring>{L"message:two", L"message:three", L"message:four",
                                                     L"message:five", L"separator:", L"message:unsaved hello"}));
}

TEST_F(MessagingTest, APendingMessageKeptInSeveralRecordsShowsOnceAfterTheHistory)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    WriteHistory(ann, {L"one", L"two", L"three", L"four", L"five"});
    const std::wstring longText(70000, L'x');  // two records in the file
    Receive(ann, longText.c_str());

    control->OpenChat(ann);
    Pump();
    EXPECT_EQ(Shortened(Nodes(ann)), (std::vector<std::wstring>{L"message:two", L"message:three", L"message:four",
                                                         L"message:five", L"separator:", L"message:xxxx... 70008"}));
}

// 200,000 bytes: records of 65,535, 65,535, 65,535 and 3,395.
TEST_F(MessagingTest, TheHistoryTailCountsAMessageKeptInSeveralRecordsOnceAndShowsItWhole)
{
    SetByte(L"ShowHist", 1);
    SetDWord(L"ShowHistNum", 1);
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    WriteHistory(ann, {L"earlier", std::wstring(200000, L'x')});

    window->OpenContact(ann, 0);
    EXPECT_EQ(Shortened(Nodes(ann)), (std::vector<std::wstring>{L"message:xxxx... 200008", L"separator:"}));
    window->ClosePage(ann);
    MessageWndSettings::HistoryView two = {1, 2};
    window->GetSettings().SetHistoryView(two);
    window->OpenContact(ann, 0);
    EXPECT_EQ(Shortened(Nodes(ann)),
              (std::vector<std::wstring>{L"message:earlier", L"message:xxxx... 200008", L"separator:"}));
}

TEST_F(MessagingTest, EntriesReachTheirTabsAndOnlyTabsOutOfSightBlink)
{
    Start();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int ann = AddContact(L"Ann", friends);
    const unsigned int bob = AddContact(L"Bob", friends);
    control->OpenChat(ann);
    control->OpenChat(bob);
    Pump();
    ASSERT_EQ(window->GetCurrentContact(), bob);

    Receive(ann, L"to the tab behind");
    EXPECT_EQ(Nodes(ann), std::vector<std::wstring>{L"message:to the tab behind"});
    EXPECT_EQ(window->GetBlinkingCount(), 1) << "another tab blinks with the notification image";

    Receive(bob, L"to the tab in front");
    EXPECT_EQ(Nodes(bob), std::vector<std::wstring>{L"message:to the tab in front"});
    EXPECT_EQ(window->GetBlinkingCount(), 1) << "the visible current tab does not blink";

    window->Show(false);
    Receive(bob, L"while hidden");
    EXPECT_EQ(window->GetBlinkingCount(), 2) << "any tab blinks while the window is hidden";

    window->Show(true);
    window->SelectPage(Page(ann));
    EXPECT_EQ(window->GetBlinkingCount(), 1) << "activation stops the tab's blinking";
    EXPECT_EQ(control->GetNotifyIcon(ann), -1) << "and the contact's entries are read";
    EXPECT_EQ(window->GetCurrentContact(), ann);

    window->Show(false);
    SMessage quiet;
    quiet.kind = SMessage::Incoming;
    quiet.subKind = 22;
    quiet.text = L"nothing pending";
    window->AddMessage(ann, &quiet);
    EXPECT_EQ(window->GetBlinkingCount(), 1) << "no pending entry, no image: no blinking";

    window->UpdateContactPage(bob, 0, 1);
    EXPECT_EQ(window->GetBlinkingCount(), 0) << "the control stops a blinking tab";
}

TEST_F(MessagingTest, ClosingTheOnlyTabHidesTheWindowAndLaterMessagesOpenNoTab)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    ASSERT_TRUE(IsWindowVisible(window->GetWnd()));
    window->ClosePage(ann);
    EXPECT_FALSE(IsWindowVisible(window->GetWnd()));
    EXPECT_FALSE(window->HasPage(ann));
    EXPECT_EQ(window->GetCurrentContact(), 0u);
    EXPECT_EQ(window->GetPageCount(), 0);

    Receive(ann, L"are you there?");
    EXPECT_EQ(Page(ann), nullptr);
    EXPECT_FALSE(IsWindowVisible(window->GetWnd()));
    EXPECT_NE(control->GetNotifyIcon(ann), -1) << "it waits as a notification";
    window->ClosePage(ann);  // no tab: nothing
}

TEST_F(MessagingTest, SendingGoesToTheOnlineAccountAndComesBackAsAnOutgoingEntry)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);

    window->SendCurrentMessage();
    EXPECT_TRUE(protocols->SentMessages().empty()) << "an empty edit box sends nothing";

    Type(ann, L"hello");
    window->SendCurrentMessage();
    Settle();
    auto sent = protocols->SentMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].accountId, kAccount);
    EXPECT_EQ(sent[0].contactId, ann);
    EXPECT_EQ(sent[0].text, L"hello");
    EXPECT_EQ(sent[0].kind, 0u);
    EXPECT_EQ(sent[0].image, -1);
    EXPECT_EQ(EditText(ann), L"");
    EXPECT_EQ(alerts.Played(), std::vector<unsigned int>{Alert::kAlertMessageSent});
    EXPECT_EQ(Nodes(ann), std::vector<std::wstring>{L"message:hello"}) << "the outgoing entry comes back";
}

TEST_F(MessagingTest, ATextThatCannotBeSentStaysAndPlaysNothing)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    Type(ann, L"wait for me");

    protocols->SetStatus(0, Protocols::StatusConnecting);
    window->SendCurrentMessage();
    protocols->SetStatus(kEventNoAnswer, Protocols::StatusOnline);
    window->SendCurrentMessage();
    EXPECT_EQ(EditText(ann), L"wait for me");

    // Online when asked, gone when handed the message.
    protocols->SetStatus(0, Protocols::StatusAway);
    protocols->SetSendAnswer(false);
    window->SendCurrentMessage();
    EXPECT_EQ(EditText(ann), L"wait for me") << "a refused message gives the text back";
    EXPECT_TRUE(protocols->SentMessages().empty());
    EXPECT_TRUE(alerts.Played().empty());
}

TEST_F(MessagingTest, SoftKeysFollowLeftKeyAndReverseKeys)
{
    Start();
    HWND bar = window->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SoftKeyText(bar, IDC_FUNCTION_KEY), L"Close") << "first start: the function key closes";
    EXPECT_EQ(SoftKeyText(bar, IDC_MENU_KEY), L"Menu");

    window->GetSettings().SetControls({1, 1, 1, CMessageWnd::LeftKeySend, 1});
    EXPECT_EQ(SoftKeyText(bar, IDC_FUNCTION_KEY), L"Menu") << "reversed: the menu key is on the left";
    EXPECT_EQ(SoftKeyText(bar, IDC_MENU_KEY), L"Send");
    window->GetSettings().SetControls({1, 1, 1, CMessageWnd::LeftKeySmilies, 0});
    EXPECT_EQ(SoftKeyText(bar, IDC_FUNCTION_KEY), L"Smilies");

    CGuiServices* program = g_App.pServices;
    g_App.pServices = &TestTexts();
    TestTexts().texts.erase(121);
    window->GetSettings().SetControls({1, 1, 1, CMessageWnd::LeftKeySmilies, 1});
    EXPECT_EQ(SoftKeyText(bar, IDC_MENU_KEY), L"???") << "no English stand-in for a missing text";
    EXPECT_EQ(SoftKeyText(bar, IDC_FUNCTION_KEY), L"Menu");
    TestTexts().texts[121] = L"Smilies";
    g_App.pServices = program;
}

TEST_F(MessagingTest, TheCloseKeyHidesTheWindowAndItsBarAndTheChatsSurvive)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    Type(ann, L"draft");
    SendMessageW(window->GetWnd(), WM_COMMAND, IDC_FUNCTION_KEY, 0);
    EXPECT_FALSE(IsWindowVisible(window->GetWnd()));
    EXPECT_FALSE(IsWindowVisible(window->GetMenuBar()));
    EXPECT_TRUE(window->HasPage(ann));

    window->OpenContact(ann, 0);
    EXPECT_TRUE(IsWindowVisible(window->GetWnd()));
    EXPECT_EQ(EditText(ann), L"draft");
    SendMessageW(window->GetWnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window->GetWnd()));
    EXPECT_EQ(window->GetPageCount(), 1);
}

TEST_F(MessagingTest, TheMenuStartsWithThePluginsItemsAndRunsThem)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    CMenuItemInfo item(CJOVString(L"Request x-status"), reinterpret_cast<void*>(&PluginItemHandler), 0);
    item.param = 77;
    protocols->AddMenuItem(item);
    window->OpenContact(ann, 0);

    std::vector<UINT> commands;
    CDialogScript script;
    script.WhenMenu([&](HWND menu) {
        commands = MenuCommands(menu);
        ChooseMenuCommand(menu, kMsgFirstPluginCommand);
    });
    script.Start();
    s_handlerContact = 0;
    window->ShowMenu();
    ASSERT_TRUE(script.Done());
    const std::vector<UINT> expected = {kMsgFirstPluginCommand, 0, kMsgCmdSend, kMsgCmdSmilies, 0,
                                        kMsgCmdContactDetails, kMsgCmdHistory, 0, kMsgCmdSettingsCaption, kMsgCmdChatSettings,
                                        kMsgCmdEditSettings, kMsgCmdControlSettings, 0, kMsgCmdClearChat,
                                        kMsgCmdCloseTab, kMsgCmdCloseWindow};
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(s_handlerContact, ann);
    EXPECT_EQ(s_handlerParam, 77u);
}

TEST_F(MessagingTest, MenuCommandsClearTheChatCloseTheTabAndHideTheWindow)
{
    Start();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int ann = AddContact(L"Ann", friends);
    const unsigned int bob = AddContact(L"Bob", friends);
    window->OpenContact(ann, 0);
    window->OpenContact(bob, 0);
    Receive(bob, L"hi");
    ASSERT_EQ(Nodes(bob).size(), 1u);

    for (UINT command : {kMsgCmdClearChat, kMsgCmdCloseTab, kMsgCmdCloseWindow}) {
        CDialogScript script;
        script.WhenMenu([&](HWND menu) { ChooseMenuCommand(menu, command); });
        script.Start();
        window->ShowMenu();
        EXPECT_TRUE(script.Done());
        if (command == kMsgCmdClearChat) {
            EXPECT_TRUE(Nodes(bob).empty());
        }
    }
    EXPECT_FALSE(window->HasPage(bob));
    EXPECT_EQ(window->GetCurrentContact(), ann) << "the neighbour becomes current";
    EXPECT_FALSE(IsWindowVisible(window->GetWnd()));
    EXPECT_TRUE(window->HasPage(ann));
}

TEST_F(MessagingTest, WithReversedKeysTheMenuOpensLeftAlignedAtTheLeftEdge)
{
    SetByte(L"Reverse keys", 1);
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    RECT windowRect;
    GetWindowRect(window->GetWnd(), &windowRect);
    RECT menuRect = {};
    CDialogScript script;
    script.WhenMenu([&](HWND menu) {
        GetWindowRect(menu, &menuRect);
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    });
    script.Start();
    SendMessageW(window->GetWnd(), WM_COMMAND, IDC_FUNCTION_KEY, 0);
    ASSERT_TRUE(script.Done());
    EXPECT_EQ(menuRect.left, windowRect.left);
}

TEST_F(MessagingTest, WhileSmiliesAreOffTheMenuHasNoSmiliesAndTheirKeyDoesNothing)
{
    CQuietSkinHostForTest host;
    Skins::CSkinManagerImpl textOnly(nullptr, &host);
    Skins::SkinChoice choice = textOnly.GetSkinChoice();
    choice.textSmilies = TRUE;
    textOnly.ApplySettings(choice);
    Skins::CSkinManagerImpl* program = g_App.pSkinManager;
    g_App.pSkinManager = &textOnly;

    SetByte(L"Left key", CMessageWnd::LeftKeySmilies);
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    CMenuInfo menu;
    window->BuildMenu(menu);
    bool smilies = false;
    for (int i = 0; i < menu.Count(); ++i)
        smilies = smilies || menu[i].commandId == kMsgCmdSmilies;
    EXPECT_FALSE(smilies);
    bool opened = false;
    CDialogScript script(3000);
    script.When(L"Smilies", [&](HWND chooser) {
        opened = true;
        PostCommand(chooser, IDCANCEL);
    });
    script.Start();
    window->RunFunctionKey();
    EXPECT_FALSE(opened);

    window.reset();
    g_App.pSkinManager = program;
}

TEST_F(MessagingTest, TheToolbarComesAndGoesWithItsSettingAndTheButtonsFollowTheirs)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    CMessageWnd::CToolBar* toolbar = window->GetToolBar();
    ASSERT_NE(toolbar, nullptr) << "first start: the toolbar with both buttons";
    RECT pageWithBar;
    GetWindowRect(Page(ann)->GetWnd(), &pageWithBar);

    window->GetSettings().SetControls({1, 0, 1, 2, 0});
    toolbar = window->GetToolBar();
    ASSERT_NE(toolbar, nullptr);
    RECT bar, send;
    GetWindowRect(*toolbar->GetQuickBar(), &bar);
    GetWindowRect(*toolbar->GetSendButton(), &send);
    EXPECT_FALSE(IsWindowVisible(*toolbar->GetSmiliesButton()));
    EXPECT_EQ(send.left, bar.right - 1) << "the send button stands right after the bar";
    RECT toolbarRect;
    GetWindowRect(*toolbar, &toolbarRect);
    EXPECT_EQ(send.right, toolbarRect.right);

    window->GetSettings().SetControls({0, 0, 1, 2, 0});
    EXPECT_EQ(window->GetToolBar(), nullptr);
    RECT pageWithout;
    GetWindowRect(Page(ann)->GetWnd(), &pageWithout);
    EXPECT_EQ(pageWithout.bottom - pageWithBar.bottom, HIDPI_ScaleY(25)) << "the page grows into the band";
}

TEST_F(MessagingTest, TheSmiliesNoticeReachesTheChatsAndTheRecentBar)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    Receive(ann, L"smile :-) please");
    auto* text = static_cast<CChatNode_Message*>(Chat(ann)->GetNode(0))->GetText();
    ASSERT_EQ(text->GetSmileyCount(), 1);
    CQuickSmailyPanel* bar = window->GetToolBar()->GetQuickBar();
    ASSERT_GT(bar->GetCount(), 0);

    SendMessageW(window->GetWnd(), WM_JOV_SMILIES_CHANGE, 0, 0);
    EXPECT_EQ(text->GetSmileyCount(), 0) << "pictures go back to their codes before the set goes";
    EXPECT_EQ(bar->GetCount(), 0);
    SendMessageW(window->GetWnd(), WM_JOV_SMILIES_CHANGE, 1, 0);
    Pump();
    EXPECT_GT(bar->GetCount(), 0) << "the bar on show fills itself from the new set";
}

TEST_F(MessagingTest, ShutDownSavesTheSettingsAndEndsTheAnimationAfterTheViews)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    Receive(ann, L":-)");
    EXPECT_NE(GetGifAnimator(), nullptr);
    window->GetSettings().SetEditOptions({5, 1, 0});
    control->Stop();
    window.reset();
    EXPECT_EQ(GetGifAnimator(), nullptr);
    unsigned int lines = 0;
    EXPECT_TRUE(store->GetDWord(GUID_GUI, CJOVString(L"Max line"), &lines));
    EXPECT_EQ(lines, 5u);
}

TEST_F(MessagingTest, FullScreenHidesTheTaskBarWhileTheWindowIsActive)
{
    SetByte(L"Full screen", 1);
    Start();
    HWND hwnd = window->GetWnd();
    SendMessageW(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(Platform::GetFullScreenState(hwnd) & SHFS_HIDETASKBAR, static_cast<DWORD>(SHFS_HIDETASKBAR));
    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.left, 0);
    SendMessageW(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Platform::GetFullScreenState(hwnd) & SHFS_HIDETASKBAR, 0u);
}
