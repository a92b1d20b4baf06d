#include <gtest/gtest.h>

#include "core/mapwindows/MapGridSelection.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

bool Same(const TMapSelection& a, const TMapSelection& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

TEST(MapGridSelectionTest, HeaderPresses) {
    const struct {
        int Column, Row;
        std::optional<TMapSelection> Selection;
    } cases[] = {
        {0, 0, WholeMap},
        {5, 0, TMapSelection{5, 1, 5, 16}},
        {0, 7, TMapSelection{1, 7, 16, 7}},
        {16, 0, TMapSelection{16, 1, 16, 16}},
        {3, 4, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto selection = HeaderPressSelection(c.Column, c.Row);
        ASSERT_EQ(selection.has_value(), c.Selection.has_value());
        if (selection) {
            EXPECT_TRUE(Same(*selection, *c.Selection)) << c.Column << "," << c.Row;
        }
    }
    EXPECT_TRUE(Same(GridRectangle(5, 9, 2, 3), TMapSelection{2, 3, 5, 9}));
    EXPECT_TRUE(Same(GridRectangle(0, 0, 20, 4), TMapSelection{1, 1, 16, 4}));
}

// The plot and the grids show the same cells: RPM across, load down.
TEST(MapGridSelectionTest, SelectionRoundTripsThroughThePlot) {
    const TMapSelection rectangle{3, 5, 6, 7};  // RPM cells 2..5, load cells 4..6
    const std::vector<TSelectionItem> cells = PlotCellsOf(rectangle);
    ASSERT_EQ(cells.size(), 12u);
    EXPECT_EQ(cells.front(), TSelectionItem::Cell(2, 4));
    EXPECT_EQ(cells.back(), TSelectionItem::Cell(5, 6));

    TKelvaneState state;
    state.SelectionEditor().Replace(cells);
    const auto back = GridSelectionOf(state.Selection, TPlotView::LH);
    ASSERT_TRUE(back);
    EXPECT_TRUE(Same(*back, rectangle));
    // Cells of the other view, points and nothing name no grid cells.
    EXPECT_FALSE(GridSelectionOf(state.Selection, TPlotView::EZK));
    EXPECT_FALSE(GridSelectionOf(TSelection{}, TPlotView::LH));
}

TEST(MapGridSelectionTest, WindowPositionKeptOnScreenOrCentred) {
    const TWindowSize screen{0, 0, 1920, 1080};
    const struct {
        const char* Stored;
        TWindowSize Placed;
    } cases[] = {
        {"100,200,800,600", {100, 200, 760, 420}},
        {"1800,1000,800,600", {1160, 660, 760, 420}},
        {"-50,-20,1,1", {0, 0, 760, 420}},
        {"300,40", {300, 40, 760, 420}},
        {"", {580, 330, 760, 420}},
        {"x,40,1,1", {580, 330, 760, 420}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToolWindowPosition(c.Stored, 760, 420, screen), c.Placed) << c.Stored;
}

}  // namespace
}  // namespace kelvane
