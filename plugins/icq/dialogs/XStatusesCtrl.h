// The x-status dialog's grid: "none" and the 35 x-status pictures, drawn by
// the skin manager from the account's image ids.
// UI thread.
#pragma once

#include "JOVArray.h"
#include "ListImageCtrl.h"

const int kXStatusPictureCount = 36;

class CXStatusesCtrl : public CListImageCtrl {
public:
    // images: entry n the picture of x-status n, entry 0 of none; not owned.
    CXStatusesCtrl(HINSTANCE instance, HWND parent, const CJOVArray<unsigned int>& images, int cellWidth,
                   int cellHeight, int horzGap, int vertGap);

protected:
    HBRUSH GetBkBrush() override;
    // An index past the images draws the last one.
    void RedrawImage(int index, const RECT& cell, CJOVDrawContext* context) override;

private:
    const CJOVArray<unsigned int>& m_images;
};
