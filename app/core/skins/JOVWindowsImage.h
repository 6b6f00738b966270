// A PNG file held as a 32-bit DIB section: blue, green, red, alpha, colours
// premultiplied by alpha, rows bottom-up. Converted once when loaded so that
// every draw is one AlphaBlend or one pattern fill.
//
// A file that cannot be opened or decoded, or whose size is beyond reason,
// leaves the image without a bitmap: it exists and draws nothing. A bitmap
// fits one device context at a time: callers serialise the draws of one image.
#pragma once

#include <windows.h>

#include "JOVString.h"
#include "core/skins/JOVImage.h"

class CJOVWindowsImage final : public CJOVImage {
public:
    explicit CJOVWindowsImage(const CJOVString& path);
    ~CJOVWindowsImage() override;
    CJOVWindowsImage(const CJOVWindowsImage&) = delete;
    CJOVWindowsImage& operator=(const CJOVWindowsImage&) = delete;

    void Draw(CJOVDrawContext* dc, int left, int top, int right, int bottom, bool alpha,
              unsigned int constantAlpha) override;

    // 0 when loading failed.
    HBITMAP GetBitmap() const { return m_bitmap; }

    // Neither side may pass this; nor may the pixels pass 64 MB.
    static const unsigned int kMaxSide = 4096;

    // Tests: watch hears the size of each allocation libpng asks for while an
    // image loads, before it is made; null: none.
    static void WatchPngAllocations(void (*watch)(size_t bytes));

private:
    HBITMAP m_bitmap;
};
