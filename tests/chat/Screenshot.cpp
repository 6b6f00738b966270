#include "chat/Screenshot.h"

#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "HiDpi.h"

namespace {

std::wstring PicturePath(const wchar_t* name)
{
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module);
    folder = folder.substr(0, folder.find_last_of(L'\\'));        // bin
    folder = folder.substr(0, folder.find_last_of(L'\\')) + L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    HIDPI_InitScaling();
    return folder + L"\\" + name + (g_HIDPI_LogPixelsY >= 192 ? L"-vga.png" : L"-qvga.png");
}

} // namespace

bool SaveWindowPicture(HWND window, const wchar_t* name)
{
    RECT client;
    GetClientRect(window, &client);
    int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0)
        return false;
    // The window with its children, as the screen shows it.
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<unsigned char> rows(static_cast<size_t>(width) * height * 3);
    const unsigned char* pixels = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < width * height; ++i) {
        rows[i * 3] = pixels[i * 4 + 2];
        rows[i * 3 + 1] = pixels[i * 4 + 1];
        rows[i * 3 + 2] = pixels[i * 4];
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);

    FILE* file = _wfopen(PicturePath(name).c_str(), L"wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pngInfo = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (pngInfo && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_IHDR(png, pngInfo, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, pngInfo);
        for (int y = 0; y < height; ++y)
            png_write_row(png, &rows[static_cast<size_t>(y) * width * 3]);
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &pngInfo);
    fclose(file);
    return written;
}
