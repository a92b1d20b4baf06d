#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/PlotContext.h"
#include "core/plot/SelectionItem.h"

namespace kelvane {

// A rectangle of map cells, inclusive: RPM rows R0 .. R1, load columns C0 .. C1.
struct TCellRegion {
    int R0 = 0;
    int R1 = MapSize - 1;
    int C0 = 0;
    int C1 = MapSize - 1;

    bool Contains(int row, int column) const {
        return row >= R0 && row <= R1 && column >= C0 && column <= C1;
    }
    bool operator==(const TCellRegion&) const = default;
};

inline constexpr TCellRegion WholeGrid{};

// The region in a map grid's coordinates (1-based, RPM across, load down).
inline TMapSelection MapSelectionOf(const TCellRegion& region) {
    return {region.R0 + 1, region.C0 + 1, region.R1 + 1, region.C1 + 1};
}

// What the plot has selected: map cells of the view in force, or log
// samples. All items are of one kind.
struct TSelection {
    std::vector<TSelectionItem> Items;
    std::uint8_t Kind = SelectionKindCell;
    // The view whose grid the cells belong to.
    TPlotView View = TPlotView::LH;
    // False while no sample can carry a Selected flag, so that clearing
    // them needs no pass over the list.
    bool SamplesMarked = false;

    bool Empty() const { return Items.empty(); }
    bool Contains(const TSelectionItem& item) const;
    bool IsCells() const { return !Items.empty() && Kind == SelectionKindCell; }
    bool IsPoints() const { return !Items.empty() && Kind == SelectionKindPoint; }
    // The lowest and the highest selected sample index; nothing without points.
    std::optional<int> LowestSample() const;
    std::optional<int> HighestSample() const;
};

// The region the map adjustments and the map windows work on: the bounding
// box of the selected cells, the whole map when no cell is selected.
TCellRegion SelectionRegion(const TSelection& selection);

// The cells of a region, rows then columns.
std::vector<TSelectionItem> RegionCells(const TCellRegion& region);
TCellRegion RegionBetween(int row0, int column0, int row1, int column1);

// The selection operations keep each sample's Selected flag true exactly while
// the sample is in the selection: named by a point item, or included and
// inside a selected cell of the view in force (bounds inclusive).
class TSelectionEditor {
  public:
    TSelectionEditor(TSelection& selection, TLogData& logData, const TPlotContext& context);

    void Clear();
    // Adds an item; an item of the other kind clears the selection first, an
    // item already present or a point naming no sample changes nothing.
    // Returns the index of the last sample the item marked.
    std::optional<std::size_t> Add(const TSelectionItem& item);
    // Adds many items with one pass over the samples (a rectangle, all cells).
    void AddAll(const std::vector<TSelectionItem>& items);
    // The selection becomes the given items, with one pass over the samples.
    void Replace(const std::vector<TSelectionItem>& items);
    // Removes every item equal to the given one; false when none was there.
    bool Remove(const TSelectionItem& item);
    // Sets every Selected flag from the items again, after the samples'
    // included flags or the cells' bounds changed. Cells of the other view
    // than the one in force are dropped first: they name other cells.
    void MarkSamples();
    // Drops point items: their indexes refer to a list that changed.
    void ForgetSamples();

  private:
    TPlotView View() const;
    void ClearFlags();
    bool Append(const TSelectionItem& item);
    TSelection& FSelection;
    TLogData& FLogData;
    const TPlotContext FContext;  // views into the state, held for one edit
};

// A sample index that names a sample of the list.
inline bool ValidSampleIndex(const TLogData& logData, long long index) {
    return index >= 0 && static_cast<unsigned long long>(index) < logData.Count();
}

}  // namespace kelvane
