#include <gtest/gtest.h>

#include "PlotFixture.h"
#include "core/plot/CellBinning.h"

namespace kelvane {
namespace {

TEST(CellBinningTest, ValuesOnABoundBelongToTheLowerCellAndOuterCellsReachTheEnds) {
    TPlotFixture f;
    struct TCase {
        double Value;
        int Cell;
    };
    // LH RPM bounds: 0, 600, 850, 1150, ... 6250, 100000.
    const TCase cases[] = {{600, 0},   {600.01, 1}, {0.5, 0},     {-50, 0},    {0, 0},    {850, 1},
                           {850.5, 2}, {6250, 14},  {6250.1, 15}, {99999, 15}, {1e9, 15}, {MissingValue, 0}};
    for (const TCase& c : cases) EXPECT_EQ(AxisCellOf(c.Value, f.LhRpmBounds), c.Cell) << c.Value;
}

TEST(CellBinningTest, ViewPicksTheGridAndTheLoadValue) {
    TPlotFixture f;
    const TLogDataEntry e = TPlotFixture::Sample(2000, 400, 51, 14);
    // LH: 2000 is breakpoint 5; PlotMaf 400 is breakpoint 5 (100 + 60 * 5).
    EXPECT_EQ(SampleCell(e, TPlotView::LH, f.Context()), (TCell{5, 5}));
    // EZK: 2000 is the bound between breakpoints 1800 and 2200, so the lower
    // cell 3; Load 51 lies in (50, 56.67], cell 8.
    EXPECT_EQ(SampleCell(e, TPlotView::EZK, f.Context()), (TCell{3, 8}));
    EXPECT_EQ(CellOf(2000, 51, TPlotView::EZK, f.Context()), (TCell{3, 8}));
    EXPECT_EQ(CellOf(2000, 51, TPlotView::LH, f.Context()), (TCell{5, 0}));
}

TEST(CellBinningTest, ClosedCellsHoldABoundValueTwiceAndNothingOutside) {
    TPlotFixture f;
    struct TCase {
        double Value;
        int First;
        int Last;  // First > Last: no cell
    };
    const TCase cases[] = {
        {600, 0, 1},       {600.01, 1, 1}, {0, 0, 0},    {-0.01, 0, -1}, {100000, 15, 15},
        {100000.5, 0, -1}, {2900, 7, 7},   {3000, 7, 8}, {6250, 14, 15},
    };
    for (const TCase& c : cases) {
        const TCellSpan span = AxisCellsHolding(c.Value, f.LhRpmBounds);
        if (c.First > c.Last) {
            EXPECT_TRUE(span.Empty()) << c.Value;
        } else {
            EXPECT_EQ(span.First, c.First) << c.Value;
            EXPECT_EQ(span.Last, c.Last) << c.Value;
        }
    }
    // The EZK load axis starts below zero.
    EXPECT_EQ(AxisCellsHolding(-3.33, f.EzkLoadBounds).First, 0);
    EXPECT_TRUE(AxisCellsHolding(-3.34, f.EzkLoadBounds).Empty());
}

}  // namespace
}  // namespace kelvane
