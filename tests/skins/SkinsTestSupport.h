// What the skin, image and smilies tests share: a folder tree of their own,
// PNG and GIF files written with exact pixels, and pixels read back from
// bitmaps and device contexts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "JOVString.h"
#include "support/TestFolders.h"

typedef std::vector<unsigned char> Bytes;

inline CJOVString J(const std::wstring& text) { return CJOVString(text.c_str()); }
inline std::wstring W(const CJOVString& text)
{
    return std::wstring(text.Data() ? text.Data() : L"", text.GetLength());
}

// A fresh folder under the temporary folder, removed with everything in it.
class CTempTree {
public:
    explicit CTempTree(const wchar_t* tag = L"skins");
    ~CTempTree();
    CTempTree(const CTempTree&) = delete;
    CTempTree& operator=(const CTempTree&) = delete;

    // With its trailing backslash.
    const std::wstring& Root() const { return m_root; }
    CJOVString RootString() const { return J(m_root); }
    std::wstring Path(const std::wstring& relative) const { return m_root + relative; }
    // Writes the file, making its folders.
    void Write(const std::wstring& relative, const Bytes& bytes) const;
    void Write(const std::wstring& relative, const std::string& text) const;
    bool Copy(const std::wstring& from, const std::wstring& relative) const;
    void MakeFolder(const std::wstring& relative) const;
    void Remove(const std::wstring& relative) const;

private:
    std::wstring m_root;
};

// The folder of the test program (the runnable tree), with its trailing backslash.
std::wstring BinFolder();
inline Bytes ReadBytes(const std::wstring& path) { return ReadWholeFile(path); }

// PNG files made with libpng's writer.
struct PngLayout {
    int width = 1;
    int height = 1;
    int colorType = 6;  // PNG_COLOR_TYPE_RGB_ALPHA
    int bitDepth = 8;
    bool interlaced = false;
    Bytes samples;             // rows top-down, packed as the colour type and depth say
    Bytes palette;             // r, g, b triples for a palette image
    Bytes transparency;        // tRNS alphas for a palette image
};
Bytes MakePng(const PngLayout& layout);
// An RGBA PNG from r, g, b, a quadruples, rows top-down.
Bytes MakeRgbaPng(int width, int height, const Bytes& rgba);
// A 1x1 opaque PNG of that colour.
Bytes MakeSolidPng(int width, int height, COLORREF colour);

// GIF files with exact codes.
class CGifWriter {
public:
    CGifWriter(int width, int height) : m_width(width), m_height(height) {}
    // Without it every frame needs a local table; bits 1-8.
    void GlobalTable(int bits, const std::vector<COLORREF>& colours);
    void GreyScreen(int bits) { m_globalBits = bits; m_hasGlobal = false; }
    void GraphicControl(int disposal, int delayHundredths, int transparent);
    // One image: pixels are palette indexes, rows in file order.
    struct Frame {
        int left = 0, top = 0, width = 0, height = 0;
        bool interlaced = false;
        int localBits = 0;  // 0: no local table
        std::vector<COLORREF> local;
        int minCodeSize = 0;  // 0: as the colour bits say (at least 2)
    };
    static Frame At(int left, int top, int width, int height)
    {
        Frame frame;
        frame.left = left;
        frame.top = top;
        frame.width = width;
        frame.height = height;
        return frame;
    }
    void Image(const Frame& frame, const Bytes& indexes, bool clearWhenFull = true);
    // An image descriptor followed by the given code stream as data sub-blocks.
    void RawImage(const Frame& frame, int minCodeSize, const Bytes& data);
    void Raw(const Bytes& bytes) { m_body.insert(m_body.end(), bytes.begin(), bytes.end()); }
    Bytes Finish(const char* version = "89a") const;

    // LZW of the GIF format; with clearWhenFull false a full table is kept
    // (12-bit codes go on) and the table is never cleared.
    static Bytes Lzw(const Bytes& indexes, int minCodeSize, bool clearWhenFull, bool startWithClear = true);
    // Codes packed LSB first, each with its own width.
    static Bytes PackCodes(const std::vector<std::pair<int, int>>& codes);
    static Bytes SubBlocks(const Bytes& data);

private:
    void Descriptor(const Frame& frame);
    int m_width, m_height;
    int m_globalBits = 1;
    bool m_hasGlobal = false;
    std::vector<COLORREF> m_global;
    Bytes m_body;
};

// The 32-bit pixels of a DIB section as stored: blue, green, red, alpha.
struct DibPixels {
    int width = 0;
    int height = 0;     // as in the header: positive means bottom-up
    const unsigned char* bits = nullptr;
    const unsigned char* At(int memoryRow, int x) const { return bits + (memoryRow * width + x) * 4; }
};
DibPixels ReadDib(HBITMAP bitmap);

// A 32-bit memory canvas to draw into.
class CCanvas {
public:
    CCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
    ~CCanvas();
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;
    HDC Dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const;

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_before;
};
