#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/maps/MapSets.h"
#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// Both map sets as undo and redo keep them.
struct TMapSnapshot {
    TFuelMapSet Fuel;
    TIgnitionMapSet Ignition;
};
TMapSnapshot SnapshotOf(const TKelvaneState& state);

// The maps of two snapshots are the same (the edited flags aside, which
// change without any map changing when maps are saved).
bool SameFuelMaps(const TFuelMapSet& a, const TFuelMapSet& b);
bool SameIgnitionMaps(const TIgnitionMapSet& a, const TIgnitionMapSet& b);

// What differs between the maps of two snapshots, as the kinds of change
// that must announce it: FuelMaps, TargetAfr, IgnitionMaps.
TChangeSet MapDifferences(const TMapSnapshot& a, const TMapSnapshot& b);

// Undo and redo for every change of the fuel and ignition map sets, wherever
// it was made. It keeps the maps as last seen; each time changes arrive,
// maps that differ from those make one step, which keeps the maps before
// it. Between Begin and End every change is part of one step, named by the
// outermost Begin (a whole adjustment run is one step). A change of the
// maps' files alone (a save that gives a pasted map its file) is no step.
//
// It also keeps each set's maps as last loaded, reset or saved (seen with
// the set's edited flag clear), so that after an undo or a redo a flag says
// whether the set now differs from those.
class TMapHistory {
  public:
    static constexpr std::size_t MaxSteps = 100;

    // The maps as they are now, with no steps to undo or redo.
    void Reset(const TKelvaneState& state);

    void Begin(const TKelvaneState& state, std::string name);
    void End(const TKelvaneState& state);
    bool Grouping() const { return FDepth > 0; }

    // After changes arrived: outside a group, a step when the maps changed.
    void Record(const TKelvaneState& state);

    // What differs between the maps as last seen and the state's: what the
    // changes arriving now must announce.
    TChangeSet UnrecordedDifferences(const TKelvaneState& state) const;

    bool CanUndo() const { return !FUndo.empty() && !Grouping(); }
    bool CanRedo() const { return !FRedo.empty() && !Grouping(); }
    // The name of the step Undo or Redo would take back; empty without one.
    std::string_view UndoName() const;
    std::string_view RedoName() const;

    // Brings back the maps before the last step (after the last undone
    // step); the changes made, empty when there was nothing to take back.
    // Each edited flag then says whether what it guards differs from the
    // set as last loaded, reset or saved.
    TChangeSet Undo(TKelvaneState& state);
    TChangeSet Redo(TKelvaneState& state);

  private:
    struct TStep {
        std::string Name;
        TMapSnapshot Maps;
    };
    // The sets as last loaded, reset or saved.
    struct TSavedMaps {
        TMapGrid FuelAdjustments;
        TMapGrid TargetAfr;
        TMapGrid IgnitionAdjustments;
    };
    void Push(std::string name, const TKelvaneState& state);
    void NoteSavedMaps(const TKelvaneState& state);
    TChangeSet Restore(TKelvaneState& state, std::vector<TStep>& from, std::vector<TStep>& to);

    std::vector<TStep> FUndo;
    std::vector<TStep> FRedo;
    std::optional<TMapSnapshot> FLastSeen;
    TSavedMaps FSaved;
    int FDepth = 0;
    std::string FGroupName;
};

// A step's name when nobody named it: what it changed.
std::string MapChangeName(const TMapSnapshot& before, const TMapSnapshot& after);

}  // namespace kelvane
