// The plug-in's own dialogs apart from a screen: where the x-status grid goes
// at each density, and the soft keys' captions with no language file.
#include <gtest/gtest.h>

#include "AuthorizationRequestDlg.h"
#include "XStatusesDlg.h"
#include "icqpages/PluginWorld.h"

namespace {

// This copy of the plug-in's code has no language file: the texts are its own.
class CCaptions : public CAuthorizationRequestDlg {
public:
    CCaptions() : CAuthorizationRequestDlg(nullptr, CJOVString()) {}
    using CAuthorizationRequestDlg::GetSoftKeyCap;
};

} // namespace

TEST(PluginDialogs, TheXStatusGridFillsTheWidthAtEitherDensity)
{
    struct Screen {
        int dpi;
        RECT client;
        int cell, gap, width;
    };
    // The dialog's client area above its soft keys; the last field ends at 100 or 200.
    const Screen screens[] = {{96, {0, 0, 240, 294}, 16, 5, 240}, {192, {0, 0, 480, 588}, 32, 10, 480}};
    for (const Screen& screen : screens) {
        SCOPED_TRACE(screen.dpi);
        const int top = screen.client.bottom / 3;
        XStatusGridLayout grid = LayoutXStatusGrid(screen.dpi, screen.dpi, screen.client, top);
        EXPECT_EQ(grid.cellWidth, screen.cell);
        EXPECT_EQ(grid.cellHeight, screen.cell);
        EXPECT_EQ(grid.vertGap, screen.gap);
        EXPECT_EQ(grid.rect.top, top + 5);
        EXPECT_EQ(grid.rect.left, 5);
        EXPECT_EQ(grid.rect.right, screen.width - 5);
        EXPECT_EQ(grid.rect.bottom - grid.rect.top, 6 * (screen.cell + screen.gap)) << "six rows at most";
        // Six cells and five gaps span the grid's inside, the remainder under one gap's share.
        const int inside = grid.rect.right - grid.rect.left - 4;
        const int used = 6 * grid.cellWidth + 5 * grid.horzGap;
        EXPECT_LE(used, inside);
        EXPECT_LT(inside - used, 5);
    }
    // A grid squeezed below its cells keeps no negative gap.
    XStatusGridLayout narrow = LayoutXStatusGrid(96, 96, RECT{0, 0, 80, 300}, 0);
    EXPECT_EQ(narrow.horzGap, 0);
}

TEST(PluginDialogs, TheSoftKeysSayOkAndCancelWithoutALanguageFile)
{
    CCaptions dialog;
    CJOVString caption;
    ASSERT_TRUE(dialog.GetSoftKeyCap(0, caption));
    EXPECT_EQ(Str(caption), L"OK");
    ASSERT_TRUE(dialog.GetSoftKeyCap(1, caption));
    EXPECT_EQ(Str(caption), L"Cancel");
    EXPECT_FALSE(dialog.GetSoftKeyCap(2, caption));
}
