// The chat-wide limit on smiley pictures: the newest messages keep theirs,
// older ones turn their first smilies back into codes, merged with the text
// around them, and are laid out again.
#include "chat/ChatFixture.h"
#include "messaging/SmailyCtrl.h"

namespace {

class SmiliesLimitTest : public ChatTest {
protected:
    SmiliesLimitTest() { smilies.Add({L":)"}); }

    static int Pictures(CChatNode* node) { return static_cast<CChatNode_Message*>(node)->GetText()->GetSmileyCount(); }

    // T(text) or S(code) for each run.
    static std::wstring Runs(CChatNode* node)
    {
        CChatMessageItem_Text* text = static_cast<CChatNode_Message*>(node)->GetText();
        std::wstring out;
        for (int i = 0; i < text->GetRunCount(); ++i) {
            const CChatMessageItem_Text::ParsingTextItem& run = text->GetRun(i);
            out += run.type == ChatItemSmaily ? L"S(" : L"T(";
            out += text->GetText().substr(run.start, run.length) + L")";
        }
        return out;
    }
};

TEST_F(SmiliesLimitTest, TenPicturesForThreeMessagesOfFour)
{
    AddMessage(L"1:) 2:) 3:) 4:)");
    AddMessage(L":):):):)");
    EXPECT_EQ(Pictures(content->GetNode(0)), 4);
    AddMessage(L"x:)x:)x:)x:)");
    EXPECT_EQ(Pictures(content->GetNode(0)), 2);
    EXPECT_EQ(Pictures(content->GetNode(1)), 4);
    EXPECT_EQ(Pictures(content->GetNode(2)), 4);
    // The oldest keeps its last two; its first two codes read as text.
    EXPECT_EQ(Runs(content->GetNode(0)), L"T(1:) 2:) 3)S(:))T( 4)S(:))");
}

TEST_F(SmiliesLimitTest, ThreePicturesAndAnOlderMessageReadAsTextAndItsLayoutFollows)
{
    skin.smiliesNumber = 3;
    CChatNode_Message* single = AddMessage(L":)");
    CChatNode_Message* older = AddMessage(L":) a :) b :)");
    EXPECT_EQ(Runs(single), L"T(:))");  // a message of one smiley becomes one text run
    AddEntry(SMessage::Service, L"note");
    AddMessage(L":) :)");
    EXPECT_EQ(Runs(older), L"T(:) a :) b )S(:))");
    // Laid out again with the gap between every two nodes.
    for (int i = 1; i < content->GetNodeCount(); ++i)
        EXPECT_EQ(content->GetNode(i)->GetRect().top, content->GetNode(i - 1)->GetRect().bottom + 3);
    EXPECT_TRUE(older->GetText()->IsLaidOut());
    EXPECT_EQ(Lines(older), std::vector<std::wstring>{L":) a :) b :)"});
    EXPECT_EQ(older->GetText()->GetLine(0)->GetItemCount(), 2);
}

TEST_F(SmiliesLimitTest, TheHistoryViewRunsNoLimitPass)
{
    ResetContent(240, 1);
    AddMessage(L":) :)");
    AddMessage(L":) :)");
    EXPECT_EQ(Pictures(content->GetNode(0)), 0);
    EXPECT_EQ(Runs(content->GetNode(0)), L"T(:) :))");
}

TEST_F(SmiliesLimitTest, ReplacingTheSetTurnsEveryPictureIntoItsCode)
{
    CChatNode_Message* first = AddMessage(L"a :) b");
    CChatNode_Message* second = AddMessage(L":)");
    HWND control = *first->GetText()->GetSmiley(0);
    content->RefreshSmilies();
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(Runs(first), L"T(a :) b)");
    EXPECT_EQ(Runs(second), L"T(:))");
    EXPECT_EQ(second->GetRect().top, first->GetRect().bottom + 3);
    EXPECT_EQ(Lines(second), std::vector<std::wstring>{L":)"});
}

} // namespace
