// The chat view: scrolling to new entries, taps on text and links, a
// tap-and-hold, dragging with auto-scroll (on the test's clock and once in
// real time), copying, quoting, the context menu, size changes, find and
// the caret.
#include "Gesture.h"
#include "HiDpi.h"
#include "dialogs/DialogScript.h"
#include "messaging/ChatMessageTextLine.h"
#include "messaging/ChatMessageTextLineItem.h"
#include "messaging/GrowingTextBuffer.h"
#include "msgwnd/MessagingFixture.h"

namespace {

// A view without a page, which keeps the links it is asked to open.
class CLinkRecordingChat : public CChatCtrl {
public:
    explicit CLinkRecordingChat(HWND host) : CChatCtrl(GetModuleHandleW(nullptr), host, nullptr, 0) {}
    void OpenLink(const wchar_t* address) override { links.push_back(address); }
    std::vector<std::wstring> links;
};

// A view that counts its text measurings.
class CCountingChat : public CChatCtrl {
public:
    explicit CCountingChat(HWND host) : CChatCtrl(GetModuleHandleW(nullptr), host, nullptr, 0) {}
    CTextMeasurer& GetTextMeasurer() override { return m_counting; }
    int Calls() const { return m_counting.calls; }

private:
    class CCounting : public CTextMeasurer {
    public:
        bool GetExtents(HDC dc, const wchar_t* text, int count, int* extents, SIZE* size) override
        {
            ++calls;
            return m_gdi.GetExtents(dc, text, count, extents, size);
        }
        int calls = 0;

    private:
        CGdiTextMeasurer m_gdi;
    };
    CCounting m_counting;
};

std::vector<SMessage> Entries(int count)
{
    std::vector<SMessage> entries(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        entries[i].kind = SMessage::Incoming;
        entries[i].subKind = 22;
        entries[i].nick = L"Ann";
        entries[i].time = L"(12:00)";
        entries[i].text = (L"line number " + std::to_wstring(i)).c_str();
    }
    return entries;
}

class ChatCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = MakeHostWindow(240, 320);
        chat = std::make_unique<CLinkRecordingChat>(host);
        ASSERT_TRUE(chat->Create(RECT{0, 0, 240, 300}));
    }
    void TearDown() override
    {
        chat.reset();
        DestroyWindow(host);
    }
    void Add(const wchar_t* text, unsigned kind = SMessage::Incoming)
    {
        SMessage message;
        message.kind = kind;
        message.subKind = 22;
        message.nick = L"Ann";
        message.time = L"(12:00)";
        message.text = text;
        chat->AddEvent(&message);
    }
    // Where a line of a message's text lies in the client area.
    RECT LineRect(int node, int line)
    {
        auto* message = static_cast<CChatNode_Message*>(chat->GetContent()->GetNode(node));
        RECT rect = message->GetText()->GetLine(line)->GetRect();
        OffsetRect(&rect, 0, -chat->GetScrollPos());
        return rect;
    }
    CChatMessageTextLineItem* FindItem(int node, int type)
    {
        auto* text = static_cast<CChatNode_Message*>(chat->GetContent()->GetNode(node))->GetText();
        for (int i = 0; i < text->GetLineCount(); ++i) {
            for (int j = 0; j < text->GetLine(i)->GetItemCount(); ++j) {
                if (text->GetLine(i)->GetItem(j)->GetType() == type)
                    return text->GetLine(i)->GetItem(j);
            }
        }
        return nullptr;
    }
    int EndPosition() { return chat->GetScrollMaxRange() - chat->GetScrollPage() + 1; }
    // A press that the gesture takes for no hold: a queued move away from it.
    void Press(int x, int y)
    {
        // The stylus is where it presses: the system's own moves come from there.
        POINT screen = {x, y};
        ClientToScreen(*chat, &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(*chat, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 40, y));
        SendMessageW(*chat, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Move(int x, int y) { SendMessageW(*chat, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, static_cast<WORD>(y))); }
    void Release(int x, int y) { SendMessageW(*chat, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    // Drags over a range within the window.
    void Drag(POINT from, POINT to)
    {
        Press(from.x, from.y);
        Move(to.x, to.y);
        Release(to.x, to.y);
    }
    void FillPages(int count = 40)
    {
        for (int i = 0; i < count; ++i)
            Add((L"line number " + std::to_wstring(i)).c_str());
    }
    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }

    HWND host = nullptr;
    std::unique_ptr<CLinkRecordingChat> chat;
};

} // namespace

TEST_F(ChatCtrlTest, ANewEntryScrollsToTheEndEvenWhenScrolledUp)
{
    FillPages();
    EXPECT_GT(chat->GetScrollPos(), 0);
    EXPECT_EQ(chat->GetScrollPos(), EndPosition());
    SendMessageW(*chat, WM_VSCROLL, SB_TOP, 0);
    ASSERT_EQ(chat->GetScrollPos(), 0);
    Add(L"the newest");
    EXPECT_EQ(chat->GetScrollPos(), EndPosition());
    EXPECT_EQ(chat->GetScrollMaxRange(), chat->GetContent()->GetRect().bottom + 10) << "10 pixels under the last";
}

TEST_F(ChatCtrlTest, EntriesAddedAtOnceScrollToTheEndAndAskForARepaint)
{
    FillPages(3);
    SendMessageW(*chat, WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(*chat);
    std::vector<SMessage> entries = Entries(40);
    chat->AddEvents(entries.data(), static_cast<int>(entries.size()));
    EXPECT_EQ(chat->GetContent()->GetNodeCount(), 43);
    EXPECT_EQ(chat->GetScrollPos(), EndPosition());
    EXPECT_EQ(chat->GetScrollMaxRange(), chat->GetContent()->GetRect().bottom + 10);
    RECT update = {};
    EXPECT_TRUE(GetUpdateRect(*chat, &update, FALSE)) << "a repaint is due";
}

TEST_F(ChatCtrlTest, AHistoryLongerThanThePageIsLaidOutOnceAtTheWidthTheScrollBarLeaves)
{
    CCountingChat counted(host);
    ASSERT_TRUE(counted.Create(RECT{0, 0, 240, 300}));
    ASSERT_FALSE(GetWindowLongPtrW(counted, GWL_STYLE) & WS_VSCROLL);
    std::vector<SMessage> entries = Entries(40);
    int before = counted.Calls();
    counted.AddEvents(entries.data(), static_cast<int>(entries.size()));
    const int adding = counted.Calls() - before;
    EXPECT_TRUE(GetWindowLongPtrW(counted, GWL_STYLE) & WS_VSCROLL);
    RECT client;
    GetClientRect(counted, &client);
    const RECT& content = counted.GetContent()->GetRect();
    EXPECT_EQ(content.right - content.left + 6, client.right - client.left);
    before = counted.Calls();
    counted.UpdateLayout();
    EXPECT_EQ(adding, counted.Calls() - before) << "one pass, as a full layout";
    EXPECT_EQ(counted.GetScrollPos(), counted.GetScrollMaxRange() - counted.GetScrollPage() + 1);
}

TEST_F(ChatCtrlTest, ATapOnALinkOpensItAndATapOnTextStartsADrag)
{
    Add(L"see http://example.org/x now");
    CChatMessageTextLineItem* link = FindItem(0, ChatItemLink);
    ASSERT_NE(link, nullptr);
    RECT rect = link->GetRect();
    PostMessageW(*chat, WM_LBUTTONUP, 0, 0);
    SendMessageW(*chat, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    EXPECT_EQ(chat->links, std::vector<std::wstring>{L"http://example.org/x"});
    EXPECT_FALSE(chat->IsDragging());
    Pump();

    RECT line = LineRect(0, 0);
    PostMessageW(*chat, WM_LBUTTONUP, 0, 0);
    SendMessageW(*chat, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(line.left + 2, line.top + 2));
    EXPECT_TRUE(chat->IsDragging());
    EXPECT_EQ(GetCapture(), static_cast<HWND>(*chat));
    EXPECT_EQ(GetFocus(), static_cast<HWND>(*chat));
    Pump();
    EXPECT_FALSE(chat->IsDragging()) << "the release ends it";
    EXPECT_EQ(chat->links.size(), 1u);
}

TEST_F(ChatCtrlTest, ATapAndHoldOpensTheMenuAndStartsNothing)
{
    Add(L"hold on here");
    Platform::SetTapAndHoldTime(30);
    std::vector<UINT> commands;
    UINT copyState = 0, copyAllState = 0;
    CDialogScript script;
    script.WhenMenu([&](HWND menuWindow) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            commands.push_back(GetMenuItemID(menu, i));
        copyState = GetMenuState(menu, kChatCmdCopy, MF_BYCOMMAND);
        copyAllState = GetMenuState(menu, kChatCmdCopyAll, MF_BYCOMMAND);
        PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 1);
    });
    script.Start();
    RECT line = LineRect(0, 0);
    SendMessageW(*chat, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(line.left + 2, line.top + 2));
    Platform::SetTapAndHoldTime(500);
    ASSERT_TRUE(script.Done());
    EXPECT_EQ(commands, (std::vector<UINT>{kChatCmdCopy, kChatCmdCopyAll})) << "no page: no \"Quote\"";
    EXPECT_TRUE(copyState & MF_GRAYED) << "nothing selected";
    EXPECT_FALSE(copyAllState & MF_GRAYED);
    EXPECT_FALSE(chat->IsDragging());
    EXPECT_FALSE(chat->HasSelection());

    CDialogScript rightClick;
    rightClick.WhenMenu([](HWND menuWindow) { PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 1); });
    rightClick.Start();
    SendMessageW(*chat, WM_RBUTTONUP, 0, MAKELPARAM(line.left + 2, line.top + 2));
    EXPECT_TRUE(rightClick.Done()) << "a right click opens it through WM_CONTEXTMENU";
}

TEST_F(ChatCtrlTest, DraggingPastTheEdgesScrollsTenPixelsATickAndExtendsTheSelection)
{
    FillPages();
    const int end = chat->GetScrollPos();
    RECT line = LineRect(chat->GetContent()->GetNodeCount() - 2, 0);
    Press(line.left + 2, line.top + 2);
    Pump();  // the queued move
    ASSERT_TRUE(chat->IsDragging());
    Move(30, -5);
    EXPECT_EQ(chat->GetAutoScroll(), CChatCtrl::ScrollingUp);
    const POINT before = chat->GetSelectionEnd();
    SendMessageW(*chat, WM_TIMER, kAutoScrollTimer, 0);
    SendMessageW(*chat, WM_TIMER, kAutoScrollTimer, 0);
    EXPECT_EQ(chat->GetScrollPos(), end - 20);
    EXPECT_EQ(chat->GetSelectionEnd().y, before.y - 20);
    EXPECT_TRUE(chat->HasSelection());

    Move(30, 100);
    EXPECT_EQ(chat->GetAutoScroll(), CChatCtrl::NoAutoScroll) << "back inside: no more scrolling";
    EXPECT_EQ(chat->GetSelectionEnd().y, 100 + end - 20);
    Move(30, 400);
    EXPECT_EQ(chat->GetAutoScroll(), CChatCtrl::ScrollingDown);
    Release(30, 400);
    EXPECT_FALSE(chat->IsDragging());
    EXPECT_EQ(chat->GetAutoScroll(), CChatCtrl::NoAutoScroll);
    EXPECT_TRUE(chat->HasSelection()) << "the release keeps the selection";
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ChatCtrlTest, AutoScrollRunsOnItsOwnInRealTime)
{
    FillPages();
    const int end = chat->GetScrollPos();
    RECT line = LineRect(chat->GetContent()->GetNodeCount() - 1, 0);
    Press(line.left + 2, line.top + 2);
    Pump();
    Move(30, -5);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1100) {
        Pump();
        Sleep(10);
    }
    const int scrolled = end - chat->GetScrollPos();
    EXPECT_GE(scrolled, 20) << "a tick each 200 ms";
    EXPECT_LE(scrolled, 60);
    EXPECT_EQ(scrolled % 10, 0);
    Release(30, -5);
}

TEST_F(ChatCtrlTest, CtrlCCopiesTheSelectionAndNothingWithoutOne)
{
    Add(L"copy this text");
    SetClipboardText(L"before");
    SetFocus(*chat);
    {
        CControlKeyDown control;
        SendMessageW(*chat, WM_KEYDOWN, 'C', 1);
    }
    EXPECT_EQ(ClipboardText(), L"before") << "an empty selection copies nothing";

    RECT line = LineRect(0, 0);
    Drag({line.left + 1, line.top + 2}, {line.right + 5, line.top + 2});
    ASSERT_TRUE(chat->HasSelection());
    {
        CControlKeyDown control;
        SendMessageW(*chat, WM_KEYDOWN, 'C', 1);
    }
    EXPECT_EQ(ClipboardText(), L"copy this text");

    chat->CopyAll();
    const std::wstring all = ClipboardText();
    EXPECT_NE(all.find(L"Ann"), std::wstring::npos);
    EXPECT_NE(all.find(L"copy this text"), std::wstring::npos);
}

TEST_F(ChatCtrlTest, AHeightChangeKeepsTheLayoutAndAWidthChangeWrapsAgain)
{
    FillPages();  // the scroll bar stays whatever the height
    Add(L"a long message that certainly wraps onto more than one line in a narrow chat view");
    const int node = chat->GetContent()->GetNodeCount() - 1;
    auto* text = static_cast<CChatNode_Message*>(chat->GetContent()->GetNode(node))->GetText();
    const int lines = text->GetLineCount();
    CChatMessageTextLine* firstLine = text->GetLine(0);
    SetWindowPos(*chat, nullptr, 0, 0, 240, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(text->GetLine(0), firstLine) << "same width: no new layout";
    EXPECT_EQ(chat->GetScrollPage(), 200 - 2 * GetSystemMetrics(SM_CYBORDER));
    EXPECT_EQ(chat->GetScrollPos(), EndPosition()) << "and back to the end";

    SetWindowPos(*chat, nullptr, 0, 0, 140, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GT(text->GetLineCount(), lines) << "narrower: wrapped again";
    EXPECT_EQ(chat->GetScrollPos(), EndPosition());
}

TEST_F(ChatCtrlTest, AFindHitOnScreenStaysAndOneOffScreenComesToTheTop)
{
    Add(L"needle at the start");
    FillPages();
    Add(L"needle near the end");
    const int end = chat->GetScrollPos();
    FindFlags flags = {0, 0};
    const int last = chat->FindFromStart(L"near the end", flags);
    EXPECT_GE(last, end);
    EXPECT_EQ(chat->GetScrollPos(), end) << "a hit on screen does not scroll";
    const int first = chat->FindFromStart(L"at the start", flags);
    EXPECT_EQ(chat->GetScrollPos(), first) << "a hit off screen comes to the top";
    EXPECT_EQ(chat->Find(L"no such words", flags), -1);
    EXPECT_EQ(chat->GetScrollPos(), first);
}

TEST_F(MessagingTest, QuotingTwoLinesPutsAMarkBeforeEachAndKeepsTheLineBreak)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    Receive(ann, L"first line\r\nsecond line");
    CChatCtrl* chat = Page(ann)->GetChat();
    auto* text = static_cast<CChatNode_Message*>(chat->GetContent()->GetNode(0))->GetText();
    ASSERT_EQ(text->GetLineCount(), 2);
    RECT first = text->GetLine(0)->GetRect();
    RECT second = text->GetLine(1)->GetRect();
    const int scroll = chat->GetScrollPos();
    auto drag = [&](POINT from, POINT to) {
        POINT screen = from;
        ClientToScreen(*chat, &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(*chat, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 40, from.y));
        SendMessageW(*chat, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        Pump();
        SendMessageW(*chat, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageW(*chat, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    };
    drag({first.left + 1, first.top + 2 - scroll}, {second.right + 5, second.top + 2 - scroll});
    ASSERT_TRUE(chat->HasSelection());
    Type(ann, L"re: ");
    chat->Quote();
    EXPECT_EQ(EditText(ann), L"re: >first line\r\n>second line");

    SetWindowTextW(Page(ann)->GetEdit(), L"");
    Receive(ann, L"\r\nafter a break");
    text = static_cast<CChatNode_Message*>(chat->GetContent()->GetNode(1))->GetText();
    ASSERT_EQ(text->GetLineCount(), 2);
    first = text->GetLine(0)->GetRect();
    second = text->GetLine(1)->GetRect();
    const int now = chat->GetScrollPos();
    drag({first.left + 1, first.top + 2 - now}, {second.right + 5, second.top + 2 - now});
    chat->Quote();
    EXPECT_EQ(EditText(ann), L">\r\n>after a break") << "a selection that starts with the line break";
}

TEST_F(MessagingTest, TheCaretTakesTheTextFontsSizeWhateverItsSign)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    Receive(ann, L"caret here");
    LOGFONTW font = window->GetSettings().GetLogFont(MessageWndSettings::TextFont);
    font.lfHeight = -14;
    window->GetSettings().SetTextFont(font);
    SetFocus(*Page(ann)->GetChat());
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_EQ(info.hwndCaret, static_cast<HWND>(*Page(ann)->GetChat()));
    EXPECT_EQ(info.rcCaret.bottom - info.rcCaret.top, HIDPI_ScaleY(14));
    EXPECT_EQ(info.rcCaret.right - info.rcCaret.left, HIDPI_ScaleX(1));
}
