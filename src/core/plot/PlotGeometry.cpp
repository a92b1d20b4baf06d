#include "core/plot/PlotGeometry.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

int PixelOf(double position) {
    // NaN and far-off values land well outside any image instead of overflowing.
    if (!(position > -1e6)) return -1000000;
    if (position > 1e6) return 1000000;
    return static_cast<int>(std::nearbyint(position));
}

TPlotRanges WidenedPlotRanges(TPlotRanges ranges) {
    ranges.MaxRpm = std::max(ranges.MaxRpm, ranges.MinRpm + 1);
    ranges.MaxLoad = std::max(ranges.MaxLoad, ranges.MinLoad + 1);
    ranges.EzkMax = std::max(ranges.EzkMax, ranges.EzkMin + 1);
    return ranges;
}

TPlotGeometry::TPlotGeometry(const TMapAxes& axes, const TPlotRanges& ranges, TPlotView view, bool gridFormat,
                             int imageWidth, int imageHeight, TPlotMargins margins)
    : FAxes(axes),
      FRanges(WidenedPlotRanges(ranges)),
      FView(view),
      FGridFormat(gridFormat && view == TPlotView::LH),
      FImageWidth(imageWidth),
      FImageHeight(imageHeight),
      FMargins(margins),
      FPlotWidth(std::max(0, imageWidth - margins.Left - PlotMarginRight)),
      FPlotHeight(std::max(0, imageHeight - margins.Top - PlotMarginBottom)) {
    FRawMin = RawLoad(FRanges.MinLoad);
    FRawMax = RawLoad(FRanges.MaxLoad);
}

double TPlotGeometry::RpmPosition(double rpm) const {
    return (rpm - FRanges.MinRpm) / (FRanges.MaxRpm - FRanges.MinRpm) * FPlotWidth;
}

double TPlotGeometry::RpmAt(double x) const {
    return FPlotWidth > 0 ? FRanges.MinRpm + x / FPlotWidth * (FRanges.MaxRpm - FRanges.MinRpm)
                          : FRanges.MinRpm;
}

double TPlotGeometry::EzkLoadAt(double y) const {
    return FPlotHeight > 0 ? FRanges.EzkMin + y / FPlotHeight * (FRanges.EzkMax - FRanges.EzkMin)
                           : FRanges.EzkMin;
}

double TPlotGeometry::RawLoad(double v) const {
    const TMapAxis& a = FAxes.LHLoad;
    // The first breakpoint above v, counted without a branch per breakpoint:
    // samples jump between intervals and mispredicted the search.
    int k = 1;
    int below = 1;
    for (int j = 1; j < 15; ++j) {
        below &= static_cast<int>(v >= a[j]);
        k += below;
    }
    const double width = a[k] - a[k - 1];
    // Two equal breakpoints (a damaged bin axis) give no interval to spread over.
    const double fraction = width != 0 ? (v - a[k - 1]) / width : 0.0;
    return (k + fraction) / 16;
}

double TPlotGeometry::LoadPosition(double plotMaf) const {
    const double span = FRawMax - FRawMin;
    return span != 0 ? (RawLoad(plotMaf) - FRawMin) / span : 0.0;
}

double TPlotGeometry::LoadFromPosition(double position) const {
    const TMapAxis& a = FAxes.LHLoad;
    const double raw = position * (FRawMax - FRawMin) + FRawMin;
    const int lo = std::clamp(static_cast<int>(std::clamp(16 * raw, -1e6, 1e6)) - 1, 0, 14);
    const int hi = lo + 1;
    return (16 * raw - 1 - lo) * (a[hi] - a[lo]) + a[lo];
}

double TPlotGeometry::LoadPixel(double load) const {
    if (FView == TPlotView::EZK)
        return (load - FRanges.EzkMin) / (FRanges.EzkMax - FRanges.EzkMin) * FPlotHeight;
    return LoadPosition(load) * FPlotHeight;
}

TPixelPoint TPlotGeometry::SamplePixel(const TLogDataEntry& entry) const {
    return {RpmToX(entry.Rpm), LoadToY(FView == TPlotView::EZK ? entry.Load : entry.PlotMaf)};
}

TPixelRect TPlotGeometry::CellRect(int row, int column) const {
    row = std::clamp(row, 0, MapSize - 1);
    column = std::clamp(column, 0, MapSize - 1);
    const TCellBounds& rb = RpmBounds();
    const TCellBounds& lb = LoadBounds();
    return {std::max(0, RpmToX(rb[row])), std::max(0, LoadToY(lb[column])),
            std::min(FPlotWidth, RpmToX(rb[row + 1])), std::min(FPlotHeight, LoadToY(lb[column + 1]))};
}

int TPlotGeometry::CellLabelX(int rpmIndex) const {
    rpmIndex = std::clamp(rpmIndex, 0, MapSize - 1);
    if (FGridFormat) return PlotLeft() + RpmToX(RpmAxis()[rpmIndex]);
    const TCellBounds& b = RpmBounds();
    const double left = rpmIndex == 0 ? 0.0 : RpmPosition(b[rpmIndex]);
    const double right = rpmIndex == MapSize - 1 ? FPlotWidth : RpmPosition(b[rpmIndex + 1]);
    return PlotLeft() + PixelOf((left + right) / 2);
}

int TPlotGeometry::CellLabelY(int loadIndex) const {
    loadIndex = std::clamp(loadIndex, 0, MapSize - 1);
    if (FGridFormat) return PlotTop() + LoadToY(LoadAxis()[loadIndex]);
    const TCellBounds& b = LoadBounds();
    const double top = loadIndex == 0 ? 0.0 : LoadPixel(b[loadIndex]);
    const double bottom = loadIndex == MapSize - 1 ? FPlotHeight : LoadPixel(b[loadIndex + 1]);
    return PlotTop() + PixelOf((top + bottom) / 2);
}

TSamplePixelMapper::TSamplePixelMapper(const TPlotGeometry& geometry)
    : FGeometry(geometry), FEzk(geometry.View() == TPlotView::EZK) {
    const TPlotRanges& r = geometry.Ranges();
    const double width = geometry.PlotWidth(), height = geometry.PlotHeight();
    // The short form's error and that of the divisions stay far below the
    // tie margin only for moderate scales; otherwise every sample takes the
    // divisions.
    auto moderate = [](double value, double limit) {
        return std::isfinite(value) && std::fabs(value) <= limit;
    };
    FXScale = width / (r.MaxRpm - r.MinRpm);
    FXOffset = -r.MinRpm * FXScale;
    bool fast = moderate(FXScale, 1e3) && moderate(FXOffset, 1e7) && width <= 1e5 && height <= 1e5;
    if (FEzk) {
        FYScale[0] = height / (r.EzkMax - r.EzkMin);
        FYOffset[0] = -r.EzkMin * FYScale[0];
    } else {
        const TMapAxis& a = geometry.Axes().LHLoad;
        for (std::size_t j = 0; j < 16; ++j) FBreakpoints[j] = a[j];
        const double rawMin = geometry.FRawMin;
        const double span = geometry.FRawMax - geometry.FRawMin;
        fast = fast && moderate(span, 1e6) && std::fabs(span) >= 1e-3;
        for (int k = 1; k <= 15; ++k) {
            const double w = a[k] - a[k - 1];
            // y = ((k + (v - a[k-1]) / w) / 16 - rawMin) / span * height
            const double scale = w != 0 ? height / (16 * w * span) : 0.0;
            const double constant = w != 0 ? (k - a[k - 1] / w) : k;
            const double offset = (constant / 16 - rawMin) / span * height;
            FYScale[static_cast<std::size_t>(k)] = scale;
            FYOffset[static_cast<std::size_t>(k)] = offset;
            fast = fast && moderate(scale, 1e4) && moderate(offset, 1e7);
        }
    }
    fast = fast && moderate(FYScale[FEzk ? 0 : 1], 1e4);
    FFast = fast;
}

TPlotGeometry ScaledPlotGeometry(const TPlotGeometry& geometry, double factor) {
    const auto scaled = [factor](int pixels) { return static_cast<int>(std::lround(pixels * factor)); };
    const TPlotMargins margins{scaled(geometry.PlotLeft()), scaled(geometry.PlotTop())};
    // The far margins are fixed; the image is sized so that the plot area
    // comes out exactly scaled.
    const int width = margins.Left + scaled(geometry.PlotWidth()) + PlotMarginRight;
    const int height = margins.Top + scaled(geometry.PlotHeight()) + PlotMarginBottom;
    return TPlotGeometry(geometry.Axes(), geometry.Ranges(), geometry.View(), geometry.GridFormat(), width,
                         height, margins);
}

TPlotGeometry MakePlotGeometry(const TMapAxes& axes, const TDisplayOptions& options,
                               const TPlotRanges& ranges, const TPlotDisplay& display, int imageWidth,
                               int imageHeight, TPlotMargins margins) {
    return TPlotGeometry(axes, ranges, options.View, display.GridFormat, imageWidth, imageHeight, margins);
}

}  // namespace kelvane
