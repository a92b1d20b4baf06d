#include "core/plot/PlottedAfr.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {

constexpr double StoichiometricAfr = 14.7;
constexpr double MaxPlausibleO2Adjust = 22;  // beyond this the O2 loop is not in control
constexpr double MinAdjustmentFactor = 0.01;
constexpr double MinO2Adjust = 0.01;
constexpr double MinBreakpointGap = 0.1;

// Neighbouring breakpoints around a value: index of the first breakpoint not
// below it (16 when all are below), and the one before.
struct TBracket {
    int Lo;
    int Hi;
    double Fraction;  // 0 at Lo, 1 at Hi
};

TBracket Bracket(double value, const TMapAxis& axis) {
    int i = 0;
    while (i < MapSize && axis[i] < value) ++i;
    const int lo = std::max(i - 1, 0);
    const int hi = std::min(i, MapSize - 1);
    const double gap = axis[hi] - axis[lo];
    // Breakpoints this close (or the same index) are not interpolated between.
    if (!(gap > MinBreakpointGap)) return {lo, lo, 0};
    return {lo, hi, (value - axis[lo]) / gap};
}

}  // namespace

double FuelAdjustmentAt(const TLogDataEntry& entry, const TPlotContext& context) {
    if (!context.Options.IncludeAdjustments) return 0;
    const TBracket r = Bracket(entry.Rpm, context.LhRpmAxis);
    const TBracket l = Bracket(entry.PlotMaf, context.LhLoadAxis);
    const TMapGrid& map = context.FuelAdjustment;
    const double low = map.At(r.Lo, l.Lo) + (map.At(r.Hi, l.Lo) - map.At(r.Lo, l.Lo)) * r.Fraction;
    const double high = map.At(r.Lo, l.Hi) + (map.At(r.Hi, l.Hi) - map.At(r.Lo, l.Hi)) * r.Fraction;
    return low + (high - low) * l.Fraction;
}

double PlottedAfr(const TLogDataEntry& entry, const TPlotContext& context) {
    const TDisplayOptions& options = context.Options;
    double adjustment = FuelAdjustmentAt(entry, context);
    if (std::fabs(adjustment) < MinAdjustmentFactor) adjustment = 1;

    // Without an AFR column only a working O2 adjustment gives something to show
    // (MissingValue is below the limit too).
    if (!entry.AfrPresent && std::fabs(entry.O2Adjust) < MinO2Adjust) return MissingValue;

    const double afr = options.PlotAfr && entry.AfrPresent ? entry.SmoothedAfr : StoichiometricAfr;
    if (afr == MissingValue) return MissingValue;
    double o2 = 1;
    if (options.PlotO2Adj && entry.O2Adjust != MissingValue &&
        std::fabs(entry.O2Adjust) < MaxPlausibleO2Adjust)
        o2 = 1 + 0.01 * entry.O2Adjust;
    return o2 * afr / adjustment;
}

}  // namespace kelvane
