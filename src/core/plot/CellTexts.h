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

// A font printed values may take: its text widths and line height.
struct TOverlayFont {
    TTextWidth Width;
    int Height = 0;
};

// One printed value placed centred on its cell label position (image
// coordinates of its top-left corner), only where it is drawn. Small: it
// fitted its cell only in the smaller font.
struct TPlacedText {
    int Left = 0;
    int Top = 0;
    std::string Text;
    bool Small = false;
};
// A value is printed only where its text, with a pixel of halo around it,
// lies within its cell: in the normal font, else in the small one, else not
// at all, so that it never runs into its neighbour's.
std::vector<TPlacedText> OverlayTexts(const TOverlayMap& map, const TPlotGeometry& geometry,
                                      const TOverlayFont& normal, const TOverlayFont& small);

}  // namespace kelvane
