// The small drawing chores of the contact-list rows: the skin's colours and
// images, bands and frames, and the blink clock. Lengths are in device
// units, scaled here. UI thread.
#pragma once

#include <windows.h>

#include "JOVString.h"

namespace ListPaint {

// Skin colour index (0 to 20) of the current skin.
COLORREF Color(int index);
// A vertical two-colour band over rect.
void Gradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);
// A one-pixel frame around rect, inside it.
void Frame(HDC dc, const RECT& rect, COLORREF color);
void Line(HDC dc, int x1, int x2, int y, COLORREF color);
// A skin image into rect.
void Image(HDC dc, unsigned int imageId, const RECT& rect);
// A 16 x 16 icon at x (units from x: 3 to 19), centred on mid.
void Icon16(HDC dc, unsigned int imageId, int x, int mid);
// A 14 x 14 icon from x + from to x + to (units), centred on mid.
void Icon14(HDC dc, unsigned int imageId, int x, int from, int to, int mid);
// The text's width in dc's font; false when it cannot be measured.
bool Measure(HDC dc, const CJOVString& text, int* width);
// Transparent text in color; DT_SINGLELINE is added, so DT_VCENTER centres.
void Text(HDC dc, const CJOVString& text, RECT rect, COLORREF color, UINT format);
// Transparent text in color, centred on rect's height (and width when
// centred), each character where the measure puts it, so that what is
// placed beside it by its width stands where it should. Answers the width,
// or -1 when the text cannot be measured (nothing drawn).
int MeasuredText(HDC dc, const CJOVString& text, const RECT& rect, COLORREF color, bool centred);

// The odd half-seconds, in which pending entries show.
bool BlinkOn();
// Milliseconds for the blinking; null goes back to GetTickCount.
typedef DWORD (*BlinkClock)();
void SetBlinkClock(BlinkClock clock);

} // namespace ListPaint
