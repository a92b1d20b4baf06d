#include <gtest/gtest.h>

#include <vector>

#include "core/plot/Selection.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

// Row 5 of the fuel map runs from 1800 to 2200 rpm, column 5 from 370 to 430.
struct SelectionTest : ::testing::Test {
    TPlotFixture f;
    TLogData data;
    TSelection selection;

    TSelectionEditor Editor() { return TSelectionEditor(selection, data, f.Context()); }
    void AddSample(double rpm, double plotMaf, bool included = true) {
        data.Entries.push_back(TPlotFixture::Sample(rpm, plotMaf, 50, 14.0));
        data.Entries.back().Included = included ? 1 : 0;
    }
    std::vector<int> Marked() const {
        std::vector<int> marked;
        for (std::size_t i = 0; i < data.Count(); ++i)
            if (data[i].Selected) marked.push_back(static_cast<int>(i));
        return marked;
    }
};

TEST_F(SelectionTest, CellMarksIncludedSamplesInsideItsClosedBounds) {
    AddSample(2000, 400);         // 0: inside
    AddSample(1800, 370);         // 1: on the lower corner
    AddSample(2000, 400, false);  // 2: excluded
    AddSample(2200, 430);         // 3: on the upper corner, shared with row 6 / column 6
    AddSample(2300, 400);         // 4: next row
    const auto last = Editor().Add(TSelectionItem::Cell(5, 5));
    EXPECT_EQ(Marked(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(last, 3u);
    // The neighbour shares sample 3; removing cell 5,5 keeps what 6,6 holds.
    Editor().Add(TSelectionItem::Cell(6, 6));
    Editor().Remove(TSelectionItem::Cell(5, 5));
    EXPECT_EQ(Marked(), (std::vector<int>{3}));
}

TEST_F(SelectionTest, ItemsOfOneKindOnceAndOnlyWhatNamesSomething) {
    AddSample(2000, 400);
    AddSample(2300, 400);
    TSelectionEditor editor = Editor();
    editor.Add(TSelectionItem::Cell(5, 5));
    EXPECT_FALSE(editor.Add(TSelectionItem::Cell(5, 5)).has_value());
    EXPECT_EQ(selection.Items.size(), 1u);

    // A point replaces the cells; points that name no sample never enter.
    EXPECT_EQ(editor.Add(TSelectionItem::Point(1)), 1u);
    for (int bad : {-1, 2, 1000}) EXPECT_FALSE(editor.Add(TSelectionItem::Point(bad)).has_value()) << bad;
    EXPECT_FALSE(editor.Add(TSelectionItem::Cell(16, 0)).has_value());
    EXPECT_TRUE(selection.IsPoints());
    EXPECT_EQ(selection.Items.size(), 1u);
    EXPECT_EQ(Marked(), (std::vector<int>{1}));
}

TEST_F(SelectionTest, ReplaceLeavesOnlyTheNewItemsMarked) {
    AddSample(2000, 400);  // cell 5,5
    AddSample(2300, 400);  // cell 6,5
    TSelectionEditor editor = Editor();
    editor.Add(TSelectionItem::Point(0));
    editor.Replace({TSelectionItem::Cell(6, 5)});
    EXPECT_TRUE(selection.IsCells());
    EXPECT_EQ(Marked(), (std::vector<int>{1}));
    editor.Replace({TSelectionItem::Cell(5, 5)});
    EXPECT_EQ(Marked(), (std::vector<int>{0}));
    editor.Replace({TSelectionItem::Point(0)});
    editor.Replace({TSelectionItem::Point(0), TSelectionItem::Point(1)});
    EXPECT_EQ(selection.Items.size(), 2u);
    EXPECT_EQ(Marked(), (std::vector<int>{0, 1}));
}

TEST_F(SelectionTest, SampleWithoutLoadLiesInNoCell) {
    AddSample(2000, MissingValue);
    data[0].Load = MissingValue;
    Editor().AddAll(RegionCells(WholeGrid));
    EXPECT_TRUE(Marked().empty());
    f.Options.View = TPlotView::EZK;
    Editor().AddAll(RegionCells(WholeGrid));
    EXPECT_TRUE(Marked().empty());
}

TEST_F(SelectionTest, RegionIsTheBoundingBoxOfTheCells) {
    EXPECT_EQ(SelectionRegion(selection), WholeGrid);
    selection.Items = {TSelectionItem::Cell(7, 2), TSelectionItem::Cell(3, 9), TSelectionItem::Cell(5, 4)};
    EXPECT_EQ(SelectionRegion(selection), (TCellRegion{3, 7, 2, 9}));
    selection.Kind = SelectionKindPoint;
    selection.Items = {TSelectionItem::Point(0)};
    EXPECT_EQ(SelectionRegion(selection), WholeGrid);
    EXPECT_EQ(RegionBetween(9, 1, 4, 20), (TCellRegion{4, 9, 1, 15}));
    EXPECT_EQ(RegionCells(TCellRegion{2, 3, 7, 8}).size(), 4u);
}

TEST_F(SelectionTest, CellsBelongToTheirViewAndPointsToTheirList) {
    AddSample(2000, 400);
    Editor().Add(TSelectionItem::Cell(5, 5));
    f.Options.View = TPlotView::EZK;
    Editor().MarkSamples();
    EXPECT_TRUE(selection.Empty());
    EXPECT_TRUE(Marked().empty());

    Editor().Add(TSelectionItem::Cell(2, 2));
    Editor().ForgetSamples();  // cells stay: they name no index
    EXPECT_EQ(selection.Items.size(), 1u);
    Editor().Add(TSelectionItem::Point(0));
    Editor().ForgetSamples();
    EXPECT_TRUE(selection.Empty());
    EXPECT_TRUE(Marked().empty());
}

TEST_F(SelectionTest, LowestAndHighestSelectedSample) {
    for (int i = 0; i < 6; ++i) AddSample(2000, 400);
    EXPECT_FALSE(selection.LowestSample().has_value());
    TSelectionEditor editor = Editor();
    for (int i : {3, 1, 4}) editor.Add(TSelectionItem::Point(i));
    EXPECT_EQ(selection.LowestSample(), 1);
    EXPECT_EQ(selection.HighestSample(), 4);
}

}  // namespace
}  // namespace kelvane
