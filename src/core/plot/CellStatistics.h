#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/MapGrid.h"
#include "core/plot/PlotContext.h"
#include "core/plot/SelectionItem.h"

namespace kelvane {

// Statistics of the plotted AFR over a selection of cells or samples, with the
// worst knock among them (knock only in the EZK view).
struct TCellStatistics {
    std::int32_t Count = 0;  // included samples counted
    double Mean = 0;         // 0 when Count is 0
    double SDev = 0;         // population standard deviation; 0 when Count is 0
    std::int32_t MaxKnockCylinders = 0;
    double MaxKnockRetard = 0;

    bool operator==(const TCellStatistics&) const = default;
};

// Statistics of a selection; its first item decides whether it is a cell or a
// point selection, items of the other kind are ignored. A selected cell holds
// the samples on its bounds (both ends inclusive), so a sample on a bound
// shared by two selected cells counts for each of them. Point items naming no
// sample are skipped. An empty selection gives all zeros.
TCellStatistics SelectionStatistics(const TLogData& logData, std::span<const TSelectionItem> selection,
                                    const TPlotContext& context);

// The statistics of a selection holding only the given cell.
TCellStatistics CellStatistics(const TLogData& logData, int row, int column, const TPlotContext& context);

// CellStatistics of every cell of the grid in view, indexed row * 16 + column,
// found in one pass that places each sample once.
using TCellStatisticsGrid = std::array<TCellStatistics, MapSize * MapSize>;
TCellStatisticsGrid AllCellStatistics(const TLogData& logData, const TPlotContext& context);

// The statistics of a cell selection put together from the statistics of its
// cells, without a pass over the samples: the same counts and maxima, and
// mean and spread equal to rounding. Items that are not cells are ignored.
TCellStatistics CombinedCellStatistics(const TCellStatisticsGrid& grid,
                                       std::span<const TSelectionItem> selection);

}  // namespace kelvane
