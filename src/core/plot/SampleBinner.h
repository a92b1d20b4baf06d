#pragma once

#include <array>

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/CellBinning.h"
#include "core/plot/PlotContext.h"

namespace kelvane {

// Places samples in cells and computes their plotted AFR for a whole pass over
// the log: the axes and maps are examined once, so that each sample is located
// on the fuel map axes once and that place serves both the interpolation of
// the fuel adjustment and the fuel map cell. Gives exactly the results of
// CellOf, FuelAdjustmentAt and PlottedAfr. It remembers its last answers, so
// one binner serves one thread.
class TSampleBinner {
  public:
    explicit TSampleBinner(const TPlotContext& context);

    const TPlotContext& Context() const { return FContext; }

    // Cell of a value on one axis (see AxisCellOf).
    int LhRpmCell(double rpm) const { return FLhRpm.BoundsSearch.CellOf(rpm); }
    int LhLoadCell(double plotMaf) const { return FLhLoad.BoundsSearch.CellOf(plotMaf); }
    int EzkRpmCell(double rpm) const { return FEzkRpmBounds.CellOf(rpm); }
    int EzkLoadCell(double load) const { return FEzkLoadBounds.CellOf(load); }

    // Index of the first fuel map breakpoint not below the value, 16 when
    // every breakpoint is below it.
    int LhRpmBreakpoint(double rpm) const { return FLhRpm.AxisSearch.FirstNotBelow(rpm); }
    int LhLoadBreakpoint(double plotMaf) const { return FLhLoad.AxisSearch.FirstNotBelow(plotMaf); }

    // Any map over the fuel map axes at a point, interpolated exactly as
    // FuelAdjustmentAt interpolates the adjustments (the target AFR map).
    double LhMapAt(const TMapGrid& map, double rpm, double plotMaf) const {
        return Interpolate(map, Place(rpm, FLhRpm), Place(plotMaf, FLhLoad));
    }

    TCell Cell(const TLogDataEntry& entry, TPlotView view) const;
    double FuelAdjustmentAt(const TLogDataEntry& entry) const;
    double PlottedAfr(const TLogDataEntry& entry) const;

    // PlottedAfr and the sample's fuel map cell together; the cell is set
    // only when the value is not MissingValue.
    double PlottedAfrInLhCell(const TLogDataEntry& entry, TCell& cell) const;

    // The closed cells of the grid in view that hold the sample (see
    // AxisCellsHolding); false when it lies outside the grid.
    bool CellsHolding(const TLogDataEntry& entry, TCellSpan& rows, TCellSpan& columns) const;

  private:
    // One sorted-or-not array of up to 16 values with the search the
    // algorithms ask for.
    class TSearch {
      public:
        TSearch(const double* values, int count);
        // Index of the first value not below v (count when all are below).
        int FirstNotBelow(double v) const {
            if (!FAscending) return Stepwise(v);
            // Logged values move little from one sample to the next: try the
            // answer of the last search first. In ascending order the values
            // below v are exactly the leading run, so two comparisons confirm it.
            const int hint = FHint;
            if ((hint == 0 || FValues[hint - 1] < v) && (hint == FCount || !(FValues[hint] < v))) return hint;
            return FHint = Halving(v);
        }
        // Cell on bounds stored from values[-1]: the run of inner bounds below v.
        int CellOf(double v) const { return FirstNotBelow(v); }
        bool Ascending() const { return FAscending; }

      private:
        int Stepwise(double v) const;
        // Halving without branches; unused places hold +inf.
        int Halving(double v) const {
            int i = FValues[7] < v ? 8 : 0;
            i += FValues[i + 3] < v ? 4 : 0;
            i += FValues[i + 1] < v ? 2 : 0;
            i += FValues[i] < v ? 1 : 0;
            return i + (FValues[15] < v ? 1 : 0);
        }

        std::array<double, MapSize> FValues;
        int FCount;
        bool FAscending;
        mutable int FHint = 0;  // answer of the last search
    };

    // Where a value lies on a fuel map axis.
    struct TAxisPlace {
        int Index;  // first breakpoint not below the value, 16 when none
        int Lo;
        int Hi;
        double Fraction;  // 0 at Lo, 1 at Hi
    };
    // A fuel map axis with what interpolating on it needs.
    struct TLhAxis {
        const TMapAxis& Axis;
        const TCellBounds& Bounds;
        TSearch AxisSearch;
        TSearch BoundsSearch;  // inner bounds 1 .. 15
        // Each inner bound lies between the breakpoints on either side of it,
        // so the cell follows from the place on the axis with one comparison.
        bool BoundsFollowAxis;
        // 1 / (axis[i] - axis[i - 1]) for segment i, 0 where the breakpoints
        // are too close to interpolate between.
        std::array<double, MapSize + 1> InverseGap{};
        TLhAxis(const TMapAxis& axis, const TCellBounds& bounds);
    };
    static TAxisPlace Place(double value, const TLhAxis& axis);
    // Cell of the value on the axis's bounds, from its place on the axis.
    static int CellOf(double value, const TAxisPlace& place, const TLhAxis& axis);
    static double Interpolate(const TMapGrid& map, const TAxisPlace& rpm, const TAxisPlace& load);
    double Combine(const TLogDataEntry& entry, double adjustment) const;
    bool Plottable(const TLogDataEntry& entry) const;

    const TPlotContext FContext;  // a copy: the views, not the state
    TLhAxis FLhRpm, FLhLoad;
    // The inner bounds 1 .. 15: a cell is the number of them below the value.
    TSearch FEzkRpmBounds, FEzkLoadBounds;
    // Every adjustment factor is this same finite value (the usual "no
    // adjustment yet" map): interpolation gives it back exactly.
    bool FUniformAdjustment = false;
    double FUniformValue = 0;
};

}  // namespace kelvane
