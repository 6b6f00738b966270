// The tab strip's geometry at both densities: metrics, where strip and pages
// go, tab widths, the arrows, hit-testing, keeping the current tab in view
// and dragging.
#include <gtest/gtest.h>

#include "contactlist/TabStrip.h"

namespace {

const CTabStrip::PaintStyle kModal = {1, false};
const CTabStrip::PaintStyle kModeless = {1, true};

// A strip across the pocket screen at dpi, with count tabs of width units each.
struct StripAt {
    StripAt(int dpi, int count, int width) : scale(dpi / 96)
    {
        strip.SetMetrics(CTabStrip::MetricsFor(dpi, dpi));
        RECT client = {0, 0, 240 * scale, 294 * scale};
        page = strip.Layout(client, 13 * scale, 0);
        for (int i = 0; i < count; ++i)
            strip.Widths().Append(width * scale);
    }
    POINT At(int x) const
    {
        return POINT{x * scale, (strip.GetRect().top + strip.GetRect().bottom) / 2};
    }

    int scale;
    CTabStrip strip;
    RECT page;
};

class StripDensity : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(StripDensity, MetricsScaleWithTheDensity)
{
    const int dpi = GetParam();
    const int scale = dpi / 96;
    CTabStrip::Metrics m = CTabStrip::MetricsFor(dpi, dpi);
    EXPECT_EQ(m.imageWidth, 16 * scale);
    EXPECT_EQ(m.imageHeight, 16 * scale);
    EXPECT_EQ(m.imageGap, 4 * scale);
    EXPECT_EQ(m.inset, 4 * scale);
    EXPECT_EQ(m.arrowWidth, 15 * scale);
    EXPECT_EQ(m.arrowGap, 2 * scale);
    EXPECT_EQ(m.dragDistance, 16 * scale);
    EXPECT_EQ(m.lineY, scale);

    // A tab is its title plus an inset each side, and the image's place.
    CTabStrip strip;
    strip.SetMetrics(m);
    EXPECT_EQ(strip.TabWidth(50, false), 50 + 8 * scale);
    EXPECT_EQ(strip.TabWidth(50, true), 50 + 28 * scale);
}

TEST_P(StripDensity, StripAlongTheBottomAndPagesAboveIt)
{
    StripAt at(GetParam(), 0, 0);
    const int s = at.scale;
    // 1.5 text heights, truncated: 19 at 96 dpi, 39 at 192.
    const int height = 13 * s * 3 / 2;
    EXPECT_EQ(at.strip.GetRect().bottom, 294 * s);
    EXPECT_EQ(at.strip.GetRect().top, 294 * s - height);
    EXPECT_EQ(at.strip.GetRect().left, 0);
    EXPECT_EQ(at.strip.GetRect().right, 240 * s);
    EXPECT_EQ(at.page.top, 0);
    EXPECT_EQ(at.page.bottom, at.strip.GetRect().top - s) << "one unit clear of the strip";
    EXPECT_EQ(at.strip.RepaintRect().top, at.strip.GetRect().top - s);

    // A toolbar band below the strip (the messaging window's).
    CTabStrip withToolbar;
    withToolbar.SetMetrics(CTabStrip::MetricsFor(GetParam(), GetParam()));
    RECT client = {0, 0, 240 * s, 294 * s};
    RECT page = withToolbar.Layout(client, 13 * s, 20 * s);
    EXPECT_EQ(withToolbar.GetRect().bottom, 274 * s);
    EXPECT_EQ(page.bottom, 274 * s - height - s);
}

TEST_P(StripDensity, ArrowsShowWhenTabsRunPastTheEdge)
{
    // Four tabs of 60 fill the strip exactly: the modal strip needs no
    // arrow, the modeless one shows the next arrow once a tab reaches the edge.
    StripAt exact(GetParam(), 4, 60);
    exact.strip.UpdateArrows(kModal);
    EXPECT_FALSE(exact.strip.NextArrowShown());
    EXPECT_FALSE(exact.strip.PreviousArrowShown());
    exact.strip.UpdateArrows(kModeless);
    EXPECT_TRUE(exact.strip.NextArrowShown());

    StripAt more(GetParam(), 6, 60);
    more.strip.UpdateArrows(kModal);
    EXPECT_TRUE(more.strip.NextArrowShown());
    EXPECT_FALSE(more.strip.PreviousArrowShown());
    more.strip.ScrollBy(1);
    more.strip.UpdateArrows(kModal);
    EXPECT_TRUE(more.strip.PreviousArrowShown());
    EXPECT_TRUE(more.strip.NextArrowShown());
    more.strip.ScrollBy(2);
    more.strip.UpdateArrows(kModal);
    EXPECT_FALSE(more.strip.NextArrowShown()) << "tabs 3 to 5 fit";
}

TEST_P(StripDensity, HitTestFindsTabsAndArrows)
{
    StripAt at(GetParam(), 6, 60);
    at.strip.SetFirstVisible(1);
    at.strip.UpdateArrows(kModal);
    // Tabs from the first visible one.
    EXPECT_EQ(at.strip.HitTest(at.At(10)), 1);
    EXPECT_EQ(at.strip.HitTest(at.At(59)), 1);
    EXPECT_EQ(at.strip.HitTest(at.At(60)), 2);
    EXPECT_EQ(at.strip.HitTest(at.At(130)), 3);
    // The next arrow: its width, ending 1 pixel short of the edge.
    const int right = 240 * at.scale;
    const int arrow = 15 * at.scale;
    const int gap = 2 * at.scale;
    const int middle = (at.strip.GetRect().top + at.strip.GetRect().bottom) / 2;
    EXPECT_EQ(at.strip.HitTest(POINT{right - 1, middle}), CTabStrip::kNextArrow);
    EXPECT_EQ(at.strip.HitTest(POINT{right - arrow - 1, middle}), CTabStrip::kNextArrow);
    EXPECT_EQ(at.strip.HitTest(POINT{right - 1 - arrow - gap, middle}), CTabStrip::kPreviousArrow);
    EXPECT_EQ(at.strip.HitTest(POINT{right - 1 - 2 * arrow - gap, middle}), CTabStrip::kPreviousArrow);
    // Between the arrows: the tab under them.
    EXPECT_EQ(at.strip.HitTest(POINT{right - arrow - 2, middle}), 4);
    // Above the strip: nothing.
    EXPECT_EQ(at.strip.HitTest(POINT{10, at.strip.GetRect().top - 1}), CTabStrip::kNothing);

    // Past the last tab: nothing.
    StripAt few(GetParam(), 2, 60);
    few.strip.UpdateArrows(kModal);
    EXPECT_EQ(few.strip.HitTest(few.At(150)), CTabStrip::kNothing);
    EXPECT_EQ(few.strip.HitTest(few.At(119)), 1);
}

TEST_P(StripDensity, KeepingTheCurrentTabVisibleScrollsAsLittleAsNeeded)
{
    StripAt at(GetParam(), 8, 60);
    at.strip.KeepVisible(3);
    EXPECT_EQ(at.strip.GetFirstVisible(), 0) << "tabs 0 to 3 fit";
    at.strip.KeepVisible(5);
    EXPECT_EQ(at.strip.GetFirstVisible(), 2);
    at.strip.KeepVisible(7);
    EXPECT_EQ(at.strip.GetFirstVisible(), 4);
    at.strip.KeepVisible(1);
    EXPECT_EQ(at.strip.GetFirstVisible(), 1) << "a tab left of the view becomes the first";
    at.strip.KeepVisible(42);
    EXPECT_EQ(at.strip.GetFirstVisible(), 1) << "no such tab: nothing moves";

    // A tab wider than the strip is shown from its start.
    StripAt wide(GetParam(), 3, 300);
    wide.strip.KeepVisible(2);
    EXPECT_EQ(wide.strip.GetFirstVisible(), 2);
}

TEST_P(StripDensity, DraggingBringsInTheTabsLeftOfThePointer)
{
    StripAt at(GetParam(), 8, 60);
    at.strip.Drag(5, 130 * at.scale);
    // Tabs 4 and 3 fit left of x = 130; with tab 2 the sum reaches it.
    EXPECT_EQ(at.strip.GetFirstVisible(), 3);
    at.strip.Drag(5, 10 * at.scale);
    EXPECT_EQ(at.strip.GetFirstVisible(), 5);
    at.strip.Drag(2, 239 * at.scale);
    EXPECT_EQ(at.strip.GetFirstVisible(), 0) << "stops at the first tab";
    at.strip.Drag(-1, 100);
    EXPECT_EQ(at.strip.GetFirstVisible(), 0) << "no pressed tab: no drag";

    at.strip.ScrollBy(-5);
    EXPECT_EQ(at.strip.GetFirstVisible(), 0);
    at.strip.ScrollBy(50);
    EXPECT_EQ(at.strip.GetFirstVisible(), 7);
}

INSTANTIATE_TEST_SUITE_P(Density, StripDensity, ::testing::Values(96, 192));
