#include "chat/Screenshot.h"

#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "HiDpi.h"
#include "messaging/ChatContent.h"
#include "support/ScreenPixels.h"

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
    // The window with its children, as the screen shows it.
    HDC source = GetDC(window);
    const std::vector<DWORD> pixels = CopyPixels(source, client);
    ReleaseDC(window, source);
    return SavePicture(pixels, client.right, client.bottom, name);
}

bool SavePicture(const std::vector<DWORD>& pixels, int width, int height, const wchar_t* name)
{
    if (pixels.empty() || pixels.size() != static_cast<size_t>(width) * height)
        return false;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;
    const std::wstring path = PicturePath(name);
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool written = png_image_write_to_stdio(&image, file, 0, pixels.data(), 0, nullptr) != 0;
    fclose(file);
    return written;
}

std::vector<DWORD> PaintOffScreen(CChatContent& content, int width, int height, HBRUSH background)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownBitmap(screen, width, height, &bits);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const RECT all = {0, 0, width, height};
    FillRect(memory, &all, background);
    CJOVDrawContext context(memory);
    content.Draw(&context, 0);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width * height);
    for (DWORD& pixel : pixels)
        pixel |= 0xFF000000;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}
