// Smilies sets: the "_define.ini" lines, which GIF each line gets, the
// animation frames composed from the GIF's disposal methods, and a set that
// is replaced while its threads still run.
#include <gtest/gtest.h>

#include <memory>

#include "core/skins/SmiliesDefinition.h"
#include "core/skins/SmiliesPack.h"
#include "skins/SkinsTestSupport.h"

namespace {

std::vector<std::vector<std::wstring>> Parse(const std::string& text)
{
    SmiliesCodes parsed = ParseSmiliesDefinition(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    std::vector<std::vector<std::wstring>> out;
    for (auto& line : parsed) {
        out.emplace_back();
        for (auto& code : line)
            out.back().push_back(W(code));
    }
    return out;
}

typedef std::vector<std::vector<std::wstring>> Lines;

// A one-frame 1x1 GIF of that colour.
Bytes Dot(COLORREF colour)
{
    CGifWriter gif(1, 1);
    gif.GlobalTable(1, {colour, RGB(0, 0, 0)});
    gif.Image(CGifWriter::At(0, 0, 1, 1), {0});
    return gif.Finish();
}

class SmiliesTest : public testing::Test {
protected:
    std::unique_ptr<CSmiliesPack> Loaded(const wchar_t* set = L"Set")
    {
        auto pack = std::make_unique<CSmiliesPack>(CJOVString(set), tree.RootString());
        pack->WaitLoaded();
        EXPECT_TRUE(pack->IsLoaded());
        return pack;
    }
    void Define(const std::string& text) { tree.Write(L"Smilies\\Set\\_define.ini", text); }
    void Gif(const wchar_t* name, const Bytes& bytes) { tree.Write(std::wstring(L"Smilies\\Set\\") + name, bytes); }
    std::wstring FileOf(CSmaily* smaily) const
    {
        std::wstring path = W(smaily->GetPath());
        return path.substr(path.find_last_of(L'\\') + 1);
    }
    CTempTree tree;
};

} // namespace

TEST(SmiliesDefinition, LinesAndCodes)
{
    EXPECT_EQ(Parse(":-),:)\r\n;-)\r\n"), (Lines{{L":-)", L":)"}, {L";-)"}}));
    EXPECT_EQ(Parse(":-)\n:-("), (Lines{{L":-)"}, {L":-("}})) << "the last line needs no line feed";
    EXPECT_EQ(Parse(""), Lines{});
    // Empty codes would match everywhere: dropped, but the line keeps its place.
    EXPECT_EQ(Parse(",:-P,,\n\n:-D,\n"), (Lines{{L":-P"}, {}, {L":-D"}}));
    // Carriage returns anywhere are skipped; a long code stays whole.
    EXPECT_EQ(Parse(":-\r)\r"), (Lines{{L":-)"}}));
    const std::string longCode(25, 'x');
    EXPECT_EQ(Parse(longCode + ",y"), (Lines{{std::wstring(25, L'x'), L"y"}}));
    // Bytes above 127 become the code units of the same value.
    EXPECT_EQ(Parse("\xE9\xFF"), (Lines{{L"\x00E9\x00FF"}}));
}

TEST(SmiliesDefinition, NulBytesOfADamagedFileAreSkippedLikeCarriageReturns)
{
    // A code of NULs alone is empty (it would match everywhere); one with a
    // NUL inside is not cut short at it (":" alone would take every colon).
    EXPECT_EQ(Parse(std::string("\0,:\0-)\n\0\0\n", 10)), (Lines{{L":-)"}, {}}));
}

TEST_F(SmiliesTest, LineKTakesTheKthGifInNameOrder)
{
    Define(":-),:)\r\n;-)\r\n");
    Gif(L"b.gif", Dot(RGB(0, 0, 255)));
    Gif(L"a.gif", Dot(RGB(255, 0, 0)));
    Gif(L"notes.txt", Bytes{1, 2, 3});
    auto pack = Loaded();
    ASSERT_EQ(pack->Count(), 2);
    EXPECT_EQ(pack->GetName(), CJOVString(L"Set"));
    CSmaily* first = (*pack)[0];
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetCodeCount(), 2);
    EXPECT_EQ(W(first->GetCode(0)), L":-)");
    EXPECT_EQ(W(first->GetCode(1)), L":)");
    EXPECT_EQ(W(first->GetCode(2)), L"");
    EXPECT_EQ(FileOf(first), L"a.gif");
    EXPECT_EQ(FileOf((*pack)[1]), L"b.gif");
    EXPECT_EQ(W((*pack)[1]->GetCode(0)), L";-)");
    EXPECT_EQ((*pack)[2], nullptr);
    EXPECT_EQ((*pack)[-1], nullptr);
}

TEST_F(SmiliesTest, LinesAndFilesThatDoNotPair)
{
    // More files than lines: the files sorting last are never taken, whatever
    // order the folder lists them in.
    Define("1\n2\n");
    for (const wchar_t* name : {L"z.gif", L"c.gif", L"m.gif", L"a.gif"})
        Gif(name, Dot(RGB(1, 1, 1)));
    auto pack = Loaded();
    ASSERT_EQ(pack->Count(), 2);
    EXPECT_EQ(FileOf((*pack)[0]), L"a.gif");
    EXPECT_EQ(FileOf((*pack)[1]), L"c.gif");

    // More lines than files: the set keeps the first lines.
    Define("1\n2\n3\n4\n5\n6\n");
    pack = Loaded();
    ASSERT_EQ(pack->Count(), 4);
    EXPECT_EQ(W((*pack)[3]->GetCode(0)), L"4");
    EXPECT_EQ(FileOf((*pack)[3]), L"z.gif");
}

TEST_F(SmiliesTest, MissingPartsGiveAnEmptyLoadedSet)
{
    EXPECT_EQ(Loaded(L"Nowhere")->Count(), 0);
    Define("");
    Gif(L"a.gif", Dot(RGB(1, 1, 1)));
    EXPECT_EQ(Loaded()->Count(), 0);
    Define(":-)\n");
    tree.Remove(L"Smilies\\Set\\a.gif");
    EXPECT_EQ(Loaded()->Count(), 0);

    CSmiliesPack text;
    EXPECT_TRUE(text.IsLoaded());
    text.WaitLoaded();
    EXPECT_EQ(text.Count(), 0);
    EXPECT_EQ(text[0], nullptr);
}

TEST_F(SmiliesTest, AGifThatDoesNotDecodeLeavesItsSmileyWithoutFrames)
{
    Define(":-)\n:-(\n");
    Gif(L"a.gif", Bytes{'G', 'I', 'X', '8', '9', 'a'});
    Gif(L"b.gif", Dot(RGB(0, 0, 255)));
    auto pack = Loaded();
    ASSERT_EQ(pack->Count(), 2);
    CSmaily* broken = (*pack)[0];
    EXPECT_EQ(broken->GetFrameCount(), 0);
    EXPECT_EQ(broken->GetFrameBitmap(0), nullptr);
    EXPECT_EQ(broken->GetFrameDelay(0), 0);
    EXPECT_EQ((*pack)[1]->GetFrameCount(), 1);
    EXPECT_NE((*pack)[1]->GetFrameBitmap(0), nullptr);
}

TEST_F(SmiliesTest, FramesComposeByTheDisposalOfTheFrameBefore)
{
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 255, 0);
    CGifWriter gif(2, 1);
    gif.GlobalTable(2, {red, blue, green, RGB(9, 9, 9)});
    // 0: red over the whole screen, no transparency, "restore to previous".
    gif.GraphicControl(3, 12, -1);
    gif.Image(CGifWriter::At(0, 0, 2, 1), {0, 0});
    // 1: blue at the right; index 3 transparent; "restore to previous" again.
    gif.GraphicControl(3, 5, 3);
    gif.Image(CGifWriter::At(1, 0, 1, 1), {1});
    // 2: green at the right, "leave in place".
    gif.GraphicControl(1, 0, 3);
    gif.Image(CGifWriter::At(1, 0, 1, 1), {2});
    // 3: nothing but a transparent pixel at the left.
    gif.GraphicControl(0, 0, 3);
    gif.Image(CGifWriter::At(0, 0, 1, 1), {3});
    Define(":-)\n");
    Gif(L"a.gif", gif.Finish());
    auto pack = Loaded();
    CSmaily* smaily = (*pack)[0];
    ASSERT_EQ(smaily->GetFrameCount(), 4);
    EXPECT_EQ(smaily->GetWidth(), 2);
    EXPECT_EQ(smaily->GetHeight(), 1);

    HDC dc = CreateCompatibleDC(nullptr);
    auto pixel = [&](int frame, int x) {
        HGDIOBJ before = SelectObject(dc, smaily->GetFrameBitmap(frame));
        COLORREF c = GetPixel(dc, x, 0);
        SelectObject(dc, before);
        return c;
    };
    EXPECT_EQ(smaily->GetFrameKeyColor(0), CLR_INVALID) << "no transparency";
    EXPECT_EQ(pixel(0, 0), red);
    EXPECT_EQ(smaily->GetFrameDelay(0), 120);
    // Restoring to before the first frame leaves the key colour alone.
    const COLORREF key1 = smaily->GetFrameKeyColor(1);
    EXPECT_NE(key1, CLR_INVALID);
    EXPECT_EQ(pixel(1, 0), key1);
    EXPECT_EQ(pixel(1, 1), blue);
    // The second frame restores to before itself: the first frame's picture.
    EXPECT_EQ(pixel(2, 0), red);
    EXPECT_EQ(pixel(2, 1), green);
    // "Leave in place" keeps the third frame; the transparent pixel changes nothing.
    EXPECT_EQ(pixel(3, 0), red);
    EXPECT_EQ(pixel(3, 1), green);
    DeleteDC(dc);

    for (int out : {-1, 4}) {
        EXPECT_EQ(smaily->GetFrameBitmap(out), nullptr);
        EXPECT_EQ(smaily->GetFrameKeyColor(out), 0u);
        EXPECT_EQ(smaily->GetFrameDelay(out), 0);
    }
}

TEST_F(SmiliesTest, ASetReplacedWhileLoadingStopsItsThreadsAndFreesTheFramesLock)
{
    // Enough smilies that loading and composing take a while.
    std::string lines;
    CGifWriter gif(24, 24);
    std::vector<COLORREF> colours;
    for (int i = 0; i < 256; ++i)
        colours.push_back(RGB(i, 255 - i, i / 2));
    gif.GlobalTable(8, colours);
    Bytes noise(24 * 24);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<unsigned char>(i * 13);
    for (int f = 0; f < 8; ++f) {
        gif.GraphicControl(1, 10, 0);
        gif.Image(CGifWriter::At(0, 0, 24, 24), noise);
    }
    const Bytes many = gif.Finish();
    for (int i = 0; i < 150; ++i) {
        lines += ":" + std::to_string(i) + "\n";
        wchar_t name[16];
        swprintf(name, 16, L"%03d.gif", i);
        Gif(name, many);
    }
    Define(lines);

    for (int round = 0; round < 10; ++round) {
        const DWORD start = GetTickCount();
        auto pack = std::make_unique<CSmiliesPack>(CJOVString(L"Set"), tree.RootString());
        Sleep(round * 3);
        pack.reset();
        EXPECT_LT(GetTickCount() - start, 5000u) << "the threads stop between smilies";
        // No thread kept the lock.
        HANDLE probe = CreateThread(
            nullptr, 0,
            [](void*) -> DWORD {
                if (!TryEnterCriticalSection(&g_SmileyFramesLock))
                    return 1;
                LeaveCriticalSection(&g_SmileyFramesLock);
                return 0;
            },
            nullptr, 0, nullptr);
        WaitForSingleObject(probe, INFINITE);
        DWORD code = 1;
        GetExitCodeThread(probe, &code);
        CloseHandle(probe);
        EXPECT_EQ(code, 0u);
    }

    // Left alone, the set loads whole and its frames are composed.
    auto pack = Loaded();
    ASSERT_EQ(pack->Count(), 150);
    EXPECT_EQ((*pack)[149]->GetFrameCount(), 8);
    EXPECT_EQ((*pack)[149]->GetFrameDelay(7), 100);
}
