#include "core/state/DerivedData.h"

#include "core/plot/MeanAfrGrid.h"

namespace kelvane {

void UpdateDerivedData(TKelvaneState& state, TChangeSet changes) {
    TSelectionEditor selection = state.SelectionEditor();
    if (changes.Has(TChange::Samples)) {
        // Indexes name samples of the list as it was; a new list starts in full view.
        selection.ForgetSamples();
        if (state.Logs.Data.Empty()) selection.Clear();
        state.Graph = WholeGraphRange(state.Logs.Data.Count());
    }
    if (changes.HasAny(FilterInputs)) {
        bool filtersDirty = true;
        state.MeanAfrGrid = ApplyFiltersAndComputeMeanAfrGrid(state.Logs.Data, state.Settings.ActiveFilters,
                                                              filtersDirty, state.PlotContext());
    }
    if (changes.HasAny(SelectionInputs)) selection.MarkSamples();
    if (changes.HasAny(SelectionInputs)) state.Caches.Nearest.Reset();
    // The knock statistics measure each sample with its cell's adjustment.
    if (changes.HasAny(SelectionInputs | TChange::IgnitionMaps)) state.Caches.CellStatistics.reset();
}

int CachedNearestSample(TKelvaneState& state, double rpm, double load) {
    TNearestSampleIndex& index = state.Caches.Nearest;
    if (!index.Built()) index.Build(state.Logs.Data, state.Display.View);
    return index.Find(rpm, load);
}

const TCellStatisticsGrid& CachedCellStatistics(TKelvaneState& state) {
    std::optional<TCellStatisticsGrid>& grid = state.Caches.CellStatistics;
    if (!grid) grid = AllCellStatistics(state.Logs.Data, state.PlotContext());
    return *grid;
}

}  // namespace kelvane
