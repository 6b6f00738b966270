#include "Screen.h"

namespace Platform {

namespace {

const int kMenuBarUnits = 26;
// The pocket screen in units of 1/96 inch: 240x320 pixels at 96 dpi, 480x640 at 192.
const int kScreenWidthUnits = 240;
const int kScreenHeightUnits = 320;

int ReadDpi(int index)
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, index) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

} // namespace

// Fixed by the density, not read from the desktop: layouts are then the same
// on every run, whatever display the desktop happens to have.
RECT GetScreenRect()
{
    RECT screen = {0, 0, kScreenWidthUnits * GetScreenDpiX() / 96, kScreenHeightUnits * GetScreenDpiY() / 96};
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
