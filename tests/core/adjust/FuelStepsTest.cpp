#include <gtest/gtest.h>

#include "core/adjust/FuelSteps.h"

namespace kelvane {
namespace {

TEST(FuelStepsTest, StepsOnlyTheSelectedFuelCells) {
    TKelvaneState state;
    state.Fuel.Adjustments.At(2, 4) = 0.95;
    TSelectionEditor editor = state.SelectionEditor();
    editor.Add(TSelectionItem::Cell(2, 3));
    editor.Add(TSelectionItem::Cell(2, 4));
    EXPECT_EQ(StepSelectedFuelFactors(state, 0.1), TChangeSet(TChange::FuelMaps));
    EXPECT_DOUBLE_EQ(state.Fuel.Adjustments.At(2, 3), 1.10);
    EXPECT_DOUBLE_EQ(state.Fuel.Adjustments.At(2, 4), 1.05);
    EXPECT_DOUBLE_EQ(state.Fuel.Adjustments.At(3, 4), 1.0);
    EXPECT_TRUE(state.Fuel.AdjustmentsEdited);
}

TEST(FuelStepsTest, NothingToStepWithoutFuelMapCells) {
    TKelvaneState ignitionCells;
    ignitionCells.Display.View = TPlotView::EZK;
    ignitionCells.SelectionEditor().Add(TSelectionItem::Cell(2, 3));
    TKelvaneState points;
    points.Logs.Data.Entries.resize(3);
    points.SelectionEditor().Add(TSelectionItem::Point(1));
    TKelvaneState empty;
    for (TKelvaneState* state : {&ignitionCells, &points, &empty}) {
        EXPECT_TRUE(StepSelectedFuelFactors(*state, 0.01).Empty());
        EXPECT_EQ(state->Fuel.Adjustments, FilledGrid(1.0));
        EXPECT_FALSE(state->Fuel.AdjustmentsEdited);
    }
}

}  // namespace
}  // namespace kelvane
