#include "core/plot/SampleMarks.h"

#include <algorithm>
#include <cmath>

#include "core/plot/KnockEvaluation.h"

namespace kelvane {

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

TKnockMarker KnockMarkerOf(double maxRetard, int cylinders, const TKnockLimits& limits) {
    if (maxRetard > limits[1].MaxRetard || cylinders > limits[1].MaxCylinders) return TKnockMarker::Large;
    if (maxRetard > limits[0].MaxRetard || cylinders > limits[0].MaxCylinders) return TKnockMarker::Medium;
    return TKnockMarker::Small;
}

TKnockMarker SampleKnockMarker(const TLogData& logData, std::size_t index, const TSampleBinner& binner,
                               const TKnockLimits& limits) {
    if (!IsKnockEvent(logData, index, TKnockAdjustment::IfIncluded, binner)) return TKnockMarker::None;
    const TLogDataEntry& e = logData[index];
    return KnockMarkerOf(MaxKnockRetard(e, TKnockAdjustment::IfIncluded, binner),
                         KnockCylinderCount(e, TKnockAdjustment::IfIncluded, binner), limits);
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
