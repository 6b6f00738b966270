#include "core/notify/ImageIcon.h"

#include <algorithm>

namespace {

const DWORD kOpaque = 0xFF000000;

} // namespace

int IconSide(int dpi)
{
    return (16 * dpi + 48) / 96;
}

HICON CreateImageIcon(CNotifyHost& host, const std::vector<int>& images, int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!color)
        return nullptr;
    DWORD* pixels = static_cast<DWORD*>(bits);
    std::fill(pixels, pixels + width * height, 0);
    bool drawn = !images.empty() && images.front() != -1;
    if (drawn) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, color);
        RECT rect = {0, 0, width, height};
        for (int image : images)
            host.DrawImage(image, dc, rect);
        GdiFlush();
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    // Rows of the mask are padded to 16 bits; a set bit is transparent.
    int stride = ((width + 15) / 16) * 2;
    std::vector<BYTE> mask(static_cast<size_t>(stride) * height, 0xFF);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            DWORD& pixel = pixels[y * width + x];
            bool opaque = drawn && (pixel & 0x00FFFFFF) != 0;
            // The alpha channel says the same as the mask, whatever drawing left there.
            pixel = opaque ? (pixel | kOpaque) : 0;
            if (opaque)
                mask[y * stride + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
        }
    }
    HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, mask.data());
    HICON icon = nullptr;
    if (maskBitmap) {
        ICONINFO iconInfo = {TRUE, 0, 0, maskBitmap, color};
        icon = CreateIconIndirect(&iconInfo);
        DeleteObject(maskBitmap);
    }
    // The icon holds copies: the bitmaps go now.
    DeleteObject(color);
    return icon;
}
