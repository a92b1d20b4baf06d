#pragma once

#include <cstddef>
#include <cstdint>

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/DisplayOptions.h"
#include "core/plot/KnockLimits.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {

// How a sample's dot is painted.
enum class TDotPaint : std::uint8_t { None, Coloured, Grey };
TDotPaint SampleDotPaint(const TLogDataEntry& entry, double plottedAfr, const TDisplayOptions& options);
// Dot diameter: twice the point size for closed-loop-off or WOT samples.
int DotDiameter(const TLogDataEntry& entry, int pointSize);

// Knock markers: none, or small, medium or large by the two limits.
enum class TKnockMarker : std::uint8_t { None, Small, Medium, Large };
TKnockMarker KnockMarkerOf(double maxRetard, int cylinders, const TKnockLimits& limits);
TKnockMarker SampleKnockMarker(const TLogData& logData, std::size_t index, const TSampleBinner& binner,
                               const TKnockLimits& limits);
// Length in pixels of the marker's rays along each axis.
int KnockMarkerReach(TKnockMarker marker, int pointSize);
// Knock markers are drawn in the EZK view, and in the LH view on request.
bool KnockMarkersShown(const TDisplayOptions& options);

}  // namespace kelvane
