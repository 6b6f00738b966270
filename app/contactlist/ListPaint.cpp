#include "contactlist/ListPaint.h"

#include <atomic>
#include <vector>

#include "HiDpi.h"
#include "MeasuredText.h"
#include "contactlist/DialogSkin.h"
#include "core/AppGlobals.h"
#include "messaging/TextMeasurer.h"

namespace ListPaint {

namespace {

std::atomic<BlinkClock> s_clock{nullptr};

COLOR16 Channel(BYTE value)
{
    return static_cast<COLOR16>(value * 255);
}

TRIVERTEX Vertex(int x, int y, COLORREF color)
{
    TRIVERTEX vertex = {};
    vertex.x = x;
    vertex.y = y;
    vertex.Red = Channel(GetRValue(color));
    vertex.Green = Channel(GetGValue(color));
    vertex.Blue = Channel(GetBValue(color));
    vertex.Alpha = 0;
    return vertex;
}

} // namespace

COLORREF Color(int index)
{
    return DialogSkin().GetColor(index);
}

void Gradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom)
{
    TRIVERTEX vertices[2] = {Vertex(rect.left, rect.top, top), Vertex(rect.right, rect.bottom, bottom)};
    GRADIENT_RECT band = {0, 1};
    GradientFill(dc, vertices, 2, &band, 1, GRADIENT_FILL_RECT_V);
}

void Frame(HDC dc, const RECT& rect, COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void Line(HDC dc, int x1, int x2, int y, COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, x1, y, nullptr);
    LineTo(dc, x2, y);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void Image(HDC dc, unsigned int imageId, const RECT& rect)
{
    if (g_App.pServices)
        g_App.pServices->DrawImage(imageId, dc, rect);
}

void Icon16(HDC dc, unsigned int imageId, int x, int mid)
{
    const RECT rect = {x + HIDPI_ScaleX(3), mid - HIDPI_ScaleY(8), x + HIDPI_ScaleX(19), mid + HIDPI_ScaleY(8)};
    Image(dc, imageId, rect);
}

void Icon14(HDC dc, unsigned int imageId, int x, int from, int to, int mid)
{
    const RECT rect = {x + HIDPI_ScaleX(from), mid - HIDPI_ScaleY(7), x + HIDPI_ScaleX(to), mid + HIDPI_ScaleY(7)};
    Image(dc, imageId, rect);
}

bool Measure(HDC dc, const CJOVString& text, int* width)
{
    SIZE size = {};
    if (!GetTextExtentExPointW(dc, text.Data() ? text.Data() : L"", text.GetLength(), 0, nullptr, nullptr, &size))
        return false;
    *width = size.cx;
    return true;
}

void Text(HDC dc, const CJOVString& text, RECT rect, COLORREF color, UINT format)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text.Data() ? text.Data() : L"", text.GetLength(), &rect, format | DT_SINGLELINE);
}

int MeasuredText(HDC dc, const CJOVString& text, const RECT& rect, COLORREF color, bool centred)
{
    const wchar_t* chars = text.Data() ? text.Data() : L"";
    const int count = text.GetLength();
    if (count == 0)
        return 0;
    CGdiTextMeasurer measurer;
    std::vector<int> widths;
    const int height = MeasurePrefixes(measurer, dc, chars, count, widths);
    if (height == 0)
        return -1;
    // Where DT_CENTER and DT_VCENTER put a single line.
    const int x = centred ? (rect.left + rect.right - widths[count]) / 2 : rect.left;
    const int y = rect.top + (rect.bottom - rect.top) / 2 - height / 2;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextAtWidths(dc, x, y, 0, nullptr, chars, count, widths.data());
    return widths[count];
}

bool BlinkOn()
{
    BlinkClock clock = s_clock.load();
    return ((clock ? clock() : GetTickCount()) / 500) % 2 == 1;
}

void SetBlinkClock(BlinkClock clock)
{
    s_clock.store(clock);
}

} // namespace ListPaint
