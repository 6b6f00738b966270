// A long message: the layout plans its lines, and a line's pieces are made
// only when something asks for them (a paint of the line, a selection or a
// search that reaches it, a tap on it, the caret). Pieces made late stand
// where the layout put their line, however it moved since. Characters are 6
// pixels wide, smilies 15 x 15.
#include <algorithm>

#include "chat/ChatFixture.h"
#include "messaging/SmailyCtrl.h"

namespace {

class LongMessageTest : public ChatTest {
protected:
    LongMessageTest() { smilies.Add({L":)"}); }

    static std::wstring Repeated(const std::wstring& piece, int count)
    {
        std::wstring text;
        for (int i = 0; i < count; ++i)
            text += piece;
        return text;
    }

    // Numbered words, so that every line's text is its own.
    static std::wstring Numbered(const wchar_t* word, int count)
    {
        std::wstring text;
        for (int i = 0; i < count; ++i)
            text += word + std::to_wstring(i) + L" ";
        return text;
    }

    static int MadeLines(CChatMessageItem_Text* text)
    {
        int made = 0;
        for (int i = 0; i < text->GetLineCount(); ++i)
            made += text->GetLine(i)->HasItems() ? 1 : 0;
        return made;
    }

    // Every piece's rectangle, line by line (making them all).
    static std::vector<RECT> PieceRects(CChatMessageItem_Text* text)
    {
        std::vector<RECT> rects;
        for (int i = 0; i < text->GetLineCount(); ++i) {
            CChatMessageTextLine* line = text->GetLine(i);
            rects.push_back(line->GetRect());
            for (int j = 0; j < line->GetItemCount(); ++j)
                rects.push_back(line->GetItem(j)->GetRect());
        }
        return rects;
    }
};

TEST_F(LongMessageTest, APaintMakesThePiecesOfTheLinesInViewAndOfTheLinesWithSmilies)
{
    CChatNode_Message* node = AddMessage((L":) " + Repeated(L"www.a ", 2000)).c_str());
    CChatMessageItem_Text* text = node->GetText();
    ASSERT_GT(text->GetLineCount(), 200);
    EXPECT_EQ(MadeLines(text), 0);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 240, 320);
    HGDIOBJ old = SelectObject(memory, bitmap);
    CJOVDrawContext context(memory);
    const int end = content->GetRect().bottom - 320;
    content->Draw(&context, end);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    int inView = 0;
    for (int i = 0; i < text->GetLineCount(); ++i) {
        CChatMessageTextLine* line = text->GetLine(i);
        const RECT& rect = line->GetRect();
        const bool shown = rect.bottom >= end && rect.top <= end + 320;
        inView += shown ? 1 : 0;
        EXPECT_EQ(line->HasItems(), shown || i == 0) << "line " << i;
    }
    EXPECT_GT(inView, 15);
    EXPECT_LT(inView, 30);
    // The smiley's control follows its line far above the view.
    CChatMessageTextLineItem* smiley = text->GetLine(0)->GetItem(0);
    ASSERT_EQ(smiley->GetType(), ChatItemSmaily);
    RECT placed;
    GetWindowRect(*text->GetSmiley(0), &placed);
    MapWindowPoints(nullptr, view.GetViewWindow(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.top, smiley->GetRect().top - end + 1);
    // The last line's pieces: links and blanks side by side, standing on the line's bottom.
    CChatMessageTextLine* last = text->GetLine(text->GetLineCount() - 1);
    ASSERT_GT(last->GetItemCount(), 1);
    for (int j = 0; j < last->GetItemCount(); ++j) {
        CChatMessageTextLineItem* item = last->GetItem(j);
        EXPECT_EQ(item->GetType(), j % 2 ? ChatItemString : ChatItemLink) << j;
        EXPECT_EQ(std::wstring(item->GetText() + item->GetStart(), item->GetLength()), j % 2 ? L" " : L"www.a") << j;
        EXPECT_EQ(item->GetRect().bottom, last->GetRect().bottom) << j;
        EXPECT_EQ(item->GetRect().left, j == 0 ? 0 : last->GetItem(j - 1)->GetRect().right) << j;
    }
}

TEST_F(LongMessageTest, PiecesMadeAfterTheirLineMovedStandWhereALayoutPutsThem)
{
    skin.smiliesNumber = 3;
    CChatNode_Message* older = AddMessage(L"a :)\nb :)\nc :)");  // lines 16 high with a picture, 14 without
    CChatNode_Message* node = AddMessage(Numbered(L"word", 300).c_str());
    CChatMessageItem_Text* text = node->GetText();
    const int top = node->GetRect().top;
    AddMessage(L":)");  // the older message keeps two pictures: one of its lines is lower by 2
    EXPECT_EQ(older->GetText()->GetSmileyCount(), 2);
    EXPECT_EQ(node->GetRect().top, top - 2);
    EXPECT_EQ(MadeLines(text), 0);
    const std::vector<RECT> moved = PieceRects(text);
    Relayout(240);
    EXPECT_EQ(MadeLines(text), 0);
    EXPECT_EQ(PieceRects(text), moved);

    // A first line beside the head, moved onto the head's row (2..14) when
    // laid out, has its pieces there: the smiley 16 high, the text 14, on the
    // line's bottom.
    ResetContent(240);
    CChatMessageItem_Text* beside = AddMessage((L":) " + Numbered(L"w", 100)).c_str())->GetText();
    CChatMessageTextLine* line = beside->GetLine(0);
    EXPECT_FALSE(line->HasItems());
    EXPECT_EQ(line->GetRect(), (RECT{56, 2, 240, 18}));
    ASSERT_EQ(line->GetItemCount(), 2);
    EXPECT_EQ(line->GetItem(0)->GetRect(), (RECT{56, 2, 73, 18}));
    const RECT& words = line->GetItem(1)->GetRect();
    EXPECT_EQ(words, (RECT{73, 4, 73 + 6 * line->GetItem(1)->GetLength(), 18}));
}

TEST_F(LongMessageTest, ASelectionASearchAndATapMakeOnlyTheLinesTheyReach)
{
    SetFlags(1, 0, 1);
    CChatNode_Message* node = AddMessage(Numbered(L"www.x", 1000).c_str());
    CChatMessageItem_Text* text = node->GetText();
    ASSERT_GT(text->GetLineCount(), 100);
    CViewDrawContext context(&view);

    // Lines 30 to 32 whole.
    const RECT& from = text->GetLine(30)->GetRect();
    const RECT& to = text->GetLine(32)->GetRect();
    content->Select({0, from.top + 1}, {239, to.bottom - 1}, &context);
    const int first = text->GetLine(30)->GetTextStart(), after = text->GetLine(33)->GetTextStart();
    EXPECT_EQ(Selected(*content), text->GetText().substr(first, after - first));
    EXPECT_EQ(MadeLines(text), 3);
    content->ClearSelection();
    EXPECT_EQ(Selected(*content), L"");
    EXPECT_EQ(MadeLines(text), 3);

    // A hit makes its line.
    const int hit = static_cast<int>(text->GetText().find(L"www.x777 "));
    int hitLine = text->GetLineCount() - 1;
    while (text->GetLine(hitLine)->GetTextStart() > hit)
        --hitLine;
    EXPECT_EQ(Find(L"www.x777 "), text->GetLine(hitLine)->GetRect().top);
    EXPECT_EQ(Selected(*content), L"www.x777 ");
    EXPECT_EQ(MadeLines(text), 4);

    // A tap on a link makes the tapped line only, and opens the link.
    CChatMessageTextLine* tapped = text->GetLine(90);
    const int start = tapped->GetTextStart();
    const std::wstring link = text->GetText().substr(start, text->GetText().find(L' ', start) - start);
    EXPECT_EQ(content->OnClick({1, tapped->GetRect().bottom - 1}), 1);
    EXPECT_EQ(view.links, std::vector<std::wstring>{L"http://" + link});
    EXPECT_EQ(MadeLines(text), 5);

    // So does the caret.
    const RECT& caretLine = text->GetLine(95)->GetRect();
    EXPECT_EQ(content->SetCaretFromPoint({0, caretLine.top + 2}, &context), (POINT{0, caretLine.top}));
    EXPECT_EQ(MadeLines(text), 6);
}

TEST_F(LongMessageTest, ALayoutAtNoWidthReservesForTheTextsCharactersNotItsPixels)
{
    // 5,000 characters 60 pixels wide: at a width of nothing a line each, not
    // 60 lines each, and the next layout keeps what the first one took.
    measurer.SetWidth(L'm', 60);
    CChatMessageItem_Text* text = AddMessage(Repeated(L"m", 5000).c_str())->GetText();
    Relayout(0);
    EXPECT_EQ(text->GetLineCount(), 5000);
    Relayout(240);
    const size_t perLine = CChatItemArena::Footprint(sizeof(CChatMessageTextLine)) + 2 * CChatItemArena::kAlign;
    EXPECT_LT(text->GetLinesCapacity(), 2 * 5000 * perLine);
}

TEST_F(LongMessageTest, AMessageOfManyLinksIsAddedInTheTimeOfOneOfWordsAsLong)
{
    // Its cost grew with the square of its links: 20,000 took some 60 times
    // as long as words; now about twice. The best of three of each.
    const std::wstring links = Repeated(L"www.a ", 20000);
    const std::wstring words = Repeated(L"tree ", 24000);
    ASSERT_EQ(links.size(), words.size());
    auto best = [this](const std::wstring& text) {
        double fastest = 1e9;
        for (int run = 0; run < 3; ++run) {
            LARGE_INTEGER frequency, start, end;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&start);
            AddMessage(text.c_str());
            QueryPerformanceCounter(&end);
            fastest = std::min(fastest, double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
        }
        return fastest;
    };
    const double wordsTime = best(words);
    const double linksTime = best(links);
    EXPECT_LT(linksTime, 8 * wordsTime) << linksTime << " s against " << wordsTime << " s";
}

} // namespace
