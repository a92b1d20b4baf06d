#pragma once

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/PlotContext.h"

namespace kelvane {

// Fuel map adjustment factor at the sample's Rpm and PlotMaf, interpolated
// bilinearly over the fuel map axes (edge values outside them, nothing
// extrapolated); 0 when adjustments are not included.
double FuelAdjustmentAt(const TLogDataEntry& entry, const TPlotContext& context);

// The AFR value plotted and counted for a sample: the smoothed AFR (or 14.7
// when the measured AFR is not plotted) times the O2 adjustment factor,
// divided by the fuel adjustment in force; MissingValue when the sample has
// neither an AFR nor an O2 adjustment to show.
double PlottedAfr(const TLogDataEntry& entry, const TPlotContext& context);

}  // namespace kelvane
