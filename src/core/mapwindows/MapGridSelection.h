#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/ground/SettingsValues.h"
#include "core/maps/MapGrid.h"
#include "core/plot/DisplayOptions.h"
#include "core/plot/Selection.h"
#include "core/plot/SelectionItem.h"

namespace kelvane {

// A map window's grid has 17 columns and rows: the header row and column
// (0) and the 16 map cells (1 .. 16).
inline constexpr int GridCells = MapSize + 1;

// A press on a header cell selects: the corner the whole map, a header-row
// cell its column, a header-column cell its row. Nothing for a map cell.
std::optional<TMapSelection> HeaderPressSelection(int column, int row);

// The rectangle from one map cell to another, in either order.
TMapSelection GridRectangle(int column0, int row0, int column1, int row1);

// The plot's cell items of a grid selection: column c is RPM cell c - 1, row
// t load cell t - 1.
std::vector<TSelectionItem> PlotCellsOf(const TMapSelection& selection);

// The grid selection that shows the plot's selection: the bounding
// rectangle of its cells when they are cells of the window's view; nothing
// when the plot holds no such cells.
std::optional<TMapSelection> GridSelectionOf(const TSelection& selection, TPlotView view);

// Where a map window opens: the first two numbers of its stored "Window
// Size" as left and top, kept on the screen; centred without them. The size
// stays the window's own.
TWindowSize ToolWindowPosition(std::string_view storedText, int width, int height, const TWindowSize& screen);

}  // namespace kelvane
