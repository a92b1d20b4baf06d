#include "core/plot/PlotGeometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/plot/KnockEvaluation.h"
#include "core/state/KelvaneState.h"

namespace kelvane {

int PixelOf(double position) {
    // NaN and far-off values land well outside any image instead of overflowing.
    if (!(position > -1e6)) return -1000000;
    if (position > 1e6) return 1000000;
    return static_cast<int>(std::nearbyint(position));
}

namespace {

TPlotRanges Widened(TPlotRanges ranges) {
    ranges.MaxRpm = std::max(ranges.MaxRpm, ranges.MinRpm + 1);
    ranges.MaxLoad = std::max(ranges.MaxLoad, ranges.MinLoad + 1);
    return ranges;
}

// Smallest k in 1 .. 15 whose bound lies above value, minus one unit.
double BelowFirstBoundAbove(const TCellBounds& bounds, double value) {
    for (int k = 1; k <= 15; ++k)
        if (bounds[k] > value) return bounds[k] - 1;
    return bounds[15] - 1;  // not reached: the callers handle values above bound 15
}

}  // namespace

TPlotRanges SettingsPlotRanges(const TKelvaneState& state) {
    const TPlotLimits& limits = state.Settings.PlotLimits;
    TPlotRanges ranges{limits.MinRpm, limits.MaxRpm, limits.MinMaf, limits.MaxMaf};
    if (AutoRangesReplacePlotRanges(state.Settings.ScaleMode, !state.Logs.Data.Empty()))
        ranges = AutoPlotRanges(state.Setup(), state.Axes.LHLoad);
    return Widened(ranges);
}

bool AutoScalePlot(const TKelvaneState& state, TPlotRanges& ranges) {
    if (state.Settings.ScaleMode != TScaleMode::Automatic || state.Logs.Data.Empty()) return false;
    const TCellBounds& rb = state.Axes.LHRpmBounds;
    const TCellBounds& lb = state.Axes.LHLoadBounds;
    const TMapAxis& a = state.Axes.LHLoad;

    double maxRpm = 0, maxLoad = 0;
    for (const TLogDataEntry& e : state.Logs.Data.Entries) {
        if (!e.Included) continue;
        maxRpm = std::max(maxRpm, e.Rpm);
        maxLoad = std::max(maxLoad, e.PlotMaf);
    }

    switch (state.Setup().LHConfig) {
        case TLHConfig::HexaMaf:
            ranges.MinLoad = 25;
            break;
        case TLHConfig::Alpha:
            ranges.MinLoad = 88;
            break;
        case TLHConfig::Map:
            ranges.MinLoad = 21;
            break;
        default:
            ranges.MinLoad = 28;
    }
    ranges.MaxLoad = maxLoad > lb[15] ? std::max(1.01 * maxLoad, lb[15] + (a[15] - a[14]))
                                      : BelowFirstBoundAbove(lb, maxLoad);
    ranges.MinRpm = 0;
    ranges.MaxRpm = maxRpm > rb[15] ? std::max(2 * rb[15] - rb[14], 500 * (std::trunc(maxRpm / 500) + 1))
                                    : BelowFirstBoundAbove(rb, maxRpm);
    return true;
}

TPlotGeometry::TPlotGeometry(const TMapAxes& axes, const TPlotRanges& ranges, TPlotView view, bool gridFormat,
                             int imageWidth, int imageHeight)
    : FAxes(axes),
      FRanges(Widened(ranges)),
      FView(view),
      FGridFormat(gridFormat && view == TPlotView::LH),
      FImageWidth(imageWidth),
      FImageHeight(imageHeight),
      FPlotWidth(std::max(0, imageWidth - PlotMarginLeft - PlotMarginRight)),
      FPlotHeight(std::max(0, imageHeight - PlotMarginTop - PlotMarginBottom)) {
    FRawMin = RawLoad(FRanges.MinLoad);
    FRawMax = RawLoad(FRanges.MaxLoad);
}

double TPlotGeometry::RpmPosition(double rpm) const {
    return (rpm - FRanges.MinRpm) / (FRanges.MaxRpm - FRanges.MinRpm) * FPlotWidth;
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
    if (FView == TPlotView::EZK) return (load - EzkMinLoad) / (EzkMaxLoad - EzkMinLoad) * FPlotHeight;
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
        FYScale[0] = height / (EzkMaxLoad - EzkMinLoad);
        FYOffset[0] = -EzkMinLoad * FYScale[0];
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

TPlotGeometry MakePlotGeometry(const TKelvaneState& state, const TPlotRanges& ranges,
                               const TPlotDisplay& display, int imageWidth, int imageHeight) {
    return TPlotGeometry(state.Axes, ranges, state.Display.View, display.GridFormat, imageWidth, imageHeight);
}

namespace {

std::string IntegerText(long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

int RoundedToStep(double value, double step) {
    return PixelOf(std::nearbyint(value / step) * step);
}

}  // namespace

int RoundedRpmLabel(double rpm) {
    const double step = rpm / 30 > 50 ? 50 : (rpm / 30 > 20 ? 20 : 10);
    return RoundedToStep(rpm, step);
}

int RoundedLoadLabel(double load) {
    const double r = load / 30;
    const double step = r > 50 ? 50 : r > 20 ? 20 : r > 10 ? 10 : r > 5 ? 5 : r > 2 ? 2 : 1;
    return RoundedToStep(load, step);
}

TGridLayout GridLayout(const TPlotGeometry& g, const TTextWidth& textWidth, int textHeight) {
    TGridLayout layout;
    const bool ezk = g.View() == TPlotView::EZK;
    const int w = g.PlotWidth(), h = g.PlotHeight();

    // Line positions in plot-area coordinates; only those strictly inside are drawn.
    auto addLine = [](std::vector<int>& lines, int position, int extent, int origin) {
        if (position > 0 && position < extent) lines.push_back(origin + position);
    };
    auto rpmText = [&](double v) { return IntegerText(ezk ? PixelOf(v) : RoundedRpmLabel(v)); };
    auto loadText = [&](double v) { return IntegerText(ezk ? PixelOf(v) : RoundedLoadLabel(v)); };

    // RPM labels left to right: skip one that would start within 3 pixels of
    // the previous one's end.
    int previousEnd = -1000000;
    auto addRpmLabel = [&](int x, const std::string& text, bool cellFormat) {
        const int width = textWidth(text);
        const int start = x - width / 2;
        if (cellFormat && start < g.PlotLeft() - 5) return;
        if (start < previousEnd + 3) return;
        layout.RpmLabels.push_back({x, text});
        previousEnd = start + width;
    };
    // Load labels top to bottom; one that would overlap the previous one, or
    // sit above the plot, is skipped.
    int previousBottom = -1000000;
    auto addLoadLabel = [&](int y, const std::string& text) {
        const int top = y - textHeight / 2;
        if (y < g.PlotTop() || top < previousBottom) return;
        layout.LoadLabels.push_back({y, text});
        previousBottom = top + textHeight;
    };

    const TMapAxis& rpmAxis = g.RpmAxis();
    const TMapAxis& loadAxis = g.LoadAxis();
    if (g.GridFormat()) {
        for (int i = 0; i < MapSize; ++i) {
            const int x = g.RpmToX(rpmAxis[i]);
            addLine(layout.VerticalLines, x, w, g.PlotLeft());
            if (x >= 0 && x <= w) addRpmLabel(g.PlotLeft() + x, rpmText(rpmAxis[i]), false);
        }
        for (int j = 0; j < MapSize; ++j) {
            const int y = g.LoadToY(loadAxis[j]);
            addLine(layout.HorizontalLines, y, h, g.PlotTop());
            if (y >= 0 && y <= h) addLoadLabel(g.PlotTop() + y, loadText(loadAxis[j]));
        }
        return layout;
    }

    for (int k = 1; k < MapSize; ++k) {
        addLine(layout.VerticalLines, g.RpmToX(g.RpmBounds()[k]), w, g.PlotLeft());
        addLine(layout.HorizontalLines, g.LoadToY(g.LoadBounds()[k]), h, g.PlotTop());
    }
    for (int i = 0; i < MapSize; ++i)
        if (ezk || rpmAxis[i] < g.Ranges().MaxRpm) addRpmLabel(g.CellLabelX(i), rpmText(rpmAxis[i]), true);
    for (int j = 0; j < MapSize; ++j)
        if (ezk || loadAxis[j] < g.Ranges().MaxLoad) addLoadLabel(g.CellLabelY(j), loadText(loadAxis[j]));
    return layout;
}

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return {};
    std::string text(buffer, result.ptr);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string OverlayValueText(double value, TOverlayFormat format) {
    if (value == MissingValue) return {};
    switch (format) {
        case TOverlayFormat::WholeNumber:
            return FixedText(value, 0);
        case TOverlayFormat::OneDecimal:
            return FixedText(value, 1);
        case TOverlayFormat::Percent: {
            std::string text = FixedText((value - 1) * 100, 1);
            if (text.empty()) return text;
            if (text.front() != '-' && text.find_first_not_of("0.") != std::string::npos) text.insert(0, "+");
            return text + "%";
        }
    }
    return {};
}

TOverlayMap OverlayMapOf(const TKelvaneState& state, TMapOverlay overlay, TPlotView view) {
    if (view == TPlotView::EZK) {
        switch (overlay) {
            case TMapOverlay::Reference:
                return {&state.Ignition.Reference, TOverlayFormat::OneDecimal};
            case TMapOverlay::Adjustments:
                return {&state.Ignition.Adjustments, TOverlayFormat::OneDecimal};
            case TMapOverlay::Updated:
                return {&state.Ignition.Updated, TOverlayFormat::OneDecimal};
            default:
                return {};
        }
    }
    switch (overlay) {
        case TMapOverlay::Reference:
            return {&state.Fuel.Reference, TOverlayFormat::WholeNumber};
        case TMapOverlay::Adjustments:
            return {&state.Fuel.Adjustments, TOverlayFormat::Percent};
        case TMapOverlay::Updated:
            return {&state.Fuel.Updated, TOverlayFormat::WholeNumber};
        case TMapOverlay::MeanAfr:
            return {&state.MeanAfrGrid, TOverlayFormat::OneDecimal};
        default:
            return {};
    }
}

std::vector<TPlacedText> OverlayTexts(const TKelvaneState& state, const TPlotGeometry& g, TMapOverlay overlay,
                                      const TTextWidth& textWidth, int textHeight) {
    std::vector<TPlacedText> texts;
    const TOverlayMap map = OverlayMapOf(state, overlay, g.View());
    if (!map.Map) return texts;
    const int plotRight = g.PlotLeft() + g.PlotWidth();
    const int plotBottom = g.PlotTop() + g.PlotHeight();
    for (int r = 0; r < MapSize; ++r) {
        const int x = g.CellLabelX(r);
        for (int c = 0; c < MapSize; ++c) {
            std::string text = OverlayValueText(map.Map->At(r, c), map.Format);
            if (text.empty()) continue;
            const int left = x - textWidth(text) / 2;
            const int top = g.CellLabelY(c) - textHeight / 2;
            if (left < g.PlotLeft() - 5 || left > plotRight || top < g.PlotTop() || top > plotBottom)
                continue;
            texts.push_back({left, top, std::move(text)});
        }
    }
    return texts;
}

double AfrScaleBarValue(const TColorTable& table, int i) {
    if (table.empty()) return 0;
    const double first = table.front().Value, last = table.back().Value;
    return first + i * (last - first) / AfrScaleBarSteps;
}

std::vector<TAfrScaleTick> AfrScaleTicks(const TColorTable& table) {
    std::vector<TAfrScaleTick> ticks;
    if (table.empty()) return ticks;
    const double first = table.front().Value, last = table.back().Value;
    const double range = last - first;
    const double step = range <= 6 ? 1 : 2;
    // A wildly edited table could ask for millions of ticks on a 201-pixel bar.
    for (int n = 0; n <= AfrScaleBarSteps; ++n) {
        const double value = first + n * step;
        if (!(value <= last + 0.01)) break;
        const double offset = range > 0 ? (value - first) / range * AfrScaleBarSteps : 0.0;
        ticks.push_back({AfrScaleBarLeft + PixelOf(offset), FixedText(value, 1)});
    }
    return ticks;
}

TPixelPoint ClampAfrScaleBox(int left, int top, int imageWidth, int imageHeight) {
    return {std::max(0, std::min(left, imageWidth - AfrScaleWidth)),
            std::max(0, std::min(top, imageHeight - AfrScaleHeight))};
}

TPixelPoint AfrScaleBoxOrigin(int storedX, int storedY, int imageWidth, int imageHeight) {
    return ClampAfrScaleBox(storedX < 0 ? imageWidth + storedX : storedX,
                            storedY < 0 ? imageHeight + storedY : storedY, imageWidth, imageHeight);
}

TPixelPoint StoredAfrScalePosition(int left, int top, int imageWidth, int imageHeight) {
    return {left > imageWidth / 2 ? left - imageWidth : left,
            top > imageHeight / 2 ? top - imageHeight : top};
}

TDotPaint SampleDotPaint(const TLogDataEntry& entry, double plottedAfr, const TDisplayOptions& options) {
    if (plottedAfr <= 0) return TDotPaint::None;
    const bool coloured = entry.Included && plottedAfr != MissingValue &&
                          (options.PlotAfr || (options.PlotO2Adj && std::fabs(entry.O2Adjust) > 0.01));
    return coloured ? TDotPaint::Coloured : TDotPaint::Grey;
}

int DotDiameter(const TLogDataEntry& entry, int pointSize) {
    const int size = std::max(2, pointSize);
    const bool large = entry.O2Active ? std::fabs(entry.O2Adjust) < 0.01 : entry.ThrottleSwitch == 3;
    return large ? 2 * size : size;
}

TKnockMarker KnockMarkerOf(double maxRetard, int cylinders, const TDisplayOptions& options) {
    if (maxRetard > options.MaxKnockRetard2 || cylinders > options.MaxKnockCylinders2)
        return TKnockMarker::Large;
    if (maxRetard > options.MaxKnockRetard1 || cylinders > options.MaxKnockCylinders1)
        return TKnockMarker::Medium;
    return TKnockMarker::Small;
}

TKnockMarker SampleKnockMarker(const TLogData& logData, std::size_t index, const TSampleBinner& binner) {
    if (!IsKnockEvent(logData, index, TKnockAdjustment::IfIncluded, binner)) return TKnockMarker::None;
    const TLogDataEntry& e = logData[index];
    return KnockMarkerOf(MaxKnockRetard(e, TKnockAdjustment::IfIncluded, binner),
                         KnockCylinderCount(e, TKnockAdjustment::IfIncluded, binner),
                         binner.Context().Options);
}

int KnockMarkerReach(TKnockMarker marker, int pointSize) {
    double factor = 0;
    switch (marker) {
        case TKnockMarker::None:
            return 0;
        case TKnockMarker::Small:
            factor = 0.33;
            break;
        case TKnockMarker::Medium:
            factor = 0.75;
            break;
        case TKnockMarker::Large:
            factor = 1.25;
            break;
    }
    // The small factor is not exact in binary; keep products like 0.33 x 100 at 33.
    return static_cast<int>(std::ceil(factor * pointSize - 1e-9));
}

bool KnockMarkersShown(const TDisplayOptions& options) {
    return options.View == TPlotView::EZK || options.ShowKnocks;
}

}  // namespace kelvane
