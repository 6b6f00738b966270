// Where the layout breaks lines: at white space, inside a word only when it
// cannot fit, at line feeds; smilies glued to text wrap with it; the first
// line stands beside the head or drops below it. Characters are 6 pixels
// wide; the head "Bob" leaves the first line 56 pixels in.
#include "chat/ChatFixture.h"

namespace {

using LineTexts = std::vector<std::wstring>;

struct WrapCase {
    const wchar_t* text;
    int width;
    LineTexts lines;
};

class WrapTest : public ChatTest {
protected:
    WrapTest() { smilies.Add({L":)"}); }  // a 17 x 16 box on its line
};

TEST_F(WrapTest, BreaksLinesWhereTheRulesSay)
{
    const WrapCase cases[] = {
        {L"hello world", 240, {L"hello world"}},
        {L"hello world", 120, {L"hello ", L"world"}},               // 10 characters fit beside the head
        {L"abcdefghijklmnopqrstuvwxyz", 120, {L"abcdefghijklmnopqrs", L"tuvwxyz"}},  // below the head, then cut
        {L"hi abcdefghijklmnopqrstuvwxyz", 120, {L"hi ", L"abcdefghijklmnopqrs", L"tuvwxyz"}},
        {L"aaaa bbb:)", 120, {L"aaaa ", L"bbb:)"}},                 // the smiley takes the word glued to it
        {L"a\nb", 240, {L"a\r\n", L"b"}},
        {L"a\n\nb", 240, {L"a\r\n", L"\r\n", L"b"}},                // an empty line between two line feeds
        {L"a\n", 240, {L"a\r\n", L""}},
        {L"one two three four five six", 120, {L"one two ", L"three four five six"}},
    };
    for (const WrapCase& c : cases) {
        ResetContent(c.width);
        EXPECT_EQ(Lines(AddMessage(c.text)), c.lines) << testing::PrintToString(std::wstring(c.text)) << " at "
                                                      << c.width;
    }
}

TEST_F(WrapTest, TheFirstLineStandsBesideTheHeadOrDropsBelowIt)
{
    ResetContent(120);
    CChatNode_Message* beside = AddMessage(L"hello");
    const RECT& head = beside->GetHead()->GetRect();
    EXPECT_EQ(head, (RECT{0, 0, 51, 16}));  // " :" ends the head's one row
    CChatMessageTextLine* line = beside->GetText()->GetLine(0);
    EXPECT_EQ(line->GetItem(0)->GetRect().left, 56);
    // One line beside the head stands on the head's row (2..14), or from its
    // top down when it is taller.
    EXPECT_EQ(line->GetRect().top, 2);
    EXPECT_EQ(line->GetRect().bottom, 16);
    EXPECT_EQ(beside->GetRect().bottom, 16);

    CChatNode_Message* below = AddMessage(L"abcdefghijklmnopqrstuvwxyz");
    CChatMessageTextLine* first = below->GetText()->GetLine(0);
    EXPECT_EQ(first->GetItem(0)->GetRect().left, 0);
    EXPECT_EQ(first->GetRect().top, below->GetHead()->GetRect().bottom);

    SetFlags(1, 0, 1);  // "Msg from newl"
    Relayout(120);
    EXPECT_EQ(Lines(beside), LineTexts{L"hello"});
    EXPECT_EQ(beside->GetText()->GetLine(0)->GetRect().left, 0);
    EXPECT_EQ(beside->GetText()->GetLine(0)->GetRect().top, beside->GetHead()->GetRect().bottom);
}

TEST_F(WrapTest, ALineReachingTheRightEdgeExactlyIsFull)
{
    SetFlags(1, 0, 1);
    ResetContent(120);
    EXPECT_EQ(Lines(AddMessage(L"aaaaaaaaaaaaaaaaaaaa")), (LineTexts{L"aaaaaaaaaaaaaaaaaaa", L"a"}));
}

TEST_F(WrapTest, WhatIsWiderThanTheLineStillTakesALineOfItsOwn)
{
    SetFlags(1, 0, 1);
    ResetContent(120);
    measurer.SetWidth(L'W', 200);
    EXPECT_EQ(Lines(AddMessage(L"WW")), (LineTexts{L"W", L"W"}));
    smilies.Add({L"[big]"}, 150, 20);
    EXPECT_EQ(Lines(AddMessage(L"[big] [big]")), (LineTexts{L"[big]", L" ", L"[big]"}));
    SetFlags(1, 0, 0);
    Relayout(120);  // beside the head too: below it, then alone on its line
    EXPECT_EQ(Lines(static_cast<CChatNode_Message*>(content->GetNode(0))), (LineTexts{L"W", L"W"}));
}

TEST_F(WrapTest, ItemsStandOnTheBottomOfTheirLine)
{
    SetFlags(1, 0, 1);
    CChatNode_Message* node = AddMessage(L"ab:)cd\nxy");
    CChatMessageTextLine* first = node->GetText()->GetLine(0);
    ASSERT_EQ(first->GetItemCount(), 3);
    int top = node->GetHead()->GetRect().bottom;
    EXPECT_EQ(first->GetRect().top, top);
    EXPECT_EQ(first->GetRect().bottom, top + 16);  // the smiley's frame height + 1
    EXPECT_EQ(first->GetItem(0)->GetRect(), (RECT{0, top + 2, 12, top + 16}));
    EXPECT_EQ(first->GetItem(1)->GetRect(), (RECT{12, top, 29, top + 16}));
    // The piece that ends the line reaches 2 pixels past its text.
    EXPECT_EQ(first->GetItem(2)->GetRect(), (RECT{29, top + 2, 43, top + 16}));
    CChatMessageTextLine* second = node->GetText()->GetLine(1);
    EXPECT_EQ(second->GetRect().top, top + 16);
    EXPECT_EQ(second->GetRect().bottom, top + 30);
}

TEST_F(WrapTest, TheTextIsMeasuredOncePerLayoutAndTheHeadOncePerFont)
{
    SetFlags(1, 1, 0);
    int before = measurer.calls;
    AddMessage(L"some text to wrap around a few times over", L"Bob", L"(12:00)");
    EXPECT_EQ(measurer.calls - before, 3);
    before = measurer.calls;
    Relayout(100);
    EXPECT_EQ(measurer.calls - before, 3);
}

TEST_F(WrapTest, ALinkBrokenOverLinesOpensWholeFromAnyPiece)
{
    SetFlags(1, 0, 1);
    ResetContent(60);
    CChatNode_Message* node = AddMessage(L"www.example.org");
    ASSERT_GE(node->GetText()->GetLineCount(), 2);
    CChatMessageTextLine* second = node->GetText()->GetLine(1);
    ASSERT_EQ(second->GetItem(0)->GetType(), ChatItemLink);
    const RECT& piece = second->GetItem(0)->GetRect();
    EXPECT_EQ(content->OnClick({piece.left + 1, piece.bottom - 1}), 1);
    EXPECT_EQ(view.links, std::vector<std::wstring>{L"http://www.example.org"});
    // Beside the link, or above and below every line, nothing is opened.
    EXPECT_EQ(content->OnClick({piece.right + 5, piece.bottom - 1}), 0);
    EXPECT_EQ(content->OnClick({piece.left + 1, node->GetRect().bottom + 5}), 0);
    EXPECT_EQ(view.links.size(), 1u);
}

} // namespace
