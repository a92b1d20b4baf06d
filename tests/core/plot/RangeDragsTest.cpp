#include <gtest/gtest.h>

#include "core/plot/RangeDrags.h"

namespace kelvane {
namespace {

TPlotRanges Ranges(double minRpm, double maxRpm, double minLoad, double maxLoad, double ezkMin = EzkMinLoad,
                   double ezkMax = EzkMaxLoad) {
    return {minRpm, maxRpm, minLoad, maxLoad, ezkMin, ezkMax};
}

TEST(RangeDragsTest, LoadDragMovesTheValueUnderThePressWithTheMouse) {
    const TRangeLimits limits;
    const TPlotRanges start = Ranges(0, 6600, 0, 400, 0, 100);
    // Down: the minimum stays and the value at 100 of 400 pixels (load 100)
    // now lies at 200 pixels.
    const TPlotRanges down = DragLoadRanges(start, {100, 200, 400}, limits);
    EXPECT_DOUBLE_EQ(down.MinLoad, 0);
    EXPECT_DOUBLE_EQ(down.MaxLoad, 200);
    EXPECT_DOUBLE_EQ(down.EzkMax, 50);
    // Up: the maximum stays, load 200 at pixel 200 moves to pixel 100.
    const TPlotRanges up = DragLoadRanges(start, {200, 100, 400}, limits);
    EXPECT_DOUBLE_EQ(up.MaxLoad, 400);
    EXPECT_NEAR(up.MinLoad + (up.MaxLoad - up.MinLoad) * 100 / 400, 200, 1e-9);
    EXPECT_EQ(up.MinRpm, start.MinRpm);
}

TEST(RangeDragsTest, MovesOntoOrPastAnEdgeChangeNothing) {
    const TPlotRanges start = Ranges(500, 6600, 28, 387);
    const TMarginDrag drags[] = {{0, 50, 400},   {100, 0, 400},   {100, 400, 400}, {100, 450, 400},
                                 {100, -5, 400}, {100, 100, 400}, {10, 20, 0}};
    for (const TMarginDrag& d : drags) {
        EXPECT_EQ(DragLoadRanges(start, d, {}), start) << d.PressDistance << " -> " << d.Distance;
        EXPECT_EQ(DragRpmRanges(start, d, {}), start) << d.PressDistance << " -> " << d.Distance;
    }
}

TEST(RangeDragsTest, RangesStayWithinTheirLimitsAndAtLeastOneWide) {
    const TRangeLimits limits{7000, 500};
    // Far up from near the bottom would push the minimum far below zero and
    // the EZK view beyond its full range.
    const TPlotRanges wide = DragLoadRanges(Ranges(0, 6600, 100, 400), {399, 1, 400}, limits);
    EXPECT_GE(wide.MinLoad, 0);
    EXPECT_GE(wide.EzkMin, EzkMinLoad);
    EXPECT_LE(wide.EzkMax, EzkMaxLoad);
    // From the top edge down to the bottom makes the range tiny, never empty.
    const TPlotRanges narrow = DragRpmRanges(Ranges(0, 6600, 0, 400), {1, 399, 400}, limits);
    EXPECT_GE(narrow.MaxRpm, narrow.MinRpm + 1);
    const TPlotRanges tinyEzk = DragLoadRanges(Ranges(0, 6600, 0, 400, 10, 11), {1, 399, 400}, limits);
    EXPECT_GE(tinyEzk.EzkMax, tinyEzk.EzkMin + 1);
    // A range set beyond the limit comes back within it.
    const TPlotRanges capped = DragRpmRanges(Ranges(0, 9000, 0, 400), {300, 10, 400}, limits);
    EXPECT_EQ(capped.MaxRpm, 7000);
    EXPECT_GT(capped.MinRpm, 0);
}

TEST(RangeDragsTest, LimitsWidenToTheDataAndTheLoadAxis) {
    TLogData data;
    TLogDataEntry fast;
    fast.Rpm = 7800.2;
    fast.PlotMaf = 530;
    data.Entries.push_back(fast);
    TLogDataEntry excluded = fast;
    excluded.Rpm = 9900;
    excluded.Included = 0;
    data.Entries.push_back(excluded);
    TMapAxis axis{};
    for (int k = 0; k < 16; ++k) axis[k] = 40.0 * k;  // top bound 620
    const TRangeLimits limits = RangeLimits(data, axis);
    EXPECT_EQ(limits.MaxRpm, 7801);
    EXPECT_EQ(limits.MaxLoad, 620);
}

TEST(RangeDragsTest, WheelZoomsAboutTheCursor) {
    const TPlotRanges start = Ranges(1000, 5000, 100, 300, 0, 100);
    const TPlotRanges in = ZoomedRanges(start, {2000, 200, 0.5, TZoomAxes::Both, false}, {});
    EXPECT_EQ(in.MinRpm, 1500);
    EXPECT_EQ(in.MaxRpm, 3500);
    EXPECT_DOUBLE_EQ(in.MinLoad, 150);
    EXPECT_DOUBLE_EQ(in.MaxLoad, 250);
    EXPECT_EQ(in.EzkMin, start.EzkMin);

    const TPlotRanges ezkOnly = ZoomedRanges(start, {2000, 50, 0.5, TZoomAxes::Load, true}, {});
    EXPECT_EQ(ezkOnly.MinRpm, start.MinRpm);
    EXPECT_DOUBLE_EQ(ezkOnly.EzkMin, 25);
    EXPECT_DOUBLE_EQ(ezkOnly.EzkMax, 75);
    // Zooming out stops at the limits.
    const TPlotRanges out = ZoomedRanges(start, {3000, 50, 100, TZoomAxes::Both, true}, {7000, 500});
    EXPECT_EQ(out.MinRpm, 0);
    EXPECT_EQ(out.MaxRpm, 7000);
    EXPECT_DOUBLE_EQ(out.EzkMin, EzkMinLoad);
    EXPECT_DOUBLE_EQ(out.EzkMax, EzkMaxLoad);
}

}  // namespace
}  // namespace kelvane
