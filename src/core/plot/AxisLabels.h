#pragma once

#include <string>
#include <vector>

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

// Label values of the LH axes, rounded to a step that grows with the value.
int RoundedRpmLabel(double rpm);
int RoundedLoadLabel(double load);

}  // namespace kelvane
