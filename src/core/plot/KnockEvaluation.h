#pragma once

#include <cstddef>
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
