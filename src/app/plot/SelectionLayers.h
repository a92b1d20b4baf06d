#pragma once

#include "app/plot/PlotLayers.h"
#include "core/plot/CellBinning.h"

namespace kelvane {

struct TKelvaneState;

// What the mouse points at, as the cursor layer shows it: in cell mode a
// frame around the hovered cell while nothing is selected, in point mode a
// highlight on the hovered sample.
struct THover {
    bool CellMode = true;
    bool InPlot = false;
    TCell Cell;
    int Sample = -1;
    bool operator==(const THover&) const = default;
};

// The selection fog with the selected cells cleared and the selected samples
// circled; cleared when nothing is selected.
void DrawSelectionLayer(TPlotLayers& layers, const TPlotGeometry& geometry, const TKelvaneState& state,
                        const TColorTable& colors);
// Frames of the selected cells and the hover mark.
void DrawCursorLayer(TPlotLayers& layers, const TPlotGeometry& geometry, const TKelvaneState& state,
                     const TColorTable& colors, const THover& hover);

}  // namespace kelvane
