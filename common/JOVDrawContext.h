// What the paint and measure operations draw with. Its first member is the
// device context: while painting, the off-screen bitmap's.
#pragma once

#include <windows.h>

class CJOVDrawContext {
public:
    explicit CJOVDrawContext(HDC dc = nullptr) : hDC(dc) {}

    HDC hDC;
};
