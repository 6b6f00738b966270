// A chat page in the messaging window: the edit box growing with its lines up
// to "Max line" and on a short page, Enter with and without "SendOnEnter",
// the arrow keys at the edit box's edges, the edit menu, the Send button's
// room, typing into the chat view, smilies and the settings' fonts.
#include "Gesture.h"
#include "HiDpi.h"
#include "contactlist/JOVButton.h"
#include "dialogs/DialogScript.h"
#include "messaging/MessageWndToolBar.h"
#include "messaging/QuickSmailyPanel.h"
#include "msgwnd/MessagingFixture.h"

namespace {

class MessagePageTest : public MessagingTest {
protected:
    void OpenAnn(bool sendOnEnter = false)
    {
        SetByte(L"SendOnEnter", sendOnEnter ? 1 : 0);
        Start();
        ann = AddContact(L"Ann", AddGroup(L"Friends"));
        window->OpenContact(ann, 0);
        page = Page(ann);
        ASSERT_NE(page, nullptr);
        edit = page->GetEdit();
    }
    int Lines(int count) const { return count * page->GetLineHeight() + margin; }
    void MeasureMargin() { margin = page->GetEditHeight() - page->GetLineHeight(); }
    DWORD Selection()
    {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return MAKELONG(start, end);
    }
    void Key(UINT key)
    {
        SendMessageW(edit, WM_KEYDOWN, key, 1);
        Pump();
    }

    unsigned int ann = 0;
    CMessageDialogCtrl* page = nullptr;
    HWND edit = nullptr;
    int margin = 0;
};

} // namespace

TEST_F(MessagePageTest, TheEditBoxGrowsToMaxLineThenScrollsAndShrinksAgain)
{
    OpenAnn();
    MeasureMargin();
    ASSERT_GT(page->GetLineHeight(), 0);
    EXPECT_EQ(page->GetMaxLines(), 3) << "first start: up to 3 lines";
    Type(ann, L"one\rtwo");
    EXPECT_EQ(page->GetEditHeight(), Lines(2));
    Type(ann, L"\rthree\rfour\rfive");
    EXPECT_EQ(page->GetLineCount(), 5);
    EXPECT_EQ(page->GetEditHeight(), Lines(3)) << "three lines, then it scrolls";
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    GetScrollInfo(edit, SB_VERT, &info);
    EXPECT_GT(info.nMax, static_cast<int>(info.nPage));

    SendMessageW(edit, EM_SETSEL, 8, -1);  // from the end of "two"
    SendMessageW(edit, WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(page->GetLineCount(), 2);
    EXPECT_EQ(page->GetEditHeight(), Lines(2)) << "deleting lines shrinks it";
    RECT chat, box, client;
    GetWindowRect(*page->GetChat(), &chat);
    GetWindowRect(edit, &box);
    GetClientRect(page->GetWnd(), &client);
    EXPECT_EQ(chat.bottom - box.top, HIDPI_ScaleY(1)) << "the chat overlaps the edit box by a pixel";
    EXPECT_EQ(box.bottom - box.top, Lines(2));
}

TEST_F(MessagePageTest, OnAShortPageTheEditBoxKeepsTheWholeLinesThatFitAndAtLeastOne)
{
    OpenAnn();
    MeasureMargin();
    Type(ann, L"1\r2\r3\r4");
    RECT rect;
    GetWindowRect(page->GetWnd(), &rect);
    const int width = rect.right - rect.left;
    // Room for two lines under the rule: limit = height + 1 - 20.
    const int twoLines = Lines(2) - HIDPI_ScaleY(1) + HIDPI_ScaleY(20);
    SetWindowPos(page->GetWnd(), nullptr, 0, 0, width, twoLines, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(page->GetMaxLines(), 2);
    EXPECT_EQ(page->GetEditHeight(), Lines(2));

    SetWindowPos(page->GetWnd(), nullptr, 0, 0, width, HIDPI_ScaleY(10), SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(page->GetMaxLines(), 1) << "never fewer than one line";
    EXPECT_EQ(page->GetEditHeight(), Lines(1));

    SetWindowPos(page->GetWnd(), nullptr, 0, 0, width, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(page->GetMaxLines(), 3) << "a size change starts again from \"Max line\"";
}

TEST_F(MessagePageTest, EnterSendsOnlyWithSendOnEnter)
{
    OpenAnn(false);
    Type(ann, L"two\rlines");
    EXPECT_EQ(EditText(ann), L"two\r\nlines");
    EXPECT_TRUE(protocols->SentMessages().empty());

    window->GetSettings().SetEditOptions({3, 0, 1});
    Type(ann, L"\r");
    auto sent = protocols->SentMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, L"two\r\nlines") << "no line break typed";
    EXPECT_EQ(EditText(ann), L"");
}

TEST_F(MessagePageTest, ArrowKeysMoveTheCaretToTheEdgesAndThenLeaveTheEditBox)
{
    OpenAnn();
    Type(ann, L"first\rsecond");
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    SendMessageW(edit, EM_SETSEL, 8, 8);  // inside "second"
    Key(VK_DOWN);
    EXPECT_EQ(Selection(), MAKELONG(13, 13)) << "down in the last line: to the end";
    SendMessageW(edit, EM_SETSEL, 2, 2);
    Key(VK_UP);
    EXPECT_EQ(Selection(), MAKELONG(0, 0)) << "up in the first line: to the start";

    Key(VK_UP);
    EXPECT_EQ(GetFocus(), static_cast<HWND>(*page->GetChat())) << "up at the start: to the chat view";

    SetFocus(edit);  // the caret goes to the end
    ASSERT_EQ(Selection(), MAKELONG(13, 13));
    Key(VK_RIGHT);
    EXPECT_EQ(GetFocus(), static_cast<HWND>(*window->GetToolBar()->GetQuickBar()))
        << "right at the end, no Send button: out of the page to the toolbar's bar";
}

TEST_F(MessagePageTest, ArrowKeysInTheChatViewMoveTheFocusOutAtItsEnds)
{
    OpenAnn();
    HWND chat = *page->GetChat();
    SetFocus(chat);
    SendMessageW(chat, WM_KEYDOWN, VK_DOWN, 1);
    Pump();
    EXPECT_EQ(GetFocus(), edit) << "an empty chat is at its end";
    SetFocus(chat);
    SendMessageW(chat, WM_KEYDOWN, VK_UP, 1);
    Pump();
    EXPECT_EQ(GetFocus(), window->GetFocusButton()) << "and at its top: back to the tabs";
}

TEST_F(MessagePageTest, ACharacterTypedIntoTheChatViewLandsInTheEditBox)
{
    OpenAnn();
    HWND chat = *page->GetChat();
    SetFocus(chat);
    SendMessageW(chat, WM_CHAR, L'x', 1);
    SendMessageW(chat, WM_CHAR, VK_TAB, 1);
    EXPECT_EQ(EditText(ann), L"x");
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(MessagePageTest, TheEditMenuGraysWhatCannotBeDoneAndCopiesAll)
{
    OpenAnn();
    Platform::SetTapAndHoldTime(30);
    SetClipboardText(nullptr);
    auto holdAndCheck = [&](std::vector<UINT>& grayed, UINT choose) {
        grayed.clear();
        CDialogScript script;
        script.WhenMenu([&](HWND menuWindow) {
            HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
            for (UINT command = kEditCmdCut; command <= kEditCmdPaste; ++command) {
                if (GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED)
                    grayed.push_back(command);
            }
            if (choose) {
                for (UINT i = kEditCmdCut; i <= choose; ++i)
                    PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 1);
                PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 1);
            } else {
                PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 1);
            }
        });
        script.Start();
        SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_TRUE(script.Done());
    };
    std::vector<UINT> grayed;
    holdAndCheck(grayed, 0);
    EXPECT_EQ(grayed, (std::vector<UINT>{kEditCmdCut, kEditCmdCopy, kEditCmdCopyAll, kEditCmdPaste}));

    Type(ann, L"keep all of this");
    holdAndCheck(grayed, kEditCmdCopyAll);
    EXPECT_EQ(ClipboardText(), L"keep all of this");
    holdAndCheck(grayed, 0);
    EXPECT_EQ(grayed, (std::vector<UINT>{kEditCmdCut, kEditCmdCopy})) << "paste once the clipboard has text";
    Platform::SetTapAndHoldTime(500);
}

TEST_F(MessagePageTest, TheSendButtonTakesItsRoomOnlyWhenShownAndSends)
{
    OpenAnn();
    RECT client, box;
    GetClientRect(page->GetWnd(), &client);
    GetWindowRect(edit, &box);
    EXPECT_FALSE(IsWindowVisible(*page->GetSendButton()));
    EXPECT_EQ(box.right - box.left, client.right) << "no Send button: the edit box is as wide as the page";

    window->GetSettings().SetEditOptions({3, 1, 0});
    GetWindowRect(edit, &box);
    EXPECT_TRUE(IsWindowVisible(*page->GetSendButton()));
    EXPECT_EQ(box.right - box.left, client.right - (HIDPI_ScaleX(40) - HIDPI_ScaleY(1)));

    Type(ann, L"by button");
    SendMessageW(page->GetWnd(), WM_COMMAND, IDC_JOV_BUTTON_CLICK,
                 reinterpret_cast<LPARAM>(static_cast<HWND>(*page->GetSendButton())));
    ASSERT_EQ(protocols->SentMessages().size(), 1u);
    EXPECT_EQ(protocols->SentMessages()[0].text, L"by button");
}

TEST_F(MessagePageTest, ASmileyGoesInAtTheCaretAsItsFirstCode)
{
    OpenAnn();
    Type(ann, L"ab");
    SendMessageW(edit, EM_SETSEL, 1, 1);
    page->InsertSmiley(1);
    EXPECT_EQ(EditText(ann), L"a;-)b");
    page->InsertSmiley(1000);
    EXPECT_EQ(EditText(ann), L"a;-)b") << "an index outside the set inserts nothing";
    window->InsertSmiley(0);
    EXPECT_EQ(EditText(ann), L"a;-):-)b");
}

TEST_F(MessagePageTest, ANewEditFontReachesEveryPageAtOnce)
{
    OpenAnn();
    const unsigned int bob = AddContact(L"Bob", AddGroup(L"Others"));
    window->OpenContact(bob, 0);
    const int before = page->GetLineHeight();
    LOGFONTW font = window->GetSettings().GetLogFont(MessageWndSettings::EditFont);
    font.lfHeight = 28;
    window->GetSettings().SetEditFont(font);
    EXPECT_GT(page->GetLineHeight(), before);
    EXPECT_EQ(Page(bob)->GetLineHeight(), page->GetLineHeight());
    MeasureMargin();
    EXPECT_EQ(page->GetEditHeight(), Lines(1));
}
