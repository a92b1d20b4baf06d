#include "core/plot/SampleBinner.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvane {

namespace {

constexpr double StoichiometricAfr = 14.7;
constexpr double MaxPlausibleO2Adjust = 22;  // beyond this the O2 loop is not in control
constexpr double MinAdjustmentFactor = 0.01;
constexpr double MinO2Adjust = 0.01;
constexpr double MinBreakpointGap = 0.1;

// True when every inner bound lies between the breakpoints on either side of
// it (as the midpoints do), which also makes both arrays ascending.
bool InnerBoundsBetweenBreakpoints(const TMapAxis& axis, const TCellBounds& bounds) {
    for (int k = 1; k < MapSize; ++k)
        if (!(axis[k - 1] <= bounds[k] && bounds[k] <= axis[k])) return false;
    return true;
}

}  // namespace

TSampleBinner::TSearch::TSearch(const double* values, int count) : FCount(count), FAscending(true) {
    FValues.fill(std::numeric_limits<double>::infinity());
    std::copy(values, values + count, FValues.begin());
    for (int k = 1; k < count; ++k)
        if (!(values[k - 1] <= values[k])) FAscending = false;
}

int TSampleBinner::TSearch::Stepwise(double v) const {
    // Axes edited into disorder: step up as far as the run of values below v goes.
    int i = 0;
    while (i < FCount && FValues[i] < v) ++i;
    return i;
}

TSampleBinner::TLhAxis::TLhAxis(const TMapAxis& axis, const TCellBounds& bounds)
    : Axis(axis),
      Bounds(bounds),
      AxisSearch(axis.data(), MapSize),
      BoundsSearch(bounds.data() + 1, MapSize - 1),
      BoundsFollowAxis(InnerBoundsBetweenBreakpoints(axis, bounds)) {
    for (int i = 1; i < MapSize; ++i) {
        const double gap = axis[i] - axis[i - 1];
        // Breakpoints this close are not interpolated between.
        if (gap > MinBreakpointGap) InverseGap[i] = 1 / gap;
    }
}

TSampleBinner::TSampleBinner(const TPlotContext& context)
    : FContext(context),
      FLhRpm(context.LhRpmAxis, context.LhRpmBounds),
      FLhLoad(context.LhLoadAxis, context.LhLoadBounds),
      FEzkRpmBounds(context.EzkRpmBounds.data() + 1, MapSize - 1),
      FEzkLoadBounds(context.EzkLoadBounds.data() + 1, MapSize - 1) {
    const auto& values = context.FuelAdjustment.Values;
    const double first = values[0];
    FUniformAdjustment = std::isfinite(first) &&
                         std::all_of(values.begin(), values.end(), [&](double v) { return v == first; });
    // Adding 0 turns -0 into +0, as interpolating between equal values does.
    FUniformValue = first + 0.0;
}

TCell TSampleBinner::Cell(const TLogDataEntry& entry, TPlotView view) const {
    if (view == TPlotView::LH) return {LhRpmCell(entry.Rpm), LhLoadCell(entry.PlotMaf)};
    return {EzkRpmCell(entry.Rpm), EzkLoadCell(entry.Load)};
}

TSampleBinner::TAxisPlace TSampleBinner::Place(double value, const TLhAxis& axis) {
    const int i = axis.AxisSearch.FirstNotBelow(value);
    // Below the first or above the last breakpoint (i 0 or 16) InverseGap is
    // 0: the edge value holds.
    const int lo = std::max(i - 1, 0);
    const double inverseGap = axis.InverseGap[i];
    if (inverseGap == 0) return {i, lo, lo, 0};
    return {i, lo, i, (value - axis.Axis[lo]) * inverseGap};
}

int TSampleBinner::CellOf(double value, const TAxisPlace& place, const TLhAxis& axis) {
    if (!axis.BoundsFollowAxis) return axis.BoundsSearch.CellOf(value);
    const int i = place.Index;
    if (i == 0) return 0;
    if (i == MapSize) return MapSize - 1;
    // Breakpoint i - 1 is below the value, breakpoint i is not: only bound i is open.
    return i - 1 + (axis.Bounds[i] < value ? 1 : 0);
}

double TSampleBinner::Interpolate(const TMapGrid& map, const TAxisPlace& r, const TAxisPlace& l) {
    const double low = map.At(r.Lo, l.Lo) + (map.At(r.Hi, l.Lo) - map.At(r.Lo, l.Lo)) * r.Fraction;
    const double high = map.At(r.Lo, l.Hi) + (map.At(r.Hi, l.Hi) - map.At(r.Lo, l.Hi)) * r.Fraction;
    return low + (high - low) * l.Fraction;
}

double TSampleBinner::FuelAdjustmentAt(const TLogDataEntry& entry) const {
    if (!FContext.Options.IncludeAdjustments) return 0;
    if (FUniformAdjustment) return FUniformValue;
    const TAxisPlace r = Place(entry.Rpm, FLhRpm);
    const TAxisPlace l = Place(entry.PlotMaf, FLhLoad);
    return Interpolate(FContext.FuelAdjustment, r, l);
}

bool TSampleBinner::Plottable(const TLogDataEntry& entry) const {
    // Without an AFR column only a working O2 adjustment gives something to show
    // (MissingValue is below the limit too).
    if (!entry.AfrPresent && std::fabs(entry.O2Adjust) < MinO2Adjust) return false;
    return !(FContext.Options.PlotAfr && entry.AfrPresent && entry.SmoothedAfr == MissingValue);
}

double TSampleBinner::Combine(const TLogDataEntry& entry, double adjustment) const {
    const TDisplayOptions& options = FContext.Options;
    const double afr = options.PlotAfr && entry.AfrPresent ? entry.SmoothedAfr : StoichiometricAfr;
    if (std::fabs(adjustment) < MinAdjustmentFactor) adjustment = 1;
    double o2 = 1;
    if (options.PlotO2Adj && entry.O2Adjust != MissingValue &&
        std::fabs(entry.O2Adjust) < MaxPlausibleO2Adjust)
        o2 = 1 + 0.01 * entry.O2Adjust;
    return o2 * afr / adjustment;
}

double TSampleBinner::PlottedAfr(const TLogDataEntry& entry) const {
    if (!Plottable(entry)) return MissingValue;
    return Combine(entry, FuelAdjustmentAt(entry));
}

double TSampleBinner::PlottedAfrInLhCell(const TLogDataEntry& entry, TCell& cell) const {
    if (!Plottable(entry)) return MissingValue;
    if (!FContext.Options.IncludeAdjustments || FUniformAdjustment) {
        cell = {LhRpmCell(entry.Rpm), LhLoadCell(entry.PlotMaf)};
        return Combine(entry, FuelAdjustmentAt(entry));
    }
    const TAxisPlace r = Place(entry.Rpm, FLhRpm);
    const TAxisPlace l = Place(entry.PlotMaf, FLhLoad);
    cell = {CellOf(entry.Rpm, r, FLhRpm), CellOf(entry.PlotMaf, l, FLhLoad)};
    return Combine(entry, Interpolate(FContext.FuelAdjustment, r, l));
}

bool TSampleBinner::CellsHolding(const TLogDataEntry& entry, TCellSpan& rows, TCellSpan& columns) const {
    const bool lh = FContext.Options.View == TPlotView::LH;
    const TSearch& rpmSearch = lh ? FLhRpm.BoundsSearch : FEzkRpmBounds;
    const TSearch& loadSearch = lh ? FLhLoad.BoundsSearch : FEzkLoadBounds;
    const TCellBounds& rpmBounds = lh ? FContext.LhRpmBounds : FContext.EzkRpmBounds;
    const TCellBounds& loadBounds = lh ? FContext.LhLoadBounds : FContext.EzkLoadBounds;
    const double load = lh ? entry.PlotMaf : entry.Load;
    // A sample that lacks either value lies in no cell (its placeholder is a
    // tiny positive number that would otherwise fall into the first one).
    if (entry.Rpm == MissingValue || load == MissingValue) return false;
    // On ascending bounds the open cell is where the closed ones start.
    rows = rpmSearch.Ascending() ? AxisCellsHoldingFrom(entry.Rpm, rpmBounds, rpmSearch.CellOf(entry.Rpm))
                                 : AxisCellsHolding(entry.Rpm, rpmBounds);
    if (rows.Empty()) return false;
    columns = loadSearch.Ascending() ? AxisCellsHoldingFrom(load, loadBounds, loadSearch.CellOf(load))
                                     : AxisCellsHolding(load, loadBounds);
    return !columns.Empty();
}

}  // namespace kelvane
