#include "messaging/TextMeasurer.h"

bool CGdiTextMeasurer::GetExtents(HDC dc, const wchar_t* text, int count, int* extents, SIZE* size)
{
    return GetTextExtentExPointW(dc, text, count, 0, nullptr, extents, size) != FALSE;
}

int MeasurePrefixes(CTextMeasurer& measurer, HDC dc, const wchar_t* text, int count, std::vector<int>& widths)
{
    widths.assign(count + 1, 0);
    SIZE size = {0, 0};
    if (count > 0 && !measurer.GetExtents(dc, text, count, widths.data() + 1, &size)) {
        widths.assign(count + 1, 0);
        return 0;
    }
    return size.cy;
}
