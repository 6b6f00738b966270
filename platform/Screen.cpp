#include "Screen.h"

namespace Platform {

namespace {

const int kMenuBarUnits = 26;

int ReadDpi(int index)
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, index) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

} // namespace

RECT GetScreenRect()
{
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return screen;
}

int GetScreenDpiX()
{
    return ReadDpi(LOGPIXELSX);
}

int GetScreenDpiY()
{
    return ReadDpi(LOGPIXELSY);
}

int GetMenuBarHeight()
{
    return (kMenuBarUnits * GetScreenDpiY() + 48) / 96;
}

RECT GetFullScreenRect(bool withMenuBar)
{
    RECT band = GetScreenRect();
    if (withMenuBar)
        band.bottom -= GetMenuBarHeight();
    return band;
}

} // namespace Platform
