#pragma once

#include <cstddef>
#include <functional>

#include "core/ground/WorkerPool.h"
#include "core/logdata/FilterSettings.h"
#include "core/logdata/KelvaneDefs.h"

namespace kelvane {

// Recomputes the Included flag of every sample: samples taken while the engine
// changes state (slopes too steep, fuel cut, unwanted throttle position, time
// steps that make no sense) are excluded together with their time neighbours
// inside the inhibit windows. With the filters switched off every sample is
// included. The list is shared out among the pool's threads in contiguous
// parts; the flags come out the same whatever their number.
void ApplyFilters(TLogData& logData, const TFilterSettings& settings, TWorkerPool& pool = SharedWorkerPool());

// The same, for the main window's refresh: the filters are re-applied and the
// caller's FiltersDirty flag is cleared.
void ApplyFilters(TLogData& logData, const TFilterSettings& settings, bool& filtersDirty,
                  TWorkerPool& pool = SharedWorkerPool());

// The same, telling settled(i) of every sample, in list order, as soon as its
// Included flag is final, so that a caller can gather statistics in the same
// pass over the list while its samples are still at hand.
using TSettledSample = std::function<void(std::size_t index)>;
void ApplyFilters(TLogData& logData, const TFilterSettings& settings, const TSettledSample& settled);

// The same, telling settled(first, end) of runs of samples [first, end) whose
// flags are final; the runs follow one another in list order and cover the
// whole list. Fewer calls than one per sample. One thread; with a null
// settled this is the plain serial pass.
using TSettledRun = std::function<void(std::size_t first, std::size_t end)>;
void ApplyFiltersInRuns(TLogData& logData, const TFilterSettings& settings, const TSettledRun& settled);

}  // namespace kelvane
