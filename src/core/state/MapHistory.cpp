#include "core/state/MapHistory.h"

#include <utility>

namespace kelvane {

namespace {

// The fuel maps other than the target AFR map.
bool SameFuelMapsButTarget(const TFuelMapSet& a, const TFuelMapSet& b) {
    return a.Reference == b.Reference && a.ReferenceLoaded == b.ReferenceLoaded &&
           a.ReferencePath == b.ReferencePath && a.Source == b.Source && a.Adjustments == b.Adjustments &&
           a.Updated == b.Updated && a.UpdatedPath == b.UpdatedPath && a.Remainder == b.Remainder;
}

}  // namespace

TMapSnapshot SnapshotOf(const TKelvaneState& state) {
    return {state.Fuel, state.Ignition};
}

bool SameFuelMaps(const TFuelMapSet& a, const TFuelMapSet& b) {
    return SameFuelMapsButTarget(a, b) && a.TargetAfr == b.TargetAfr;
}

bool SameIgnitionMaps(const TIgnitionMapSet& a, const TIgnitionMapSet& b) {
    return a.Reference == b.Reference && a.ReferenceLoaded == b.ReferenceLoaded &&
           a.ReferencePath == b.ReferencePath && a.Source == b.Source && a.Adjustments == b.Adjustments &&
           a.Updated == b.Updated && a.UpdatedPath == b.UpdatedPath && a.WotCurve == b.WotCurve;
}

std::string MapChangeName(const TMapSnapshot& before, const TMapSnapshot& after) {
    const bool fuel = !SameFuelMapsButTarget(before.Fuel, after.Fuel);
    const bool target = before.Fuel.TargetAfr != after.Fuel.TargetAfr;
    const bool ignition = !SameIgnitionMaps(before.Ignition, after.Ignition);
    if (ignition && !fuel && !target) return "Ignition Map Change";
    if (target && !fuel && !ignition) return "Target AFR Change";
    if (!ignition) return "Fuel Map Change";
    return "Map Change";
}

void TMapHistory::Reset(const TKelvaneState& state) {
    FUndo.clear();
    FRedo.clear();
    FLastSeen = SnapshotOf(state);
    FDepth = 0;
    FGroupName.clear();
}

void TMapHistory::Begin(const TKelvaneState& state, std::string name) {
    if (FDepth++ > 0) return;
    // Whatever changed before belongs to an earlier step.
    Record(state);
    FGroupName = std::move(name);
}

void TMapHistory::End(const TKelvaneState& state) {
    if (FDepth == 0 || --FDepth > 0) return;
    std::string name = std::move(FGroupName);
    FGroupName.clear();
    if (FLastSeen && SameFuelMaps(FLastSeen->Fuel, state.Fuel) &&
        SameIgnitionMaps(FLastSeen->Ignition, state.Ignition))
        return;
    Push(std::move(name), state);
}

void TMapHistory::Record(const TKelvaneState& state) {
    if (Grouping()) return;
    if (!FLastSeen) {
        FLastSeen = SnapshotOf(state);
        return;
    }
    if (SameFuelMaps(FLastSeen->Fuel, state.Fuel) && SameIgnitionMaps(FLastSeen->Ignition, state.Ignition)) {
        // Flags may have changed (a save): the step before keeps its maps.
        FLastSeen = SnapshotOf(state);
        return;
    }
    Push({}, state);
}

void TMapHistory::Push(std::string name, const TKelvaneState& state) {
    TMapSnapshot now = SnapshotOf(state);
    if (FLastSeen) {
        if (name.empty()) name = MapChangeName(*FLastSeen, now);
        FUndo.push_back({std::move(name), std::move(*FLastSeen)});
        if (FUndo.size() > MaxSteps) FUndo.erase(FUndo.begin());
        FRedo.clear();
    }
    FLastSeen = std::move(now);
}

std::string_view TMapHistory::UndoName() const {
    return FUndo.empty() ? std::string_view() : std::string_view(FUndo.back().Name);
}

std::string_view TMapHistory::RedoName() const {
    return FRedo.empty() ? std::string_view() : std::string_view(FRedo.back().Name);
}

TChangeSet TMapHistory::Undo(TKelvaneState& state) {
    return Restore(state, FUndo, FRedo);
}

TChangeSet TMapHistory::Redo(TKelvaneState& state) {
    return Restore(state, FRedo, FUndo);
}

TChangeSet TMapHistory::Restore(TKelvaneState& state, std::vector<TStep>& from, std::vector<TStep>& to) {
    if (Grouping()) return {};
    // Changes not yet seen are a step of their own, so they are not lost;
    // like any new step, that leaves nothing to redo.
    Record(state);
    if (from.empty()) return {};
    TStep step = std::move(from.back());
    from.pop_back();
    TMapSnapshot current = SnapshotOf(state);
    TChangeSet changes;

    TFuelMapSet fuel = std::move(step.Maps.Fuel);
    const TFuelMapSet& fuelNow = current.Fuel;
    if (!SameFuelMapsButTarget(fuel, fuelNow)) changes |= TChange::FuelMaps;
    if (fuel.TargetAfr != fuelNow.TargetAfr) changes |= TChange::TargetAfr;
    fuel.AdjustmentsEdited = fuelNow.AdjustmentsEdited || fuel.Adjustments != fuelNow.Adjustments ||
                             fuel.Updated != fuelNow.Updated;
    fuel.TargetEdited = fuelNow.TargetEdited || fuel.TargetAfr != fuelNow.TargetAfr;
    const bool sourceChanged = fuel.Source != fuelNow.Source;
    state.Fuel = std::move(fuel);
    // The fuel limits follow the reference's source.
    if (sourceChanged) {
        state.RecomputeAxes();
        changes |= TChange::Axes;
    }

    TIgnitionMapSet ignition = std::move(step.Maps.Ignition);
    const TIgnitionMapSet& ignitionNow = current.Ignition;
    if (!SameIgnitionMaps(ignition, ignitionNow)) changes |= TChange::IgnitionMaps;
    ignition.AdjustmentsEdited = ignitionNow.AdjustmentsEdited ||
                                 ignition.Adjustments != ignitionNow.Adjustments ||
                                 ignition.Updated != ignitionNow.Updated;
    state.Ignition = std::move(ignition);

    to.push_back({std::move(step.Name), std::move(current)});
    FLastSeen = SnapshotOf(state);
    return changes;
}

}  // namespace kelvane
