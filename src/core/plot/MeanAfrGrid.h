#pragma once

#include "core/ground/WorkerPool.h"
#include "core/logdata/FilterSettings.h"
#include "core/logdata/KelvaneDefs.h"
#include "core/maps/MapGrid.h"
#include "core/plot/PlotContext.h"

namespace kelvane {

// Mean plotted AFR of the included samples in every fuel map cell (LH bounds,
// Rpm against PlotMaf, whatever the view); MissingValue for a cell without
// samples. Recomputed right after the filters are re-applied. The samples are
// placed by the pool's threads; the result does not depend on their number.
TMapGrid ComputeMeanAfrGrid(const TLogData& logData, const TPlotContext& context,
                            TWorkerPool& pool = SharedWorkerPool());

// The refresh's step after a load or a filter change: re-applies the point
// filters, clears filtersDirty and returns the mean AFR grid of the result.
// Same result as ApplyFilters followed by ComputeMeanAfrGrid.
TMapGrid ApplyFiltersAndComputeMeanAfrGrid(TLogData& logData, const TFilterSettings& settings,
                                           bool& filtersDirty, const TPlotContext& context,
                                           TWorkerPool& pool = SharedWorkerPool());

}  // namespace kelvane
