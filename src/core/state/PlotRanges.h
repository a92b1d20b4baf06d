#pragma once

#include "core/maps/MapAxes.h"

namespace kelvane {

struct TKelvaneState;

// The plot ranges taken from the settings when the axes are set up: the
// settings' limits, or the axes' full extent where the scale mode says so;
// each maximum at least one unit above its minimum.
TPlotRanges SettingsPlotRanges(const TKelvaneState& state);

// Fits the ranges to the included samples in the automatic scale mode. Does
// nothing (and returns false) in the other modes or without samples.
bool AutoScalePlot(const TKelvaneState& state, TPlotRanges& ranges);

// The ranges the plot rests at, before any drag or zoom: the settings'
// ranges fitted to the samples as a load fits them, and the EZK view's full
// range.
TPlotRanges RestingPlotRanges(const TKelvaneState& state);

// True when two ranges show the same: the EZK ends may differ by rounding.
bool SamePlotRanges(const TPlotRanges& a, const TPlotRanges& b);

}  // namespace kelvane
