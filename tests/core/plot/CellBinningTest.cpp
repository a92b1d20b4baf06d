#include <gtest/gtest.h>

#include <random>

#include "core/plot/CellBinning.h"
#include "core/plot/SampleBinner.h"
#include "support/PlotFixture.h"

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

TEST(CellBinningTest, PassBinnerAgreesWithTheStepwiseSearchEvenOnDisorderedAxes) {
    std::mt19937 random(11);
    for (bool disordered : {false, true}) {
        TPlotFixture f;
        if (disordered) {
            std::swap(f.LhRpmBounds[4], f.LhRpmBounds[9]);
            std::swap(f.EzkLoadBounds[2], f.EzkLoadBounds[3]);
            std::swap(f.LhLoad[5], f.LhLoad[6]);
        }
        for (int r = 0; r < MapSize; ++r)
            for (int l = 0; l < MapSize; ++l) f.FuelAdjustment.At(r, l) = 0.9 + 0.01 * ((r * 7 + l * 3) % 20);
        const TSampleBinner binner(f.Context());
        for (int i = 0; i < 20000; ++i) {
            // Mostly small steps (the binner remembers its last answer), some jumps
            // and values right on a bound.
            TLogDataEntry e =
                TPlotFixture::Sample(random() % 8000, random() % 1200, -5.0 + random() % 110, 14);
            if (i % 5 == 0) e.Rpm = f.LhRpmBounds[random() % 17];
            if (i % 7 == 0) e.Load = f.EzkLoadBounds[random() % 17];
            for (TPlotView view : {TPlotView::LH, TPlotView::EZK})
                ASSERT_EQ(binner.Cell(e, view), SampleCell(e, view, f.Context())) << e.Rpm;
            const TSampleBinner fresh(f.Context());
            ASSERT_EQ(binner.PlottedAfr(e), fresh.PlottedAfr(e)) << e.Rpm << " " << e.PlotMaf;
        }
    }
}

}  // namespace
}  // namespace kelvane
