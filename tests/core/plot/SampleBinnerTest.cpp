#include <gtest/gtest.h>

#include <random>

#include "core/plot/CellBinning.h"
#include "core/plot/PlottedAfr.h"
#include "core/plot/SampleBinner.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

// The pass binner locates a sample once for both its fuel map cell and the
// adjustment it interpolates; whatever the maps and options, that must give
// what the separate lookups give.
TEST(SampleBinnerTest, ValueAndCellTogetherMatchTheSeparateLookups) {
    enum TMap { Uniform, NegativeZero, Varied };
    std::mt19937 random(5);
    for (TMap map : {Uniform, NegativeZero, Varied})
        for (bool include : {true, false})
            for (bool offsetBounds : {false, true}) {
                TPlotFixture f;
                f.Options.IncludeAdjustments = include;
                if (map == NegativeZero) f.FuelAdjustment.Fill(-0.0);
                if (map == Varied)
                    for (int k = 0; k < MapSize * MapSize; ++k) f.FuelAdjustment.Values[k] = 0.9 + 0.001 * k;
                // Bounds that no longer lie between their breakpoints.
                if (offsetBounds) f.LhRpmBounds[6] = f.LhRpm[6] + 50;
                const TSampleBinner binner(f.Context());
                for (int i = 0; i < 5000; ++i) {
                    TLogDataEntry e =
                        TPlotFixture::Sample(random() % 8000 - 100.0, random() % 1300 - 50.0, 40, 14);
                    if (i % 3 == 0) e.Rpm = f.LhRpm[random() % 16];
                    if (i % 4 == 0) e.PlotMaf = f.LhLoadBounds[random() % 17];
                    if (i % 11 == 0) e.AfrPresent = 0;
                    TCell cell{-1, -1};
                    const double afr = binner.PlottedAfrInLhCell(e, cell);
                    const double plain = PlottedAfr(e, f.Context());
                    ASSERT_EQ(afr, plain) << e.Rpm << " " << e.PlotMaf;
                    ASSERT_EQ(FuelAdjustmentAt(e, f.Context()), binner.FuelAdjustmentAt(e));
                    if (plain == MissingValue) continue;
                    ASSERT_EQ(cell, SampleCell(e, TPlotView::LH, f.Context())) << e.Rpm << " " << e.PlotMaf;
                }
            }
}

TEST(SampleBinnerTest, ClosedCellsMatchTheStepwiseSearchInBothViews) {
    TPlotFixture f;
    std::mt19937 random(9);
    for (TPlotView view : {TPlotView::LH, TPlotView::EZK}) {
        f.Options.View = view;
        const TSampleBinner binner(f.Context());
        const bool lh = view == TPlotView::LH;
        const TCellBounds& rpmBounds = lh ? f.LhRpmBounds : f.EzkRpmBounds;
        const TCellBounds& loadBounds = lh ? f.LhLoadBounds : f.EzkLoadBounds;
        for (int i = 0; i < 5000; ++i) {
            TLogDataEntry e = TPlotFixture::Sample(random() % 120000 - 100.0, random() % 11000 - 50.0,
                                                   -5.0 + random() % 110, 14);
            if (i % 2 == 0) e.Rpm = rpmBounds[random() % 17];
            if (i % 3 == 0) (lh ? e.PlotMaf : e.Load) = loadBounds[random() % 17];
            TCellSpan rows, columns;
            const bool inside = binner.CellsHolding(e, rows, columns);
            const TCellSpan plainRows = AxisCellsHolding(e.Rpm, rpmBounds);
            const TCellSpan plainColumns = AxisCellsHolding(lh ? e.PlotMaf : e.Load, loadBounds);
            ASSERT_EQ(inside, !plainRows.Empty() && !plainColumns.Empty());
            if (!inside) continue;
            ASSERT_EQ(rows.First, plainRows.First);
            ASSERT_EQ(rows.Last, plainRows.Last);
            ASSERT_EQ(columns.First, plainColumns.First);
            ASSERT_EQ(columns.Last, plainColumns.Last);
        }
    }
}

// Other maps over the fuel map axes (the target AFR map) are read exactly as
// the adjustments are.
TEST(SampleBinnerTest, AnyMapIsInterpolatedAsTheAdjustmentsAre) {
    TPlotFixture f;
    for (int k = 0; k < MapSize * MapSize; ++k) f.FuelAdjustment.Values[k] = 12 + 0.01 * k;
    const TMapGrid map = f.FuelAdjustment;
    const TSampleBinner binner(f.Context());
    std::mt19937 random(3);
    for (int i = 0; i < 2000; ++i) {
        TLogDataEntry e = TPlotFixture::Sample(random() % 8000 - 100.0, random() % 1300 - 50.0, 40, 14);
        if (i % 3 == 0) e.Rpm = f.LhRpm[random() % 16];
        ASSERT_EQ(binner.LhMapAt(map, e.Rpm, e.PlotMaf), binner.FuelAdjustmentAt(e))
            << e.Rpm << " " << e.PlotMaf;
        const int k = binner.LhRpmBreakpoint(e.Rpm);
        ASSERT_TRUE(k == MapSize || f.LhRpm[k] >= e.Rpm);
        ASSERT_TRUE(k == 0 || f.LhRpm[k - 1] < e.Rpm);
    }
}

}  // namespace
}  // namespace kelvane
