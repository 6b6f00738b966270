// GIF decoding: files made by another encoder and by the tests' own encoder,
// the rules of the code stream, and hostile files that must neither crash
// nor write outside a frame.
#include <gtest/gtest.h>

#include <random>

#include "messaging/GifLoad.h"
#include "skins/SkinsTestSupport.h"

namespace {

class CDecoded : public GifImage {
public:
    ~CDecoded() { FreeFrames(); }
    int Load(const Bytes& bytes) { return DecodeGif(this, bytes.data(), bytes.size()); }
    // The colour of a frame's pixel through its palette.
    COLORREF Colour(int frame, int x, int y) const
    {
        const GifFrame& f = *frames[frame];
        const RGBQUAD& e = f.palette[f.pixels[y * f.bytesPerRow + x]];
        return RGB(e.rgbRed, e.rgbGreen, e.rgbBlue);
    }
    int Index(int frame, int x, int y) const { return frames[frame]->pixels[y * frames[frame]->bytesPerRow + x]; }
};

std::wstring TestData(const wchar_t* name)
{
    return BinFolder() + L"testdata\\skins\\" + name;
}

int LoadFromBin(CDecoded& image, const wchar_t* name)
{
    return LoadGif(&image, TestData(name).c_str());
}

CGifWriter::Frame Whole(int width, int height)
{
    CGifWriter::Frame frame;
    frame.width = width;
    frame.height = height;
    return frame;
}

const std::vector<COLORREF> kFour = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};

Bytes Sequence(int count, int colours)
{
    Bytes indexes;
    for (int i = 0; i < count; ++i)
        indexes.push_back(static_cast<unsigned char>((i * 7 + i / 3) % colours));
    return indexes;
}

} // namespace

TEST(GifLoad, FilesOfAnotherEncoder)
{
    CDecoded plain, interlaced;
    ASSERT_EQ(LoadFromBin(plain, L"im_plain.gif"), 1);
    ASSERT_EQ(LoadFromBin(interlaced, L"im_interlaced.gif"), 1);
    ASSERT_EQ(interlaced.width, 5);
    ASSERT_EQ(interlaced.height, 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(interlaced.Colour(0, x, y), plain.Colour(0, x, y)) << x << "," << y;
    EXPECT_EQ(GetRValue(plain.Colour(0, 0, 0)), 255) << "red at the top";
    EXPECT_EQ(GetBValue(plain.Colour(0, 0, 10)), 255) << "blue at the bottom";

    CDecoded disposals;
    ASSERT_EQ(LoadFromBin(disposals, L"im_disposals.gif"), 4);
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0), RGB(255, 255, 0)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(disposals.frames[i]->disposal, (i + 1) % 4) << "frame " << i;
        EXPECT_EQ(disposals.frames[i]->delay, 70);
        EXPECT_EQ(disposals.Colour(i, 3, 3), colours[i]) << "local tables: frame " << i;
    }

    CDecoded transparent;
    ASSERT_EQ(LoadFromBin(transparent, L"im_transparent.gif"), 2);
    const GifFrame& over = *transparent.frames[1];
    ASSERT_GE(over.transparent, 0);
    EXPECT_EQ(transparent.Index(1, 0, 0), over.transparent);
    EXPECT_EQ(transparent.Colour(1, 1, 2), RGB(0, 0, 255));
}

TEST(GifLoad, SignatureVersionsAndGreyScreen)
{
    CGifWriter gif(2, 2);
    gif.GreyScreen(2);
    gif.Image(Whole(2, 2), {0, 1, 2, 3});
    Bytes file = gif.Finish("87a");
    CDecoded old;
    ASSERT_EQ(old.Load(file), 1);
    // Without any colour table entry i is the grey (i, i, i).
    EXPECT_EQ(old.Colour(0, 1, 1), RGB(3, 3, 3));
    EXPECT_EQ(old.frames[0]->bitmapInfo->bmiHeader.biClrUsed, 4u) << "the header counts the entries that follow";
    EXPECT_EQ(old.frames[0]->bitmapInfo->bmiHeader.biHeight, -2) << "rows top-down";

    file[5] = 'x';  // any version
    CDecoded other;
    EXPECT_EQ(other.Load(file), 1);
    file[2] = 'X';
    CDecoded wrong;
    EXPECT_EQ(wrong.Load(file), 0);
    EXPECT_EQ(LoadGif(&wrong, TestData(L"missing.gif").c_str()), 0);
}

TEST(GifLoad, LocalTablesGraphicControlAndKeyColour)
{
    CGifWriter gif(3, 1);
    gif.GlobalTable(2, kFour);
    gif.GraphicControl(2, 7, 1);
    gif.Image(Whole(3, 1), {0, 1, 2});
    CGifWriter::Frame local = Whole(3, 1);
    local.localBits = 2;
    local.local = kFour;
    gif.Image(local, {0, 1, 2});
    // Black and (16, 0, 0) taken: the transparent entry becomes (32, 0, 0) as blue, green, red.
    gif.GraphicControl(1, 0, 3);
    CGifWriter::Frame keyed = Whole(3, 1);
    keyed.localBits = 2;
    keyed.local = {RGB(0, 0, 0), RGB(0, 0, 16), RGB(1, 1, 1), RGB(0, 0, 0)};
    gif.Image(keyed, {3, 0, 1});
    // An index beyond a 4-entry table is no transparency.
    gif.GraphicControl(0, 0, 9);
    gif.Image(Whole(3, 1), {0, 1, 2});
    CDecoded image;
    ASSERT_EQ(image.Load(gif.Finish()), 4);

    const GifFrame& first = *image.frames[0];
    EXPECT_EQ(first.delay, 70);
    EXPECT_EQ(first.disposal, 2);
    EXPECT_EQ(first.transparent, 1);
    const GifFrame& second = *image.frames[1];
    EXPECT_EQ(second.transparent, -1) << "a graphic control block applies to one image";
    EXPECT_EQ(second.delay, 0);
    EXPECT_EQ(second.disposal, 0);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(image.Colour(1, x, 0), kFour[x]) << "a local table gives the global table's colours";

    const GifFrame& third = *image.frames[2];
    EXPECT_EQ(third.transparent, 3);
    EXPECT_EQ(third.palette[3].rgbBlue, 32);
    EXPECT_EQ(third.palette[3].rgbGreen, 0);
    EXPECT_EQ(third.palette[3].rgbRed, 0);
    EXPECT_EQ(image.frames[3]->transparent, -1);
}

TEST(GifLoad, InterlacedShortImagesWriteEveryRowOnce)
{
    for (int height : {1, 2, 3, 5, 9}) {
        Bytes rows;  // row r holds index r % 4, in display order
        for (int r = 0; r < height; ++r)
            rows.insert(rows.end(), 2, static_cast<unsigned char>(r % 4));
        // Interlaced files carry the rows pass by pass.
        Bytes inFileOrder;
        for (int pass : {0, 1, 2, 3}) {
            const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int r = start[pass]; r < height; r += step[pass])
                inFileOrder.insert(inFileOrder.end(), rows.begin() + r * 2, rows.begin() + r * 2 + 2);
        }
        CGifWriter gif(2, height);
        gif.GlobalTable(2, kFour);
        CGifWriter::Frame frame = Whole(2, height);
        frame.interlaced = true;
        gif.Image(frame, inFileOrder);
        CDecoded image;
        ASSERT_EQ(image.Load(gif.Finish()), 1) << "height " << height;
        for (int r = 0; r < height; ++r)
            EXPECT_EQ(image.Index(0, 1, r), r % 4) << "height " << height << " row " << r;
    }
}

TEST(GifLoad, TableFullBeforeItsClearCodeKeepsDecoding)
{
    // Noise fills the 4096 entries long before the end of the image.
    std::mt19937 random(7);
    Bytes noise(120 * 120);
    for (auto& v : noise)
        v = static_cast<unsigned char>(random() % 256);
    std::vector<COLORREF> grey;
    for (int i = 0; i < 256; ++i)
        grey.push_back(RGB(i, i, i));

    for (bool clearWhenFull : {true, false}) {
        CGifWriter gif(120, 120);
        gif.GlobalTable(8, grey);
        gif.Image(Whole(120, 120), noise, clearWhenFull);
        CDecoded image;
        ASSERT_EQ(image.Load(gif.Finish()), 1) << (clearWhenFull ? "cleared" : "never cleared");
        for (int i = 0; i < 120 * 120; ++i)
            ASSERT_EQ(image.Index(0, i % 120, i / 120), noise[i]) << "pixel " << i;
    }

    // A clear code some codes after the table filled: an encoder that clears late.
    Bytes late = CGifWriter::Lzw(noise, 8, false);
    CDecoded image;
    Bytes pixels(120 * 120);
    EXPECT_GT(DecodeGifLzw(late.data(), static_cast<int>(late.size()), pixels.data(), 8, 120, 120, 120, false), 0);
    EXPECT_EQ(pixels, noise);
}

TEST(GifLoad, CodeStreamRules)
{
    // Minimum code size 2: clear 4, end 5, first free entry 6, codes of 3 bits.
    Bytes pixels(8, 0xEE);
    auto decode = [&](const std::vector<std::pair<int, int>>& codes, int minimum = 2) {
        std::fill(pixels.begin(), pixels.end(), 0xEE);
        Bytes data = CGifWriter::PackCodes(codes);
        data.insert(data.end(), 4, 0);
        return DecodeGifLzw(data.data(), static_cast<int>(data.size() - 4), pixels.data(), minimum, 4, 4, 2, false);
    };
    // The start acts as after a clear: no clear code needed.
    EXPECT_GT(decode({{1, 3}, {2, 3}, {6, 3}, {5, 3}}), 0);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 4), (Bytes{1, 2, 1, 2}));
    // One past the last entry: the previous string and its first character.
    EXPECT_GT(decode({{4, 3}, {3, 3}, {6, 3}, {5, 3}}), 0);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 3), (Bytes{3, 3, 3}));
    // Not in the table right after a clear, or right at the start.
    EXPECT_EQ(decode({{4, 3}, {6, 3}}), 0);
    EXPECT_EQ(decode({{6, 3}}), 0);
    // Above the next free entry.
    EXPECT_EQ(decode({{1, 3}, {7, 3}}), 0);
    // Minimum code sizes outside 2-8.
    EXPECT_EQ(decode({{1, 2}, {3, 2}}, 1), 0);
    EXPECT_EQ(decode({{1, 10}}, 9), 0);
    // Data that ends early keeps what was decoded and leaves the rest alone;
    // the last byte's padding reads as two codes 0 (of 3, then 4 bits).
    EXPECT_GT(decode({{4, 3}, {1, 3}, {2, 3}}), 0);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 5), (Bytes{1, 2, 0, 0, 0xEE}));
    // An end code before any pixel is no frame.
    EXPECT_EQ(decode({{5, 3}}), 0);
}

TEST(GifLoad, HostileFilesDropFramesAndNeverCrash)
{
    // A frame cut short keeps its pixels; the rest is the transparent index.
    CGifWriter gif(4, 2);
    gif.GlobalTable(2, kFour);
    gif.GraphicControl(0, 0, 3);
    gif.RawImage(Whole(4, 2), 2, CGifWriter::PackCodes({{4, 3}, {1, 3}, {2, 3}}));
    // A frame with a code above the next entry is dropped, the next one stays.
    gif.RawImage(Whole(4, 2), 2, CGifWriter::PackCodes({{4, 3}, {1, 3}, {7, 3}}));
    gif.Image(Whole(4, 2), {0, 1, 2, 3, 0, 1, 2, 3});
    // A frame larger than allowed is skipped whole.
    CGifWriter::Frame huge = Whole(60000, 60000);
    gif.RawImage(huge, 2, CGifWriter::PackCodes({{4, 3}, {1, 3}, {5, 3}}));
    CDecoded image;
    ASSERT_EQ(image.Load(gif.Finish()), 2);
    EXPECT_EQ(image.Index(0, 0, 0), 1);
    EXPECT_EQ(image.Index(0, 1, 0), 2);
    EXPECT_EQ(image.Index(0, 0, 1), 3);
    EXPECT_EQ(image.Index(0, 3, 1), 3);
    EXPECT_EQ(image.Index(1, 3, 1), 3);

    // However many frames a file holds, together they hold no more pixels
    // than one frame of the largest size: a few bytes a frame must not ask
    // for gigabytes.
    CGifWriter many(1, 1);
    many.GlobalTable(2, kFour);
    for (int i = 0; i < 3; ++i)
        many.RawImage(Whole(kGifMaxSide, kGifMaxSide), 2, CGifWriter::PackCodes({{4, 3}, {1, 3}, {5, 3}}));
    many.Image(Whole(1, 1), {2});
    CDecoded bounded;
    EXPECT_EQ(bounded.Load(many.Finish()), 1);

    // A logical screen beyond the bounds is no image.
    CGifWriter wide(kGifMaxSide + 1, 1);
    wide.Image(Whole(1, 1), {0});
    CDecoded refused;
    EXPECT_EQ(refused.Load(wide.Finish()), 0);

    // Every cut of a good file, and random damage to it, decodes without harm.
    CGifWriter good(6, 6);
    good.GlobalTable(3, kFour);
    good.GraphicControl(1, 5, 2);
    good.Image(Whole(6, 6), Sequence(36, 8));
    CGifWriter::Frame local = Whole(3, 3);
    local.localBits = 1;
    local.local = kFour;
    good.Image(local, Sequence(9, 2));
    const Bytes file = good.Finish();
    for (size_t cut = 0; cut < file.size(); ++cut) {
        CDecoded part;
        part.Load(Bytes(file.begin(), file.begin() + cut));
        ASSERT_LE(part.frameCount, 2);
    }
    std::mt19937 random(11);
    for (int round = 0; round < 500; ++round) {
        Bytes damaged = file;
        for (int k = 0; k < 3; ++k)
            damaged[6 + random() % (damaged.size() - 6)] = static_cast<unsigned char>(random());
        CDecoded part;
        part.Load(damaged);
        for (int f = 0; f < part.frameCount; ++f) {
            ASSERT_LE(part.frames[f]->width, kGifMaxSide);
            ASSERT_TRUE(part.frames[f]->transparent < (1 << part.frames[f]->bitsPerPixel));
        }
    }
}
