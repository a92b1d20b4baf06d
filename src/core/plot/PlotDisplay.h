#pragma once

#include <cstdint>

#include "core/maps/MapAxes.h"

namespace kelvane {

// Which map's values are printed in the plot's cells.
enum class TMapOverlay : std::uint8_t { None, Reference, Adjustments, Updated, MeanAfr };

// The AFR scale legend's box.
constexpr int AfrScaleWidth = 230;
constexpr int AfrScaleHeight = 35;

// Where the AFR scale legend sits until the user drags it: in the plot's
// bottom right corner, 10 pixels inside the frame, away from the labels on
// the left and top.
constexpr int DefaultAfrScaleX = -(AfrScaleWidth + 10 + 10);
constexpr int DefaultAfrScaleY = -(AfrScaleHeight + 5 + 10);

// Plot display state the main window keeps beside TDisplayOptions: how the
// grid is laid out, which values are printed, and the AFR scale legend.
struct TPlotDisplay {
    bool GridFormat = false;  // lines at the breakpoints (LH view only); off: cell format
    TMapOverlay Overlay = TMapOverlay::None;
    bool ShowAfrScale = true;
    // Negative: measured from the right (bottom) edge of the image. As read
    // from the settings, a value beyond the middle of the plot still counts
    // from the far edge until the window first places the legend.
    int AfrScaleX = DefaultAfrScaleX;
    int AfrScaleY = DefaultAfrScaleY;
    int KnockAlpha = 128;  // knock markers in the LH view
    int FogAlpha = 192;    // selection fog

    bool operator==(const TPlotDisplay&) const = default;
};

}  // namespace kelvane
