// GIF decoding (87a and 89a) into 8-bit device-independent bitmaps, one per
// frame, each with its own palette, position, transparent index, delay and
// disposal method. The smilies set decodes each smiley with it. Diagnostics
// go to the debug output only.
//
// A damaged or hostile file never writes outside a frame's buffers: sizes are
// bounded, every fetch stays inside the data, a frame whose data fails to
// decode is dropped and one cut short keeps what was decoded.
#pragma once

#include <windows.h>

struct GifFrame {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;             // 1-8: the palette holds 2^bits entries
    unsigned char* pixels = nullptr;  // palette indexes, rows top-down, bytesPerRow apart
    RGBQUAD* palette = nullptr;       // inside bitmapInfo, after the header
    int bytesPerRow = 0;              // the width rounded up to a multiple of 4
    int transparent = -1;             // palette index, -1 when none
    int x = 0;                        // position on the logical screen
    int y = 0;
    int delay = 0;                    // milliseconds
    int disposal = 0;                 // of the graphic control block; 0 when none
    BITMAPINFO* bitmapInfo = nullptr;  // header and palette, for SetDIBitsToDevice

    // Frees the buffers, then allocates them for that size; false when the
    // size is out of bounds or memory runs out (the frame then holds none).
    bool Init(int frameWidth, int frameHeight, int bits);
    void Release();
};

struct GifImage {
    int width = 0;   // the logical screen
    int height = 0;
    int reserved = 0;
    GifFrame** frames = nullptr;
    int frameCount = 0;

    // Takes the frame; false (frame not taken) when memory runs out.
    bool AddFrame(GifFrame* frame);
    // Releases and deletes every frame.
    void FreeFrames();
};

// Neither side of a frame or of the screen may pass this, nor may a file hold
// more frames, nor may its frames together hold more pixels than one frame
// of the largest size (a frame of a few bytes may ask for 16 MB).
const int kGifMaxSide = 4096;
const int kGifMaxFrames = 1024;
const long long kGifMaxPixels = static_cast<long long>(kGifMaxSide) * kGifMaxSide;

// Decodes the file into image; the number of frames added (0 on failure).
int LoadGif(GifImage* image, const wchar_t* path);
// The same over a file already in memory.
int DecodeGif(GifImage* image, const unsigned char* bytes, size_t length);

// Variable-length LZW of the GIF format from length bytes of data (followed by
// 4 readable spare bytes) into a frame's pixels. The bits consumed, or 0 when
// the stream is invalid or yields no pixel. Data that ends early leaves the
// pixels not reached untouched.
int DecodeGifLzw(const unsigned char* data, int length, unsigned char* pixels, int minCodeSize, int bytesPerRow,
                 int width, int height, bool interlaced);
