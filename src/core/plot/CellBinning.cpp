#include "core/plot/CellBinning.h"

namespace kelvane {

int AxisCellOf(double value, const TCellBounds& bounds) {
    int i = 0;
    while (i < MapSize - 1 && value > bounds[i + 1]) ++i;
    return i;
}

TCell CellOf(double rpm, double load, TPlotView view, const TPlotContext& context) {
    if (view == TPlotView::LH)
        return {AxisCellOf(rpm, context.LhRpmBounds), AxisCellOf(load, context.LhLoadBounds)};
    return {AxisCellOf(rpm, context.EzkRpmBounds), AxisCellOf(load, context.EzkLoadBounds)};
}

TCell SampleCell(const TLogDataEntry& entry, TPlotView view, const TPlotContext& context) {
    return CellOf(entry.Rpm, view == TPlotView::LH ? entry.PlotMaf : entry.Load, view, context);
}

TCellSpan AxisCellsHolding(double value, const TCellBounds& bounds) {
    if (!(value >= bounds[0] && value <= bounds[MapSize])) return {};
    int first = 0;
    while (first < MapSize - 1 && !(value <= bounds[first + 1])) ++first;
    return AxisCellsHoldingFrom(value, bounds, first);
}

}  // namespace kelvane
