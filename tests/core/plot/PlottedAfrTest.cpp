#include <gtest/gtest.h>

#include "core/plot/PlottedAfr.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

struct TAfrCase {
    const char* Name;
    bool PlotAfr;
    bool PlotO2Adj;
    bool IncludeAdjustments;
    bool AfrPresent;
    double SmoothedAfr;
    double O2Adjust;
    double Adjustment;  // fuel adjustment factor everywhere
    double Expected;
};

TEST(PlottedAfrTest, MeasuredAfrO2AdjustmentAndFuelAdjustmentCombine) {
    const double M = MissingValue;
    const TAfrCase cases[] = {
        {"plain", true, true, true, true, 13.0, M, 1.0, 13.0},
        {"O2 +10 %", true, true, true, true, 13.0, 10, 1.0, 14.3},
        {"O2 beyond 22 % ignored", true, true, true, true, 13.0, -25, 1.0, 13.0},
        {"O2 not plotted", true, false, true, true, 13.0, 10, 1.0, 13.0},
        {"AFR not plotted", false, true, true, true, 13.0, M, 1.0, 14.7},
        {"AFR not plotted, adjusted", false, false, true, true, 13.0, M, 1.05, 14.7 / 1.05},
        {"no AFR column, no O2", true, true, true, false, M, M, 1.0, M},
        {"no AFR column, O2 too small", true, true, true, false, M, 0.005, 1.0, M},
        {"no AFR column, O2 working", true, true, true, false, M, 5, 1.0, 14.7 * 1.05},
        {"AFR column, no smoothed value", true, true, true, true, M, 3, 1.0, M},
        {"adjustment divides", true, true, true, true, 13.0, M, 1.1, 13.0 / 1.1},
        {"adjustment not included", true, true, false, true, 13.0, M, 1.1, 13.0},
        {"adjustment too small counts as 1", true, true, true, true, 13.0, M, 0.005, 13.0},
        {"negative tiny adjustment counts as 1", true, true, true, true, 13.0, M, -0.005, 13.0},
        {"everything", true, true, true, true, 12.0, 5, 1.02, 12.0 * 1.05 / 1.02},
    };
    for (const TAfrCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TPlotFixture f;
        f.Options.PlotAfr = c.PlotAfr;
        f.Options.PlotO2Adj = c.PlotO2Adj;
        f.Options.IncludeAdjustments = c.IncludeAdjustments;
        f.FuelAdjustment.Fill(c.Adjustment);
        TLogDataEntry e = TPlotFixture::Sample(2500, 500, 40, c.SmoothedAfr);
        e.AfrPresent = c.AfrPresent;
        e.O2Adjust = c.O2Adjust;
        const double afr = PlottedAfr(e, f.Context());
        if (c.Expected == MissingValue)
            EXPECT_EQ(afr, MissingValue);
        else
            EXPECT_NEAR(afr, c.Expected, 1e-12);
    }
}

TEST(PlottedAfrTest, FuelAdjustmentInterpolatesInsideTheAxesAndHoldsTheEdgesOutside) {
    TPlotFixture f;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) f.FuelAdjustment.At(r, l) = 1 + r * 0.01 + l * 0.001;
    struct TCase {
        double Rpm;
        double PlotMaf;
        double Expected;
    };
    const TCase cases[] = {
        {2000, 400, 1 + 0.05 + 0.005},      // on breakpoints 5, 5
        {1150, 400, 1 + 0.025 + 0.005},     // halfway between RPM 2 and 3
        {1150, 430, 1 + 0.025 + 0.0055},    // halfway in both directions
        {100, 130, 1 + 0 + 0.0005},         // below the RPM axis: row 0
        {9000, 5000, 1 + 0.15 + 0.015},     // beyond both axes: no extrapolation
        {MissingValue, MissingValue, 1.0},  // missing values sit below the axes
    };
    for (const TCase& c : cases) {
        TLogDataEntry e = TPlotFixture::Sample(c.Rpm, c.PlotMaf, 0, 14);
        EXPECT_NEAR(FuelAdjustmentAt(e, f.Context()), c.Expected, 1e-12) << c.Rpm << " " << c.PlotMaf;
    }
    f.Options.IncludeAdjustments = false;
    EXPECT_EQ(FuelAdjustmentAt(TPlotFixture::Sample(2000, 400, 0, 14), f.Context()), 0);
}

TEST(PlottedAfrTest, BreakpointsCloserThanATenthAreNotInterpolatedBetween) {
    TPlotFixture f;
    f.LhRpm[3] = f.LhRpm[2] + 0.05;  // 1000 and 1000.05
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) f.FuelAdjustment.At(r, l) = 1 + r * 0.01;
    // Between the two close breakpoints the lower one's value is taken.
    EXPECT_DOUBLE_EQ(FuelAdjustmentAt(TPlotFixture::Sample(1000.02, 400, 0, 14), f.Context()), 1.02);
}

}  // namespace
}  // namespace kelvane
