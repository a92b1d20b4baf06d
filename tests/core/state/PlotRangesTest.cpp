#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/state/KelvaneState.h"
#include "core/state/PlotRanges.h"

namespace kelvane {
namespace {

// Default LH 2.3 MAF axes: RPM 500 .. 6200, load 36 .. 516.
TKelvaneState DefaultState() {
    TKelvaneState state;
    state.Setup().LHVersion = TLHVersion::LH23;
    state.Setup().LHConfig = TLHConfig::Maf;
    state.RecomputeAxes();
    return state;
}

TLogDataEntry Sample(double rpm, double plotMaf, bool included = true) {
    TLogDataEntry e;
    e.Rpm = rpm;
    e.PlotMaf = plotMaf;
    e.Included = included;
    return e;
}

TEST(PlotRangesTest, SettingsRangesFollowTheScaleMode) {
    TKelvaneState state = DefaultState();
    state.Settings.PlotLimits = {3000, 2000, 50, 40};
    state.Settings.ScaleMode = TScaleMode::Manual;
    EXPECT_EQ(SettingsPlotRanges(state), (TPlotRanges{3000, 3001, 50, 51}));

    state.Settings.ScaleMode = TScaleMode::Default;
    EXPECT_EQ(SettingsPlotRanges(state), (TPlotRanges{0, 6600, 28, 549}));
    state.Setup().EZKVersion = TEZKVersion::GT;
    state.RecomputeAxes();
    EXPECT_EQ(SettingsPlotRanges(state).MaxRpm, 6900);

    state.Settings.ScaleMode = TScaleMode::Automatic;  // no samples: the axes' extent
    EXPECT_EQ(SettingsPlotRanges(state).MaxLoad, 549);
    state.Logs.Data.Entries.push_back(Sample(1000, 100));
    EXPECT_EQ(SettingsPlotRanges(state), (TPlotRanges{3000, 3001, 50, 51}));
}

TEST(PlotRangesTest, AutoScalePlotFitsTheIncludedSamples) {
    // LH load bounds ... 292, 387, 483; LH RPM bounds ... 4400, 5200, 5900.
    struct TCase {
        TLHConfig Config;
        double MaxRpm, MaxLoad;
        TPlotRanges Expected;
    };
    const std::vector<TCase> cases = {
        {TLHConfig::Maf, 4000, 300, {0, 4399, 28, 386}},
        {TLHConfig::Maf, 4400, 387, {0, 5199, 28, 482}},  // a value on a bound takes the next cell
        {TLHConfig::Maf, 6250, 600, {0, 6600, 28, 606}},  // 2 x 5900 - 5200; 1.01 x 600
        {TLHConfig::Maf, 7100, 490, {0, 7500, 28, 549}},  // 500 x 15; 483 + 66
        {TLHConfig::Unset, 500, 40, {0, 599, 28, 43}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.MaxRpm);
        TKelvaneState state = DefaultState();
        state.Settings.ScaleMode = TScaleMode::Automatic;
        state.Setup().LHConfig = c.Config;
        state.Logs.Data.Entries = {Sample(c.MaxRpm / 2, c.MaxLoad), Sample(c.MaxRpm, c.MaxLoad / 3),
                                   Sample(20000, 5000, false)};
        TPlotRanges ranges{1, 2, 3, 4};
        ASSERT_TRUE(AutoScalePlot(state, ranges));
        EXPECT_EQ(ranges.MinRpm, c.Expected.MinRpm);
        EXPECT_NEAR(ranges.MaxRpm, c.Expected.MaxRpm, 1e-9);
        EXPECT_EQ(ranges.MinLoad, c.Expected.MinLoad);
        EXPECT_NEAR(ranges.MaxLoad, c.Expected.MaxLoad, 1e-9);
    }
}

TEST(PlotRangesTest, AutoScaleMinimumLoadByConfiguration) {
    for (auto [config, minLoad] : std::vector<std::pair<TLHConfig, double>>{
             {TLHConfig::HexaMaf, 25}, {TLHConfig::Alpha, 88}, {TLHConfig::Map, 21}, {TLHConfig::Maf, 28}}) {
        TKelvaneState state = DefaultState();
        state.Settings.ScaleMode = TScaleMode::Automatic;
        state.Setup().LHConfig = config;
        state.RecomputeAxes();
        state.Logs.Data.Entries = {Sample(2000, 100)};
        TPlotRanges ranges;
        ASSERT_TRUE(AutoScalePlot(state, ranges));
        EXPECT_EQ(ranges.MinLoad, minLoad);
    }
}

TEST(PlotRangesTest, AutoScaleDoesNothingOutsideTheAutomaticModeOrWithoutSamples) {
    TKelvaneState state = DefaultState();
    state.Settings.ScaleMode = TScaleMode::Automatic;
    TPlotRanges ranges{1, 2, 3, 4};
    EXPECT_FALSE(AutoScalePlot(state, ranges));
    state.Logs.Data.Entries = {Sample(2000, 100)};
    state.Settings.ScaleMode = TScaleMode::Manual;
    EXPECT_FALSE(AutoScalePlot(state, ranges));
    EXPECT_EQ(ranges, (TPlotRanges{1, 2, 3, 4}));
}

}  // namespace
}  // namespace kelvane
