#include "messaging/GifLoad.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "FileBytes.h"

namespace {

const int kTableSize = 4096;
const DWORD kMaxFileBytes = 16 * 1024 * 1024;

void Diagnose(int line, const char* what)
{
    char text[160];
    std::snprintf(text, sizeof(text), "ERROR: %s line %d: %s\n", "GifLoad.cpp", line, what);
    OutputDebugStringA(text);
}

#define GIF_DIAGNOSE(what) Diagnose(__LINE__, what)

// Reads forward through the file's bytes; every read fails past the end.
class CByteCursor {
public:
    CByteCursor(const unsigned char* bytes, size_t length) : m_bytes(bytes), m_length(length), m_pos(0) {}

    bool AtEnd() const { return m_pos >= m_length; }
    bool Byte(unsigned int& value)
    {
        if (m_pos >= m_length)
            return false;
        value = m_bytes[m_pos++];
        return true;
    }
    bool Word(unsigned int& value)
    {
        if (m_length - m_pos < 2 || m_pos > m_length)
            return false;
        value = m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8);
        m_pos += 2;
        return true;
    }
    const unsigned char* Take(size_t count)
    {
        if (m_pos > m_length || m_length - m_pos < count)
            return nullptr;
        const unsigned char* at = m_bytes + m_pos;
        m_pos += count;
        return at;
    }

private:
    const unsigned char* m_bytes;
    size_t m_length;
    size_t m_pos;
};

// Reads 2^bits entries of red, green, blue into blue, green, red order.
bool ReadColourTable(CByteCursor& in, int bits, RGBQUAD* table)
{
    const int count = 1 << bits;
    const unsigned char* rgb = in.Take(static_cast<size_t>(count) * 3);
    if (!rgb)
        return false;
    for (int i = 0; i < count; ++i) {
        table[i].rgbRed = rgb[i * 3];
        table[i].rgbGreen = rgb[i * 3 + 1];
        table[i].rgbBlue = rgb[i * 3 + 2];
        table[i].rgbReserved = 0;
    }
    return true;
}

bool SameColour(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

// Gives the transparent entry a colour no other entry has, so that it can be
// the key colour of transparent drawing; all 4096 candidates taken: unchanged.
void MakeKeyColourUnique(RGBQUAD* palette, int count, int transparent)
{
    for (int red = 0; red < 256; red += 16)
        for (int green = 0; green < 256; green += 16)
            for (int blue = 0; blue < 256; blue += 16) {
                RGBQUAD candidate = {static_cast<BYTE>(blue), static_cast<BYTE>(green), static_cast<BYTE>(red), 0};
                bool taken = false;
                for (int i = 0; i < count && !taken; ++i)
                    taken = i != transparent && SameColour(palette[i], candidate);
                if (!taken) {
                    palette[transparent] = candidate;
                    return;
                }
            }
}

// The data sub-blocks up to the zero size byte (or the end of the file), one
// after the other, with 4 spare bytes for the decoder's 32-bit fetches.
bool CollectImageData(CByteCursor& in, std::vector<unsigned char>& data)
{
    data.clear();
    unsigned int size = 0;
    while (in.Byte(size) && size != 0) {
        const unsigned char* block = in.Take(size);
        if (!block)
            break;  // cut short: keep what is there
        data.insert(data.end(), block, block + size);
    }
    data.insert(data.end(), 4, 0);
    return true;
}

void SkipSubBlocks(CByteCursor& in)
{
    unsigned int size = 0;
    while (in.Byte(size) && size != 0) {
        if (!in.Take(size))
            return;
    }
}

struct GraphicControl {
    bool present = false;
    unsigned int packed = 0;
    unsigned int delay = 0;
    unsigned int transparent = 0;
};

void ReadGraphicControl(CByteCursor& in, GraphicControl& control)
{
    unsigned int size = 0;
    if (!in.Byte(size))
        return;
    const unsigned char* block = in.Take(size);
    if (!block)
        return;
    if (size >= 4) {
        control.present = true;
        control.packed = block[0];
        control.delay = block[1] | (block[2] << 8);
        control.transparent = block[3];
    }
    SkipSubBlocks(in);
}

// One image descriptor onwards; false when the file ends inside it or its
// frames would hold too many pixels with this one.
bool ReadImage(CByteCursor& in, GifImage* image, const RGBQUAD* global, int globalBits, const GraphicControl& control)
{
    unsigned int left = 0, top = 0, width = 0, height = 0, packed = 0;
    if (!in.Word(left) || !in.Word(top) || !in.Word(width) || !in.Word(height) || !in.Byte(packed))
        return false;
    const bool localTable = (packed & 0x80) != 0;
    const int bits = localTable ? static_cast<int>(packed & 7) + 1 : globalBits;
    RGBQUAD palette[256];
    if (localTable) {
        if (!ReadColourTable(in, bits, palette))
            return false;
    } else {
        std::memcpy(palette, global, sizeof(RGBQUAD) << bits);
    }
    unsigned int minCodeSize = 0;
    if (!in.Byte(minCodeSize))
        return false;
    std::vector<unsigned char> data;
    CollectImageData(in, data);

    // A frame past the bounds is skipped below; one within them that passes
    // the file's budget ends the reading, as one frame too many does.
    long long held = static_cast<long long>((width + 3) & ~3u) * height;
    for (int i = 0; i < image->frameCount; ++i)
        held += static_cast<long long>(image->frames[i]->bytesPerRow) * image->frames[i]->height;
    if (width <= static_cast<unsigned int>(kGifMaxSide) && height <= static_cast<unsigned int>(kGifMaxSide) &&
        held > kGifMaxPixels) {
        GIF_DIAGNOSE("too many pixels");
        return false;
    }
    GifFrame* frame = new (std::nothrow) GifFrame;
    if (!frame || !frame->Init(static_cast<int>(width), static_cast<int>(height), bits)) {
        delete frame;
        GIF_DIAGNOSE("frame size or memory");
        return true;
    }
    frame->x = static_cast<int>(left);
    frame->y = static_cast<int>(top);
    if (control.present) {
        // An index beyond the palette names no entry: no transparency.
        frame->transparent = (control.packed & 1) && static_cast<int>(control.transparent) < (1 << bits)
                                 ? static_cast<int>(control.transparent) : -1;
        frame->disposal = static_cast<int>((control.packed >> 2) & 7);
        frame->delay = static_cast<int>(control.delay) * 10;
    }
    std::memcpy(frame->palette, palette, sizeof(RGBQUAD) << bits);
    if (frame->transparent >= 0)
        MakeKeyColourUnique(frame->palette, 1 << bits, frame->transparent);
    // Pixels a short stream never reaches stay transparent (or colour 0).
    std::memset(frame->pixels, frame->transparent >= 0 ? frame->transparent : 0,
                static_cast<size_t>(frame->bytesPerRow) * frame->height);

    const bool interlaced = (packed & 0x40) != 0;
    if (!DecodeGifLzw(data.data(), static_cast<int>(data.size() - 4), frame->pixels, static_cast<int>(minCodeSize),
                      frame->bytesPerRow, frame->width, frame->height, interlaced)) {
        frame->Release();
        delete frame;
        GIF_DIAGNOSE("image data");
        return true;
    }
    if (!image->AddFrame(frame)) {
        frame->Release();
        delete frame;
    }
    return true;
}

} // namespace

bool GifFrame::Init(int frameWidth, int frameHeight, int bits)
{
    Release();
    transparent = -1;
    x = y = delay = disposal = 0;
    width = height = bitsPerPixel = bytesPerRow = 0;
    if (frameWidth <= 0 || frameHeight <= 0 || frameWidth > kGifMaxSide || frameHeight > kGifMaxSide || bits < 1 ||
        bits > 8)
        return false;
    const int entries = 1 << bits;
    const int rowBytes = (frameWidth + 3) & ~3;
    bitmapInfo = reinterpret_cast<BITMAPINFO*>(
        new (std::nothrow) unsigned char[sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD)]);
    pixels = new (std::nothrow) unsigned char[static_cast<size_t>(rowBytes) * frameHeight];
    if (!bitmapInfo || !pixels) {
        Release();
        return false;
    }
    width = frameWidth;
    height = frameHeight;
    bitsPerPixel = bits;
    bytesPerRow = rowBytes;
    palette = reinterpret_cast<RGBQUAD*>(reinterpret_cast<unsigned char*>(bitmapInfo) + sizeof(BITMAPINFOHEADER));
    std::memset(palette, 0, entries * sizeof(RGBQUAD));
    BITMAPINFOHEADER& header = bitmapInfo->bmiHeader;
    header = BITMAPINFOHEADER{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = frameWidth;
    header.biHeight = -frameHeight;  // rows top-down
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biXPelsPerMeter = header.biYPelsPerMeter = 11811;
    // The entries that really follow: an 8-bit header alone promises 256.
    header.biClrUsed = static_cast<DWORD>(entries);
    return true;
}

void GifFrame::Release()
{
    delete[] reinterpret_cast<unsigned char*>(bitmapInfo);
    delete[] pixels;
    bitmapInfo = nullptr;
    pixels = nullptr;
    palette = nullptr;
}

bool GifImage::AddFrame(GifFrame* frame)
{
    GifFrame** grown = new (std::nothrow) GifFrame*[frameCount + 1];
    if (!grown)
        return false;
    for (int i = 0; i < frameCount; ++i)
        grown[i] = frames[i];
    grown[frameCount] = frame;
    delete[] frames;
    frames = grown;
    ++frameCount;
    return true;
}

void GifImage::FreeFrames()
{
    for (int i = 0; i < frameCount; ++i) {
        frames[i]->Release();
        delete frames[i];
    }
    delete[] frames;
    frames = nullptr;
    frameCount = 0;
}

int DecodeGif(GifImage* image, const unsigned char* bytes, size_t length)
{
    if (!image || !bytes)
        return 0;
    CByteCursor in(bytes, length);
    const unsigned char* header = in.Take(6);
    if (!header || std::memcmp(header, "GIF", 3) != 0) {
        GIF_DIAGNOSE("signature");
        return 0;
    }
    unsigned int width = 0, height = 0, packed = 0, ignored = 0;
    if (!in.Word(width) || !in.Word(height) || !in.Byte(packed) || !in.Byte(ignored) || !in.Byte(ignored) ||
        width > static_cast<unsigned int>(kGifMaxSide) || height > static_cast<unsigned int>(kGifMaxSide)) {
        GIF_DIAGNOSE("screen descriptor");
        return 0;
    }
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->reserved = 0;
    const int globalBits = static_cast<int>(packed & 7) + 1;
    RGBQUAD global[256];
    if (packed & 0x80) {
        if (!ReadColourTable(in, globalBits, global)) {
            GIF_DIAGNOSE("colour table");
            return 0;
        }
    } else {
        for (int i = 0; i < (1 << globalBits); ++i)
            global[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }

    const int before = image->frameCount;
    GraphicControl control;
    unsigned int kind = 0;
    while (in.Byte(kind) && kind != 0x3B) {
        if (kind == 0x21) {
            unsigned int label = 0;
            if (!in.Byte(label))
                break;
            if (label == 0xF9) {
                control = GraphicControl();
                ReadGraphicControl(in, control);
            } else {
                SkipSubBlocks(in);
            }
        } else if (kind == 0x2C) {
            if (image->frameCount - before >= kGifMaxFrames) {
                GIF_DIAGNOSE("too many frames");
                break;
            }
            if (!ReadImage(in, image, global, globalBits, control))
                break;
            control = GraphicControl();
        }
    }
    const int added = image->frameCount - before;
    if (added == 0)
        GIF_DIAGNOSE("no frame");
    return added;
}

int LoadGif(GifImage* image, const wchar_t* path)
{
    std::vector<unsigned char> bytes;
    FileBytesResult read = ReadFileBytes(path, kMaxFileBytes, bytes);
    if (read != FileBytesResult::Read) {
        GIF_DIAGNOSE(read == FileBytesResult::NotOpened ? "cannot open" : "cannot read");
        return 0;
    }
    return DecodeGif(image, bytes.data(), bytes.size());
}

int DecodeGifLzw(const unsigned char* data, int length, unsigned char* pixels, int minCodeSize, int bytesPerRow,
                 int width, int height, bool interlaced)
{
    if (!data || !pixels || length < 0 || minCodeSize < 2 || minCodeSize > 8 || width <= 0 || height <= 0)
        return 0;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    const int firstFree = clear + 2;
    int codeSize = minCodeSize + 1;
    int next = firstFree;
    int previous = clear;  // the start acts as after a clear code
    unsigned char previousFirst = 0;
    const long long target = static_cast<long long>(width) * height;
    const long long totalBits = static_cast<long long>(length) * 8;
    long long written = 0;
    long long bit = 0;
    int row = 0, column = 0, pass = 0;
    static const int kPassStart[4] = {0, 4, 2, 1};
    static const int kPassStep[4] = {8, 8, 4, 2};

    unsigned short prefix[kTableSize];
    unsigned char suffix[kTableSize];
    unsigned char stack[kTableSize + 1];

    while (written < target) {
        if (bit + codeSize > totalBits)
            break;  // the data ends here: keep what was decoded
        const unsigned char* at = data + (bit >> 3);
        const unsigned int fetched = at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<unsigned int>(at[3]) << 24);
        const int code = static_cast<int>((fetched >> (bit & 7)) & ((1u << codeSize) - 1));
        bit += codeSize;
        if (code == end)
            break;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = firstFree;
            previous = clear;
            continue;
        }
        // Right after a clear only a root code is in the table; otherwise
        // one past the last entry (the previous string and its first
        // character) is the most a code may be.
        if (code > next || (code == next && previous == clear))
            return 0;

        int depth = 0;
        int walk = code;
        if (code == next) {
            stack[depth++] = previousFirst;
            walk = previous;
        }
        while (walk >= firstFree) {
            if (depth >= kTableSize)
                return 0;
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        if (walk >= clear)
            return 0;  // a chain that ends in a control code
        stack[depth++] = static_cast<unsigned char>(walk);
        const unsigned char first = static_cast<unsigned char>(walk);

        // A full table stays as it is until the next clear code.
        if (previous != clear && next < kTableSize) {
            prefix[next] = static_cast<unsigned short>(previous);
            suffix[next] = first;
            ++next;
            if (next >= (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        previous = code;
        previousFirst = first;

        while (depth > 0 && written < target) {
            pixels[static_cast<size_t>(row) * bytesPerRow + column] = stack[--depth];
            ++written;
            if (++column < width)
                continue;
            column = 0;
            if (!interlaced) {
                ++row;
                continue;
            }
            row += kPassStep[pass];
            while (row >= height && pass < 3) {
                ++pass;
                row = kPassStart[pass];
            }
        }
    }
    if (written == 0)
        return 0;
    return bit > 0 ? static_cast<int>(bit) : 1;
}
