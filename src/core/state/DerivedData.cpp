#include "core/state/DerivedData.h"

#include "core/plot/MeanAfrGrid.h"

namespace kelvane {

void UpdateDerivedData(TKelvaneState& state, TChangeSet changes) {
    if (!changes.HasAny(FilterInputs)) return;
    bool filtersDirty = true;
    state.MeanAfrGrid = ApplyFiltersAndComputeMeanAfrGrid(state.Logs.Data, state.Settings.ActiveFilters,
                                                          filtersDirty, state.PlotContext());
}

}  // namespace kelvane
