// Text as the program paints it, with the platform's measure and the fonts
// it makes from its settings, at both densities: each piece's letters end
// where the layout put its last one, so that a link's underline ends with
// its letters and the blank after a piece stays blank, whatever advances
// the font itself would draw with.
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "chat/ChatFixture.h"
#include "messaging/ChatNode_Service.h"
#include "messaging/MessageWndSettings.h"
#include "chat/Screenshot.h"

namespace {

class CPaintedChat {
public:
    explicit CPaintedChat(int dpi) : density(dpi)
    {
        settings = std::make_unique<MessageWndSettings>(nullptr, nullptr);
        settings->SetChatFlags({1, 1, 0});
        width = HIDPI_ScaleX(240);
        height = HIDPI_ScaleY(320);
        view = std::make_unique<CTestChatView>(width, height, measurer, skin, *settings);
        content = std::make_unique<CChatContent>(view.get(), 0);
        RECT rect = {0, 0, width, 0};
        content->Layout(rect);
    }

    CChatNode_Message* Add(const wchar_t* text)
    {
        SMessage message;
        message.kind = SMessage::Incoming;
        message.subKind = 22;
        message.nick = L"Bob";
        message.time = L"(12:00)";
        message.text = text;
        content->AddEvent(&message);
        return static_cast<CChatNode_Message*>(content->GetNode(content->GetNodeCount() - 1));
    }

    CChatNode_Service* AddService(const wchar_t* first, const wchar_t* second)
    {
        SMessage message;
        message.kind = SMessage::Service;
        message.subKind = 11;
        message.nick = first;
        message.time = second;
        content->AddEvent(&message);
        return static_cast<CChatNode_Service*>(content->GetNode(content->GetNodeCount() - 1));
    }

    // The content painted on white.
    void Paint() { pixels = PaintOffScreen(*content, width, height, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))); }

    bool Ink(int x, int y) const
    {
        return x >= 0 && x < width && y >= 0 && y < height && (pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF;
    }

    // Where the piece's letters should end: its left edge plus the measured
    // width of its text up to its last letter (blanks after it left out).
    // -1 when the piece holds no letter.
    int LettersEnd(CChatMessageTextLineItem* piece, HFONT font) const
    {
        // Line breaks take no room.
        std::wstring text;
        for (int i = 0; i < piece->GetLength(); ++i) {
            const wchar_t c = piece->GetText()[piece->GetStart() + i];
            if (c != L'\r' && c != L'\n')
                text += c;
        }
        while (!text.empty() && std::iswspace(text.back()))
            text.pop_back();
        if (text.empty())
            return -1;
        const int count = static_cast<int>(text.size());
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, font);
        std::vector<int> widths;
        CGdiTextMeasurer gdi;
        MeasurePrefixes(gdi, screen, text.c_str(), count, widths);
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
        return piece->GetRect().left + widths[count];
    }

    // The piece's last letter ends within a pixel or two of where the layout
    // put it: nothing of it stands more than a pixel into the blank after
    // it (a glyph may touch that pixel), and it falls short by no more than
    // the room a letter leaves at its side.
    void ExpectLettersEndInPlace(CChatMessageTextLineItem* piece, HFONT font) const
    {
        const int end = LettersEnd(piece, font);
        if (end < 0)
            return;
        const RECT& box = piece->GetRect();
        // The underline's row is left out: it is drawn over the box.
        const int bottom = box.bottom - HIDPI_ScaleY(1);
        int last = -1;
        for (int x = box.left; x < end + HIDPI_ScaleX(3); ++x) {
            for (int y = box.top; y < bottom; ++y) {
                if (Ink(x, y)) {
                    last = x;
                    break;
                }
            }
        }
        const std::wstring text(piece->GetText() + piece->GetStart(), piece->GetLength());
        EXPECT_LE(last, end) << "\"" << Narrow(text) << "\" " << box << " drawn past its last letter";
        EXPECT_GE(last, end - 1 - HIDPI_ScaleX(2)) << "\"" << Narrow(text) << "\" " << box << " drawn short";
    }

    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

    CDensity density;
    CGdiTextMeasurer measurer;
    CFakeSmilies smilies;
    CFakeSkin skin{&smilies};
    std::unique_ptr<MessageWndSettings> settings;
    int width = 0;
    int height = 0;
    std::unique_ptr<CTestChatView> view;
    std::unique_ptr<CChatContent> content;
    std::vector<DWORD> pixels;
};

TEST(PaintedText, EveryPiecesLettersEndWhereTheLayoutPutThemAtBothDensities)
{
    for (int dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        CPaintedChat chat(dpi);
        std::vector<CChatNode_Message*> messages = {
            chat.Add(L"www.a www.a www.a www.a"),
            chat.Add(L"www.awww.awww.awww.a"),
            chat.Add(L"see http://example.com/page for details"),
            chat.Add(L"http://a.b c d"),
        };
        CChatNode_Service* service = chat.AddService(L"Alice is away", L" (09:20)");
        chat.Paint();

        const MessageWndSettings& settings = *chat.settings;
        int links = 0;
        for (CChatNode_Message* message : messages) {
            CChatMessageItem_Head* head = message->GetHead();
            for (int i = 0; i < head->GetRunCount(); ++i)
                chat.ExpectLettersEndInPlace(head->GetRun(i), settings.GetFont(i < head->GetNickRunCount()
                                                                                   ? MessageWndSettings::HeadFont
                                                                                   : MessageWndSettings::SubheadFont));
            CChatMessageItem_Text* text = message->GetText();
            for (int i = 0; i < text->GetLineCount(); ++i) {
                CChatMessageTextLine* line = text->GetLine(i);
                for (int j = 0; j < line->GetItemCount(); ++j) {
                    links += line->GetItem(j)->GetType() == ChatItemLink ? 1 : 0;
                    chat.ExpectLettersEndInPlace(line->GetItem(j), settings.GetFont(MessageWndSettings::TextFont));
                }
            }
        }
        EXPECT_EQ(links, 7);
        for (int i = 0; i < service->GetPieceCount(); ++i)
            chat.ExpectLettersEndInPlace(service->GetPiece(i),
                                         settings.GetFont(i < service->GetFirstTextPieceCount()
                                                              ? MessageWndSettings::HeadFont
                                                              : MessageWndSettings::SubheadFont));
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
    chat.ExpectLettersEndInPlace(line->GetItem(0), chat.settings->GetFont(MessageWndSettings::TextFont));
    int below = 0;
    for (int y = message->GetRect().bottom; y < chat.height; ++y) {
        for (int x = 0; x < chat.width; ++x)
            below += chat.Ink(x, y) ? 1 : 0;
    }
    EXPECT_EQ(below, 0);
}

} // namespace
