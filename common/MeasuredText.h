// Text drawn with the advances its measure gave. A font may draw a text
// wider or narrower than GetTextExtentExPointW measures it (Wine's Tahoma
// does, by up to a character at some sizes); text laid out by the measure
// and drawn so stands where the layout put it, each character in its box.
// UI thread.
#pragma once

#include <windows.h>

#include "JOVCommon.h"

// Draws the count characters with their top left at (x, y), character k at
// x + widths[k] - widths[0]: widths holds count + 1 positions, as the prefix
// widths of a measure from any origin. Line breaks are not drawn, and keep
// what room the widths give them. options and rect as ExtTextOutW takes
// them; ETO_OPAQUE fills rect with the background colour first.
JOV_COMMON_API BOOL DrawTextAtWidths(HDC dc, int x, int y, UINT options, const RECT* rect, const wchar_t* text,
                                     int count, const int* widths);

