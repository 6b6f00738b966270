// Messages, warnings and status notices as bubble HTML, and what a reader of
// the bubble then sees.
#include <gtest/gtest.h>

#include "BubbleLayout.h"
#include "core/notify/BubbleHtml.h"
#include "notify/NotifyFixture.h"

namespace {

BubbleSmiley Smiley(std::vector<const wchar_t*> codes, const wchar_t* path)
{
    BubbleSmiley smiley;
    for (const wchar_t* code : codes)
        smiley.codes.push_back(CJOVString(code));
    smiley.imagePath = CJOVString(path);
    return smiley;
}

std::wstring Html(const wchar_t* text, const std::vector<BubbleSmiley>& smilies = {})
{
    return Str(TextToBubbleHtml(CJOVString(text), smilies));
}

const wchar_t kSmileTag[] = L"<img src=\"file:\\\\C:\\Smilies\\smile.gif\" style=\"vertical-align:middle\" border=\"0\" />";

} // namespace

TEST(BubbleText, LineBreaksAndSmiliesBecomeMarkup)
{
    std::vector<BubbleSmiley> smilies = {Smiley({L":)", L":-)"}, L"C:\\Smilies\\smile.gif")};
    EXPECT_EQ(Html(L"hi :)\r\nbye :-)", smilies),
              std::wstring(L"hi ") + kSmileTag + L"<br>bye " + kSmileTag);
    EXPECT_EQ(Html(L"a\nb\rc"), L"a\nb\rc") << "only CR LF is a line break";
}

TEST(BubbleText, AtMostFiveSmiliesBecomeImages)
{
    std::vector<BubbleSmiley> smilies = {Smiley({L":)"}, L"C:\\Smilies\\smile.gif")};
    std::wstring html = Html(L":):):):):):)", smilies);
    std::wstring five;
    for (int i = 0; i < 5; ++i)
        five += kSmileTag;
    EXPECT_EQ(html, five + L":)");
}

TEST(BubbleText, SmiliesAreFoundInTheTextNotInTheMarkupMadeOfIt)
{
    // Codes that look like markup or entities, a code that is part of the
    // image tag, and an empty code.
    std::vector<BubbleSmiley> smilies = {Smiley({L""}, L"C:\\empty.gif"),
                                         Smiley({L"<3"}, L"C:\\Smilies\\heart.gif"),
                                         Smiley({L"border"}, L"C:\\Smilies\\border.gif"),
                                         Smiley({L"&gt;"}, L"C:\\Smilies\\gt.gif")};
    std::wstring html = Html(L"I <3 you > me", smilies);
    EXPECT_EQ(html, L"I <img src=\"file:\\\\C:\\Smilies\\heart.gif\" style=\"vertical-align:middle\" border=\"0\" /> "
                    L"you &gt; me");
    EXPECT_EQ(Platform::BubbleHtmlText(html), L"I [img] you > me");
    EXPECT_EQ(Html(L"no smilies here", smilies), L"no smilies here");
}

TEST(BubbleText, TheFirstSmileyOfTheSetWinsAtAPlace)
{
    std::vector<BubbleSmiley> smilies = {Smiley({L":-"}, L"C:\\a.gif"), Smiley({L":-)"}, L"C:\\b.gif")};
    std::wstring html = Html(L":-)", smilies);
    EXPECT_EQ(html.find(L"a.gif"), 20u) << html;
    EXPECT_EQ(html.substr(html.size() - 1), L")");
}

TEST(BubbleText, HostileTextsShowAsTheyStand)
{
    const wchar_t* texts[] = {L"<b>bold</b> & <center>x</center>", L"&amp; &lt; &quot; \"quoted\"",
                              L"<img src=\"file:\\\\C:\\evil.gif\">", L"<font color=\"#FF0000\">red", L"<",
                              L"a < b > c", L"<!-- comment -->"};
    for (const wchar_t* text : texts) {
        SCOPED_TRACE(testing::Message() << Str(CJOVString(text)).size());
        std::wstring html = Html(text);
        EXPECT_EQ(html.find_first_of(L"<>\""), std::wstring::npos);
        EXPECT_EQ(Platform::BubbleHtmlText(html), text);
        EXPECT_EQ(Platform::BubbleHtmlText(Str(PlainTextToBubbleHtml(CJOVString(text)))), text);
    }
    // A smiley's path is part of an attribute: its quote cannot end it.
    std::vector<BubbleSmiley> smilies = {Smiley({L":)"}, L"C:\\x\" onload=\"y.gif")};
    std::wstring html = Html(L":)", smilies);
    EXPECT_NE(html.find(L"x&quot; onload=&quot;y.gif"), std::wstring::npos);
    std::vector<Platform::BubbleRun> runs = Platform::ParseBubbleHtml(html);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].kind, Platform::BubbleRun::Image);
}

TEST(BubbleText, AStatusNoticeCentresItsLinesAndColoursTheStatus)
{
    std::wstring online = Str(StatusBubbleHtml(CJOVString(L"Al & Co"), CJOVString(L"Online"), true,
                                               CJOVString(L"ICQ"), CJOVString(L"<42>")));
    EXPECT_EQ(online, L"<center><B>[ Al &amp; Co ]</B></center><center><font color=\"#000088\"><B>Online</B></font>"
                      L"</center><br><center>ICQ &lt;42&gt;</center>");
    std::vector<Platform::BubbleRun> runs = Platform::ParseBubbleHtml(online);
    std::vector<Platform::BubbleRun> texts;
    for (const Platform::BubbleRun& run : runs) {
        if (run.kind == Platform::BubbleRun::Text)
            texts.push_back(run);
    }
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_TRUE(texts[0].bold && texts[0].centered);
    EXPECT_EQ(texts[1].text, L"Online");
    EXPECT_EQ(texts[1].color, RGB(0, 0, 0x88));
    EXPECT_TRUE(texts[1].bold);
    EXPECT_FALSE(texts[2].bold) << "bold ends with its tag";
    EXPECT_EQ(texts[2].color, RGB(0, 0, 0)) << "and the colour with its font";
    EXPECT_TRUE(texts[2].centered);
    std::wstring offline = Str(StatusBubbleHtml(CJOVString(L"x"), CJOVString(L"Offline"), false, CJOVString(L"p"),
                                                CJOVString(L"a")));
    EXPECT_NE(offline.find(L"<font color=\"#880000\">"), std::wstring::npos);
}

TEST(BubbleText, TheMarkupReaderKeepsToItsSubset)
{
    std::vector<Platform::BubbleRun> runs =
        Platform::ParseBubbleHtml(L"<p>a</p><B>b<b>c</b>d</B>e<font color=#00ff00>f</font><unknown x>g"
                                  L"<img src='file:///C:/pic.png'><img src=\"C:\\raw.bmp\"/><img>&amp;&nbsp;");
    std::wstring text;
    for (const Platform::BubbleRun& run : runs)
        text += (run.kind == Platform::BubbleRun::Image ? L"[" + run.text + L"]" : run.text) + L"|";
    EXPECT_EQ(text, L"a|b|c|d|e|f|g|[C:/pic.png]|[C:\\raw.bmp]|&&nbsp;|");
    EXPECT_TRUE(runs[1].bold && runs[3].bold && !runs[4].bold) << "bold nests";
    EXPECT_EQ(runs[5].color, RGB(0, 0xFF, 0));
    EXPECT_EQ(Platform::BubbleHtmlText(L"a<br>b<br><br>c"), L"a\nb\n\nc");
    EXPECT_EQ(Platform::BubbleHtmlText(L"x < y"), L"x < y") << "a lone < is text";
}
