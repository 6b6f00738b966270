// The message text's runs: which smiley code wins, where a link ends, and
// how the smilies allowance and the "Text Smailes" option limit pictures.
#include "chat/ChatFixture.h"
#include "messaging/SmailyCtrl.h"

namespace {

class ParserTest : public ChatTest {
protected:
    ParserTest()
    {
        smilies.Add({L":)", L":-)"});  // 0
        smilies.Add({L":))"});         // 1: begins with smiley 0's code
        smilies.Add({L";)"});          // 2
        smilies.Add({L"", L"B)"});     // 3: an empty code is no code
    }

    // T(text) L(link) Sn(smiley n's code), in text order.
    std::wstring Runs(CChatNode_Message* node)
    {
        CChatMessageItem_Text* text = node->GetText();
        std::wstring out;
        for (int i = 0; i < text->GetRunCount(); ++i) {
            const CChatMessageItem_Text::ParsingTextItem& run = text->GetRun(i);
            std::wstring chars = text->GetText().substr(run.start, run.length);
            if (run.type == ChatItemSmaily)
                out += L"S" + std::to_wstring(text->GetSmiley(run.index)->GetSmileyIndex());
            else
                out += run.type == ChatItemLink ? L"L" : L"T";
            out += L"(" + chars + L")";
        }
        return out;
    }
};

struct ParseCase {
    const wchar_t* text;
    const wchar_t* runs;
};

TEST_F(ParserTest, CutsTextIntoRunsOfTextSmiliesAndLinks)
{
    const ParseCase cases[] = {
        {L"plain words", L"T(plain words)"},
        {L":);)", L"S0(:))S2(;))"},                 // neighbours, whichever smiley is searched first
        {L":))", L"S0(:))T())"},                    // the earlier smiley wins the overlap
        {L"a:-)b", L"T(a)S0(:-))T(b)"},
        {L"B) x", L"S3(B))T( x)"},                  // the empty code matched nothing
        {L"word www.x.com, more", L"T(word )L(www.x.com)T(, more)"},
        {L"see http://www.x.org/a.b!(c) ok", L"T(see )L(http://www.x.org/a.b!(c))T( ok)"},
        {L"xwww.y", L"T(x)L(www.y)"},
        {L"http://x:)", L"L(http://x)S0(:))"},       // a link ends where a smiley begins
        {L"go https://www.x.io", L"T(go )L(https://www.x.io)"},
        {L"HTTP://X WWW.Y", L"T(HTTP://X WWW.Y)"},   // prefixes are case-sensitive
        {L"www.a\tb", L"L(www.a)T(\tb)"},
        {L"http://", L"L(http://)"},
        {L":)http://x", L"S0(:))L(http://x)"},        // a prefix right after a smiley still starts a link
        {L"", L""},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(Runs(AddMessage(c.text)), c.runs) << testing::PrintToString(std::wstring(c.text));
}

TEST_F(ParserTest, LinksEndAtTheNextSmileyAtACommaOrABlankAndAPrefixInsideARunIsNoLink)
{
    const ParseCase cases[] = {
        {L"www.a www.b", L"L(www.a)T( )L(www.b)"},
        {L"www.a,www.b", L"L(www.a)T(,)L(www.b)"},
        {L"www.a:)www.b", L"L(www.a)S0(:))L(www.b)"},    // the smiley ends one link, the next begins after it
        {L"www.a:)b www.c", L"L(www.a)S0(:))T(b )L(www.c)"},
        {L"www.:)", L"T(www.)S0(:))"},                   // a prefix with no room before a smiley is no link
        {L"www.http://x", L"T(www.)L(http://x)"},         // nor one right before another link
        {L"http://www.x www.y", L"L(http://www.x)T( )L(www.y)"},  // a prefix inside a link is none of its own
        {L"https://http://x", L"T(https://)L(http://x)"},
        {L"www.www.a", L"L(www.www.a)"},
        {L"www.,a", L"L(www.)T(,a)"},
        {L"www.a\nwww.b", L"L(www.a)T(\r\n)L(www.b)"},
        {L"http://a www.b https://c www.d http://e",
         L"L(http://a)T( )L(www.b)T( )L(https://c)T( )L(www.d)T( )L(http://e)"},
        {L";)www.a:-)http://b;)", L"S2(;))L(www.a)S0(:-))L(http://b)S2(;))"},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(Runs(AddMessage(c.text)), c.runs) << testing::PrintToString(std::wstring(c.text));
}

TEST_F(ParserTest, PastTheAllowanceACodeIsTextThatALinkRunsThrough)
{
    skin.smiliesNumber = 2;
    EXPECT_EQ(Runs(AddMessage(L"www.a:) www.b:) www.c:) www.d:)")),
              L"L(www.a)S0(:))T( )L(www.b)S0(:))T( )L(www.c:))T( )L(www.d:))");
}

TEST_F(ParserTest, ThousandsOfLinksAndSmiliesInOneMessageEachEndWhereTheRulesSay)
{
    skin.smiliesNumber = 50;
    std::wstring text, runs;
    for (int i = 0; i < 3000; ++i) {
        const std::wstring n = std::to_wstring(i);
        switch (i % 3) {
        case 0:
            text += L"www." + n + L" ";
            runs += L"L(www." + n + L")T( )";
            break;
        case 1:
            text += L"http://" + n + L",";
            runs += L"L(http://" + n + L")T(,)";
            break;
        default:
            // Smilies up to the allowance end the link; past it the code is part of it.
            text += L"https://" + n + L";) ";
            runs += i < 150 ? L"L(https://" + n + L")S2(;))T( )" : L"L(https://" + n + L";))T( )";
            break;
        }
    }
    EXPECT_EQ(Runs(AddMessage(text.c_str())), runs);
}

TEST_F(ParserTest, ASmileyCodeInsideALinkPrefixKeepsTheLinkFromBeingOne)
{
    smilies.Add({L"w."});  // 4
    EXPECT_EQ(Runs(AddMessage(L"www.x")), L"T(ww)S4(w.)T(x)");
}

TEST_F(ParserTest, TheAllowanceCountsSmiliesInSetOrderNotTextOrder)
{
    skin.smiliesNumber = 2;
    EXPECT_EQ(Runs(AddMessage(L":) :) :)")), L"S0(:))T( )S0(:))T( :))");
    EXPECT_EQ(Runs(AddMessage(L";) :) :)")), L"T(;) )S0(:))T( )S0(:))");
}

TEST_F(ParserTest, SmileyCodesStayTextWithoutAnAllowance)
{
    skin.textSmilies = true;
    EXPECT_EQ(Runs(AddMessage(L"a :) b")), L"T(a :) b)");
    skin.textSmilies = false;
    skin.smiliesNumber = 0;
    EXPECT_EQ(Runs(AddMessage(L"a :) b")), L"T(a :) b)");
    skin.smiliesNumber = 10;
    ResetContent(240, 1);  // the history dialog's view
    CChatNode_Message* history = AddMessage(L"a :) b");
    EXPECT_EQ(Runs(history), L"T(a :) b)");
    EXPECT_EQ(history->GetText()->GetSmileyCount(), 0);
}

TEST_F(ParserTest, LoneLineFeedsBecomePairs)
{
    EXPECT_EQ(AddMessage(L"a\nb\r\nc\n")->GetText()->GetText(), L"a\r\nb\r\nc\r\n");
    EXPECT_EQ(AddMessage(L"\n\n")->GetText()->GetText(), L"\r\n\r\n");
}

TEST_F(ParserTest, EverySmileyRunHasItsControlInTextOrder)
{
    CChatMessageItem_Text* text = AddMessage(L";) x :)")->GetText();
    ASSERT_EQ(text->GetSmileyCount(), 2);
    EXPECT_EQ(text->GetSmiley(0)->GetSmileyIndex(), 2);
    EXPECT_EQ(text->GetSmiley(1)->GetSmileyIndex(), 0);
    EXPECT_EQ(GetParent(*text->GetSmiley(0)), view.GetViewWindow());
}

} // namespace
