// Find: one text search rule (whole word, case folded by upper-casing), a
// hit marked as the selection, repeated finds that walk the hits of every
// node and wrap around; and the growing buffer copies are collected in.
#include "chat/ChatFixture.h"

namespace {

struct SearchCase {
    const wchar_t* haystack;
    const wchar_t* pattern;
    int wholeWord, matchCase;
    int at;  // -1: not found
};

TEST(FindTextInString, FindsByTheWholeWordAndCaseRules)
{
    const SearchCase cases[] = {
        {L"Hello world", L"WORLD", 0, 0, 6},
        {L"Hello world", L"WORLD", 0, 1, -1},
        {L"Hello world", L"world", 0, 1, 6},
        {L"finder find", L"find", 1, 0, 7},     // the word, not the word's start
        {L"finder,find.", L"find", 1, 0, 7},    // punctuation edges a word
        {L"find", L"find", 1, 0, 0},            // so do the text's ends
        {L"refind", L"find", 1, 0, -1},
        {L"\x0436\x0443\x043A", L"\x0416\x0423\x041A", 0, 0, 0},  // case folds in every script
        {L"abc", L"", 0, 0, -1},                // an empty pattern is never found
        {L"ab", L"abc", 0, 0, -1},
    };
    for (const SearchCase& c : cases) {
        const wchar_t* hit = FindTextInString(c.haystack, c.pattern, {c.wholeWord, c.matchCase});
        EXPECT_EQ(hit ? static_cast<int>(hit - c.haystack) : -1, c.at)
            << testing::PrintToString(std::wstring(c.haystack)) << " / " << testing::PrintToString(std::wstring(c.pattern));
    }
}

TEST(FindTextFrom, JudgesWordEdgesAgainstTheWholeText)
{
    // Going on after the hit at 0 must not take "ab" inside "xab" for a word.
    EXPECT_EQ(FindTextFrom(L"ab xab ab", 9, 1, L"ab", {1, 0}), 7);
    EXPECT_EQ(FindTextFrom(L"ab xab ab", 9, 4, L"ab", {0, 0}), 4);
}

TEST(GrowingTextBuffer, CollectsLongTextsWhole)
{
    CGrowingTextBuffer buffer;
    EXPECT_STREQ(buffer.GetText(), L"");
    std::wstring expected;
    for (int i = 0; i < 20000; ++i) {
        std::wstring piece = std::to_wstring(i) + L"\r\n";
        buffer.Append(piece.c_str());
        expected += piece;
    }
    buffer.Append(L"tail", 2);
    expected += L"ta";
    EXPECT_EQ(buffer.GetLength(), static_cast<int>(expected.size()));
    EXPECT_EQ(std::wstring(buffer.GetText()), expected);
}

class FindTest : public ChatTest {
protected:
    FindTest() { smilies.Add({L":)"}); }
};

TEST_F(FindTest, ARepeatedFindWalksTheNodesAndWrapsAround)
{
    AddMessage(L"nothing here");
    AddMessage(L"find me");
    AddMessage(L"zzz");
    AddMessage(L"and find again");
    int second = content->GetNode(1)->GetRect().top;
    int fourth = content->GetNode(3)->GetRect().top;
    EXPECT_EQ(Find(L"find"), second + 2);
    EXPECT_EQ(Find(L"find"), fourth + 2);
    EXPECT_EQ(Find(L"find"), second + 2);
    EXPECT_EQ(Selected(*content), L"find");
    content->ResetFind();
    EXPECT_EQ(Find(L"FIND", 0, 1), -1);
    EXPECT_EQ(Selected(*content), L"");
}

TEST_F(FindTest, AMessageGivesTheHeadsHitsThenItsTexts)
{
    SetFlags(1, 0, 1);
    CChatNode_Message* node = AddMessage(L"ab then ab", L"ab");
    int textTop = node->GetText()->GetRect().top;
    EXPECT_EQ(Find(L"ab", 1), 2);
    EXPECT_EQ(Find(L"ab", 1), textTop);
    EXPECT_EQ(Selected(*node), L"ab");
    EXPECT_EQ(Find(L"ab", 1), textTop);
    EXPECT_EQ(Find(L"ab", 1), 2);  // found nothing more, the node starts again
    CViewDrawContext context(&view);
    node->ResetFind();
    EXPECT_EQ(node->GetText()->Find(L"ab", {1, 0}, &context), textTop);
    EXPECT_EQ(node->GetText()->Find(L"ab", {1, 0}, &context), textTop);
    EXPECT_EQ(node->GetText()->Find(L"ab", {1, 0}, &context), -1);
    EXPECT_EQ(node->GetText()->Find(L"ab", {1, 0}, &context), textTop);
}

TEST_F(FindTest, AHitInsideASmileysCodeIsPassedOver)
{
    CChatNode_Message* node = AddMessage(L"a:) b)", L"Bob");
    EXPECT_EQ(Find(L")"), 2);
    EXPECT_EQ(Selected(*content), L")");
    CChatMessageTextLine* line = node->GetText()->GetLine(0);
    auto* smiley = static_cast<CChatMessageTextLineItem_Smaily*>(line->GetItem(1));
    ASSERT_EQ(smiley->GetType(), ChatItemSmaily);
    EXPECT_FALSE(smiley->IsSelected());
    EXPECT_EQ(Find(L":)"), 2);
    EXPECT_TRUE(smiley->IsSelected());
}

TEST_F(FindTest, AHitMarksOnlyItsLinesAndTheNextHitTakesTheMarkAway)
{
    SetFlags(1, 0, 1);
    CChatNode_Message* node = AddMessage(L"one :) two\nthree :) four\nfive ) www.x:)\nsix )");
    CChatMessageItem_Text* text = node->GetText();
    ASSERT_EQ(text->GetLineCount(), 4);
    CViewDrawContext context(&view);
    // The hits inside the smilies' codes mark nothing and are passed over.
    EXPECT_EQ(text->Find(L")", {0, 0}, &context), text->GetLine(2)->GetRect().top);
    EXPECT_EQ(Selected(*text), L")");
    EXPECT_EQ(text->Find(L")", {0, 0}, &context), text->GetLine(3)->GetRect().top);
    EXPECT_EQ(Selected(*text), L")");
    EXPECT_EQ(text->Find(L")", {0, 0}, &context), -1);
    EXPECT_EQ(text->Find(L"e :) f", {0, 0}, &context), text->GetLine(1)->GetRect().top);
    EXPECT_EQ(Selected(*text), L"e :) f");
    EXPECT_EQ(text->Find(L"x:)\r\nsi", {0, 1}, &context), text->GetLine(2)->GetRect().top);
    EXPECT_EQ(Selected(*text), L"x:)\r\nsi");
    EXPECT_EQ(text->Find(L"o", {0, 0}, &context), -1);
    EXPECT_EQ(Selected(*text), L"x:)\r\nsi");  // a miss leaves the mark
    EXPECT_EQ(text->Find(L"o", {0, 0}, &context), text->GetLine(0)->GetRect().top);
    EXPECT_EQ(Selected(*text), L"o");
}

TEST_F(FindTest, HeadAndTextFoldCaseAlikeInEveryScript)
{
    SetFlags(1, 0, 1);
    CChatNode_Message* node = AddMessage(L"\x0436\x0443\x043A", L"\x0416\x0443\x043A");
    EXPECT_EQ(Find(L"\x0416\x0423\x043A"), 2);
    EXPECT_EQ(Find(L"\x0416\x0423\x043A"), node->GetText()->GetRect().top);
}

} // namespace
