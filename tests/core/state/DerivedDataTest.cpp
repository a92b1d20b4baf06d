#include <gtest/gtest.h>

#include "core/state/DerivedData.h"

namespace kelvane {
namespace {

TKelvaneState StateWithSamples(int count) {
    TKelvaneState state;
    for (int i = 0; i < count; ++i) {
        TLogDataEntry entry;
        entry.Rpm = 2000;
        entry.PlotMaf = 300;
        entry.Load = 50;
        entry.TimeSec = i;
        entry.SmoothedAfr = entry.Afr = 16;
        entry.AfrPresent = 1;
        state.Logs.Data.Entries.push_back(entry);
    }
    return state;
}

TEST(DerivedDataTest, ANewSampleListDropsSelectedPointsAndShowsItWhole) {
    TKelvaneState state = StateWithSamples(10);
    state.SelectionEditor().Add(TSelectionItem::Point(7));
    state.Graph = {2, 4};
    state.Logs.Data.Entries.resize(5);  // a file was taken out
    UpdateDerivedData(state, TChange::Samples);
    EXPECT_TRUE(state.Selection.Empty());
    EXPECT_EQ(state.Graph, (TGraphRange{0, 4}));
}

TEST(DerivedDataTest, AnEmptiedListHasNothingSelected) {
    TKelvaneState state = StateWithSamples(3);
    state.SelectionEditor().Add(TSelectionItem::Cell(4, 4));
    state.Logs.Data.Clear();
    UpdateDerivedData(state, TChange::Samples);
    EXPECT_TRUE(state.Selection.Empty());
}

TEST(DerivedDataTest, SelectedFlagsFollowTheFiltersAndTheView) {
    TKelvaneState state = StateWithSamples(5);
    UpdateDerivedData(state, TChange::Samples);
    state.SelectionEditor().AddAll(RegionCells(WholeGrid));
    ASSERT_TRUE(state.Logs.Data[2].Selected);  // the first and last never pass the filters
    state.Settings.ActiveFilters.MaxAfr = 15;  // every sample filtered out
    state.Settings.ActiveFilters.MaxAfrEnabled = true;
    UpdateDerivedData(state, TChange::Filters);
    EXPECT_FALSE(state.Logs.Data[2].Selected);
    EXPECT_FALSE(state.Selection.Empty());

    state.Display.View = TPlotView::EZK;  // the cells were the fuel map's
    UpdateDerivedData(state, TChange::Display);
    EXPECT_TRUE(state.Selection.Empty());
}

TEST(GraphRangeTest, ClampedOntoTheList) {
    struct TCase {
        TGraphRange Range;
        std::size_t Count;
        TGraphRange Expected;
    } cases[] = {
        {{0, 99}, 10, {0, 9}}, {{-5, 3}, 10, {0, 3}}, {{6, 2}, 10, {2, 6}}, {{9, 9}, 10, {8, 9}},
        {{4, 4}, 10, {4, 5}},  {{0, 0}, 1, {0, 0}},   {{3, 8}, 0, {0, 0}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ClampedGraphRange(c.Range, c.Count), c.Expected) << c.Range.First << ".." << c.Range.Last;
}

}  // namespace
}  // namespace kelvane
