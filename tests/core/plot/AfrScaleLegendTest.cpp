#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/plot/AfrScaleLegend.h"
#include "core/plot/AxisLabels.h"
#include "support/PlotGeometryFixture.h"

namespace kelvane {
namespace {

TEST(AfrScaleTest, BarValuesAndTicks) {
    const TColorTable table = BuiltInColorTable(2);  // 12 .. 17
    EXPECT_DOUBLE_EQ(AfrScaleBarValue(table, 0), 12.0);
    EXPECT_DOUBLE_EQ(AfrScaleBarValue(table, 100), 14.5);
    EXPECT_DOUBLE_EQ(AfrScaleBarValue(table, 200), 17.0);
    const std::vector<TAfrScaleTick> expected = {{15, "12.0"},  {55, "13.0"},  {95, "14.0"},
                                                 {135, "15.0"}, {175, "16.0"}, {215, "17.0"}};
    EXPECT_EQ(AfrScaleTicks(table), expected);

    const TColorTable wide = {{10, 0}, {20.005, 0}};  // a range above 6 ticks every 2 units
    const auto ticks = AfrScaleTicks(wide);
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks[1].Text, "12.0");
    EXPECT_EQ(ticks.back().Text, "20.0");
    EXPECT_EQ(ticks.back().X, 215);

    const TColorTable huge = {{0, 0}, {1e12, 0}};  // never millions of ticks
    EXPECT_LE(AfrScaleTicks(huge).size(), 201u);
    EXPECT_EQ(AfrScaleTicks({{5, 0}, {5, 0}}).size(), 1u);
    EXPECT_TRUE(AfrScaleTicks({}).empty());
}

TEST(AfrScaleTest, BoxPositionDragAndStore) {
    EXPECT_EQ(AfrScaleBoxOrigin(10, -45, 1238, 830), (TPixelPoint{10, 785}));
    EXPECT_EQ(AfrScaleBoxOrigin(-240, 1000, 1238, 830), (TPixelPoint{998, 795}));  // kept inside
    EXPECT_EQ(ClampAfrScaleBox(-5, 900, 1238, 830), (TPixelPoint{0, 795}));
    EXPECT_EQ(ClampAfrScaleBox(50, 50, 100, 20), (TPixelPoint{0, 0}));  // image smaller than the box

    EXPECT_EQ(StoredAfrScalePosition(1000, 100, 1238, 830), (TPixelPoint{-238, 100}));
    EXPECT_EQ(StoredAfrScalePosition(100, 700, 1238, 830), (TPixelPoint{100, -130}));
    // Stored from the nearer edge, the box keeps its distance to it after a resize.
    const TPixelPoint stored = StoredAfrScalePosition(1000, 700, 1238, 830);
    EXPECT_EQ(AfrScaleBoxOrigin(stored.X, stored.Y, 1238, 830), (TPixelPoint{1000, 700}));
    EXPECT_EQ(AfrScaleBoxOrigin(stored.X, stored.Y, 1438, 930), (TPixelPoint{1200, 800}));
}

// Until the user drags it, the legend sits inside the plot, off the frame
// line and clear of every label, whatever the window's size and view.
TEST(AfrScaleTest, DefaultPlaceIsInsideThePlotClearOfTheLabels) {
    const TMapAxes axes = DefaultAxes();
    const int textHeight = 10;
    const TPlotDisplay display;
    for (const TPlotView view : {TPlotView::LH, TPlotView::EZK})
        for (const auto& [width, height] :
             {std::pair{400, 250}, std::pair{800, 600}, std::pair{1600, 1000}}) {
            SCOPED_TRACE(::testing::Message() << width << " x " << height);
            const TPlotGeometry g(axes, {0, 6600, 28, 387}, view, false, width, height,
                                  TitledMargins(axes, view, FixedWidth, textHeight));
            const TPixelPoint box = AfrScaleBoxOrigin(display.AfrScaleX, display.AfrScaleY, width, height);
            EXPECT_GT(box.X, g.PlotLeft());
            EXPECT_GT(box.Y, g.PlotTop());
            EXPECT_LT(box.X + AfrScaleWidth, g.PlotLeft() + g.PlotWidth());
            EXPECT_LT(box.Y + AfrScaleHeight, g.PlotTop() + g.PlotHeight());
            const TGridLayout layout = GridLayout(g, FixedWidth, textHeight);
            for (const TAxisLabel& label : layout.LoadLabels) {
                const int right = g.PlotLeft() - 2;
                const int top = label.Position - textHeight / 2;
                const bool overlaps =
                    box.X < right && top < box.Y + AfrScaleHeight && box.Y < top + textHeight;
                EXPECT_FALSE(overlaps) << label.Text;
            }
        }
}

}  // namespace
}  // namespace kelvane
