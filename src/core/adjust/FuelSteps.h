#pragma once

#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// The plot's keys that nudge the fuel map: delta is added to the adjustment
// factor of every selected cell, and the updated map follows. Only a cell
// selection of the fuel map view names fuel map cells; anything else
// changes nothing and returns an empty set.
TChangeSet StepSelectedFuelFactors(TKelvaneState& state, double delta);

}  // namespace kelvane
