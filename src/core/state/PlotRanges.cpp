#include "core/state/PlotRanges.h"

#include <algorithm>
#include <cmath>

#include "core/plot/PlotGeometry.h"
#include "core/state/KelvaneState.h"

namespace kelvane {

namespace {

// Smallest k in 1 .. 15 whose bound lies above value, minus one unit.
double BelowFirstBoundAbove(const TCellBounds& bounds, double value) {
    for (int k = 1; k <= 15; ++k)
        if (bounds[k] > value) return bounds[k] - 1;
    return bounds[15] - 1;  // not reached: the callers handle values above bound 15
}

}  // namespace

TPlotRanges SettingsPlotRanges(const TKelvaneState& state) {
    TPlotRanges ranges = state.Settings.PlotLimits;
    if (AutoRangesReplacePlotRanges(state.Settings.ScaleMode, !state.Logs.Data.Empty()))
        ranges = AutoPlotRanges(state.Setup(), state.Axes.LHLoad);
    return WidenedPlotRanges(ranges);
}

bool AutoScalePlot(const TKelvaneState& state, TPlotRanges& ranges) {
    if (state.Settings.ScaleMode != TScaleMode::Automatic || state.Logs.Data.Empty()) return false;
    const TCellBounds& rb = state.Axes.LHRpmBounds;
    const TCellBounds& lb = state.Axes.LHLoadBounds;
    const TMapAxis& a = state.Axes.LHLoad;

    double maxRpm = 0, maxLoad = 0;
    for (const TLogDataEntry& e : state.Logs.Data.Entries) {
        if (!e.Included) continue;
        maxRpm = std::max(maxRpm, e.Rpm);
        maxLoad = std::max(maxLoad, e.PlotMaf);
    }

    switch (state.Setup().LHConfig) {
        case TLHConfig::HexaMaf:
            ranges.MinLoad = 25;
            break;
        case TLHConfig::Alpha:
            ranges.MinLoad = 88;
            break;
        case TLHConfig::Map:
            ranges.MinLoad = 21;
            break;
        default:
            ranges.MinLoad = 28;
    }
    ranges.MaxLoad = maxLoad > lb[15] ? std::max(1.01 * maxLoad, lb[15] + (a[15] - a[14]))
                                      : BelowFirstBoundAbove(lb, maxLoad);
    ranges.MinRpm = 0;
    ranges.MaxRpm = maxRpm > rb[15] ? std::max(2 * rb[15] - rb[14], 500 * (std::trunc(maxRpm / 500) + 1))
                                    : BelowFirstBoundAbove(rb, maxRpm);
    return true;
}

TPlotRanges RestingPlotRanges(const TKelvaneState& state) {
    TPlotRanges ranges = SettingsPlotRanges(state);
    AutoScalePlot(state, ranges);
    return ranges;
}

bool SamePlotRanges(const TPlotRanges& a, const TPlotRanges& b) {
    return a.MinRpm == b.MinRpm && a.MaxRpm == b.MaxRpm && a.MinLoad == b.MinLoad && a.MaxLoad == b.MaxLoad &&
           std::fabs(a.EzkMin - b.EzkMin) <= 0.01 && std::fabs(a.EzkMax - b.EzkMax) <= 0.01;
}

}  // namespace kelvane
