#include "core/mapwindows/MapGridSelection.h"

#include <algorithm>
#include <charconv>

#include "core/ground/SettingsValues.h"

namespace kelvane {

namespace {

std::optional<int> LeadingInteger(std::string_view& text) {
    text = TrimBlanks(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

// The window kept within the screen: not past its right or bottom edge, then
// not before its left or top edge.
int KeepWithin(int start, int length, int areaStart, int areaLength) {
    return std::max(std::min(start, areaStart + areaLength - length), areaStart);
}

}  // namespace

std::optional<TMapSelection> HeaderPressSelection(int column, int row) {
    if (column == 0 && row == 0) return WholeMap;
    if (row == 0 && column >= 1 && column <= MapSize) return TMapSelection{column, 1, column, MapSize};
    if (column == 0 && row >= 1 && row <= MapSize) return TMapSelection{1, row, MapSize, row};
    return std::nullopt;
}

TMapSelection GridRectangle(int column0, int row0, int column1, int row1) {
    const auto inMap = [](int value) { return std::clamp(value, 1, MapSize); };
    return {inMap(std::min(column0, column1)), inMap(std::min(row0, row1)), inMap(std::max(column0, column1)),
            inMap(std::max(row0, row1))};
}

std::vector<TSelectionItem> PlotCellsOf(const TMapSelection& selection) {
    std::vector<TSelectionItem> cells;
    for (int c = std::max(1, selection.Left); c <= std::min(MapSize, selection.Right); ++c)
        for (int t = std::max(1, selection.Top); t <= std::min(MapSize, selection.Bottom); ++t)
            cells.push_back(TSelectionItem::Cell(c - 1, t - 1));
    return cells;
}

std::optional<TMapSelection> GridSelectionOf(const TSelection& selection, TPlotView view) {
    if (!selection.IsCells() || selection.View != view) return std::nullopt;
    return MapSelectionOf(SelectionRegion(selection));
}

TWindowSize ToolWindowPosition(std::string_view storedText, int width, int height,
                               const TWindowSize& screenGiven) {
    const TWindowSize screen = SaneWindowSize(screenGiven);
    width = SaneWindowExtent(width);
    height = SaneWindowExtent(height);
    std::string_view rest = storedText;
    const std::optional<int> left = LeadingInteger(rest);
    std::optional<int> top;
    if (left && !rest.empty() && rest.front() == ',') {
        rest.remove_prefix(1);
        top = LeadingInteger(rest);
    }
    if (!left || !top)
        return {screen.Left + (screen.Width - width) / 2, screen.Top + (screen.Height - height) / 2, width,
                height};
    return {KeepWithin(SaneWindowCoordinate(*left), width, screen.Left, screen.Width),
            KeepWithin(SaneWindowCoordinate(*top), height, screen.Top, screen.Height), width, height};
}

}  // namespace kelvane
