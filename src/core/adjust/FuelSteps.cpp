#include "core/adjust/FuelSteps.h"

namespace kelvane {

TChangeSet StepSelectedFuelFactors(TKelvaneState& state, double delta) {
    const TSelection& selection = state.Selection;
    if (!selection.IsCells() || selection.View != TPlotView::LH || state.Display.View != TPlotView::LH)
        return {};
    for (const TSelectionItem& item : selection.Items)
        state.Fuel.Adjustments.At(item.Row, item.Column) += delta;
    state.Fuel.AdjustmentsEdited = true;
    state.Fuel.RecomputeUpdated(state.Axes.FuelLimits);
    return TChange::FuelMaps;
}

}  // namespace kelvane
