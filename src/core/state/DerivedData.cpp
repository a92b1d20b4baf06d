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
}

}  // namespace kelvane
