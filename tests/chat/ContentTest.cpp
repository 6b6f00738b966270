// The content as a whole: nodes stacked with their gaps, the kinds of
// entries, the history separator, painting only what the view shows, and a
// picture of a chat kept for the eye.
#include "chat/ChatFixture.h"
#include "chat/QuietSkinHost.h"
#include "chat/Screenshot.h"
#include "messaging/ChatNode_Service.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/AppChatSkin.h"
#include "messaging/GifAnimator.h"

namespace {

class ContentTest : public ChatTest {};

TEST_F(ContentTest, NodesStackWithAThreePixelGapAndNoneAroundThem)
{
    AddMessage(L"one");
    AddEntry(SMessage::Service, L"Bob is online", L"", 40);
    AddEntry(SMessage::HistorySeparator);
    AddEntry(7, L"an unknown kind adds nothing");
    AddMessage(L"two\nlines", L"I", L"(1)", SMessage::Outgoing);
    ASSERT_EQ(content->GetNodeCount(), 4);
    EXPECT_EQ(content->GetNode(0)->GetRect().top, 0);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(content->GetNode(i)->GetRect().top, content->GetNode(i - 1)->GetRect().bottom + 3) << i;
    EXPECT_EQ(content->GetRect().bottom, content->GetNode(3)->GetRect().bottom);
    // A history separator is a line 1 pixel high, 10 pixels in from each side.
    const RECT& separator = content->GetNode(2)->GetRect();
    EXPECT_EQ(separator.left, 10);
    EXPECT_EQ(separator.right, 230);
    EXPECT_EQ(separator.bottom - separator.top, 1);

    // The same stack again after a full layout at another width.
    std::vector<RECT> before;
    for (int i = 0; i < 4; ++i)
        before.push_back(content->GetNode(i)->GetRect());
    Relayout(200);
    Relayout(240);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(content->GetNode(i)->GetRect(), before[i]) << i;
}

TEST_F(ContentTest, AServiceLinesImageIsSelectedAndCopiedLikeAnIcon)
{
    AddMessage(L"hi");
    AddEntry(SMessage::Service, L"Bob is away", L" (12:01)", 11);
    const RECT& service = content->GetNode(1)->GetRect();
    CViewDrawContext context(&view);
    content->Select({0, service.top - 1}, {239, service.bottom + 5}, &context);
    EXPECT_TRUE(static_cast<CChatNode_Service*>(content->GetNode(1))->IsImageSelected());
    EXPECT_EQ(Selected(*content), L" Bob is away (12:01)");
    content->Select({20, 8}, {239, service.bottom + 5}, &context);
    EXPECT_EQ(Selected(*content), L"Bob : hi\r\n\r\n Bob is away (12:01)");
}

TEST_F(ContentTest, PaintsOnlyTheNodesThatMeetTheView)
{
    for (int i = 0; i < 200; ++i)
        AddMessage(L"a message of a few words to fill a line or two");
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 240, 320);
    HGDIOBJ old = SelectObject(memory, bitmap);
    CJOVDrawContext context(memory);
    content->Draw(&context, 0);
    size_t top = skin.images.size();
    EXPECT_GT(top, 5u);
    EXPECT_LT(top, 20u);
    EXPECT_EQ(skin.images.front().rect.top, 0);
    skin.images.clear();
    int end = content->GetRect().bottom - 320;
    content->Draw(&context, end);
    EXPECT_EQ(skin.images.size(), top);
    EXPECT_EQ(skin.images.back().rect.top, content->GetNode(199)->GetRect().top - end);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// With the platform's measuring and fonts, the default skin and smilies, at
// the screen's own density.
TEST(ChatPicture, AConversationAsTheUserSeesIt)
{
    CGdiTextMeasurer measurer;
    CQuietSkinHost host;
    Skins::CSkinManagerImpl skins(nullptr, &host);
    CAppChatSkin skin(&skins);
    MessageWndSettings settings(nullptr, nullptr);
    settings.SetChatFlags({1, 1, 0});
    int width = HIDPI_ScaleX(240), height = HIDPI_ScaleY(320);
    CTestChatView view(width, height, measurer, skin, settings);
    CGifAnimator animator;
    CChatContent content(&view, 0);
    RECT rect = {3, 1, width - 3, 1};
    content.Layout(rect);
    auto add = [&](unsigned kind, int subKind, const wchar_t* nick, const wchar_t* time, const wchar_t* text) {
        SMessage message;
        message.kind = kind;
        message.subKind = subKind;
        message.nick = nick;
        message.time = time;
        message.text = text;
        content.AddEvent(&message);
    };
    add(SMessage::Incoming, 22, L"Alice", L"(09:12)", L"Hi! Did you see www.example.org/news today?");
    add(SMessage::HistorySeparator, 0, L"", L"", L"");
    add(SMessage::Outgoing, 23, L"I", L"(09:13)", L"Yes :-) the second part\nis on a line of its own ;-)");
    add(SMessage::Service, 11, L"Alice is away", L" (09:20)", L"");
    add(SMessage::Incoming, 22, L"Alice with a rather long nick", L"(09:31)",
        L"Supercalifragilisticexpialidocious-words-wrap-too");
    {
        CViewDrawContext context(&view);
        content.Find(L"second part", {0, 0}, &context);
    }
    view.content = &content;
    RedrawWindow(view.GetViewWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessagesFor(100);
    EXPECT_TRUE(SaveWindowPicture(view.GetViewWindow(), L"chat-content"));
    view.content = nullptr;
}

} // namespace
