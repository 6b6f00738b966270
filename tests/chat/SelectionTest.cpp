// Selection by two points: characters by their middles, smilies whole, the
// head's icon and separator; and the text a copy of it gives.
#include "chat/ChatFixture.h"

namespace {

class SelectionTest : public ChatTest {
protected:
    SelectionTest() { smilies.Add({L":)"}); }

    std::wstring SelectAndCopy(POINT from, POINT to)
    {
        CViewDrawContext context(&view);
        content->Select(from, to, &context);
        return Selected(*content);
    }
};

struct DragCase {
    POINT from, to;
    const wchar_t* copied;
};

TEST_F(SelectionTest, OnOneRowTakesTheCharactersWhoseMiddlesLieBetween)
{
    AddMessage(L"hello world");  // the line from x = 56, 6 pixels a character, rows 2..16
    const DragCase cases[] = {
        {{66, 8}, {84, 8}, L"llo"},
        {{84, 8}, {66, 8}, L"llo"},             // either end may come first
        {{65, 8}, {83, 8}, L"ll"},              // a middle exactly at an end is outside
        {{56, 8}, {200, 8}, L"hello world"},
        {{70, 8}, {70, 8}, L""},                // one point selects nothing
        {{20, 8}, {60, 8}, L"Bob : h"},         // the nick and the separator whole, then the text
        {{0, -1}, {239, 100}, L" Bob : hello world"},
    };
    for (const DragCase& c : cases)
        EXPECT_EQ(SelectAndCopy(c.from, c.to), c.copied) << c.from.x << "," << c.from.y << " " << c.to.x;
}

TEST_F(SelectionTest, AOneCharacterRunNeedsTheEndAtItsRightEdgeOrBelow)
{
    SetFlags(1, 0, 1);
    AddMessage(L"abc\nx\nyz");  // lines at 16, 30 and 44; "x" is 0..6
    EXPECT_EQ(SelectAndCopy({2, 20}, {3, 34}), L"abc\r\n");
    EXPECT_EQ(SelectAndCopy({2, 20}, {6, 34}), L"abc\r\nx");
    EXPECT_EQ(SelectAndCopy({2, 20}, {1, 48}), L"abc\r\nx\r\n");
}

TEST_F(SelectionTest, ASmileyIsSelectedWholeAndCopiedAsItsCode)
{
    SetFlags(1, 0, 1);
    AddMessage(L"a :) b");  // "a " 0..12, the smiley 12..29 (middle 20), " b" 29..41
    const int y = 24;
    EXPECT_EQ(SelectAndCopy({0, y}, {41, y}), L"a :) b");
    EXPECT_EQ(SelectAndCopy({4, y}, {20, y}), L" :)");
    EXPECT_EQ(SelectAndCopy({4, y}, {19, y}), L" ");
    EXPECT_EQ(SelectAndCopy({20, y}, {41, y}), L":) b");
}

TEST_F(SelectionTest, ACopyOverSeveralMessagesSeparatesThemWithABlankLine)
{
    AddMessage(L"first");
    AddMessage(L"second", L"I", L"(1)", SMessage::Outgoing);
    const RECT& second = content->GetNode(1)->GetRect();
    EXPECT_EQ(SelectAndCopy({70, 8}, {239, second.bottom + 5}), L"rst\r\n\r\n I : second");
    SetFlags(1, 0, 1);
    Relayout(240);
    EXPECT_EQ(SelectAndCopy({0, -1}, {239, 100}), L" Bob\r\nfirst\r\n\r\n I\r\nsecond");
}

TEST_F(SelectionTest, AnItemOutsideTheSelectionLosesItsMarks)
{
    CChatNode_Message* first = AddMessage(L"first");
    AddMessage(L"second");
    SelectAndCopy({0, -1}, {239, 100});
    EXPECT_FALSE(Selected(*first).empty());
    const RECT& second = content->GetNode(1)->GetRect();
    EXPECT_EQ(SelectAndCopy({0, second.top + 1}, {239, second.bottom + 5}), L" Bob : second");
    EXPECT_EQ(Selected(*first), L"");
}

} // namespace
