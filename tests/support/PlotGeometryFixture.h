#pragma once

#include <string_view>

#include "core/maps/MapAxes.h"
#include "core/plot/PlotGeometry.h"

namespace kelvane {

// Default LH 2.3 MAF axes: RPM 500 .. 6200, load 36 .. 516.
inline TMapAxes DefaultAxes() {
    return RecomputeAxes(TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::Unset},
                         TLHMapSource::Text);
}

// Image sizes chosen so that the plot area is exactly the given size.
inline TPlotGeometry Geometry(const TMapAxes& axes, TPlotRanges ranges, TPlotView view, bool grid,
                              int plotWidth, int plotHeight) {
    return TPlotGeometry(axes, ranges, view, grid, plotWidth + PlotMarginLeft + PlotMarginRight,
                         plotHeight + PlotMarginTop + PlotMarginBottom);
}

// Text widths of a fixed-pitch font, 6 pixels a character.
inline int FixedWidth(std::string_view text) {
    return 6 * static_cast<int>(text.size());
}

}  // namespace kelvane
