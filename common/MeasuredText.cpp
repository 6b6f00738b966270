#include "MeasuredText.h"

#include <vector>

namespace {

bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

} // namespace

BOOL DrawTextAtWidths(HDC dc, int x, int y, UINT options, const RECT* rect, const wchar_t* text, int count,
                      const int* widths)
{
    if ((options & ETO_OPAQUE) && rect)
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    options &= ~static_cast<UINT>(ETO_OPAQUE);
    // Most pieces are a few words: their advances fit on the stack.
    INT local[128];
    std::vector<INT> heap;
    INT* advances = local;
    if (count > static_cast<int>(sizeof(local) / sizeof(local[0]))) {
        heap.resize(static_cast<size_t>(count));
        advances = heap.data();
    }
    for (int k = 0; k < count; ++k)
        advances[k] = widths[k + 1] - widths[k];
    BOOL drawn = TRUE;
    for (int from = 0; from < count;) {
        if (IsLineBreak(text[from])) {
            ++from;
            continue;
        }
        int to = from;
        while (to < count && !IsLineBreak(text[to]))
            ++to;
        if (!ExtTextOutW(dc, x + widths[from] - widths[0], y, options, rect, text + from,
                         static_cast<UINT>(to - from), advances + from))
            drawn = FALSE;
        from = to;
    }
    return drawn;
}
