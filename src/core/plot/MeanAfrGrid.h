#pragma once

#include "core/logdata/FilterSettings.h"
#include "core/logdata/KelvaneDefs.h"
#include "core/maps/MapGrid.h"
#include "core/plot/PlotContext.h"

namespace kelvane {

// Mean plotted AFR of the included samples in every fuel map cell (LH bounds,
// Rpm against PlotMaf, whatever the view); MissingValue for a cell without
// samples. Recomputed right after the filters are re-applied.
TMapGrid ComputeMeanAfrGrid(const TLogData& logData, const TPlotContext& context);

// The refresh's step after a load or a filter change: re-applies the point
// filters, clears filtersDirty and returns the mean AFR grid of the result,
// in one pass over the list. Same result as ApplyFilters followed by
// ComputeMeanAfrGrid.
TMapGrid ApplyFiltersAndComputeMeanAfrGrid(TLogData& logData, const TFilterSettings& settings,
                                           bool& filtersDirty, const TPlotContext& context);

}  // namespace kelvane
