// The chat over the program's skin manager and its default smilies set: the
// pictures come from the set's GIF files, and the skin manager's stop before
// a set goes stops the smiley animation.
#include "chat/ChatFixture.h"
#include "chat/QuietSkinHost.h"
#include "core/skins/AppSkinHost.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/AppChatSkin.h"
#include "messaging/GifAnimator.h"
#include "messaging/SmailyCtrl.h"

namespace {

TEST(AppChatSkin, ShowsTheSkinManagersSmiliesAndColours)
{
    CDensity density(96);
    CQuietSkinHost host;
    Skins::CSkinManagerImpl skins(nullptr, &host);  // the runnable tree's default skin and smilies
    CAppChatSkin skin(&skins);
    CChatSmilies* set = skin.GetSmilies();
    ASSERT_GT(set->GetCount(), 0);
    EXPECT_EQ(set->GetCode(0, 0), CJOVString(L":-)"));
    EXPECT_GT(set->GetWidth(0), 0);
    EXPECT_GE(set->GetFrameCount(0), 1);
    EXPECT_NE(set->GetFrameBitmap(0, 0), nullptr);
    EXPECT_EQ(set->GetFrameBitmap(0, set->GetFrameCount(0)), nullptr);
    EXPECT_EQ(skin.GetColor(CChatSkin::Link), skins.GetColors()[CChatSkin::Link]);
    EXPECT_FALSE(skin.GetTextSmilies());
    EXPECT_EQ(skin.GetSmiliesNumber(), 10);

    CFixedWidthMeasurer measurer;
    MessageWndSettings settings(nullptr, nullptr);
    CTestChatView view(240, 320, measurer, skin, settings);
    CChatContent content(&view, 0);
    RECT rect = {0, 0, 240, 0};
    content.Layout(rect);
    SMessage message;
    message.kind = SMessage::Incoming;
    message.subKind = 22;
    message.text = L"hi :-) there";
    content.AddEvent(&message);
    CChatMessageItem_Text* text = static_cast<CChatNode_Message*>(content.GetNode(0))->GetText();
    ASSERT_EQ(text->GetSmileyCount(), 1);
    EXPECT_EQ(text->GetSmiley(0)->GetSmileyWidth(), set->GetWidth(0));
}

TEST(AppChatSkin, TheSkinManagersStopBeforeASetGoesStopsTheAnimation)
{
    CGifAnimator animator;
    animator.Start();
    ASSERT_TRUE(animator.IsRunning());
    Skins::CAppSkinHost host;
    static_cast<Skins::CSkinManagerHost&>(host).StopSmileyAnimation();
    EXPECT_FALSE(animator.IsRunning());
}

} // namespace
