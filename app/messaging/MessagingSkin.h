// What the messaging windows take from the program's skin: the background
// brush of windows and dialogs and the colours by index, with plain stand-ins
// while there is no skin manager.
// UI thread.
#pragma once

#include <windows.h>

HBRUSH GetSkinBackgroundBrush();
COLORREF GetSkinColour(int index);
