#pragma once

#include <string>
#include <vector>

#include "core/maps/EngineSetup.h"
#include "core/plot/PlotGeometry.h"
#include "core/plot/PlotText.h"

namespace kelvane {

// Grid lines and axis labels, in image coordinates.
struct TAxisLabel {
    int Position = 0;  // x centre of an RPM label, y centre of a load label
    std::string Text;
    bool operator==(const TAxisLabel&) const = default;
};
struct TGridLayout {
    std::vector<int> VerticalLines;    // x of RPM lines
    std::vector<int> HorizontalLines;  // y of load lines
    std::vector<TAxisLabel> RpmLabels;
    std::vector<TAxisLabel> LoadLabels;
};
TGridLayout GridLayout(const TPlotGeometry& geometry, const TTextWidth& textWidth, int textHeight);

// The left margin that keeps the widest load label of the view (with its
// gap to the frame) inside the image; never less than PlotMarginLeft.
int LoadLabelMargin(const TMapAxes& axes, TPlotView view, const TTextWidth& textWidth);

// Axis titles with their units, by view and LH configuration.
struct TAxisTitles {
    std::string Rpm;   // along the top
    std::string Load;  // up the left side
    bool operator==(const TAxisTitles&) const = default;
};
TAxisTitles AxisTitles(TLHConfig config, TPlotView view);

// Room for the titles: a row above the RPM labels and a column left of the
// load labels, each AxisTitleGap from the image's edge.
constexpr int AxisTitleGap = 2;
TPlotMargins TitledMargins(const TMapAxes& axes, TPlotView view, const TTextWidth& textWidth, int textHeight);

// Label values of the LH axes, rounded to a step that grows with the value.
int RoundedRpmLabel(double rpm);
int RoundedLoadLabel(double load);

}  // namespace kelvane
