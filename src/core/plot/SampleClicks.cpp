#include "core/plot/SampleClicks.h"

namespace kelvane {

namespace {

bool NamesSample(long long index, std::size_t sampleCount) {
    return index >= 0 && static_cast<unsigned long long>(index) < sampleCount;
}

// Adds the samples after from up to before to, walking towards to.
void AddBetween(TSelectionEditor& editor, int from, int to) {
    const int step = to > from ? 1 : -1;
    for (int i = from + step; i != to; i += step) editor.Add(TSelectionItem::Point(i));
}

}  // namespace

std::optional<std::size_t> TSampleClicks::GridClick(TSelectionEditor& editor, const TSelection& selection,
                                                    std::size_t sampleCount, int index, TClickKeys keys) {
    if (!NamesSample(index, sampleCount)) return std::nullopt;
    const TSelectionItem point = TSelectionItem::Point(index);
    if (keys.Ctrl) {
        if (!selection.Contains(point)) return editor.Add(point);
        editor.Remove(point);
        return std::nullopt;
    }
    editor.Clear();
    if (keys.Shift && NamesSample(FGridAnchor, sampleCount)) {
        if (index != FGridAnchor) {
            editor.Add(TSelectionItem::Point(FGridAnchor));
            AddBetween(editor, FGridAnchor, index);
        }
        return editor.Add(point);
    }
    FGridAnchor = index;
    return editor.Add(point);
}

std::optional<std::size_t> TSampleClicks::GraphClick(TSelectionEditor& editor, const TSelection& selection,
                                                     std::size_t sampleCount, int index, TClickKeys keys) {
    if (!NamesSample(index, sampleCount)) return std::nullopt;
    const TSelectionItem point = TSelectionItem::Point(index);
    if (keys.Ctrl) return editor.Add(point);
    if (keys.Shift) {
        // Cells give no sample to start from: as if nothing were selected.
        if (!selection.IsPoints() || !NamesSample(selection.Items.front().SampleIndex, sampleCount))
            return editor.Add(point);
        const int start = selection.Items.front().SampleIndex;
        if (start == index) return std::nullopt;
        AddBetween(editor, start, index);
        return editor.Add(point);
    }
    editor.Clear();
    return editor.Add(point);
}

}  // namespace kelvane
