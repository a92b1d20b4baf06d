#include <gtest/gtest.h>

#include <vector>

#include "core/plot/SampleMarks.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

TEST(SampleDotTest, PaintAndDiameter) {
    TDisplayOptions options;
    TLogDataEntry e;
    e.O2Adjust = 0;
    EXPECT_EQ(SampleDotPaint(e, 14.0, options), TDotPaint::Coloured);
    EXPECT_EQ(SampleDotPaint(e, 0, options), TDotPaint::None);
    EXPECT_EQ(SampleDotPaint(e, MissingValue, options), TDotPaint::Grey);
    e.Included = 0;
    EXPECT_EQ(SampleDotPaint(e, 14.0, options), TDotPaint::Grey);
    e.Included = 1;
    options.PlotAfr = false;  // then only samples with an O2 adjustment are coloured
    EXPECT_EQ(SampleDotPaint(e, 14.7, options), TDotPaint::Grey);
    e.O2Adjust = 3;
    EXPECT_EQ(SampleDotPaint(e, 15.1, options), TDotPaint::Coloured);

    TLogDataEntry wot;
    wot.ThrottleSwitch = 3;
    EXPECT_EQ(DotDiameter(wot, 6), 12);
    wot.ThrottleSwitch = 2;
    EXPECT_EQ(DotDiameter(wot, 6), 6);
    EXPECT_EQ(DotDiameter(wot, 0), 2);
    TLogDataEntry closedLoop;
    closedLoop.O2Active = 1;
    closedLoop.O2Adjust = 4;
    closedLoop.ThrottleSwitch = 3;
    EXPECT_EQ(DotDiameter(closedLoop, 6), 6);
    closedLoop.O2Adjust = 0.005;  // open loop in a file with O2 adjustment
    EXPECT_EQ(DotDiameter(closedLoop, 6), 12);
}

TEST(KnockMarkerTest, ClassesAndReach) {
    const TKnockLimits limits = DefaultKnockLimits;  // 3.0 / 3 and 6.0 / 6
    struct TCase {
        double Retard;
        int Cylinders;
        TKnockMarker Marker;
    };
    for (const TCase& c : std::vector<TCase>{{3.0, 3, TKnockMarker::Small},
                                             {3.01, 1, TKnockMarker::Medium},
                                             {0.5, 4, TKnockMarker::Medium},
                                             {6.0, 6, TKnockMarker::Medium},
                                             {6.01, 1, TKnockMarker::Large},
                                             {1.0, 7, TKnockMarker::Large}}) {
        SCOPED_TRACE(c.Retard);
        EXPECT_EQ(KnockMarkerOf(c.Retard, c.Cylinders, limits), c.Marker);
    }
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::Small, 6), 2);
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::Medium, 6), 5);
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::Large, 6), 8);
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::Small, 100), 33);
    EXPECT_EQ(KnockMarkerReach(TKnockMarker::None, 6), 0);
}

TEST(KnockMarkerTest, SampleMarkersFollowTheKnockEvents) {
    TPlotFixture fixture;
    fixture.Options.IncludeAdjustments = false;
    TLogDataEntry quiet = TPlotFixture::Sample(3000, 200, 50, 14.7);
    quiet.KnockRetard.fill(0);
    TLogDataEntry knock = quiet;
    knock.KnockRetard[0] = 4;  // one cylinder, more than 3 degrees
    TLogData data;
    data.Entries = {quiet, knock, knock};
    const TSampleBinner binner(fixture.Context());
    EXPECT_EQ(SampleKnockMarker(data, 0, binner, DefaultKnockLimits), TKnockMarker::None);
    EXPECT_EQ(SampleKnockMarker(data, 1, binner, DefaultKnockLimits), TKnockMarker::Medium);
    EXPECT_EQ(SampleKnockMarker(data, 2, binner, DefaultKnockLimits), TKnockMarker::None);  // no growth
}

// Limits as the settings store them, tighter than the defaults.
TEST(KnockMarkerTest, StoredLimitsDecideTheMarker) {
    const TKnockLimits stored{{{1.0, 1}, {2.0, 2}}};
    struct TCase {
        double Retard;
        int Cylinders;
        TKnockMarker Marker;
    };
    for (const TCase& c : std::vector<TCase>{{1.0, 1, TKnockMarker::Small},
                                             {1.5, 1, TKnockMarker::Medium},
                                             {0.5, 2, TKnockMarker::Medium},
                                             {2.0, 2, TKnockMarker::Medium},
                                             {2.01, 1, TKnockMarker::Large},
                                             {0.5, 3, TKnockMarker::Large},
                                             {4.0, 4, TKnockMarker::Large}}) {
        SCOPED_TRACE(c.Retard);
        EXPECT_EQ(KnockMarkerOf(c.Retard, c.Cylinders, stored), c.Marker);
    }

    // A knock of 4 degrees on 4 cylinders: large by the stored limits, medium by the defaults.
    TPlotFixture fixture;
    fixture.Options.IncludeAdjustments = false;
    TLogDataEntry quiet = TPlotFixture::Sample(3000, 200, 50, 14.7);
    quiet.KnockRetard.fill(0);
    TLogDataEntry knock = quiet;
    for (std::size_t k = 0; k < 4; ++k) knock.KnockRetard[k] = 4;
    TLogData data;
    data.Entries = {quiet, knock};
    const TSampleBinner binner(fixture.Context());
    EXPECT_EQ(SampleKnockMarker(data, 1, binner, stored), TKnockMarker::Large);
    EXPECT_EQ(SampleKnockMarker(data, 1, binner, DefaultKnockLimits), TKnockMarker::Medium);
}

}  // namespace
}  // namespace kelvane
