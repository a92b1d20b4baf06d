#pragma once

#include "core/maps/MapGrid.h"
#include "core/plot/DisplayOptions.h"

namespace kelvane {

// Everything that decides where a sample lands and what value it carries:
// the display options, the fuel map axes with the cell bounds of both grids,
// and the adjustment maps in force. Views into the program's state; build one
// for each pass and do not keep it beyond the state it refers to.
struct TPlotContext {
    const TDisplayOptions& Options;
    const TMapAxis& LhRpmAxis;
    const TMapAxis& LhLoadAxis;
    const TCellBounds& LhRpmBounds;
    const TCellBounds& LhLoadBounds;
    const TCellBounds& EzkRpmBounds;
    const TCellBounds& EzkLoadBounds;
    const TMapGrid& FuelAdjustment;      // factors, 1.0 = unchanged
    const TMapGrid& IgnitionAdjustment;  // degrees added, 0 = unchanged
};

}  // namespace kelvane
