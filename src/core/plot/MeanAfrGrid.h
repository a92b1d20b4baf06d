#pragma once

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/MapGrid.h"
#include "core/plot/PlotContext.h"

namespace kelvane {

// Mean plotted AFR of the included samples in every fuel map cell (LH bounds,
// Rpm against PlotMaf, whatever the view); MissingValue for a cell without
// samples. Recomputed right after the filters are re-applied.
TMapGrid ComputeMeanAfrGrid(const TLogData& logData, const TPlotContext& context);

}  // namespace kelvane
