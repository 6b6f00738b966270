#include "contactlist/PaletteCtrl.h"

#include "core/AppGlobals.h"

namespace {

const int kSteps[] = {0, 51, 102, 153, 204};

} // namespace

CPaletteCtrl::CPaletteCtrl(HWND parent, int cellWidth, int cellHeight)
    : CListImageCtrl(g_App.hInstance ? g_App.hInstance : GetModuleHandleW(nullptr), parent, kPaletteSize, cellWidth,
                     cellHeight, 1, 1),
      m_colors(10), m_brushes(10)
{
    FillColors(m_colors);
    for (int i = 0; i < m_colors.Count(); ++i)
        m_brushes.Append(CreateSolidBrush(m_colors[i]));
}

CPaletteCtrl::~CPaletteCtrl()
{
    for (int i = 0; i < m_brushes.Count(); ++i)
        DeleteObject(m_brushes[i]);
}

void CPaletteCtrl::FillColors(CJOVArray<unsigned long>& colors)
{
    for (int blue : kSteps) {
        for (int green : kSteps) {
            for (int red : kSteps) {
                colors.Append(RGB(red, green, blue));
                // The primaries follow the runs they top.
                if (red == 204 && green == 0 && blue == 0)
                    colors.Append(RGB(255, 0, 0));
            }
            if (green == 204 && blue == 0)
                colors.Append(RGB(0, 255, 0));
        }
    }
    colors.Append(RGB(0, 0, 255));
}

void CPaletteCtrl::RedrawImage(int index, const RECT& cell, CJOVDrawContext* context)
{
    FillRect(context->hDC, &cell, m_brushes[index]);
}
