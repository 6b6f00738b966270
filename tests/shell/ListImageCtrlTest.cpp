// The image grid: layout with and without the scroll bar, taps, the arrow
// keys and Return, and the selection kept in view.
#include <gtest/gtest.h>

#include <map>

#include "ListImageCtrl.h"
#include "ShellTestSupport.h"

namespace {

class CProbeGrid : public CListImageCtrl {
public:
    using CListImageCtrl::CListImageCtrl;
    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }
    std::map<int, RECT> drawn;

protected:
    void RedrawImage(int index, const RECT& cell, CJOVDrawContext*) override { drawn[index] = cell; }
};

class ImageGrid : public ::testing::Test {
protected:
    // A grid whose client area (without a scroll bar) is width x height.
    std::unique_ptr<CProbeGrid> Make(int count, int width, int height)
    {
        auto grid = std::make_unique<CProbeGrid>(TestModule(), host.Window(), count, 20, 20, 4, 4);
        RECT rect = {0, 0, width, height};
        AdjustWindowRectEx(&rect, WS_CHILD | WS_BORDER, FALSE, 0);
        OffsetRect(&rect, -rect.left, -rect.top);
        EXPECT_EQ(grid->Create(WS_VISIBLE, rect), 1);
        return grid;
    }

    void Tap(HWND grid, int x, int y) { SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Key(HWND grid, UINT key) { SendMessageW(grid, WM_KEYDOWN, key, 1); }
    int Told(UINT message) const { return host.Count(message); }
    LPARAM LastIndex(UINT message) const { return host.Last(message) ? host.Last(message)->lParam : -100; }

    CTestHost host;
};

} // namespace

TEST_F(ImageGrid, TooManyRowsBringTheScrollBarAndFewerColumns)
{
    // 100 x 60, cells 20 x 20, gaps 4, 12 images: 4 columns, 3 rows, 2 visible.
    auto grid = Make(12, 100, 60);
    int columns = (98 - GetSystemMetrics(SM_CXVSCROLL) + 4) / 24;
    int rows = (12 + columns - 1) / columns;
    EXPECT_EQ(grid->Columns(), columns);
    EXPECT_EQ(grid->Rows(), rows);
    EXPECT_EQ(grid->GetScrollTic(), 24);
    EXPECT_EQ(grid->GetScrollMaxRange(), rows * 24 - 4);
    EXPECT_EQ(grid->GetScrollPage(), 60);

    // Laid out again on a size change only.
    grid->Resize(300, 300);
    EXPECT_EQ(grid->Columns(), (300 - 2 - 2 + 4) / 24);  // less the border and the inset
    EXPECT_EQ(grid->GetScrollMaxRange(), 0);
}

TEST_F(ImageGrid, CellsAreDrawnWhereTheyLie)
{
    auto grid = Make(5, 200, 100);
    EXPECT_EQ(grid->GetScrollTic(), 10);  // no scroll bar: the first step stays
    EXPECT_EQ(grid->Columns(), 8);
    UpdateWindow(*grid);
    ASSERT_EQ(grid->drawn.size(), 5u);
    RECT first = grid->drawn[0];
    EXPECT_EQ(first.left, 1);
    EXPECT_EQ(first.top, 1);
    EXPECT_EQ(first.right, 21);
    EXPECT_EQ(first.bottom, 21);
    EXPECT_EQ(grid->drawn[4].left, 4 * 24 + 1);
}

TEST_F(ImageGrid, ATapOnACellChoosesItAndAGapNothing)
{
    auto grid = Make(12, 200, 100);
    HWND window = *grid;
    Tap(window, 22, 5);  // between cells 0 and 1
    EXPECT_EQ(grid->GetSelectImage(), -1);
    EXPECT_EQ(Told(WM_JOV_IMAGE_CHOSEN), 0);
    Tap(window, 5, 21);  // just below cell 0
    EXPECT_EQ(grid->GetSelectImage(), -1);

    Tap(window, 25 + 3, 25 + 3);  // row 1, column 1
    EXPECT_EQ(grid->GetSelectImage(), grid->Columns() + 1);
    ASSERT_EQ(Told(WM_JOV_IMAGE_CHOSEN), 1);
    EXPECT_EQ(host.Last(WM_JOV_IMAGE_CHOSEN)->wParam, reinterpret_cast<WPARAM>(window));
    EXPECT_EQ(LastIndex(WM_JOV_IMAGE_CHOSEN), grid->Columns() + 1);

    // Losing the selection repaints the old frame away.
    UpdateWindow(window);
    Tap(window, 199, 99);
    EXPECT_EQ(grid->GetSelectImage(), -1);
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE));
}

TEST_F(ImageGrid, ArrowKeysMoveTheSelectionWithinTheGrid)
{
    // 10 images in 3 columns: the last row holds image 9 alone.
    auto grid = Make(10, 3 * 24, 200);
    ASSERT_EQ(grid->Columns(), 3);
    HWND window = *grid;
    Key(window, VK_LEFT);
    Key(window, VK_DOWN);
    EXPECT_EQ(Told(WM_JOV_IMAGE_SELECTED), 0);
    Key(window, VK_RIGHT);  // from none to the first
    EXPECT_EQ(grid->GetSelectImage(), 0);
    EXPECT_EQ(LastIndex(WM_JOV_IMAGE_SELECTED), 0);
    Key(window, VK_RIGHT);
    Key(window, VK_UP);  // first row: to image 0
    EXPECT_EQ(grid->GetSelectImage(), 0);
    Key(window, VK_DOWN);
    Key(window, VK_DOWN);
    Key(window, VK_RIGHT);
    EXPECT_EQ(grid->GetSelectImage(), 7);
    Key(window, VK_DOWN);  // the row below is shorter
    EXPECT_EQ(grid->GetSelectImage(), 9);
    Key(window, VK_RIGHT);
    Key(window, VK_DOWN);
    EXPECT_EQ(grid->GetSelectImage(), 9);
    Key(window, VK_UP);
    EXPECT_EQ(grid->GetSelectImage(), 6);
    EXPECT_EQ(Told(WM_JOV_IMAGE_SELECTED), 8);
    EXPECT_EQ(Told(WM_JOV_IMAGE_CHOSEN), 0);
    Key(window, VK_RETURN);
    EXPECT_EQ(LastIndex(WM_JOV_IMAGE_CHOSEN), 6);
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

TEST_F(ImageGrid, DownInTheLastRowGoesToTheLastImage)
{
    auto grid = Make(8, 3 * 24, 200);
    grid->SetSelectImage(6);
    Key(*grid, VK_DOWN);
    EXPECT_EQ(grid->GetSelectImage(), 7);
}

TEST_F(ImageGrid, TheSelectionIsScrolledIntoView)
{
    auto grid = Make(30, 100, 60);
    grid->SetSelectImage(29);
    EXPECT_GT(grid->GetScrollPos(), 0);
    UpdateWindow(*grid);
    RECT last = grid->drawn[29];
    EXPECT_GE(last.top, 1);
    EXPECT_LE(last.bottom, grid->GetClientHeight());
    grid->SetSelectImage(0);
    EXPECT_EQ(grid->GetScrollPos(), 0);
}
