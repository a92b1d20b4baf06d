#include "core/plot/PlottedAfr.h"

#include "core/plot/SampleBinner.h"

namespace kelvane {

double FuelAdjustmentAt(const TLogDataEntry& entry, const TPlotContext& context) {
    return TSampleBinner(context).FuelAdjustmentAt(entry);
}

double PlottedAfr(const TLogDataEntry& entry, const TPlotContext& context) {
    return TSampleBinner(context).PlottedAfr(entry);
}

}  // namespace kelvane
