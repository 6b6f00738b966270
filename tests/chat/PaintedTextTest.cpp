// Text as the program paints it, with the platform's measure, the default
// skin and the fonts it makes from its settings, at both densities: each
// piece's letters end where the layout put its last one, so that a link's
// underline ends with its letters and the blank after a piece stays blank,
// whatever advances the font itself would draw with. Keeps the pictures.
#include <cwctype>
#include <string>
#include <vector>

#include "chat/ChatFixture.h"
#include "chat/QuietSkinHost.h"
#include "chat/Screenshot.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/AppChatSkin.h"
#include "messaging/ChatNode_Service.h"

namespace {

class CPaintedChat {
public:
    explicit CPaintedChat(int dpi) : density(dpi)
    {
        settings.SetChatFlags({1, 1, 0});
        RECT rect = {0, 0, width, 0};
        content.Layout(rect);
    }

    CChatNode* Add(unsigned kind, const wchar_t* nick, const wchar_t* time, const wchar_t* text = L"")
    {
        SMessage message;
        message.kind = kind;
        message.subKind = kind == SMessage::Service ? 11 : 22;
        message.nick = nick;
        message.time = time;
        message.text = text;
        content.AddEvent(&message);
        return content.GetNode(content.GetNodeCount() - 1);
    }
    CChatNode_Message* Add(const wchar_t* text)
    {
        return static_cast<CChatNode_Message*>(Add(SMessage::Incoming, L"Bob", L"(12:00)", text));
    }

    // On white, where every other pixel is ink.
    void Paint() { pixels = PaintOffScreen(content, width, height, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))); }
    bool Ink(int x, int y) const { return (pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF; }

    // The piece's last letter ends where the layout put it, within a pixel
    // (a glyph may touch the one after its box) or the room a letter leaves
    // at its side: where its text up to that letter measures, line breaks
    // taking no room.
    void ExpectLettersEndInPlace(CChatMessageTextLineItem* piece, MessageWndSettings::Font font)
    {
        std::wstring text;
        for (int i = 0; i < piece->GetLength(); ++i) {
            const wchar_t c = piece->GetText()[piece->GetStart() + i];
            if (c != L'\r' && c != L'\n')
                text += c;
        }
        while (!text.empty() && std::iswspace(text.back()))
            text.pop_back();
        if (text.empty())
            return;
        std::vector<int> widths;
        {
            CViewMeasureContext context(&view, settings.GetFont(font));
            MeasurePrefixes(measurer, context.hDC, text.c_str(), static_cast<int>(text.size()), widths);
        }
        const RECT& box = piece->GetRect();
        const int end = box.left + widths.back();
        int last = -1;
        // The underline's row is left out: it is drawn under the whole box.
        for (int x = box.left; x < end + HIDPI_ScaleX(3); ++x) {
            for (int y = box.top; y < box.bottom - HIDPI_ScaleY(1); ++y)
                last = Ink(x, y) ? x : last;
        }
        const std::string narrow(text.begin(), text.end());
        EXPECT_LE(last, end) << "\"" << narrow << "\" " << box << " drawn past its last letter";
        EXPECT_GE(last, end - 1 - HIDPI_ScaleX(2)) << "\"" << narrow << "\" " << box << " drawn short";
    }

    CDensity density;
    CGdiTextMeasurer measurer;
    CQuietSkinHost host;
    Skins::CSkinManagerImpl skins{nullptr, &host};
    CAppChatSkin skin{&skins};
    MessageWndSettings settings{nullptr, nullptr};
    int width = HIDPI_ScaleX(240);
    int height = HIDPI_ScaleY(320);
    CTestChatView view{width, height, measurer, skin, settings};
    CChatContent content{&view, 0};
    std::vector<DWORD> pixels;
};

TEST(PaintedText, EveryPiecesLettersEndWhereTheLayoutPutThemAtBothDensities)
{
    for (int dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        CPaintedChat chat(dpi);
        const std::vector<CChatNode_Message*> messages = {
            chat.Add(L"www.a www.a www.a www.a"),
            chat.Add(L"www.awww.awww.awww.a"),
            chat.Add(L"see http://example.com/page for details"),
            chat.Add(L"http://a.b c d"),
        };
        auto* service = static_cast<CChatNode_Service*>(chat.Add(SMessage::Service, L"Alice is away", L" (09:20)"));
        chat.Paint();

        int links = 0;
        for (CChatNode_Message* message : messages) {
            CChatMessageItem_Head* head = message->GetHead();
            for (int i = 0; i < head->GetRunCount(); ++i)
                chat.ExpectLettersEndInPlace(head->GetRun(i), i < head->GetNickRunCount()
                                                                  ? MessageWndSettings::HeadFont
                                                                  : MessageWndSettings::SubheadFont);
            CChatMessageItem_Text* text = message->GetText();
            for (int i = 0; i < text->GetLineCount(); ++i) {
                for (int j = 0; j < text->GetLine(i)->GetItemCount(); ++j) {
                    CChatMessageTextLineItem* piece = text->GetLine(i)->GetItem(j);
                    links += piece->GetType() == ChatItemLink ? 1 : 0;
                    chat.ExpectLettersEndInPlace(piece, MessageWndSettings::TextFont);
                }
            }
        }
        EXPECT_EQ(links, 7);
        for (int i = 0; i < service->GetPieceCount(); ++i)
            chat.ExpectLettersEndInPlace(service->GetPiece(i), i < service->GetFirstTextPieceCount()
                                                                   ? MessageWndSettings::HeadFont
                                                                   : MessageWndSettings::SubheadFont);
        EXPECT_TRUE(SavePicture(PaintOffScreen(chat.content, chat.width, chat.height, chat.skin.GetBackgroundBrush(0)),
                                chat.width, chat.height, L"chat-links"));
    }
}

// A lone carriage return (a contact's client may send one) takes no room and
// ends no line: the letters after it go on on its row, not over the next.
TEST(PaintedText, ALoneCarriageReturnIsDrawnAsNothing)
{
    CPaintedChat chat(96);
    CChatNode_Message* message = chat.Add(L"one\rtwo three");
    chat.Paint();
    CChatMessageTextLine* line = message->GetText()->GetLine(0);
    ASSERT_EQ(line->GetItemCount(), 1);
    chat.ExpectLettersEndInPlace(line->GetItem(0), MessageWndSettings::TextFont);
    int below = 0;
    for (int y = message->GetRect().bottom; y < chat.height; ++y) {
        for (int x = 0; x < chat.width; ++x)
            below += chat.Ink(x, y) ? 1 : 0;
    }
    EXPECT_EQ(below, 0);
}

} // namespace
