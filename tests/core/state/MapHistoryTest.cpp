#include <gtest/gtest.h>

#include "core/state/MapHistory.h"

namespace kelvane {
namespace {

// A state with a loaded fuel reference and a history started on it.
struct THistoryFixture {
    TKelvaneState State;
    TMapHistory History;

    THistoryFixture() {
        State.RecomputeAxes();
        State.Fuel.Reference.Fill(-100);
        State.Fuel.ReferenceLoaded = true;
        State.Fuel.ResetAdjustments(State.Axes.FuelLimits);
        History.Reset(State);
    }
    void StepFuel(int r, int l, double factor) {
        State.Fuel.Adjustments.At(r, l) = factor;
        State.Fuel.RecomputeUpdated(State.Axes.FuelLimits);
        State.Fuel.AdjustmentsEdited = true;
        History.Record(State);
    }
};

TEST(MapHistoryTest, StepsUndoAndRedoInTurn) {
    THistoryFixture f;
    EXPECT_FALSE(f.History.CanUndo());
    const TMapGrid start = f.State.Fuel.Updated;
    f.StepFuel(1, 1, 1.1);
    const TMapGrid afterFirst = f.State.Fuel.Updated;
    f.StepFuel(2, 2, 0.95);
    EXPECT_EQ(f.History.UndoName(), "Fuel Map Change");

    EXPECT_EQ(f.History.Undo(f.State), TChangeSet(TChange::FuelMaps));
    EXPECT_EQ(f.State.Fuel.Updated, afterFirst);
    EXPECT_TRUE(f.History.CanRedo());
    f.History.Undo(f.State);
    EXPECT_EQ(f.State.Fuel.Updated, start);
    EXPECT_FALSE(f.History.CanUndo());
    EXPECT_TRUE(f.History.Undo(f.State).Empty());

    f.History.Redo(f.State);
    f.History.Redo(f.State);
    EXPECT_EQ(f.State.Fuel.Adjustments.At(2, 2), 0.95);
    EXPECT_FALSE(f.History.CanRedo());

    // A new step leaves nothing to redo.
    f.History.Undo(f.State);
    f.StepFuel(3, 3, 1.2);
    EXPECT_FALSE(f.History.CanRedo());
}

// A whole adjustment (many changes) is one step, named by the action.
TEST(MapHistoryTest, GroupedChangesAreOneStep) {
    THistoryFixture f;
    const TMapGrid start = f.State.Ignition.Updated;
    f.History.Begin(f.State, "Ignition Adjustment");
    for (int pass = 0; pass < 5; ++pass) {
        f.State.Ignition.Adjustments.At(pass, 0) = 1.5;
        f.State.Ignition.RecomputeUpdated();
        f.History.Record(f.State);
        f.History.Begin(f.State, "inner");
        f.History.End(f.State);
    }
    EXPECT_FALSE(f.History.CanUndo());
    f.History.End(f.State);
    EXPECT_EQ(f.History.UndoName(), "Ignition Adjustment");
    EXPECT_EQ(f.History.Undo(f.State), TChangeSet(TChange::IgnitionMaps));
    EXPECT_EQ(f.State.Ignition.Updated, start);
    EXPECT_FALSE(f.History.CanUndo());

    // A group that changed nothing leaves no step; an End too many is ignored.
    f.History.Begin(f.State, "Nothing");
    f.History.End(f.State);
    f.History.End(f.State);
    EXPECT_EQ(f.History.UndoName(), "");
}

TEST(MapHistoryTest, FlagsStaySetAfterUndo) {
    THistoryFixture f;
    f.StepFuel(1, 1, 1.1);
    // Saved: the flag goes without a map changing, which is no step.
    f.State.Fuel.AdjustmentsEdited = false;
    f.History.Record(f.State);
    EXPECT_EQ(f.History.UndoName(), "Fuel Map Change");
    f.History.Undo(f.State);
    EXPECT_TRUE(f.State.Fuel.AdjustmentsEdited);

    f.State.Fuel.TargetAfr.At(0, 0) = 12;
    f.History.Record(f.State);
    EXPECT_EQ(f.History.UndoName(), "Target AFR Change");
    EXPECT_EQ(f.History.Undo(f.State), TChangeSet(TChange::TargetAfr));
    EXPECT_EQ(f.State.Fuel.TargetAfr, DefaultTargetAfrMap());
    EXPECT_TRUE(f.State.Fuel.TargetEdited);
}

TEST(MapHistoryTest, UndoOfALoadBringsBackTheSourceAndItsLimits) {
    THistoryFixture f;
    f.History.Begin(f.State, "Load Map File");
    f.State.Fuel.Source = TLHMapSource::PrimaryLoad;
    f.State.Fuel.ReferencePath = "/maps/stock.bin";
    f.State.Fuel.Reference.Fill(30000);
    f.State.RecomputeAxes();
    f.State.Fuel.ResetAdjustments(f.State.Axes.FuelLimits);
    f.History.End(f.State);
    EXPECT_EQ(f.State.Axes.FuelLimits.Max, 65535);

    EXPECT_EQ(f.History.Undo(f.State), TChange::FuelMaps | TChange::Axes);
    EXPECT_EQ(f.State.Fuel.Source, TLHMapSource::Text);
    EXPECT_TRUE(f.State.Fuel.ReferencePath.empty());
    EXPECT_EQ(f.State.Axes.FuelLimits.Max, 127);
    EXPECT_EQ(f.State.Fuel.Reference, FilledGrid(-100));
    EXPECT_EQ(f.History.RedoName(), "Load Map File");
}

// Changes that arrived without being recorded are kept as a step of their
// own before an undo, never overwritten by it.
TEST(MapHistoryTest, UnrecordedChangesBecomeTheirOwnStep) {
    THistoryFixture f;
    f.StepFuel(1, 1, 1.1);
    f.State.Fuel.Adjustments.At(4, 4) = 1.2;
    f.State.Fuel.RecomputeUpdated(f.State.Axes.FuelLimits);
    f.History.Undo(f.State);
    EXPECT_EQ(f.State.Fuel.Adjustments.At(1, 1), 1.1);
    EXPECT_EQ(f.State.Fuel.Adjustments.At(4, 4), 1.0);
    f.History.Redo(f.State);
    EXPECT_EQ(f.State.Fuel.Adjustments.At(4, 4), 1.2);
}

// An edited flag after undo and redo says whether the set differs from what
// was last loaded, reset or saved, not whether it was ever touched.
TEST(MapHistoryTest, EditedFlagsFollowTheMapsAsLastLoadedOrSaved) {
    TKelvaneState state;
    state.RecomputeAxes();
    TMapHistory history;
    history.Reset(state);

    // A map load: a new reference, no adjustments, nothing edited.
    history.Begin(state, "Load Map File");
    state.Fuel.Reference.Fill(-100);
    state.Fuel.ReferenceLoaded = true;
    state.Fuel.ResetAdjustments(state.Axes.FuelLimits);
    state.Ignition.Reference.Fill(10);
    state.Ignition.ReferenceLoaded = true;
    state.Ignition.ResetAdjustments();
    history.End(state);

    history.Undo(state);
    EXPECT_FALSE(state.Fuel.ReferenceLoaded);
    history.Redo(state);
    EXPECT_TRUE(state.Fuel.ReferenceLoaded);
    EXPECT_FALSE(state.Fuel.AdjustmentsEdited);
    EXPECT_FALSE(state.Ignition.AdjustmentsEdited);
    EXPECT_FALSE(state.Fuel.TargetEdited);

    // Adjusted, saved, then undone: the maps differ from the saved ones.
    state.Fuel.Adjustments.At(2, 2) = 1.1;
    state.Fuel.RecomputeUpdated(state.Axes.FuelLimits);
    state.Fuel.AdjustmentsEdited = true;
    history.Record(state);
    state.Fuel.AdjustmentsEdited = false;  // the save
    history.Record(state);
    history.Undo(state);
    EXPECT_TRUE(state.Fuel.AdjustmentsEdited);
    EXPECT_FALSE(state.Ignition.AdjustmentsEdited);
    history.Redo(state);
    EXPECT_FALSE(state.Fuel.AdjustmentsEdited);
}

// A save that gives a pasted map its file changes no map: it is no step, and
// an undo after it takes back the paste itself.
TEST(MapHistoryTest, AChangeOfFilesAloneIsNoStep) {
    THistoryFixture f;
    f.State.Fuel.ReferencePath = "/maps/stock.txt";
    f.History.Reset(f.State);
    f.State.Fuel.Reference.Fill(-50);  // the paste
    f.State.Fuel.ReferencePath.clear();
    f.State.Fuel.RecomputeUpdated(f.State.Axes.FuelLimits);
    f.History.Record(f.State);

    f.State.Fuel.ReferencePath = "/session/Base fuel map.txt";
    EXPECT_EQ(f.History.UnrecordedDifferences(f.State), TChangeSet(TChange::FuelMaps));
    f.History.Record(f.State);
    EXPECT_TRUE(f.History.UnrecordedDifferences(f.State).Empty());

    f.History.Undo(f.State);
    EXPECT_EQ(f.State.Fuel.Reference, FilledGrid(-100));
    EXPECT_EQ(f.State.Fuel.ReferencePath, "/maps/stock.txt");
    EXPECT_FALSE(f.History.CanUndo());
    f.History.Redo(f.State);
    EXPECT_EQ(f.State.Fuel.ReferencePath, "/session/Base fuel map.txt");
}

TEST(MapHistoryTest, StepsAreCapped) {
    THistoryFixture f;
    for (std::size_t i = 0; i < TMapHistory::MaxSteps + 20; ++i) f.StepFuel(0, 0, 1.0 + 0.001 * (i + 1));
    std::size_t undone = 0;
    while (f.History.CanUndo()) {
        f.History.Undo(f.State);
        ++undone;
    }
    EXPECT_EQ(undone, TMapHistory::MaxSteps);
    EXPECT_DOUBLE_EQ(f.State.Fuel.Adjustments.At(0, 0), 1.02);
}

}  // namespace
}  // namespace kelvane
