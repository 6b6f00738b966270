#include "dialogs/Screenshot.h"

#include <png.h>

#include <vector>

#include "JOVString.h"
#include "Screen.h"
#include "support/ScreenPixels.h"

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
    HDC screenDc = GetDC(nullptr);
    const std::vector<DWORD> pixels = CopyPixels(screenDc, screen);
    ReleaseDC(nullptr, screenDc);
    if (pixels.empty())
        return false;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(screen.right - screen.left);
    image.height = static_cast<png_uint_32>(screen.bottom - screen.top);
    image.format = PNG_FORMAT_BGRA;
    std::string path = Folder();
    for (wchar_t c : area + L"-" + what + L"-" + ScreenName() + L".png")
        path += static_cast<char>(c);
    return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}
