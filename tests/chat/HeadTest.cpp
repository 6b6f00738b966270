// The message head: nick and time placed and wrapped by character, the
// " :" separator, the row the text goes on beside; the service line's
// breaking; copy-all strings as the messages build them.
#include "chat/ChatFixture.h"
#include "messaging/ChatMessageTextLineItem_String.h"
#include "messaging/ChatNode_Service.h"

namespace {

std::vector<RECT> RunRects(CChatMessageItem_Head* head)
{
    std::vector<RECT> rects;
    for (int i = 0; i < head->GetRunCount(); ++i)
        rects.push_back(head->GetRun(i)->GetRect());
    return rects;
}

std::vector<std::wstring> RunTexts(CChatMessageItem_Head* head)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < head->GetRunCount(); ++i) {
        CChatMessageTextLineItem_String* run = head->GetRun(i);
        texts.emplace_back(run->GetText() + run->GetStart(), run->GetLength());
    }
    return texts;
}

class HeadTest : public ChatTest {};

TEST_F(HeadTest, PlacesNickTimeAndSeparatorOnTheIconRow)
{
    SetFlags(1, 1, 0);
    CChatMessageItem_Head* head = AddMessage(L"x", L"Bob", L"(12:00)")->GetHead();
    // Nick at 21, the time 5 further, both 12 high and centred on the 16-pixel icon row.
    EXPECT_EQ(RunRects(head), (std::vector<RECT>{{21, 2, 39, 14}, {44, 2, 86, 14}}));
    EXPECT_EQ(head->GetNickRunCount(), 1);
    EXPECT_EQ(head->GetSeparatorFont(), 0);
    EXPECT_EQ(head->GetSeparatorRect(), (RECT{86, 2, 98, 14}));
    EXPECT_EQ(head->GetRect(), (RECT{0, 0, 98, 16}));  // one row: the text may go on after it
    EXPECT_EQ(head->GetTailX(), 98);

    SetFlags(0, 1, 0);
    Relayout(240);
    EXPECT_EQ(RunRects(head), (std::vector<RECT>{{21, 2, 63, 14}}));
    EXPECT_EQ(head->GetSeparatorFont(), 1);

    SetFlags(0, 0, 0);  // only the icon
    Relayout(240);
    EXPECT_EQ(head->GetRunCount(), 0);
    EXPECT_EQ(head->GetSeparatorFont(), -1);
    EXPECT_EQ(head->GetTailX(), 16);
}

TEST_F(HeadTest, ANickWiderThanTheRowWrapsByCharacterAtTheSameIndent)
{
    ResetContent(60);  // 6 characters a row from x = 21
    CChatMessageItem_Head* head = AddMessage(L"x", L"ABCDEFGHIJ")->GetHead();
    EXPECT_EQ(RunTexts(head), (std::vector<std::wstring>{L"ABCDEF", L"GHIJ"}));
    EXPECT_EQ(RunRects(head), (std::vector<RECT>{{21, 2, 57, 14}, {21, 14, 45, 26}}));
    EXPECT_EQ(head->GetSeparatorRect(), (RECT{45, 14, 57, 26}));
    EXPECT_EQ(head->GetRect(), (RECT{0, 0, 60, 26}));  // wrapped: the right edge stays
}

TEST_F(HeadTest, ATimeThatDoesNotFitBehindTheNickStartsOnTheNextRow)
{
    SetFlags(1, 1, 0);
    ResetContent(100);
    CChatMessageItem_Head* head = AddMessage(L"x", L"ABCDEFGHIJKL", L"(12:00)")->GetHead();
    EXPECT_EQ(RunTexts(head), (std::vector<std::wstring>{L"ABCDEFGHIJKL", L"(12:00)"}));
    EXPECT_EQ(RunRects(head)[1], (RECT{21, 14, 63, 26}));
}

TEST_F(HeadTest, ACharacterWiderThanTheRowStillTakesARow)
{
    ResetContent(100);
    measurer.SetWidth(L'W', 200);
    CChatMessageItem_Head* head = AddMessage(L"x", L"WW")->GetHead();
    EXPECT_EQ(RunTexts(head), (std::vector<std::wstring>{L"W", L"W"}));
    AddEntry(SMessage::Service, L"WW", L"WW");
    auto* service = static_cast<CChatNode_Service*>(content->GetNode(1));
    EXPECT_EQ(service->GetPieceCount(), 4);
}

TEST_F(HeadTest, AServiceLineBreaksInsideWordsAtTheSameIndent)
{
    ResetContent(60);
    AddEntry(SMessage::Service, L"ABCDEFGHIJ", L"(1", 40);
    auto* service = static_cast<CChatNode_Service*>(content->GetNode(0));
    ASSERT_EQ(service->GetPieceCount(), 3);
    EXPECT_EQ(service->GetFirstTextPieceCount(), 2);
    EXPECT_EQ(service->GetPiece(0)->GetRect(), (RECT{21, 2, 57, 14}));
    EXPECT_EQ(service->GetPiece(1)->GetRect(), (RECT{21, 14, 45, 26}));
    EXPECT_EQ(service->GetPiece(2)->GetRect(), (RECT{45, 14, 57, 26}));  // the time follows on the row
    EXPECT_EQ(service->GetRect().bottom, 26);
    EXPECT_EQ(AllText(*service), L" ABCDEFGHIJ(1\r\n");
}

struct CopyAllCase {
    int showNames, showTime, newLine;
    const wchar_t* expected;
};

TEST_F(HeadTest, CopyAllWritesTheHeadAsTheSettingsShowIt)
{
    const CopyAllCase cases[] = {
        {1, 0, 0, L" Bob: hi"},
        {1, 1, 0, L" Bob (12:00): hi"},
        {0, 1, 0, L" (12:00): hi"},
        {0, 0, 0, L" hi"},
        {1, 0, 1, L" Bob\r\nhi"},
        {1, 1, 1, L" Bob (12:00)\r\nhi"},
    };
    CChatNode_Message* node = AddMessage(L"hi", L"Bob", L"(12:00)");
    for (const CopyAllCase& c : cases) {
        SetFlags(c.showNames, c.showTime, c.newLine);
        EXPECT_EQ(AllText(*node), c.expected) << c.showNames << c.showTime << c.newLine;
    }
}

TEST_F(HeadTest, CopyAllSeparatesNodesWithABlankLine)
{
    AddMessage(L"one");
    AddEntry(SMessage::HistorySeparator);
    AddMessage(L"two", L"I", L"(1)", SMessage::Outgoing);
    AddEntry(SMessage::Service, L"Bob is away", L" (12:01)", 11);
    EXPECT_EQ(AllText(*content), L" Bob: one\r\n\r\n\r\n\r\n I: two\r\n\r\n Bob is away (12:01)\r\n");
}

TEST_F(HeadTest, FindsAcrossTheNickAndTheTime)
{
    SetFlags(1, 1, 0);
    CChatMessageItem_Head* head = AddMessage(L"x", L"Bob", L"(12:00)")->GetHead();
    EXPECT_EQ(Find(L"b(1"), 2);
    EXPECT_EQ(head->GetRun(0)->GetSelectionFirst(), 2);
    EXPECT_EQ(head->GetRun(1)->GetSelectionFirst(), 0);
    EXPECT_EQ(head->GetRun(1)->GetSelectionLast(), 1);
    EXPECT_EQ(Selected(*content), L"b(1");
}

} // namespace
