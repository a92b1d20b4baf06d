#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/maps/MapGrid.h"
#include "core/maps/MapSets.h"
#include "core/plot/DisplayOptions.h"
#include "core/plot/PlotDisplay.h"
#include "core/plot/PlotGeometry.h"
#include "core/plot/PlotText.h"

namespace kelvane {

// Values printed in the cells.
enum class TOverlayFormat : std::uint8_t { WholeNumber, OneDecimal, Percent };
std::string OverlayValueText(double value, TOverlayFormat format);
struct TOverlayMap {
    const TMapGrid* Map = nullptr;  // none: nothing printed
    TOverlayFormat Format = TOverlayFormat::OneDecimal;
};
// A map of a set whose reference was never loaded prints nothing: its
// zeros would read as a map of zeros.
TOverlayMap OverlayMapOf(const TFuelMapSet& fuel, const TIgnitionMapSet& ignition,
                         const TMapGrid& meanAfrGrid, TMapOverlay overlay, TPlotView view);
// Why the chosen overlay prints nothing, for the status bar; empty when it
// prints its values.
std::string OverlayStatusText(const TFuelMapSet& fuel, const TIgnitionMapSet& ignition, TMapOverlay overlay,
                              TPlotView view);

// One printed value placed centred on its cell label position (image
// coordinates of its top-left corner), only where it is drawn.
struct TPlacedText {
    int Left = 0;
    int Top = 0;
    std::string Text;
};
std::vector<TPlacedText> OverlayTexts(const TOverlayMap& map, const TPlotGeometry& geometry,
                                      const TTextWidth& textWidth, int textHeight);

}  // namespace kelvane
