#include "core/plot/SampleBinner.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {

constexpr double StoichiometricAfr = 14.7;
constexpr double MaxPlausibleO2Adjust = 22;  // beyond this the O2 loop is not in control
constexpr double MinAdjustmentFactor = 0.01;
constexpr double MinO2Adjust = 0.01;
constexpr double MinBreakpointGap = 0.1;

}  // namespace

TSampleBinner::TSearch::TSearch(const double* values, int count)
    : FValues(values), FCount(count), FAscending(true) {
    for (int k = 1; k < count; ++k)
        if (!(values[k - 1] <= values[k])) FAscending = false;
}

int TSampleBinner::TSearch::FirstNotBelow(double v) const {
    if (!FAscending) {
        // Axes edited into disorder: step up as far as the run of values below v goes.
        int i = 0;
        while (i < FCount && FValues[i] < v) ++i;
        return i;
    }
    // Logged values move little from one sample to the next: try the answer
    // of the last search first. In ascending order the values below v are
    // exactly the leading run, so two comparisons confirm it.
    const int hint = FHint;
    if ((hint == 0 || FValues[hint - 1] < v) && (hint == FCount || !(FValues[hint] < v))) return hint;
    int below = 0;
    for (int k = 0; k < FCount; ++k) below += FValues[k] < v;
    FHint = below;
    return below;
}

TSampleBinner::TSampleBinner(const TPlotContext& context)
    : FContext(context),
      FLhRpmAxis(context.LhRpmAxis.data(), MapSize),
      FLhLoadAxis(context.LhLoadAxis.data(), MapSize),
      FLhRpmBounds(context.LhRpmBounds.data() + 1, MapSize - 1),
      FLhLoadBounds(context.LhLoadBounds.data() + 1, MapSize - 1),
      FEzkRpmBounds(context.EzkRpmBounds.data() + 1, MapSize - 1),
      FEzkLoadBounds(context.EzkLoadBounds.data() + 1, MapSize - 1) {}

TCell TSampleBinner::Cell(const TLogDataEntry& entry, TPlotView view) const {
    if (view == TPlotView::LH) return {LhRpmCell(entry.Rpm), LhLoadCell(entry.PlotMaf)};
    return {EzkRpmCell(entry.Rpm), EzkLoadCell(entry.Load)};
}

TSampleBinner::TBracket TSampleBinner::Bracket(double value, const TSearch& search,
                                               const TMapAxis& axis) const {
    const int i = search.FirstNotBelow(value);
    const int lo = std::max(i - 1, 0);
    const int hi = std::min(i, MapSize - 1);
    const double gap = axis[hi] - axis[lo];
    // Breakpoints this close (or the same index) are not interpolated between.
    if (!(gap > MinBreakpointGap)) return {lo, lo, 0};
    return {lo, hi, (value - axis[lo]) / gap};
}

double TSampleBinner::FuelAdjustmentAt(const TLogDataEntry& entry) const {
    if (!FContext.Options.IncludeAdjustments) return 0;
    const TBracket r = Bracket(entry.Rpm, FLhRpmAxis, FContext.LhRpmAxis);
    const TBracket l = Bracket(entry.PlotMaf, FLhLoadAxis, FContext.LhLoadAxis);
    const TMapGrid& map = FContext.FuelAdjustment;
    const double low = map.At(r.Lo, l.Lo) + (map.At(r.Hi, l.Lo) - map.At(r.Lo, l.Lo)) * r.Fraction;
    const double high = map.At(r.Lo, l.Hi) + (map.At(r.Hi, l.Hi) - map.At(r.Lo, l.Hi)) * r.Fraction;
    return low + (high - low) * l.Fraction;
}

double TSampleBinner::PlottedAfr(const TLogDataEntry& entry) const {
    const TDisplayOptions& options = FContext.Options;
    // Without an AFR column only a working O2 adjustment gives something to show
    // (MissingValue is below the limit too).
    if (!entry.AfrPresent && std::fabs(entry.O2Adjust) < MinO2Adjust) return MissingValue;
    const double afr = options.PlotAfr && entry.AfrPresent ? entry.SmoothedAfr : StoichiometricAfr;
    if (afr == MissingValue) return MissingValue;

    double adjustment = FuelAdjustmentAt(entry);
    if (std::fabs(adjustment) < MinAdjustmentFactor) adjustment = 1;
    double o2 = 1;
    if (options.PlotO2Adj && entry.O2Adjust != MissingValue &&
        std::fabs(entry.O2Adjust) < MaxPlausibleO2Adjust)
        o2 = 1 + 0.01 * entry.O2Adjust;
    return o2 * afr / adjustment;
}

}  // namespace kelvane
