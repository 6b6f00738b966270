#include "HiDpi.h"

int g_HIDPI_LogPixelsX = 0;
int g_HIDPI_LogPixelsY = 0;

namespace {

int Scale(int n, int dpi)
{
    if (n < 0)
        return -((-n * dpi + 48) / 96);
    return (n * dpi + 48) / 96;
}

} // namespace

void HIDPI_InitScaling()
{
    if (g_HIDPI_LogPixelsX != 0)
        return;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return;
    g_HIDPI_LogPixelsY = GetDeviceCaps(screen, LOGPIXELSY);
    g_HIDPI_LogPixelsX = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
}

int HIDPI_ScaleX(int n)
{
    HIDPI_InitScaling();
    return Scale(n, g_HIDPI_LogPixelsX);
}

int HIDPI_ScaleY(int n)
{
    if (g_HIDPI_LogPixelsY == 0)
        HIDPI_InitScaling();
    return Scale(n, g_HIDPI_LogPixelsY);
}
