// The history dialog over the history files the program writes: the whole
// history with its total, find stepping through the hits, "Delete" that
// asks, "Save as" in UTF-8 that reports a file it cannot make, quotes that
// find the contact's page when they are made, and the messaging window's
// "Message history". Pictures: history-<what>-<qvga|vga>.png.
#include <fstream>
#include <iterator>

#include "MenuBar.h"
#include "contactlist/SelectFileDlg.h"
#include "dialogs/DialogScript.h"
#include "dialogs/Screenshot.h"
#include "messaging/ChatMessageItem_Text.h"
#include "messaging/ChatMessageTextLine.h"
#include "messaging/HistoryDlg.h"
#include "messaging/HistoryDlgIds.h"
#include "messaging/HistoryFiles.h"
#include "messaging/MessagingIds.h"
#include "msgwnd/MessagingFixture.h"

namespace {

const wchar_t kHistory[] = L"History";

std::wstring TotalLine(const CHistoryDlg& dialog)
{
    CMenuInfo menu;
    dialog.DescribeMenu(menu);
    return std::wstring(menu[0].caption.Data() ? menu[0].caption.Data() : L"", menu[0].caption.GetLength());
}

// The dialog menu's item that many places up from the bottom (1: "Close").
std::function<void(HWND)> FromBottom(int places)
{
    return [places](HWND menu) {
        for (int i = 0; i < places; ++i)
            PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    };
}

void Find(HWND dialog, const wchar_t* text, bool matchCase)
{
    SetDlgItemTextW(dialog, IDC_HISTORY_FIND_TEXT, text);
    CheckDlgButton(dialog, IDC_HISTORY_MATCH_CASE, matchCase ? BST_CHECKED : BST_UNCHECKED);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_HISTORY_FIND_GO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_HISTORY_FIND_GO)));
}

// Drags over the first message's first line, as the chat view's own tests do.
void SelectFirstLine(CChatCtrl* chat)
{
    auto* text = static_cast<CChatNode_Message*>(chat->GetContent()->GetNode(0))->GetText();
    const RECT line = text->GetLine(0)->GetRect();
    const int scroll = chat->GetScrollPos();
    POINT from = {line.left + 1, line.top + 2 - scroll};
    POINT screen = from;
    ClientToScreen(*chat, &screen);
    SetCursorPos(screen.x, screen.y);
    // A move already queued tells the tap-and-hold check that this is a drag.
    PostMessageW(*chat, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 40, from.y));
    SendMessageW(*chat, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageW(*chat, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(line.right + 5, from.y));
    SendMessageW(*chat, WM_LBUTTONUP, 0, MAKELPARAM(line.right + 5, from.y));
}

bool Exists(const CJOVString& path)
{
    CJOVString name = path;
    return GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST_F(MessagingTest, HistoryShowsEveryRecordWithItsTotalAndFindStepsThroughTheHits)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    WriteHistory(ann, {L"hello there", L"nothing here", L"Hello again"});
    CHistoryDlg dialog(nullptr, nullptr, ann, bus.get());
    int count = -1, nodes = -1, first = -2, second = -2, withCase = -2, restarted = -2;
    std::wstring total, keyClosed, keyOpen;
    bool panel = false;
    RECT before = {}, after = {};
    CDialogScript script;
    script
        .When(kHistory,
              [&](HWND window) {
                  count = dialog.GetMessageCount();
                  nodes = dialog.GetChatView()->GetContent()->GetNodeCount();
                  total = TotalLine(dialog);
                  keyClosed = SoftKeyText(SHFindMenuBar(window), IDC_FUNCTION_KEY);
                  GetWindowRect(*dialog.GetChatView(), &before);
                  PostCommand(window, IDC_FUNCTION_KEY);
              })
        .When(kHistory, [&](HWND window) {
            panel = dialog.IsFindPanelShown() && IsWindowVisible(GetDlgItem(window, IDC_HISTORY_FIND_TEXT));
            keyOpen = SoftKeyText(SHFindMenuBar(window), IDC_FUNCTION_KEY);
            GetWindowRect(*dialog.GetChatView(), &after);
            Find(window, L"hello", false);
            first = dialog.GetLastHit();
            Find(window, L"hello", false);
            second = dialog.GetLastHit();
            Find(window, L"Hello", true);
            withCase = dialog.GetLastHit();
            Find(window, L"hello", true);
            restarted = dialog.GetLastHit();
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(count, 3);
    EXPECT_EQ(nodes, 3);
    EXPECT_EQ(total.substr(0, 5), L"Total");
    EXPECT_EQ(total.back(), L'3');
    EXPECT_EQ(keyClosed, L"Find >");
    EXPECT_EQ(keyOpen, L"Find <");
    EXPECT_TRUE(panel);
    EXPECT_GT(after.top, before.top) << "the view starts under the find panel";
    EXPECT_GE(first, 0);
    EXPECT_GT(second, first) << "the same text again: the next hit";
    EXPECT_EQ(withCase, second) << "a new text starts from the top";
    EXPECT_EQ(restarted, first);
}

TEST_F(MessagingTest, HistoryDeleteAsksFirstThenEmptiesTheViewAndRemovesTheFile)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    WriteHistory(ann, {L"one", L"two"});
    const CJOVString path = GetHistoryFilePath(*bus, ann);
    CHistoryDlg dialog(nullptr, nullptr, ann, bus.get());
    bool keptAfterNo = false, goneAfterYes = false;
    int countAfterNo = -1, countAfterYes = -1, nodesAfterYes = -1, countAfterRefresh = -1;
    std::wstring totalAfterYes;
    CDialogScript script;
    script.When(kHistory, [&](HWND window) { PostCommand(window, IDC_MENU_KEY); })
        .WhenMenu(FromBottom(3))
        .When(L"Delete", [&](HWND box) { PostMessageW(box, WM_COMMAND, IDNO, 0); })
        .When(kHistory,
              [&](HWND window) {
                  keptAfterNo = Exists(path);
                  countAfterNo = dialog.GetMessageCount();
                  PostCommand(window, IDC_MENU_KEY);
              })
        .WhenMenu(FromBottom(3))
        .When(L"Delete", [&](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); })
        .When(kHistory,
              [&](HWND window) {
                  goneAfterYes = !Exists(path);
                  countAfterYes = dialog.GetMessageCount();
                  nodesAfterYes = dialog.GetChatView()->GetContent()->GetNodeCount();
                  totalAfterYes = TotalLine(dialog);
                  PostCommand(window, IDC_MENU_KEY);
              })
        .WhenMenu(FromBottom(4))
        .When(kHistory, [&](HWND window) {
            countAfterRefresh = dialog.GetMessageCount();
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    dialog.DoModal();
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(keptAfterNo);
    EXPECT_EQ(countAfterNo, 2);
    EXPECT_TRUE(goneAfterYes);
    EXPECT_EQ(countAfterYes, 0) << "the total follows the deletion";
    EXPECT_EQ(nodesAfterYes, 0);
    EXPECT_EQ(totalAfterYes.back(), L'0');
    EXPECT_EQ(countAfterRefresh, 0);
}

TEST_F(MessagingTest, HistorySaveAsWritesUtf8AfterItsMarkAndReportsAFileItCannotMake)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    WriteHistory(ann, {L"\x041F\x0440\x0438\x0432\x0435\x0442"});
    const std::wstring saved = folder.File(L"ann.txt");
    CSelectFileDlg::SetChosenPath(folder.Path(L"earlier.txt"));
    CHistoryDlg dialog(nullptr, nullptr, ann, bus.get());
    auto saveAs = [&](HWND window) { PostCommand(window, IDC_MENU_KEY); };
    auto name = [&](HWND picker) {
        SetDlgItemTextW(picker, 1056, L"ann");
        PostCommand(picker, 32786);
    };
    std::vector<unsigned char> bytes;
    std::wstring warning;
    HANDLE held = INVALID_HANDLE_VALUE;
    CDialogScript script;
    script.When(kHistory, saveAs)
        .WhenMenu(FromBottom(2))
        .When(L"Select file", name)
        .When(kHistory,
              [&](HWND window) {
                  std::ifstream file(saved.c_str(), std::ios::binary);
                  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
                  file.close();
                  // Held open without sharing: the next save cannot make it.
                  held = CreateFileW(saved.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
                  saveAs(window);
              })
        .WhenMenu(FromBottom(2))
        .When(L"Select file", name)
        .When(L"Save", [&](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); })
        .When(L"Warning",
              [&](HWND box) {
                  warning = CDialogScript::MessageText(box);
                  PostMessageW(box, WM_COMMAND, IDOK, 0);
              })
        .When(kHistory, [&](HWND window) { PostCommand(window, IDCANCEL); });
    script.Start();
    dialog.DoModal();
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    EXPECT_TRUE(script.Done());
    const std::string utf8 = "\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), utf8.substr(0, 3));
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(utf8.substr(3)), std::string::npos);
    EXPECT_NE(warning.find(L"could not be created"), std::wstring::npos);
}

// 200,000 bytes between two short messages, a phrase across its first cut.
TEST_F(MessagingTest, HistoryCountsFindsAndSavesAMessageKeptInSeveralRecordsAsOne)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    std::wstring longText = std::wstring(65530, L'x') + L" needle in the hay ";
    longText += std::wstring(200000 - longText.size(), L'y');
    WriteHistory(ann, {L"hello", longText, L"bye"});
    const std::wstring saved = folder.File(L"ann.txt");
    CSelectFileDlg::SetChosenPath(folder.Path(L"earlier.txt"));
    CHistoryDlg dialog(nullptr, nullptr, ann, bus.get());
    int count = -1, nodes = -1, hit = -2;
    std::wstring total;
    std::string text;
    CDialogScript script;
    script
        .When(kHistory,
              [&](HWND window) {
                  count = dialog.GetMessageCount();
                  nodes = dialog.GetChatView()->GetContent()->GetNodeCount();
                  total = TotalLine(dialog);
                  PostCommand(window, IDC_FUNCTION_KEY);
              })
        .When(kHistory,
              [&](HWND window) {
                  Find(window, L"needle in", false);
                  hit = dialog.GetLastHit();
                  PostCommand(window, IDC_MENU_KEY);
              })
        .WhenMenu(FromBottom(2))
        .When(L"Select file",
              [&](HWND picker) {
                  SetDlgItemTextW(picker, 1056, L"ann");
                  PostCommand(picker, 32786);
              })
        .When(kHistory, [&](HWND window) {
            std::ifstream file(saved.c_str(), std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    dialog.DoModal();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(count, 3);
    EXPECT_EQ(nodes, 3);
    EXPECT_EQ(total.back(), L'3');
    EXPECT_GE(hit, 0) << "a phrase across the cut";
    size_t heads = 0;
    for (size_t at = text.find("Ann"); at != std::string::npos; at = text.find("Ann", at + 1))
        ++heads;
    EXPECT_EQ(heads, 3u) << "one nick and time line a message";
    EXPECT_NE(text.find(std::string(longText.begin(), longText.end())), std::string::npos);
}

TEST_F(MessagingTest, QuotesFromTheHistoryGoToTheContactsPageAsItIsWhenQuoting)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    WriteHistory(ann, {L"quote me"});
    window->OpenContact(ann, 0);
    CHistoryDlg dialog(nullptr, Page(ann), ann, bus.get());
    std::wstring quoted, afterReopen;
    bool pageGone = false;
    CDialogScript script;
    script.When(kHistory, [&](HWND history) {
        CChatCtrl* chat = dialog.GetChatView();
        SelectFirstLine(chat);
        chat->Quote();
        quoted = EditText(ann);
        // The page the dialog came from goes while the dialog stays.
        window->ClosePage(ann);
        Pump();
        chat->Quote();
        pageGone = Page(ann) == nullptr;
        window->OpenContact(ann, 0);
        Pump();
        chat->Quote();
        afterReopen = EditText(ann);
        PostCommand(history, IDCANCEL);
    });
    script.Start();
    dialog.DoModal();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(quoted, L">quote me");
    EXPECT_TRUE(pageGone) << "no page: nothing to quote into, and nothing breaks";
    EXPECT_EQ(afterReopen, L">quote me") << "the contact's new page";
}

TEST_F(MessagingTest, TheMessagingWindowsMenuOpensTheCurrentContactsHistory)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    window->OpenContact(ann, 0);
    CMenuInfo menu;
    window->BuildMenu(menu);
    int index = 0, downs = 0;
    for (; index < menu.Count() && menu[index].commandId != kMsgCmdHistory; ++index) {
        if (menu[index].type != CMenuItemInfo::MenuItemSeparator)
            ++downs;
    }
    ASSERT_GT(index, 0);
    ASSERT_LT(index, menu.Count());
    EXPECT_EQ(menu[index - 1].commandId, kMsgCmdContactDetails) << "under \"Contact details\"";
    bool opened = false;
    CDialogScript script;
    script
        .WhenMenu([&](HWND popup) {
            for (int i = 0; i <= downs; ++i)
                PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
        })
        .When(kHistory, [&](HWND history) {
            opened = true;
            PostCommand(history, IDCANCEL);
        });
    script.Start();
    window->ShowMenu();
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(opened);
}

TEST_F(MessagingTest, ScreenshotsOfTheHistoryDialog)
{
    Start();
    const unsigned int ann = AddContact(L"Ann", AddGroup(L"Friends"));
    WriteHistory(ann, {L"Are we still on for Friday?", L"Yes, at eight :-)", L"Bring the photos from the lake",
                       L"Will do. See you at eight!"});
    AppendHistoryMessage(*bus, ann, 1, 1, 0, 1690000100, CJOVString(L"Great, see you"));
    CHistoryDlg dialog(nullptr, nullptr, ann, bus.get());
    bool view = false, find = false;
    CDialogScript script;
    script
        .When(kHistory,
              [&](HWND window) {
                  view = SaveScreenshotAs(L"history", L"view");
                  PostCommand(window, IDC_FUNCTION_KEY);
              })
        .When(kHistory, [&](HWND window) {
            Find(window, L"eight", false);
            find = SaveScreenshotAs(L"history", L"find");
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    dialog.DoModal();
    EXPECT_TRUE(view);
    EXPECT_TRUE(find);
}
