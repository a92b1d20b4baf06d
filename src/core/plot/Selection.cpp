#include "core/plot/Selection.h"

#include <algorithm>
#include <array>

#include "core/plot/SampleBinner.h"

namespace kelvane {

namespace {

using TCellMask = std::array<std::uint8_t, MapSize * MapSize>;

bool InsideAnyCell(const TSampleBinner& binner, const TLogDataEntry& entry, const TCellMask& mask) {
    TCellSpan rows, columns;
    if (!binner.CellsHolding(entry, rows, columns)) return false;
    for (int r = rows.First; r <= rows.Last; ++r)
        for (int c = columns.First; c <= columns.Last; ++c)
            if (mask[static_cast<std::size_t>(r * MapSize + c)]) return true;
    return false;
}

bool ValidCell(const TSelectionItem& item) {
    return item.Row >= 0 && item.Row < MapSize && item.Column >= 0 && item.Column < MapSize;
}

// Marks the included samples inside the masked cells; returns the last one
// marked. With every flag set anew, samples outside are cleared in the same pass.
enum class TMarking { Add, Assign };
std::optional<std::size_t> MarkCells(TLogData& logData, const TPlotContext& context, const TCellMask& mask,
                                     TMarking marking) {
    const TSampleBinner binner(context);
    std::optional<std::size_t> last;
    for (std::size_t i = 0; i < logData.Count(); ++i) {
        TLogDataEntry& entry = logData[i];
        const bool inside = entry.Included && InsideAnyCell(binner, entry, mask);
        if (inside) {
            entry.Selected = 1;
            last = i;
        } else if (marking == TMarking::Assign) {
            entry.Selected = 0;
        }
    }
    return last;
}

}  // namespace

bool TSelection::Contains(const TSelectionItem& item) const {
    return std::find(Items.begin(), Items.end(), item) != Items.end();
}

std::optional<int> TSelection::LowestSample() const {
    std::optional<int> lowest;
    for (const TSelectionItem& item : Items)
        if (item.Kind == SelectionKindPoint && (!lowest || item.SampleIndex < *lowest))
            lowest = item.SampleIndex;
    return lowest;
}

std::optional<int> TSelection::HighestSample() const {
    std::optional<int> highest;
    for (const TSelectionItem& item : Items)
        if (item.Kind == SelectionKindPoint && (!highest || item.SampleIndex > *highest))
            highest = item.SampleIndex;
    return highest;
}

TCellRegion SelectionRegion(const TSelection& selection) {
    if (!selection.IsCells()) return WholeGrid;
    TCellRegion region{MapSize, -1, MapSize, -1};
    for (const TSelectionItem& item : selection.Items) {
        if (!ValidCell(item)) continue;
        region.R0 = std::min(region.R0, item.Row);
        region.R1 = std::max(region.R1, item.Row);
        region.C0 = std::min(region.C0, item.Column);
        region.C1 = std::max(region.C1, item.Column);
    }
    return region.R0 > region.R1 ? WholeGrid : region;
}

TCellRegion RegionBetween(int row0, int column0, int row1, int column1) {
    const auto inside = [](int v) { return std::clamp(v, 0, MapSize - 1); };
    return {inside(std::min(row0, row1)), inside(std::max(row0, row1)), inside(std::min(column0, column1)),
            inside(std::max(column0, column1))};
}

std::vector<TSelectionItem> RegionCells(const TCellRegion& region) {
    std::vector<TSelectionItem> cells;
    for (int r = region.R0; r <= region.R1; ++r)
        for (int c = region.C0; c <= region.C1; ++c) cells.push_back(TSelectionItem::Cell(r, c));
    return cells;
}

TSelectionEditor::TSelectionEditor(TSelection& selection, TLogData& logData, const TPlotContext& context)
    : FSelection(selection), FLogData(logData), FContext(context) {}

void TSelectionEditor::Clear() {
    FSelection.Items.clear();
    ClearFlags();
}

void TSelectionEditor::ClearFlags() {
    if (!FSelection.SamplesMarked) return;
    for (TLogDataEntry& entry : FLogData.Entries) entry.Selected = 0;
    FSelection.SamplesMarked = false;
}

TPlotView TSelectionEditor::View() const {
    return FContext.Options.View;
}

bool TSelectionEditor::Append(const TSelectionItem& item) {
    if (item.Kind == SelectionKindPoint ? !ValidSampleIndex(FLogData, item.SampleIndex) : !ValidCell(item))
        return false;
    if (item.Kind != FSelection.Kind || (item.Kind == SelectionKindCell && FSelection.View != View())) {
        Clear();
        FSelection.Kind = item.Kind;
        FSelection.View = View();
    }
    // A point is in the selection exactly while its sample is marked, which
    // spares a search through long ranges of points.
    const bool present = item.Kind == SelectionKindPoint
                             ? FLogData[static_cast<std::size_t>(item.SampleIndex)].Selected != 0
                             : FSelection.Contains(item);
    if (present) return false;
    FSelection.Items.push_back(item);
    FSelection.SamplesMarked = true;
    return true;
}

std::optional<std::size_t> TSelectionEditor::Add(const TSelectionItem& item) {
    if (!Append(item)) return std::nullopt;
    if (item.Kind == SelectionKindPoint) {
        const auto index = static_cast<std::size_t>(item.SampleIndex);
        FLogData[index].Selected = 1;
        return index;
    }
    TCellMask mask{};
    mask[static_cast<std::size_t>(item.Row * MapSize + item.Column)] = 1;
    return MarkCells(FLogData, FContext, mask, TMarking::Add);
}

void TSelectionEditor::AddAll(const std::vector<TSelectionItem>& items) {
    bool cellsAdded = false;
    for (const TSelectionItem& item : items) {
        if (!Append(item)) continue;
        if (item.Kind == SelectionKindPoint)
            FLogData[static_cast<std::size_t>(item.SampleIndex)].Selected = 1;
        else
            cellsAdded = true;
    }
    if (cellsAdded) MarkSamples();
}

void TSelectionEditor::Replace(const std::vector<TSelectionItem>& items) {
    FSelection.Items.clear();
    // Points are found by their flags: the old ones must go first.
    if (!items.empty() && items.front().Kind == SelectionKindPoint) ClearFlags();
    if (!items.empty()) {
        FSelection.Kind = items.front().Kind;
        FSelection.View = View();
    }
    for (const TSelectionItem& item : items) Append(item);
    MarkSamples();
}

bool TSelectionEditor::Remove(const TSelectionItem& item) {
    const auto removed = std::remove(FSelection.Items.begin(), FSelection.Items.end(), item);
    if (removed == FSelection.Items.end()) return false;
    FSelection.Items.erase(removed, FSelection.Items.end());
    if (item.Kind == SelectionKindPoint)
        FLogData[static_cast<std::size_t>(item.SampleIndex)].Selected = 0;
    else
        MarkSamples();  // a sample on a shared bound may still lie in another selected cell
    return true;
}

void TSelectionEditor::ForgetSamples() {
    if (FSelection.Kind == SelectionKindPoint) Clear();
}

void TSelectionEditor::MarkSamples() {
    if (FSelection.Kind == SelectionKindCell && FSelection.View != View()) FSelection.Items.clear();
    if (FSelection.Empty() || FSelection.Kind == SelectionKindPoint) ClearFlags();
    if (FSelection.Empty()) return;
    FSelection.SamplesMarked = true;
    if (FSelection.Kind == SelectionKindPoint) {
        for (const TSelectionItem& item : FSelection.Items)
            if (ValidSampleIndex(FLogData, item.SampleIndex))
                FLogData[static_cast<std::size_t>(item.SampleIndex)].Selected = 1;
        return;
    }
    TCellMask mask{};
    for (const TSelectionItem& item : FSelection.Items)
        if (ValidCell(item)) mask[static_cast<std::size_t>(item.Row * MapSize + item.Column)] = 1;
    MarkCells(FLogData, FContext, mask, TMarking::Assign);
}

}  // namespace kelvane
