// The caret: placed from a point, asked where it is (step 0, all the view
// uses), and moved by the steps of the item protocol.
#include "chat/ChatFixture.h"
#include "messaging/ChatNode_Service.h"

namespace {

class CaretTest : public ChatTest {
protected:
    CaretTest() { smilies.Add({L":)"}); }

    POINT Place(POINT point)
    {
        CViewDrawContext context(&view);
        return content->SetCaretFromPoint(point, &context);
    }
    POINT Move(int step)
    {
        CViewDrawContext context(&view);
        return content->MoveCaret(step, &context);
    }
};

TEST_F(CaretTest, StepZeroAnswersWhereTheCaretIsEverywhere)
{
    EXPECT_EQ(Move(CaretHere), (POINT{-1, -1}));  // no caret yet
    EXPECT_EQ(Place({5, 5}), (POINT{1, 1}));       // no nodes
    SetFlags(1, 0, 1);
    AddMessage(L"hello");
    AddEntry(SMessage::Service, L"note", L"");
    EXPECT_EQ(Place({7, 20}), (POINT{6, 16}));
    EXPECT_EQ(Move(CaretHere), (POINT{6, 16}));
    EXPECT_EQ(content->GetCaretNode(), 0);
    // A service line takes a point but holds no caret to move.
    const RECT& service = content->GetNode(1)->GetRect();
    EXPECT_EQ(Place({service.left + 30, service.top + 5}), (POINT{27, service.top + 2}));
    EXPECT_EQ(Move(CaretHere), (POINT{-1, -1}));
    content->Clear();
    EXPECT_EQ(Move(CaretHere), (POINT{1, 1}));
}

TEST_F(CaretTest, TheTextItemMovesByCharactersLinesAndNodes)
{
    SetFlags(1, 0, 1);
    AddMessage(L"ab\ncd");   // lines "ab\r\n" at 16 and "cd" at 30
    AddEntry(SMessage::HistorySeparator);
    AddMessage(L"next");
    const RECT& third = content->GetNode(2)->GetRect();
    EXPECT_EQ(Place({7, 20}), (POINT{6, 16}));
    EXPECT_EQ(Move(CaretNextChar), (POINT{12, 16}));
    EXPECT_EQ(Move(CaretNextChar), (POINT{0, 30}));  // the "\r\n" never holds the caret
    EXPECT_EQ(Move(CaretNextChar), (POINT{6, 30}));
    EXPECT_EQ(Move(CaretLineUp), (POINT{6, 16}));
    EXPECT_EQ(Move(CaretLineDown), (POINT{6, 30}));
    EXPECT_EQ(Move(CaretLineEnd), (POINT{12, 30}));
    EXPECT_EQ(Move(CaretLineStart), (POINT{0, 30}));
    EXPECT_EQ(Move(CaretPrevChar), (POINT{12, 16}));
    // Past the node's end, over the history separator, into the next message.
    EXPECT_EQ(Move(CaretNextNode), (POINT{21, third.top + 2}));
    EXPECT_EQ(content->GetCaretNode(), 2);
    EXPECT_EQ(Move(CaretPrevNode), (POINT{21, 2}));
    EXPECT_EQ(content->GetCaretNode(), 0);
}

TEST_F(CaretTest, TheEmptyLineAfterAClosingLineBreakSendsTheCaretToTheLineBefore)
{
    SetFlags(1, 0, 1);
    AddMessage(L"ab\n");  // "ab\r\n" at 16, an empty line at 30
    EXPECT_EQ(Place({5, 40}), (POINT{12, 16}));
    EXPECT_EQ(Move(CaretHere), (POINT{12, 16}));
}

TEST_F(CaretTest, APointBelowARunPutsTheCaretAtItsEnd)
{
    CChatNode_Message* node = AddMessage(L"hello");
    CChatMessageTextLineItem* run = node->GetText()->GetLine(0)->GetItem(0);
    CViewDrawContext context(&view);
    CFontSelection font(context.hDC, settings.GetFont(MessageWndSettings::TextFont));
    POINT caret = run->SetCaretFromPoint({0, run->GetRect().bottom + 1}, &context);
    EXPECT_EQ(caret, (POINT{86, 2}));
}

TEST_F(CaretTest, BesideASmileyTheCaretHasTheTextHeightWhateverTheFontSign)
{
    SetFlags(1, 0, 1);
    AddMessage(L"a:)");  // the smiley 6..23, its line 16..32
    LOGFONTW font = settings.GetLogFont(MessageWndSettings::TextFont);
    font.lfHeight = -14;  // a character height
    settings.SetTextFont(font);
    Relayout(240);
    EXPECT_EQ(Place({10, 20}), (POINT{6, 32 - 14}));
    EXPECT_EQ(Place({20, 20}), (POINT{23, 32 - 14}));
    EXPECT_EQ(Move(CaretPrevChar), (POINT{6, 32 - 14}));
}

TEST_F(CaretTest, BetweenNickAndTimeTheCaretGoesToTheNicksEnd)
{
    SetFlags(1, 1, 0);
    AddMessage(L"x", L"Bob", L"(12:00)");  // nick 21..39, time 44..86
    EXPECT_EQ(Place({41, 8}), (POINT{39, 2}));
    EXPECT_EQ(Place({47, 8}), (POINT{44, 2}));
}

TEST_F(CaretTest, ANewWidthPutsTheCaretAtTheStartOfItsNode)
{
    AddMessage(L"one");
    AddMessage(L"two");
    Place({80, content->GetNode(1)->GetRect().top + 8});
    Relayout(200);
    const RECT& node = content->GetNode(1)->GetRect();
    EXPECT_EQ(content->GetCaretNode(), 1);
    EXPECT_EQ(Move(CaretHere), (POINT{21, node.top + 2}));
}

} // namespace
