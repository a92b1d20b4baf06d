#pragma once

#include <cstring>

#include "core/state/KelvaneState.h"

namespace kelvane::testing {

// Equal bit for bit (NaNs and signed zeros included).
template <typename T>
bool SameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

inline bool SameFuelMaps(const TFuelMapSet& a, const TFuelMapSet& b) {
    return SameBytes(a.Reference, b.Reference) && a.ReferenceLoaded == b.ReferenceLoaded &&
           a.ReferencePath == b.ReferencePath && a.Source == b.Source &&
           SameBytes(a.Adjustments, b.Adjustments) && a.AdjustmentsEdited == b.AdjustmentsEdited &&
           SameBytes(a.Updated, b.Updated) && a.UpdatedPath == b.UpdatedPath &&
           SameBytes(a.TargetAfr, b.TargetAfr);
}

inline bool SameIgnitionMaps(const TIgnitionMapSet& a, const TIgnitionMapSet& b) {
    return SameBytes(a.Reference, b.Reference) && a.ReferenceLoaded == b.ReferenceLoaded &&
           a.ReferencePath == b.ReferencePath && a.Source == b.Source &&
           SameBytes(a.Adjustments, b.Adjustments) && a.AdjustmentsEdited == b.AdjustmentsEdited &&
           SameBytes(a.Updated, b.Updated) && a.UpdatedPath == b.UpdatedPath &&
           SameBytes(a.WotCurve, b.WotCurve);
}

// The maps, their sources, the engine setup, the axes and the current bin
// images: what a refused map load must leave as it was.
inline bool SameMapState(const TKelvaneState& a, const TKelvaneState& b) {
    return SameFuelMaps(a.Fuel, b.Fuel) && SameIgnitionMaps(a.Ignition, b.Ignition) &&
           a.Setup() == b.Setup() && SameBytes(a.Axes.LHRpm, b.Axes.LHRpm) &&
           SameBytes(a.Axes.LHLoad, b.Axes.LHLoad) && SameBytes(a.Axes.EZKRpm, b.Axes.EZKRpm) &&
           SameBytes(a.Axes.EZKLoad, b.Axes.EZKLoad) && a.LHImage.Get() == b.LHImage.Get() &&
           a.EZKImage.Get() == b.EZKImage.Get();
}

}  // namespace kelvane::testing
