#pragma once

#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// The changes after which the samples' included flags and the mean AFR grid
// must be worked out again.
inline constexpr TChangeSet FilterInputs{TChange::Samples, TChange::Filters, TChange::FuelMaps, TChange::Axes,
                                         TChange::PlottedValues};

// The changes after which the samples' Selected flags are set again: which
// samples are included, where they lie, and which view the cells belong to.
inline constexpr TChangeSet SelectionInputs = FilterInputs | TChange::Display;

// Brings the data derived from the state up to date after the given changes:
// the point filters, the mean AFR grid, the selection's flags, the data
// graph's range and the caches. A changed sample list drops the selected points. Every command's change set
// passes through here before anything is drawn.
void UpdateDerivedData(TKelvaneState& state, TChangeSet changes);

// The included sample nearest to (rpm, load) in the view in force, as
// NearestSample finds it, from an index built on the first call after a change.
int CachedNearestSample(TKelvaneState& state, double rpm, double load);

// Every cell's statistics in the view in force, worked out once after a change.
const TCellStatisticsGrid& CachedCellStatistics(TKelvaneState& state);

}  // namespace kelvane
