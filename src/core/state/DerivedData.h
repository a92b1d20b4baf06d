#pragma once

#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// The changes after which the samples' included flags and the mean AFR grid
// must be worked out again.
inline constexpr TChangeSet FilterInputs{TChange::Samples, TChange::Filters, TChange::FuelMaps, TChange::Axes,
                                         TChange::PlottedValues};

// Brings the data derived from the state up to date after the given changes:
// the point filters and the mean AFR grid. Every command's change set passes
// through here before anything is drawn.
void UpdateDerivedData(TKelvaneState& state, TChangeSet changes);

}  // namespace kelvane
