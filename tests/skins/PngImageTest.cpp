// PNG files as the skin draws them: premultiplied blue-green-red-alpha rows,
// bottom-up, whatever the file's colour type; damaged files leave an image
// without a bitmap instead of ending the program.
#include <gtest/gtest.h>

#include <windows.h>
#include <png.h>

#include <atomic>
#include <memory>
#include <zlib.h>

#include "core/skins/JOVWindowsImage.h"
#include "skins/SkinsTestSupport.h"

namespace {

class PngImageTest : public testing::Test {
protected:
    CJOVString Store(const Bytes& bytes, const std::wstring& name = L"image.png")
    {
        tree.Write(name, bytes);
        return J(tree.Path(name));
    }
    // The stored pixel of the PNG's row y (top-down), column x: b, g, r, a.
    static std::vector<int> Pixel(const DibPixels& dib, int y, int x)
    {
        const unsigned char* p = dib.At(dib.height - 1 - y, x);
        return {p[0], p[1], p[2], p[3]};
    }
    CTempTree tree;
};

typedef std::vector<int> Bgra;

std::atomic<size_t> s_largestRequest{0};

void NoteRequest(size_t bytes)
{
    if (bytes > s_largestRequest)
        s_largestRequest = bytes;
}

} // namespace

TEST_F(PngImageTest, OpaqueColoursStayAndTheTopRowIsStoredLast)
{
    // Top row red, green; bottom row blue, white.
    const Bytes rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    CJOVWindowsImage image(Store(MakeRgbaPng(2, 2, rgba)));
    DibPixels dib = ReadDib(image.GetBitmap());
    ASSERT_NE(dib.bits, nullptr);
    EXPECT_EQ(dib.width, 2);
    EXPECT_EQ(dib.height, 2) << "a positive height: rows bottom-up";
    EXPECT_EQ(Bgra(dib.At(1, 0), dib.At(1, 0) + 4), (Bgra{0, 0, 255, 255})) << "red is the last row in memory";
    EXPECT_EQ(Pixel(dib, 0, 1), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(dib, 1, 0), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(dib, 1, 1), (Bgra{255, 255, 255, 255}));
}

TEST_F(PngImageTest, ColoursArePremultipliedByAlpha)
{
    CJOVWindowsImage image(Store(MakeRgbaPng(3, 1, {50, 100, 200, 128, 255, 255, 255, 0, 10, 20, 30, 255})));
    DibPixels dib = ReadDib(image.GetBitmap());
    ASSERT_NE(dib.bits, nullptr);
    EXPECT_EQ(Pixel(dib, 0, 0), (Bgra{100, 50, 25, 128}));
    EXPECT_EQ(Pixel(dib, 0, 1), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(Pixel(dib, 0, 2), (Bgra{30, 20, 10, 255}));
}

TEST_F(PngImageTest, GreyPaletteSixteenBitAndInterlacedFilesGiveTheSamePixels)
{
    // The reference: a 3x2 RGB image.
    const Bytes rgb = {10, 10, 10, 200, 200, 200, 90, 90, 90, 0, 0, 0, 255, 255, 255, 128, 128, 128};
    PngLayout plain;
    plain.width = 3;
    plain.height = 2;
    plain.colorType = PNG_COLOR_TYPE_RGB;
    plain.samples = rgb;

    PngLayout grey = plain;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    grey.samples = {10, 200, 90, 0, 255, 128};

    PngLayout palette = plain;
    palette.colorType = PNG_COLOR_TYPE_PALETTE;
    palette.palette = {10, 10, 10, 200, 200, 200, 90, 90, 90, 0, 0, 0, 255, 255, 255, 128, 128, 128};
    palette.samples = {0, 1, 2, 3, 4, 5};

    PngLayout deep = plain;
    deep.bitDepth = 16;
    deep.samples.clear();
    for (unsigned char v : rgb) {
        deep.samples.push_back(v);  // little-endian 16-bit: low byte, then the high byte that is kept
        deep.samples.push_back(v);
    }

    PngLayout interlaced = plain;
    interlaced.interlaced = true;

    CJOVWindowsImage reference(Store(MakePng(plain), L"plain.png"));
    DibPixels expected = ReadDib(reference.GetBitmap());
    ASSERT_NE(expected.bits, nullptr);
    int n = 0;
    for (const PngLayout* layout : {&grey, &palette, &deep, &interlaced}) {
        CJOVWindowsImage image(Store(MakePng(*layout), L"variant" + std::to_wstring(n++) + L".png"));
        DibPixels dib = ReadDib(image.GetBitmap());
        ASSERT_NE(dib.bits, nullptr) << "variant " << n;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(Pixel(dib, y, x), Pixel(expected, y, x)) << "variant " << n << " at " << x << "," << y;
    }
}

TEST_F(PngImageTest, PaletteTransparencyBecomesAlpha)
{
    PngLayout layout;
    layout.width = 2;
    layout.height = 1;
    layout.colorType = PNG_COLOR_TYPE_PALETTE;
    layout.palette = {200, 100, 50, 0, 0, 255};
    layout.transparency = {128};  // entry 0 half transparent, entry 1 opaque
    layout.samples = {0, 1};
    CJOVWindowsImage image(Store(MakePng(layout)));
    DibPixels dib = ReadDib(image.GetBitmap());
    ASSERT_NE(dib.bits, nullptr);
    EXPECT_EQ(Pixel(dib, 0, 0), (Bgra{25, 50, 100, 128}));
    EXPECT_EQ(Pixel(dib, 0, 1), (Bgra{255, 0, 0, 255}));
}

TEST_F(PngImageTest, DamagedOrAbsurdFilesLeaveAnImageWithoutBitmap)
{
    Bytes good = MakeSolidPng(64, 64, RGB(1, 2, 3));
    Bytes truncated(good.begin(), good.begin() + good.size() / 2);
    Bytes corrupt = good;
    corrupt[corrupt.size() / 2] ^= 0xFF;  // the data's checksum no longer matches
    // A header claiming 100000 x 100000 pixels, with a valid checksum.
    Bytes absurd = MakeSolidPng(1, 1, RGB(1, 2, 3));
    auto setBigEndian = [&](size_t at, unsigned v) {
        for (int k = 0; k < 4; ++k)
            absurd[at + k] = static_cast<unsigned char>(v >> (24 - 8 * k));
    };
    setBigEndian(16, 100000);
    setBigEndian(20, 100000);
    setBigEndian(29, crc32(crc32(0, nullptr, 0), absurd.data() + 12, 17));

    int n = 0;
    for (const Bytes* bytes : {&truncated, &corrupt, &absurd}) {
        CJOVWindowsImage image(Store(*bytes, L"bad" + std::to_wstring(n++) + L".png"));
        EXPECT_EQ(image.GetBitmap(), nullptr) << "file " << n;
        CCanvas canvas(4, 4);
        CJOVDrawContext dc(canvas.Dc());
        image.Draw(&dc, 0, 0, 4, 4, true, 255);
        EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 255, 255)) << "nothing drawn";
    }
    CJOVWindowsImage notPng(Store(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0}, L"gif.png"));
    EXPECT_EQ(notPng.GetBitmap(), nullptr);
    CJOVWindowsImage missing(J(tree.Path(L"nothing.png")));
    EXPECT_EQ(missing.GetBitmap(), nullptr);

    // One side past the limit is refused even when the whole would be small.
    CJOVWindowsImage wide(Store(MakeSolidPng(CJOVWindowsImage::kMaxSide + 1, 1, RGB(1, 2, 3)), L"wide.png"));
    EXPECT_EQ(wide.GetBitmap(), nullptr);
}

TEST_F(PngImageTest, AChunkClaimingMoreThanTheFileHoldsCostsNoMemory)
{
    // After the header, a text chunk that claims half a gigabyte and holds a
    // few bytes: read as the file says, it would take that memory first.
    const Bytes good = MakeSolidPng(2, 2, RGB(1, 2, 3));
    Bytes claim = {0x20, 0x00, 0x00, 0x00, 'i', 'T', 'X', 't', 'k', 'e', 'y', 0, 0, 0, 0, 0};
    Bytes file(good.begin(), good.begin() + 33);
    file.insert(file.end(), claim.begin(), claim.end());
    file.insert(file.end(), good.begin() + 33, good.end());

    // What libpng asks for, not what the process touched: a buffer it never
    // filled, or a peak reached before, would hide the cost.
    s_largestRequest = 0;
    CJOVWindowsImage::WatchPngAllocations(NoteRequest);
    CJOVWindowsImage image(Store(file));
    CJOVWindowsImage::WatchPngAllocations(nullptr);
    EXPECT_EQ(image.GetBitmap(), nullptr) << "the file ends inside the chunk";
    EXPECT_GT(s_largestRequest.load(), 0u) << "libpng's requests are watched";
    EXPECT_LT(s_largestRequest.load(), 1024u * 1024);
}

TEST_F(PngImageTest, OpensFilesInFoldersWithCzechAndCyrillicNames)
{
    const std::wstring name = L"\x010C\x0065\x0161\x0074\x0069\x006E\x0061 \x0420\x0443\x0441\\obr\x00E1zek.png";
    CJOVWindowsImage image(Store(MakeSolidPng(2, 2, RGB(9, 8, 7)), name));
    DibPixels dib = ReadDib(image.GetBitmap());
    ASSERT_NE(dib.bits, nullptr);
    EXPECT_EQ(Pixel(dib, 0, 0), (Bgra{7, 8, 9, 255}));
}

TEST_F(PngImageTest, DrawsScaledWithAlphaAndTiledWithout)
{
    // Left column red, right column blue, 2x2.
    CJOVWindowsImage image(Store(MakeRgbaPng(2, 2, {255, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 255, 255})));
    {
        CCanvas canvas(8, 8);
        CJOVDrawContext dc(canvas.Dc());
        image.Draw(&dc, 0, 0, 4, 4, true, 255);
        EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
        EXPECT_EQ(canvas.Pixel(1, 3), RGB(255, 0, 0)) << "doubled: two columns of red";
        EXPECT_EQ(canvas.Pixel(2, 0), RGB(0, 0, 255));
        EXPECT_EQ(canvas.Pixel(3, 3), RGB(0, 0, 255));
        EXPECT_EQ(canvas.Pixel(4, 0), RGB(255, 255, 255)) << "nothing outside the rectangle";
    }
    {
        CCanvas canvas(8, 8);
        CJOVDrawContext dc(canvas.Dc());
        image.Draw(&dc, 0, 0, 6, 2, false, 255);
        EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
        EXPECT_EQ(canvas.Pixel(1, 0), RGB(0, 0, 255));
        EXPECT_EQ(canvas.Pixel(2, 1), RGB(255, 0, 0)) << "the pattern repeats";
        EXPECT_EQ(canvas.Pixel(5, 1), RGB(0, 0, 255));
        EXPECT_EQ(canvas.Pixel(6, 0), RGB(255, 255, 255));
    }
    {
        // Half the constant alpha over white.
        CCanvas canvas(2, 2);
        CJOVDrawContext dc(canvas.Dc());
        image.Draw(&dc, 0, 0, 2, 2, true, 0x180);  // only the low byte counts
        COLORREF blended = canvas.Pixel(0, 0);
        EXPECT_NEAR(GetRValue(blended), 255, 2);
        EXPECT_NEAR(GetGValue(blended), 127, 3);
        EXPECT_NEAR(GetBValue(blended), 127, 3);
    }
}

TEST_F(PngImageTest, FilesOfAnotherEncoder)
{
    auto load = [](const wchar_t* name) {
        return std::make_unique<CJOVWindowsImage>(J(BinFolder() + L"testdata\\skins\\" + name));
    };
    auto grey = load(L"im_grey.png");
    DibPixels dib = ReadDib(grey->GetBitmap());
    ASSERT_NE(dib.bits, nullptr);
    EXPECT_NEAR(Pixel(dib, 0, 0)[0], 127, 1);
    EXPECT_EQ(Pixel(dib, 0, 0)[0], Pixel(dib, 0, 0)[2]);
    EXPECT_EQ(Pixel(dib, 0, 3), (Bgra{255, 255, 255, 255}));

    auto palette = load(L"im_palette.png");
    dib = ReadDib(palette->GetBitmap());
    ASSERT_NE(dib.bits, nullptr);
    EXPECT_EQ(Pixel(dib, 0, 0), (Bgra{0, 0, 255, 255}));
    EXPECT_EQ(Pixel(dib, 0, 1), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(dib, 0, 2)[3], 0) << "the transparent entry";

    auto deep = load(L"im_deep.png");
    dib = ReadDib(deep->GetBitmap());
    ASSERT_NE(dib.bits, nullptr);
    EXPECT_EQ(Pixel(dib, 0, 0), (Bgra{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(dib, 1, 1), (Bgra{255, 255, 255, 255}));

    auto interlaced = load(L"im_interlaced.png");
    dib = ReadDib(interlaced->GetBitmap());
    ASSERT_NE(dib.bits, nullptr);
    EXPECT_EQ(Pixel(dib, 7, 7), (Bgra{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(dib, 8, 8), (Bgra{0, 0, 255, 255}));
}
