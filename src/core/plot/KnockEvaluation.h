#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/PlotContext.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {

// Knock measures of one sample from the ignition ECU's per-cylinder retard.
// The ignition adjustment of the sample's ignition map cell is added to each
// retard always, or only when the plot options include adjustments. Cylinders
// the log does not report (retard MissingValue) never count as knocking.
enum class TKnockAdjustment { IfIncluded, Always };

// Degrees of the ignition adjustment added to the sample's retard values.
double KnockAdjustmentAt(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                         const TPlotContext& context);

// True when the included sample at index knocks more than the one before it:
// a cylinder's retard grew and counts as knocking, or, for ECUs without retard
// values, the knock counter went up.
bool IsKnockEvent(const TLogData& logData, std::size_t index, TKnockAdjustment adjustmentMode,
                  const TPlotContext& context);

// Number of knocking cylinders; 0 without retard values.
int KnockCylinderCount(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                       const TPlotContext& context);

// Numbers (1 .. 8) of the knocking cylinders, ascending, joined by ",".
std::string KnockCylinderList(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                              const TPlotContext& context);

// Largest retard (plus adjustment) over the cylinders, never below 0.
double MaxKnockRetard(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                      const TPlotContext& context);

// The measures with a given adjustment in degrees, for passes that try a
// sample with the adjustment of each cell it lies in.
int KnockCylinderCountWith(const TLogDataEntry& entry, double adjustment);
double MaxKnockRetardWith(const TLogDataEntry& entry, double adjustment);

// The part of the knock event test that does not depend on the adjustment.
struct TKnockEventTest {
    enum TKind : std::uint8_t {
        Never,   // not included, first sample, or nothing grew
        Always,  // no retard values, and the knock counter went up
        Retard   // an event when the largest grown retard plus the adjustment exceeds 0.1
    };
    TKind Kind = Never;
    double LargestGrownRetard = 0;  // readable retard that grew since the previous sample

    bool With(double adjustment) const;
};
TKnockEventTest KnockEventTest(const TLogData& logData, std::size_t index);

// The same measures for passes over many samples.
double KnockAdjustmentAt(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                         const TSampleBinner& binner);
bool IsKnockEvent(const TLogData& logData, std::size_t index, TKnockAdjustment adjustmentMode,
                  const TSampleBinner& binner);
int KnockCylinderCount(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                       const TSampleBinner& binner);
double MaxKnockRetard(const TLogDataEntry& entry, TKnockAdjustment adjustmentMode,
                      const TSampleBinner& binner);

}  // namespace kelvane
