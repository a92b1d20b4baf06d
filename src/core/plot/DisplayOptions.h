#pragma once

#include <cstdint>

namespace kelvane {

// Which map grid the plot shows: the fuel map (engine speed against PlotMaf)
// or the ignition map (engine speed against Load).
enum class TPlotView : std::uint8_t { LH, EZK };

// Display options of the plot, held by the program's state. All start-up
// values are on (except the view, which starts on the fuel map).
struct TDisplayOptions {
    TPlotView View = TPlotView::LH;
    bool PlotAfr = true;             // plot the measured AFR
    bool PlotO2Adj = true;           // include the O2 adjustment in the plotted AFR
    bool IncludeAdjustments = true;  // include the fuel and ignition map adjustments
    bool ShowKnocks = true;          // knock markers also in the LH view

    bool operator==(const TDisplayOptions&) const = default;
};

}  // namespace kelvane
