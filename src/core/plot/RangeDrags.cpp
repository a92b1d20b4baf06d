#include "core/plot/RangeDrags.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {

struct TSpan {
    double Lo;
    double Hi;
};

// Moving toward the far end keeps the minimum, toward the near end the maximum.
bool Rescaled(TSpan& span, const TMarginDrag& drag) {
    const double d0 = drag.PressDistance, d1 = drag.Distance, length = drag.Length;
    if (!(length > 0) || !(d0 > 0 && d0 < length) || !(d1 > 0 && d1 < length) || d1 == d0) return false;
    const double lo = span.Lo, hi = span.Hi;
    if (d1 > d0)
        span.Hi = lo + (hi - lo) * d0 / d1;
    else
        span.Lo = ((hi - lo) * d0 + lo * length - hi * d1) / (length - d1);
    return std::isfinite(span.Lo) && std::isfinite(span.Hi);
}

// Kept within floor .. ceiling and at least one unit wide.
TSpan Bounded(TSpan span, double floor, double ceiling) {
    span.Lo = std::clamp(span.Lo, floor, ceiling - 1);
    span.Hi = std::clamp(span.Hi, span.Lo + 1, ceiling);
    return span;
}

TSpan Zoomed(TSpan span, double centre, double factor) {
    if (!std::isfinite(centre)) centre = (span.Lo + span.Hi) / 2;
    centre = std::clamp(centre, span.Lo, span.Hi);
    return {centre - (centre - span.Lo) * factor, centre + (span.Hi - centre) * factor};
}

}  // namespace

TRangeLimits RangeLimits(const TLogData& logData, const TMapAxis& lhLoadAxis) {
    TRangeLimits limits;
    const double axisTop = lhLoadAxis[15] + (lhLoadAxis[15] - lhLoadAxis[14]) / 2;
    if (std::isfinite(axisTop)) limits.MaxLoad = std::max(limits.MaxLoad, axisTop);
    for (const TLogDataEntry& entry : logData.Entries) {
        if (!entry.Included) continue;
        // Wild values would let the plot be scaled out of all use.
        if (entry.Rpm != MissingValue && entry.Rpm < 1e6) limits.MaxRpm = std::max(limits.MaxRpm, entry.Rpm);
        if (entry.PlotMaf != MissingValue && entry.PlotMaf < 1e6)
            limits.MaxLoad = std::max(limits.MaxLoad, entry.PlotMaf);
    }
    limits.MaxRpm = std::ceil(limits.MaxRpm);
    limits.MaxLoad = std::ceil(limits.MaxLoad);
    return limits;
}

TPlotRanges DragLoadRanges(const TPlotRanges& start, const TMarginDrag& drag, const TRangeLimits& limits) {
    TSpan lh{start.MinLoad, start.MaxLoad};
    TSpan ezk{start.EzkMin, start.EzkMax};
    if (!Rescaled(lh, drag) || !Rescaled(ezk, drag)) return start;
    TPlotRanges ranges = start;
    lh = Bounded(lh, 0, std::max(limits.MaxLoad, 1.0));
    ranges.MinLoad = lh.Lo;
    ranges.MaxLoad = lh.Hi;
    ezk = Bounded({std::round(ezk.Lo), std::round(ezk.Hi)}, EzkMinLoad, EzkMaxLoad);
    ranges.EzkMin = ezk.Lo;
    ranges.EzkMax = ezk.Hi;
    return ranges;
}

TPlotRanges DragRpmRanges(const TPlotRanges& start, const TMarginDrag& drag, const TRangeLimits& limits) {
    TSpan rpm{start.MinRpm, start.MaxRpm};
    if (!Rescaled(rpm, drag)) return start;
    rpm = Bounded({std::round(rpm.Lo), std::round(rpm.Hi)}, 0, std::max(limits.MaxRpm, 1.0));
    TPlotRanges ranges = start;
    ranges.MinRpm = rpm.Lo;
    ranges.MaxRpm = rpm.Hi;
    return ranges;
}

TPlotRanges ZoomedRanges(const TPlotRanges& start, const TZoom& zoom, const TRangeLimits& limits) {
    if (!(zoom.Factor > 0) || !std::isfinite(zoom.Factor)) return start;
    TPlotRanges ranges = start;
    if (zoom.Axes != TZoomAxes::Load) {
        const TSpan rpm = Bounded(Zoomed({start.MinRpm, start.MaxRpm}, zoom.Rpm, zoom.Factor), 0,
                                  std::max(limits.MaxRpm, 1.0));
        ranges.MinRpm = std::round(rpm.Lo);
        ranges.MaxRpm = std::max(std::round(rpm.Hi), ranges.MinRpm + 1);
    }
    if (zoom.Axes == TZoomAxes::Rpm) return ranges;
    if (zoom.Ezk) {
        const TSpan load =
            Bounded(Zoomed({start.EzkMin, start.EzkMax}, zoom.Load, zoom.Factor), EzkMinLoad, EzkMaxLoad);
        ranges.EzkMin = load.Lo;
        ranges.EzkMax = load.Hi;
    } else {
        const TSpan load = Bounded(Zoomed({start.MinLoad, start.MaxLoad}, zoom.Load, zoom.Factor), 0,
                                   std::max(limits.MaxLoad, 1.0));
        ranges.MinLoad = load.Lo;
        ranges.MaxLoad = load.Hi;
    }
    return ranges;
}

}  // namespace kelvane
