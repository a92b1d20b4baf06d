#pragma once

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/CellBinning.h"
#include "core/plot/PlotContext.h"

namespace kelvane {

// Places samples in cells and computes their plotted AFR for a whole pass over
// the log: the axes are examined once, so that ascending axes (the normal
// case) are searched by halving instead of stepping through all 16 entries.
// Gives exactly the results of CellOf, FuelAdjustmentAt and PlottedAfr. It
// remembers its last answers, so one binner serves one thread.
class TSampleBinner {
  public:
    explicit TSampleBinner(const TPlotContext& context);

    const TPlotContext& Context() const { return FContext; }

    // Cell of a value on one axis (see AxisCellOf).
    int LhRpmCell(double rpm) const { return FLhRpmBounds.CellOf(rpm); }
    int LhLoadCell(double plotMaf) const { return FLhLoadBounds.CellOf(plotMaf); }
    int EzkRpmCell(double rpm) const { return FEzkRpmBounds.CellOf(rpm); }
    int EzkLoadCell(double load) const { return FEzkLoadBounds.CellOf(load); }

    TCell Cell(const TLogDataEntry& entry, TPlotView view) const;
    double FuelAdjustmentAt(const TLogDataEntry& entry) const;
    double PlottedAfr(const TLogDataEntry& entry) const;

  private:
    // One sorted-or-not array with the search the algorithms ask for.
    class TSearch {
      public:
        TSearch(const double* values, int count);
        // Index of the first value not below v (count when all are below).
        int FirstNotBelow(double v) const;
        // Cell on bounds stored from values[-1]: the run of inner bounds below v.
        int CellOf(double v) const { return FirstNotBelow(v); }

      private:
        const double* FValues;
        int FCount;
        bool FAscending;
        mutable int FHint = 0;  // answer of the last search
    };

    struct TBracket {
        int Lo;
        int Hi;
        double Fraction;  // 0 at Lo, 1 at Hi
    };
    TBracket Bracket(double value, const TSearch& search, const TMapAxis& axis) const;

    const TPlotContext FContext;  // a copy: the views, not the state
    TSearch FLhRpmAxis, FLhLoadAxis;
    // The inner bounds 1 .. 15: a cell is the number of them below the value.
    TSearch FLhRpmBounds, FLhLoadBounds, FEzkRpmBounds, FEzkLoadBounds;
};

}  // namespace kelvane
