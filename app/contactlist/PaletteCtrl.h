// The palette's grid: 128 fixed colours, 8 a row, on the image grid.
// UI thread.
#pragma once

#include "JOVArray.h"
#include "ListImageCtrl.h"

constexpr int kPaletteSize = 128;

class CPaletteCtrl : public CListImageCtrl {
public:
    CPaletteCtrl(HWND parent, int cellWidth, int cellHeight);
    ~CPaletteCtrl() override;

    // The colour of a cell; index past the end gives the last.
    COLORREF GetColor(int index) const { return m_colors[index]; }
    // The palette's colours in grid order.
    static void FillColors(CJOVArray<unsigned long>& colors);

protected:
    void RedrawImage(int index, const RECT& cell, CJOVDrawContext* context) override;

private:
    CJOVArray<unsigned long> m_colors;
    CJOVArray<HBRUSH> m_brushes;
};
