// What a drawing leaves on a device context, read back from an enhanced
// metafile: the texts with their colours and places, the lines with their
// pens' colours and the gradients' corner colours. Images go through the
// program's image drawing, which the fixture records apart.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct DrawnText {
    std::wstring text;
    COLORREF color;
    POINT at;
};

struct DrawnLine {
    POINT from;
    POINT to;
    COLORREF color;
};

struct DrawnGradient {
    RECT rect;
    COLORREF top;
    COLORREF bottom;
};

struct DrawRecording {
    std::vector<DrawnText> texts;
    std::vector<DrawnLine> lines;
    std::vector<DrawnGradient> gradients;

    // The first text drawn with that content; null when none.
    const DrawnText* Find(const std::wstring& text) const;
};

// Runs draw on a metafile context in the default GUI font.
DrawRecording RecordDrawing(const std::function<void(HDC)>& draw);
