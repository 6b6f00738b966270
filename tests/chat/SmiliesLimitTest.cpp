// The chat-wide limit on smiley pictures: the newest messages keep theirs,
// older ones turn their first smilies back into codes, merged with the text
// around them, and are laid out again.
#include "chat/ChatFixture.h"
#include "messaging/SmailyCtrl.h"

namespace {

// Counts the windows made as children of one window while it lives.
class CChildrenMade {
public:
    explicit CChildrenMade(HWND parent)
    {
        s_parent = parent;
        s_count = 0;
        m_hook = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~CChildrenMade() { UnhookWindowsHookEx(m_hook); }
    CChildrenMade(const CChildrenMade&) = delete;
    CChildrenMade& operator=(const CChildrenMade&) = delete;

    int Count() const { return s_count; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND && reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->hwndParent == s_parent)
            ++s_count;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static HWND s_parent;
    static int s_count;
    HHOOK m_hook;
};

HWND CChildrenMade::s_parent = nullptr;
int CChildrenMade::s_count = 0;

class SmiliesLimitTest : public ChatTest {
protected:
    SmiliesLimitTest() { smilies.Add({L":)"}); }

    static int Pictures(CChatNode* node) { return static_cast<CChatNode_Message*>(node)->GetText()->GetSmileyCount(); }

    // T(text), L(link) or S(code) for each run.
    static std::wstring Runs(CChatNode* node)
    {
        CChatMessageItem_Text* text = static_cast<CChatNode_Message*>(node)->GetText();
        std::wstring out;
        for (int i = 0; i < text->GetRunCount(); ++i) {
            const CChatMessageItem_Text::ParsingTextItem& run = text->GetRun(i);
            out += run.type == ChatItemSmaily ? L"S(" : run.type == ChatItemLink ? L"L(" : L"T(";
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

TEST_F(SmiliesLimitTest, ASmileyTurnedIntoTextJoinsTheTextBesideItButNoLink)
{
    skin.smiliesNumber = 3;
    CChatNode_Message* older = AddMessage(L"www.a:)www.b :):) c:)");
    EXPECT_EQ(Runs(older), L"L(www.a)S(:))L(www.b)T( )S(:))S(:))T( c:))");
    const std::vector<const wchar_t*> after = {
        L"L(www.a)T(:))L(www.b)T( )S(:))S(:))T( c:))",
        L"L(www.a)T(:))L(www.b)T( :))S(:))T( c:))",
        L"L(www.a)T(:))L(www.b)T( :):) c:))",
    };
    for (const wchar_t* runs : after) {
        AddMessage(L":)");
        EXPECT_EQ(Runs(older), runs);
        // Laid out again, the lines hold the text whole.
        std::wstring lines;
        for (const std::wstring& line : Lines(older))
            lines += line;
        EXPECT_EQ(lines, older->GetText()->GetText());
    }
    for (int i = 0; i < older->GetText()->GetRunCount(); ++i) {
        if (older->GetText()->GetRun(i).type == ChatItemSmaily)
            ADD_FAILURE() << "a picture is left at run " << i;
    }
    EXPECT_EQ(older->GetText()->GetSmileyCount(), 0);
}

TEST_F(SmiliesLimitTest, OnlyTheMessageThatLostPicturesIsMeasuredAgainAndThoseAfterItMove)
{
    skin.smiliesNumber = 1;
    CChatNode_Message* older = AddMessage(L"x :) y");
    for (int i = 0; i < 20; ++i)
        AddMessage(L"a plain message");
    int before = measurer.calls;
    AddMessage(L"one more");
    const int perMessage = measurer.calls - before;
    before = measurer.calls;
    AddMessage(L"z :)");
    EXPECT_EQ(Runs(older), L"T(x :) y)");
    EXPECT_EQ(measurer.calls - before, 2 * perMessage) << "the older message and the new one";
    std::vector<RECT> moved;
    for (int i = 0; i < content->GetNodeCount(); ++i)
        moved.push_back(content->GetNode(i)->GetRect());
    Relayout(240);
    for (int i = 0; i < content->GetNodeCount(); ++i)
        EXPECT_EQ(content->GetNode(i)->GetRect(), moved[i]) << i;
}

TEST_F(SmiliesLimitTest, MessagesAddedBeforeAPaintMakeControlsOnlyForThePicturesTheLimitLeaves)
{
    CChildrenMade made(view.GetViewWindow());
    std::vector<CChatNode_Message*> nodes;
    for (int i = 0; i < 30; ++i)
        nodes.push_back(AddMessage(L"a :) b"));
    view.content = content.get();
    RedrawWindow(view.GetViewWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    view.content = nullptr;
    EXPECT_EQ(made.Count(), 10);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(Pictures(nodes[i]), i < 20 ? 0 : 1) << i;
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
