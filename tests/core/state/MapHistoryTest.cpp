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
