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

// The same grids, whatever files they came from or went to.
bool SameFuelGrids(const TFuelMapSet& a, const TFuelMapSet& b) {
    return a.Reference == b.Reference && a.ReferenceLoaded == b.ReferenceLoaded && a.Source == b.Source &&
           a.Adjustments == b.Adjustments && a.Updated == b.Updated && a.Remainder == b.Remainder &&
           a.TargetAfr == b.TargetAfr;
}

bool SameIgnitionGrids(const TIgnitionMapSet& a, const TIgnitionMapSet& b) {
    return a.Reference == b.Reference && a.ReferenceLoaded == b.ReferenceLoaded && a.Source == b.Source &&
           a.Adjustments == b.Adjustments && a.Updated == b.Updated && a.WotCurve == b.WotCurve;
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

TChangeSet MapDifferences(const TMapSnapshot& a, const TMapSnapshot& b) {
    TChangeSet changes;
    if (!SameFuelMapsButTarget(a.Fuel, b.Fuel)) changes |= TChange::FuelMaps;
    if (a.Fuel.TargetAfr != b.Fuel.TargetAfr) changes |= TChange::TargetAfr;
    if (!SameIgnitionMaps(a.Ignition, b.Ignition)) changes |= TChange::IgnitionMaps;
    return changes;
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
    FSaved = {state.Fuel.Adjustments, state.Fuel.TargetAfr, state.Ignition.Adjustments};
}

void TMapHistory::NoteSavedMaps(const TKelvaneState& state) {
    if (!state.Fuel.AdjustmentsEdited) FSaved.FuelAdjustments = state.Fuel.Adjustments;
    if (!state.Fuel.TargetEdited) FSaved.TargetAfr = state.Fuel.TargetAfr;
    if (!state.Ignition.AdjustmentsEdited) FSaved.IgnitionAdjustments = state.Ignition.Adjustments;
}

TChangeSet TMapHistory::UnrecordedDifferences(const TKelvaneState& state) const {
    if (!FLastSeen) return {};
    return MapDifferences(*FLastSeen, SnapshotOf(state));
}

void TMapHistory::Begin(const TKelvaneState& state, std::string name) {
    if (FDepth++ > 0) return;
    // Whatever changed before belongs to an earlier step.
    Record(state);
    FGroupName = std::move(name);
}

void TMapHistory::End(const TKelvaneState& state) {
    NoteSavedMaps(state);
    if (FDepth == 0 || --FDepth > 0) return;
    std::string name = std::move(FGroupName);
    FGroupName.clear();
    if (FLastSeen && SameFuelGrids(FLastSeen->Fuel, state.Fuel) &&
        SameIgnitionGrids(FLastSeen->Ignition, state.Ignition)) {
        FLastSeen = SnapshotOf(state);
        return;
    }
    Push(std::move(name), state);
}

void TMapHistory::Record(const TKelvaneState& state) {
    NoteSavedMaps(state);
    if (Grouping()) return;
    if (!FLastSeen) {
        FLastSeen = SnapshotOf(state);
        return;
    }
    if (SameFuelGrids(FLastSeen->Fuel, state.Fuel) &&
        SameIgnitionGrids(FLastSeen->Ignition, state.Ignition)) {
        // Flags or files may have changed (a save): the step before keeps its maps.
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
    fuel.AdjustmentsEdited = fuel.Adjustments != FSaved.FuelAdjustments;
    fuel.TargetEdited = fuel.TargetAfr != FSaved.TargetAfr;
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
    ignition.AdjustmentsEdited = ignition.Adjustments != FSaved.IgnitionAdjustments;
    state.Ignition = std::move(ignition);

    to.push_back({std::move(step.Name), std::move(current)});
    FLastSeen = SnapshotOf(state);
    return changes;
}

}  // namespace kelvane
