#pragma once

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/MapGrid.h"
#include "core/plot/PlotContext.h"

namespace kelvane {

// A cell of the 16 x 16 grid in map storage order: Row is the RPM cell,
// Column the load cell.
struct TCell {
    int Row = 0;
    int Column = 0;
    bool operator==(const TCell&) const = default;
};

// Cell of a value on one axis. A cell runs from its lower bound (exclusive) to
// its upper bound (inclusive), so a value on a shared bound belongs to the
// lower cell; values beyond the outer bounds go to the outer cells.
int AxisCellOf(double value, const TCellBounds& bounds);

// Cell of a point in the fuel map grid (LH view) or the ignition map grid.
TCell CellOf(double rpm, double load, TPlotView view, const TPlotContext& context);

// Cell of a sample: Rpm against PlotMaf in the LH view, Rpm against Load in
// the EZK view.
TCell SampleCell(const TLogDataEntry& entry, TPlotView view, const TPlotContext& context);

// The cells of one axis whose closed interval [bound[i], bound[i+1]] holds a
// value: usually one, two for a value exactly on a shared bound, none outside
// the outer bounds. Used where a selected cell asks which samples lie inside it.
struct TCellSpan {
    int First = 0;
    int Last = -1;
    bool Empty() const { return First > Last; }
};
TCellSpan AxisCellsHolding(double value, const TCellBounds& bounds);

// The same when the first cell is already known: on ascending bounds it is
// the cell AxisCellOf gives.
inline TCellSpan AxisCellsHoldingFrom(double value, const TCellBounds& bounds, int first) {
    if (!(value >= bounds[0] && value <= bounds[MapSize])) return {};
    int last = first;
    while (last < MapSize - 1 && bounds[last + 1] <= value && value <= bounds[last + 2]) ++last;
    if (!(bounds[first] <= value && value <= bounds[first + 1])) return {};
    return {first, last};
}

}  // namespace kelvane
