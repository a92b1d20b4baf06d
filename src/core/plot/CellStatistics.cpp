#include "core/plot/CellStatistics.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/plot/CellBinning.h"
#include "core/plot/KnockEvaluation.h"
#include "core/plot/SampleBinner.h"

namespace kelvane {

namespace {

constexpr int CellTotal = MapSize * MapSize;

// Knock maxima are kept in the EZK view only; display paths leave out the
// adjustment unless it is included anyway.
void AddKnock(TCellStatistics& statistics, const TLogData& logData, std::size_t index,
              const TSampleBinner& binner) {
    if (!IsKnockEvent(logData, index, TKnockAdjustment::IfIncluded, binner)) return;
    const TLogDataEntry& entry = logData[index];
    statistics.MaxKnockCylinders = std::max(statistics.MaxKnockCylinders,
                                            KnockCylinderCount(entry, TKnockAdjustment::IfIncluded, binner));
    statistics.MaxKnockRetard =
        std::max(statistics.MaxKnockRetard, MaxKnockRetard(entry, TKnockAdjustment::IfIncluded, binner));
}

// A counted value and how many times it counts.
struct TWeightedValue {
    double Value;
    std::int32_t Weight;
};

void Finish(TCellStatistics& statistics, double sum, double squares) {
    if (statistics.Count == 0) return;
    statistics.Mean = sum / statistics.Count;
    statistics.SDev = std::sqrt(squares / statistics.Count);
}

TCellStatistics PointStatistics(const TLogData& logData, std::span<const TSelectionItem> selection,
                                const TSampleBinner& binner) {
    const bool ezk = binner.Context().Options.View == TPlotView::EZK;
    TCellStatistics statistics;
    std::vector<double> values;
    double sum = 0;
    for (const TSelectionItem& item : selection) {
        if (item.Kind != SelectionKindPoint || item.SampleIndex < 0) continue;
        const auto index = static_cast<std::size_t>(item.SampleIndex);
        if (index >= logData.Count() || !logData[index].Included) continue;
        const double afr = binner.PlottedAfr(logData[index]);
        if (afr != MissingValue) {
            sum += afr;
            values.push_back(afr);
        }
        if (ezk) AddKnock(statistics, logData, index, binner);
    }
    statistics.Count = static_cast<std::int32_t>(values.size());
    if (statistics.Count == 0) return statistics;
    const double mean = sum / statistics.Count;
    double squares = 0;
    for (double v : values) squares += (v - mean) * (v - mean);
    Finish(statistics, sum, squares);
    return statistics;
}

TCellStatistics CellSelectionStatistics(const TLogData& logData, std::span<const TSelectionItem> selection,
                                        const TSampleBinner& binner) {
    std::array<std::uint8_t, CellTotal> selected{};
    for (const TSelectionItem& item : selection) {
        if (item.Kind != SelectionKindCell) continue;
        if (item.Row < 0 || item.Row >= MapSize || item.Column < 0 || item.Column >= MapSize) continue;
        selected[item.Row * MapSize + item.Column] = 1;
    }

    const bool ezk = binner.Context().Options.View == TPlotView::EZK;
    TCellStatistics statistics;
    std::vector<TWeightedValue> values;
    values.reserve(logData.Count());
    double sum = 0;
    std::int64_t count = 0;
    for (std::size_t i = 0; i < logData.Count(); ++i) {
        const TLogDataEntry& entry = logData[i];
        if (!entry.Included) continue;
        TCellSpan rows, columns;
        if (!binner.CellsHolding(entry, rows, columns)) continue;
        std::int32_t weight = 0;
        for (int r = rows.First; r <= rows.Last; ++r)
            for (int c = columns.First; c <= columns.Last; ++c) weight += selected[r * MapSize + c];
        if (weight == 0) continue;
        const double afr = binner.PlottedAfr(entry);
        if (afr != MissingValue) {
            sum += weight * afr;
            count += weight;
            values.push_back({afr, weight});
        }
        if (ezk) AddKnock(statistics, logData, i, binner);
    }
    statistics.Count = static_cast<std::int32_t>(count);
    if (count == 0) return statistics;
    const double mean = sum / static_cast<double>(count);
    double squares = 0;
    for (const TWeightedValue& v : values) squares += v.Weight * (v.Value - mean) * (v.Value - mean);
    Finish(statistics, sum, squares);
    return statistics;
}

}  // namespace

TCellStatistics SelectionStatistics(const TLogData& logData, std::span<const TSelectionItem> selection,
                                    const TPlotContext& context) {
    if (selection.empty()) return {};
    const TSampleBinner binner(context);
    if (selection.front().Kind == SelectionKindPoint) return PointStatistics(logData, selection, binner);
    return CellSelectionStatistics(logData, selection, binner);
}

TCellStatistics CellStatistics(const TLogData& logData, int row, int column, const TPlotContext& context) {
    const TSelectionItem cell = TSelectionItem::Cell(row, column);
    return SelectionStatistics(logData, std::span(&cell, 1), context);
}

TCellStatisticsGrid AllCellStatistics(const TLogData& logData, const TPlotContext& context) {
    const TSampleBinner binner(context);
    // First pass: place each sample once, remember its value and cells.
    struct TPlaced {
        double Value;
        std::uint8_t FirstRow, LastRow, FirstColumn, LastColumn;
    };
    const bool ezk = binner.Context().Options.View == TPlotView::EZK;
    TCellStatisticsGrid grid{};
    std::array<double, CellTotal> sum{};
    std::vector<TPlaced> placed;
    placed.reserve(logData.Count());
    for (std::size_t i = 0; i < logData.Count(); ++i) {
        const TLogDataEntry& entry = logData[i];
        if (!entry.Included) continue;
        TCellSpan rows, columns;
        if (!binner.CellsHolding(entry, rows, columns)) continue;
        const double afr = binner.PlottedAfr(entry);
        if (afr != MissingValue) {
            placed.push_back({afr, static_cast<std::uint8_t>(rows.First),
                              static_cast<std::uint8_t>(rows.Last), static_cast<std::uint8_t>(columns.First),
                              static_cast<std::uint8_t>(columns.Last)});
            for (int r = rows.First; r <= rows.Last; ++r)
                for (int c = columns.First; c <= columns.Last; ++c) {
                    sum[r * MapSize + c] += afr;
                    ++grid[r * MapSize + c].Count;
                }
        }
        if (ezk && IsKnockEvent(logData, i, TKnockAdjustment::IfIncluded, binner)) {
            const int cylinders = KnockCylinderCount(entry, TKnockAdjustment::IfIncluded, binner);
            const double retard = MaxKnockRetard(entry, TKnockAdjustment::IfIncluded, binner);
            for (int r = rows.First; r <= rows.Last; ++r)
                for (int c = columns.First; c <= columns.Last; ++c) {
                    TCellStatistics& cell = grid[r * MapSize + c];
                    cell.MaxKnockCylinders = std::max(cell.MaxKnockCylinders, cylinders);
                    cell.MaxKnockRetard = std::max(cell.MaxKnockRetard, retard);
                }
        }
    }

    // Second pass: deviations about each cell's final mean.
    for (int k = 0; k < CellTotal; ++k)
        if (grid[k].Count > 0) grid[k].Mean = sum[k] / grid[k].Count;
    std::array<double, CellTotal> squares{};
    for (const TPlaced& p : placed)
        for (int r = p.FirstRow; r <= p.LastRow; ++r)
            for (int c = p.FirstColumn; c <= p.LastColumn; ++c) {
                const double d = p.Value - grid[r * MapSize + c].Mean;
                squares[r * MapSize + c] += d * d;
            }
    for (int k = 0; k < CellTotal; ++k)
        if (grid[k].Count > 0) grid[k].SDev = std::sqrt(squares[k] / grid[k].Count);
    return grid;
}

TCellStatistics CombinedCellStatistics(const TCellStatisticsGrid& grid,
                                       std::span<const TSelectionItem> selection) {
    std::array<std::uint8_t, CellTotal> selected{};
    for (const TSelectionItem& item : selection)
        if (item.Kind == SelectionKindCell && item.Row >= 0 && item.Row < MapSize && item.Column >= 0 &&
            item.Column < MapSize)
            selected[item.Row * MapSize + item.Column] = 1;
    TCellStatistics combined;
    double sum = 0, squares = 0;
    for (int k = 0; k < CellTotal; ++k) {
        if (!selected[k]) continue;
        const TCellStatistics& cell = grid[k];
        combined.MaxKnockCylinders = std::max(combined.MaxKnockCylinders, cell.MaxKnockCylinders);
        combined.MaxKnockRetard = std::max(combined.MaxKnockRetard, cell.MaxKnockRetard);
        if (cell.Count == 0) continue;
        combined.Count += cell.Count;
        sum += cell.Mean * cell.Count;
        squares += (cell.SDev * cell.SDev + cell.Mean * cell.Mean) * cell.Count;
    }
    if (combined.Count == 0) return combined;
    combined.Mean = sum / combined.Count;
    combined.SDev = std::sqrt(std::max(0.0, squares / combined.Count - combined.Mean * combined.Mean));
    return combined;
}

}  // namespace kelvane
