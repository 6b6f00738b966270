// Pixels the tests read back: a 32-bit top-down bitmap to draw into, and what
// a device context (the screen, a window) shows, as BGRA values.
#pragma once

#include <windows.h>

#include <vector>

// A 32-bit DIB section, rows from the top; bits points at its pixels.
inline HBITMAP CreateTopDownBitmap(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// The pixels of that part of the source, rows from the top, opaque; empty
// when they could not be copied.
inline std::vector<DWORD> CopyPixels(HDC source, const RECT& part)
{
    const int width = part.right - part.left, height = part.bottom - part.top;
    std::vector<DWORD> pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    HDC memory = CreateCompatibleDC(source);
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownBitmap(source, width, height, &bits);
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, source, part.left, part.top, SRCCOPY)) {
            GdiFlush();
            pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width * height);
            for (DWORD& pixel : pixels)
                pixel |= 0xFF000000;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    return pixels;
}
