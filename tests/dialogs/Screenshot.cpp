#include "dialogs/Screenshot.h"

#include <png.h>

#include <vector>

#include "JOVString.h"
#include "Screen.h"

namespace {

BOOL CALLBACK RepaintNow(HWND window, LPARAM)
{
    if (IsWindowVisible(window))
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return TRUE;
}

std::string Folder()
{
    CJOVString app = GetAppDir() + CJOVString(L"..\\screenshots\\");
    CreateDirectoryW(app, nullptr);
    unsigned char* narrow = app.GetBuffer(CP_ACP);
    std::string folder = narrow ? reinterpret_cast<char*>(narrow) : "";
    CJOVString::FreeBuffer(narrow);
    return folder;
}

} // namespace

std::wstring ScreenName()
{
    return Platform::GetScreenDpiX() >= 192 ? L"vga" : L"qvga";
}

bool SaveScreenshot(const std::wstring& what)
{
    return SaveScreenshotAs(L"dialogs", what);
}

bool SaveScreenshotAs(const std::wstring& area, const std::wstring& what)
{
    EnumThreadWindows(GetCurrentThreadId(), RepaintNow, 0);
    GdiFlush();
    // Waiting for messages is when the display driver sends out what was drawn.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);

    RECT screen = Platform::GetScreenRect();
    const int width = screen.right - screen.left, height = screen.bottom - screen.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    HDC screenDc = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool taken = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        taken = BitBlt(memory, 0, 0, width, height, screenDc, screen.left, screen.top, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, old);
    }
    bool written = false;
    if (taken) {
        const int stride = (width * 3 + 3) & ~3;
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width);
        image.height = static_cast<png_uint_32>(height);
        image.format = PNG_FORMAT_BGR;
        std::string path = Folder();
        for (wchar_t c : area + L"-" + what + L"-" + ScreenName() + L".png")
            path += static_cast<char>(c);
        written = png_image_write_to_file(&image, path.c_str(), 0, bits, stride, nullptr) != 0;
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screenDc);
    return written;
}
