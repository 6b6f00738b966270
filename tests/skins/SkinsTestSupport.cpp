#include "skins/SkinsTestSupport.h"

#include <png.h>

#include <map>

#include "support/ScreenPixels.h"
#include "support/TestFolders.h"

// ---- folders ----

CTempTree::CTempTree(const wchar_t* tag) : m_root(MakeTempFolder(tag) + L"\\") {}

CTempTree::~CTempTree()
{
    RemoveTree(m_root.substr(0, m_root.size() - 1));
}

void CTempTree::MakeFolder(const std::wstring& relative) const
{
    std::wstring path = m_root;
    for (size_t i = 0; i < relative.size(); ++i) {
        if (relative[i] == L'\\')
            CreateDirectoryW(path.c_str(), nullptr);
        path += relative[i];
    }
    CreateDirectoryW(path.c_str(), nullptr);
}

void CTempTree::Write(const std::wstring& relative, const Bytes& bytes) const
{
    size_t cut = relative.find_last_of(L'\\');
    if (cut != std::wstring::npos)
        MakeFolder(relative.substr(0, cut));
    WriteWholeFile(Path(relative), bytes.data(), bytes.size());
}

void CTempTree::Write(const std::wstring& relative, const std::string& text) const
{
    Write(relative, Bytes(text.begin(), text.end()));
}

bool CTempTree::Copy(const std::wstring& from, const std::wstring& relative) const
{
    size_t cut = relative.find_last_of(L'\\');
    if (cut != std::wstring::npos)
        MakeFolder(relative.substr(0, cut));
    return CopyFileW(from.c_str(), Path(relative).c_str(), FALSE) != 0;
}

void CTempTree::Remove(const std::wstring& relative) const
{
    std::wstring path = Path(relative);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        RemoveTree(path);
    else
        DeleteFileW(path.c_str());
}

std::wstring BinFolder()
{
    return OwnFolder() + L"\\";
}

// ---- PNG ----

namespace {

void AppendToBytes(png_structp png, png_bytep data, png_size_t length)
{
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

int SamplesPerPixel(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_PALETTE: return 1;
    default: return 4;
    }
}

} // namespace

Bytes MakePng(const PngLayout& layout)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return Bytes();
    }
    png_set_write_fn(png, &out, AppendToBytes, NoFlush);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < layout.palette.size(); i += 3)
        palette.push_back(png_color{layout.palette[i], layout.palette[i + 1], layout.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!layout.transparency.empty())
        png_set_tRNS(png, info, layout.transparency.data(), static_cast<int>(layout.transparency.size()), nullptr);
    png_write_info(png, info);
    if (layout.bitDepth == 16)
        png_set_swap(png);  // samples are given little-endian
    const size_t bitsPerRow = static_cast<size_t>(layout.width) * SamplesPerPixel(layout.colorType) * layout.bitDepth;
    const size_t rowBytes = (bitsPerRow + 7) / 8;
    std::vector<png_bytep> rows(layout.height);
    Bytes samples = layout.samples;
    samples.resize(rowBytes * layout.height);
    for (int y = 0; y < layout.height; ++y)
        rows[y] = samples.data() + y * rowBytes;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes MakeRgbaPng(int width, int height, const Bytes& rgba)
{
    PngLayout layout;
    layout.width = width;
    layout.height = height;
    layout.samples = rgba;
    return MakePng(layout);
}

Bytes MakeSolidPng(int width, int height, COLORREF colour)
{
    Bytes rgba;
    for (int i = 0; i < width * height; ++i) {
        rgba.push_back(GetRValue(colour));
        rgba.push_back(GetGValue(colour));
        rgba.push_back(GetBValue(colour));
        rgba.push_back(255);
    }
    return MakeRgbaPng(width, height, rgba);
}

// ---- GIF ----

namespace {

void Word(Bytes& out, int value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void Table(Bytes& out, int bits, const std::vector<COLORREF>& colours)
{
    for (int i = 0; i < (1 << bits); ++i) {
        COLORREF c = i < static_cast<int>(colours.size()) ? colours[i] : 0;
        out.push_back(GetRValue(c));
        out.push_back(GetGValue(c));
        out.push_back(GetBValue(c));
    }
}

} // namespace

void CGifWriter::GlobalTable(int bits, const std::vector<COLORREF>& colours)
{
    m_globalBits = bits;
    m_hasGlobal = true;
    m_global = colours;
}

void CGifWriter::GraphicControl(int disposal, int delayHundredths, int transparent)
{
    m_body.push_back(0x21);
    m_body.push_back(0xF9);
    m_body.push_back(4);
    m_body.push_back(static_cast<unsigned char>((disposal << 2) | (transparent >= 0 ? 1 : 0)));
    Word(m_body, delayHundredths);
    m_body.push_back(static_cast<unsigned char>(transparent >= 0 ? transparent : 0));
    m_body.push_back(0);
}

void CGifWriter::Descriptor(const Frame& frame)
{
    m_body.push_back(0x2C);
    Word(m_body, frame.left);
    Word(m_body, frame.top);
    Word(m_body, frame.width);
    Word(m_body, frame.height);
    unsigned char packed = frame.interlaced ? 0x40 : 0;
    if (frame.localBits > 0)
        packed |= 0x80 | (frame.localBits - 1);
    m_body.push_back(packed);
    if (frame.localBits > 0)
        Table(m_body, frame.localBits, frame.local);
}

void CGifWriter::Image(const Frame& frame, const Bytes& indexes, bool clearWhenFull)
{
    Descriptor(frame);
    int bits = frame.localBits > 0 ? frame.localBits : m_globalBits;
    int minCodeSize = frame.minCodeSize ? frame.minCodeSize : (bits < 2 ? 2 : bits);
    m_body.push_back(static_cast<unsigned char>(minCodeSize));
    Bytes blocks = SubBlocks(Lzw(indexes, minCodeSize, clearWhenFull));
    m_body.insert(m_body.end(), blocks.begin(), blocks.end());
}

void CGifWriter::RawImage(const Frame& frame, int minCodeSize, const Bytes& data)
{
    Descriptor(frame);
    m_body.push_back(static_cast<unsigned char>(minCodeSize));
    Bytes blocks = SubBlocks(data);
    m_body.insert(m_body.end(), blocks.begin(), blocks.end());
}

Bytes CGifWriter::Finish(const char* version) const
{
    Bytes out = {'G', 'I', 'F', static_cast<unsigned char>(version[0]), static_cast<unsigned char>(version[1]),
                 static_cast<unsigned char>(version[2])};
    Word(out, m_width);
    Word(out, m_height);
    out.push_back(static_cast<unsigned char>((m_hasGlobal ? 0x80 : 0) | (m_globalBits - 1)));
    out.push_back(0);
    out.push_back(0);
    if (m_hasGlobal)
        Table(out, m_globalBits, m_global);
    out.insert(out.end(), m_body.begin(), m_body.end());
    out.push_back(0x3B);
    return out;
}

Bytes CGifWriter::PackCodes(const std::vector<std::pair<int, int>>& codes)
{
    Bytes out;
    unsigned long long buffer = 0;
    int filled = 0;
    for (auto [code, width] : codes) {
        buffer |= static_cast<unsigned long long>(code) << filled;
        filled += width;
        while (filled >= 8) {
            out.push_back(static_cast<unsigned char>(buffer & 0xFF));
            buffer >>= 8;
            filled -= 8;
        }
    }
    if (filled > 0)
        out.push_back(static_cast<unsigned char>(buffer & 0xFF));
    return out;
}

Bytes CGifWriter::Lzw(const Bytes& indexes, int minCodeSize, bool clearWhenFull, bool startWithClear)
{
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::vector<std::pair<int, int>> codes;
    std::map<std::pair<int, int>, int> table;
    int next = end + 1, size = minCodeSize + 1;
    if (startWithClear)
        codes.push_back({clear, size});
    if (indexes.empty()) {
        codes.push_back({end, size});
        return PackCodes(codes);
    }
    int prefix = indexes[0];
    for (size_t i = 1; i < indexes.size(); ++i) {
        const int c = indexes[i];
        auto found = table.find({prefix, c});
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        codes.push_back({prefix, size});
        if (next < 4096) {
            table[{prefix, c}] = next++;
            if (next > (1 << size) && size < 12)
                ++size;
        } else if (clearWhenFull) {
            codes.push_back({clear, size});
            table.clear();
            next = end + 1;
            size = minCodeSize + 1;
        }
        prefix = c;
    }
    codes.push_back({prefix, size});
    codes.push_back({end, size});
    return PackCodes(codes);
}

Bytes CGifWriter::SubBlocks(const Bytes& data)
{
    Bytes out;
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t n = data.size() - at < 255 ? data.size() - at : 255;
        out.push_back(static_cast<unsigned char>(n));
        out.insert(out.end(), data.begin() + at, data.begin() + at + n);
    }
    out.push_back(0);
    return out;
}

// ---- bitmaps ----

DibPixels ReadDib(HBITMAP bitmap)
{
    DibPixels pixels;
    DIBSECTION section = {};
    if (!bitmap || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section))
        return pixels;
    GdiFlush();
    pixels.width = section.dsBmih.biWidth;
    pixels.height = section.dsBmih.biHeight;
    pixels.bits = static_cast<const unsigned char*>(section.dsBm.bmBits);
    return pixels;
}

CCanvas::CCanvas(int width, int height, COLORREF fill)
{
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateTopDownBitmap(m_dc, width, height, &bits);
    m_before = SelectObject(m_dc, m_bitmap);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all = {0, 0, width, height};
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
}

CCanvas::~CCanvas()
{
    SelectObject(m_dc, m_before);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF CCanvas::Pixel(int x, int y) const
{
    GdiFlush();
    return GetPixel(m_dc, x, y);
}
