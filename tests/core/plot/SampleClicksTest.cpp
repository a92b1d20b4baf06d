#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/plot/SampleClicks.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

enum class TSource { Grid, Graph };

constexpr TClickKeys Plain{};
constexpr TClickKeys Ctrl{true, false};
constexpr TClickKeys Shift{false, true};
constexpr TClickKeys CtrlShift{true, true};

struct TClick {
    TSource Source;
    int Index;
    TClickKeys Keys;
};

struct TClickCase {
    const char* Name;
    bool CellsSelected;  // fuel map cell 5,5, which holds every sample, before the clicks
    std::vector<TClick> Clicks;
    std::vector<int> Selection;  // the point items, in order
    std::optional<std::size_t> LastShown;
    int Anchor;
};

// Ten samples, all inside fuel map cell 5,5.
struct TClickFixture {
    TPlotFixture Plot;
    TLogData Data;
    TSelection Selection;
    TSampleClicks Clicks;

    explicit TClickFixture(int count = 10) {
        for (int i = 0; i < count; ++i) Data.Entries.push_back(TPlotFixture::Sample(2000, 400, 50, 14));
    }
    TSelectionEditor Editor() { return TSelectionEditor(Selection, Data, Plot.Context()); }

    std::optional<std::size_t> Click(const TClick& click) {
        TSelectionEditor editor = Editor();
        return click.Source == TSource::Grid
                   ? Clicks.GridClick(editor, Selection, Data.Count(), click.Index, click.Keys)
                   : Clicks.GraphClick(editor, Selection, Data.Count(), click.Index, click.Keys);
    }
    std::vector<int> Points() const {
        std::vector<int> points;
        for (const TSelectionItem& item : Selection.Items)
            if (item.Kind == SelectionKindPoint) points.push_back(item.SampleIndex);
        return points;
    }
    std::vector<int> Marked() const {
        std::vector<int> marked;
        for (std::size_t i = 0; i < Data.Count(); ++i)
            if (Data[i].Selected) marked.push_back(static_cast<int>(i));
        return marked;
    }
};

class SampleClicksTest : public ::testing::TestWithParam<TClickCase> {};

TEST_P(SampleClicksTest, SelectionAndSampleShown) {
    const TClickCase& c = GetParam();
    TClickFixture f;
    if (c.CellsSelected) f.Editor().Add(TSelectionItem::Cell(5, 5));
    std::optional<std::size_t> shown;
    for (const TClick& click : c.Clicks) shown = f.Click(click);
    EXPECT_EQ(f.Points(), c.Selection);
    EXPECT_EQ(shown, c.LastShown);
    EXPECT_EQ(f.Clicks.GridAnchor(), c.Anchor);
    // The flags name exactly the selected samples.
    std::vector<int> sorted = f.Points();
    std::sort(sorted.begin(), sorted.end());
    if (!f.Selection.IsCells()) {
        EXPECT_EQ(f.Marked(), sorted);
    }
}

using enum TSource;

INSTANTIATE_TEST_SUITE_P(
    Grid, SampleClicksTest,
    ::testing::Values(
        TClickCase{"PlainSelectsAloneAndAnchors", false, {{Grid, 3, Plain}, {Grid, 5, Plain}}, {5}, 5, 5},
        TClickCase{"ShiftFromRow5ToRow2", false, {{Grid, 4, Plain}, {Grid, 1, Shift}}, {4, 3, 2, 1}, 1, 4},
        TClickCase{"ShiftDownwards", false, {{Grid, 1, Plain}, {Grid, 4, Shift}}, {1, 2, 3, 4}, 4, 1},
        TClickCase{"ShiftTwiceKeepsTheAnchor",
                   false,
                   {{Grid, 4, Plain}, {Grid, 1, Shift}, {Grid, 6, Shift}},
                   {4, 5, 6},
                   6,
                   4},
        TClickCase{"ShiftOnTheAnchor", false, {{Grid, 2, Plain}, {Grid, 2, Shift}}, {2}, 2, 2},
        TClickCase{"ShiftWithoutAnchorIsAPlainClick", false, {{Grid, 3, Shift}}, {3}, 3, 3},
        TClickCase{"CtrlAdds", false, {{Grid, 2, Plain}, {Grid, 5, Ctrl}}, {2, 5}, 5, 2},
        TClickCase{"CtrlTakesOutAgain",
                   false,
                   {{Grid, 2, Plain}, {Grid, 5, Ctrl}, {Grid, 2, Ctrl}},
                   {5},
                   std::nullopt,
                   2},
        TClickCase{"CtrlWinsOverShift", false, {{Grid, 2, Plain}, {Grid, 6, CtrlShift}}, {2, 6}, 6, 2},
        TClickCase{"CtrlOverCellsSelectsThePoint", true, {{Grid, 3, Ctrl}}, {3}, 3, -1},
        TClickCase{"RowBeforeTheList", false, {{Grid, 3, Plain}, {Grid, -1, Plain}}, {3}, std::nullopt, 3},
        TClickCase{"RowPastTheList", false, {{Grid, 3, Plain}, {Grid, 10, Shift}}, {3}, std::nullopt, 3},
        TClickCase{"CtrlPastTheList", false, {{Grid, 10, Ctrl}}, {}, std::nullopt, -1}),
    [](const ::testing::TestParamInfo<TClickCase>& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Graph, SampleClicksTest,
    ::testing::Values(
        TClickCase{"PlainSelectsAlone", false, {{Graph, 3, Plain}, {Graph, 5, Plain}}, {5}, 5, -1},
        TClickCase{
            "PlainOnTheSelectedSampleKeepsIt", false, {{Graph, 3, Plain}, {Graph, 3, Plain}}, {3}, 3, -1},
        TClickCase{"CtrlAddsButNeverTakesOut",
                   false,
                   {{Graph, 3, Plain}, {Graph, 5, Ctrl}, {Graph, 5, Ctrl}},
                   {3, 5},
                   std::nullopt,
                   -1},
        TClickCase{"ShiftWithNothingSelectedAddsThePoint", false, {{Graph, 4, Shift}}, {4}, 4, -1},
        TClickCase{"ShiftFromTheFirstItem",
                   false,
                   {{Graph, 2, Plain}, {Graph, 7, Ctrl}, {Graph, 5, Shift}},
                   {2, 7, 3, 4, 5},
                   5,
                   -1},
        TClickCase{"ShiftBackwards", false, {{Graph, 6, Plain}, {Graph, 3, Shift}}, {6, 5, 4, 3}, 3, -1},
        TClickCase{
            "ShiftOnTheFirstItem", false, {{Graph, 6, Plain}, {Graph, 6, Shift}}, {6}, std::nullopt, -1},
        TClickCase{"ShiftOverCellsHasNoStart", true, {{Graph, 4, Shift}}, {4}, 4, -1},
        TClickCase{
            "IndexBeforeTheList", false, {{Graph, 2, Plain}, {Graph, -1, Shift}}, {2}, std::nullopt, -1},
        TClickCase{"IndexPastTheList", false, {{Graph, 10, Plain}}, {}, std::nullopt, -1}),
    [](const ::testing::TestParamInfo<TClickCase>& info) { return std::string(info.param.Name); });

TEST(SampleClicksAnchorTest, AnAnchorLeftFromALongerListCountsAsNone) {
    TClickFixture f;
    f.Click({Grid, 9, Plain});
    // The list shrinks without anyone telling the clicks.
    f.Data.Entries.resize(5);
    f.Editor().ForgetSamples();
    EXPECT_EQ(f.Click({Grid, 2, Shift}), 2u);
    EXPECT_EQ(f.Points(), (std::vector<int>{2}));
    EXPECT_EQ(f.Clicks.GridAnchor(), 2);
}

TEST(SampleClicksAnchorTest, ForgettingTheAnchorMakesShiftAPlainClick) {
    TClickFixture f;
    f.Click({Grid, 8, Plain});
    f.Clicks.ForgetAnchor();
    EXPECT_EQ(f.Clicks.GridAnchor(), -1);
    f.Click({Grid, 6, Shift});
    EXPECT_EQ(f.Points(), (std::vector<int>{6}));
}

TEST(SampleClicksAnchorTest, ALongShiftRangeStaysQuick) {
    // Each sample is looked up by its flag, not searched for among the items.
    TClickFixture f(200000);
    f.Click({Grid, 0, Plain});
    EXPECT_EQ(f.Click({Grid, 199999, Shift}), 199999u);
    EXPECT_EQ(f.Selection.Items.size(), 200000u);
    EXPECT_EQ(f.Click({Graph, 100, Shift}), std::nullopt);
}

}  // namespace
}  // namespace kelvane
