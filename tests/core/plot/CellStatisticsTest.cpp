#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/plot/CellStatistics.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

std::vector<TSelectionItem> Points(std::initializer_list<int> indexes) {
    std::vector<TSelectionItem> items;
    for (int i : indexes) items.push_back(TSelectionItem::Point(i));
    return items;
}

TEST(CellStatisticsTest, EmptySelectionGivesZeros) {
    TPlotFixture f;
    TLogData data;
    data.Entries.push_back(TPlotFixture::Sample(2000, 400, 10, 12.0));
    EXPECT_EQ(SelectionStatistics(data, {}, f.Context()), TCellStatistics{});
    // A selected cell without samples is no different.
    EXPECT_EQ(CellStatistics(data, 9, 9, f.Context()), TCellStatistics{});
}

TEST(CellStatisticsTest, PointSelectionCountsIncludedSamplesWithAValue) {
    TPlotFixture f;
    TLogData data;
    for (double afr : {12.0, 13.0, 14.0, 18.0, 15.0})
        data.Entries.push_back(TPlotFixture::Sample(2000 + afr, 400, 10, afr));
    data[3].Included = 0;    // 18 is filtered out
    data[4].AfrPresent = 0;  // 15 has nothing to plot

    const auto items = Points({0, 1, 2, 3, 4, 17, -1});
    const TCellStatistics s = SelectionStatistics(data, items, f.Context());
    EXPECT_EQ(s.Count, 3);
    EXPECT_DOUBLE_EQ(s.Mean, 13.0);
    EXPECT_NEAR(s.SDev, std::sqrt(2.0 / 3.0), 1e-12);
    EXPECT_EQ(s.MaxKnockCylinders, 0);

    const auto one = Points({1});
    const TCellStatistics single = SelectionStatistics(data, one, f.Context());
    EXPECT_EQ(single.Count, 1);
    EXPECT_DOUBLE_EQ(single.Mean, 13.0);
    EXPECT_EQ(single.SDev, 0);
}

TEST(CellStatisticsTest, KnockMaximaOnlyInTheIgnitionViewAndEvenWithoutAValue) {
    TPlotFixture f;
    TLogData data;
    for (int i = 0; i < 4; ++i) {
        TLogDataEntry e = TPlotFixture::Sample(3000, 500, 60, 12.5);
        e.KnockRetard.fill(0);
        data.Entries.push_back(e);
    }
    data[1].KnockRetard[2] = 2.5;
    data[1].KnockRetard[3] = 1.0;
    data[1].AfrPresent = 0;  // knocks although nothing is plotted
    data[3].KnockRetard[0] = 4.0;
    data[3].Included = 0;  // excluded knocks are not counted

    f.Options.View = TPlotView::EZK;
    const auto items = Points({0, 1, 2, 3});
    TCellStatistics s = SelectionStatistics(data, items, f.Context());
    EXPECT_EQ(s.Count, 2);
    EXPECT_EQ(s.MaxKnockCylinders, 2);
    EXPECT_DOUBLE_EQ(s.MaxKnockRetard, 2.5);
    // Cell (6, 9) holds them all.
    s = CellStatistics(data, 6, 9, f.Context());
    EXPECT_EQ(s.Count, 2);
    EXPECT_EQ(s.MaxKnockCylinders, 2);
    EXPECT_DOUBLE_EQ(s.MaxKnockRetard, 2.5);

    f.Options.View = TPlotView::LH;
    s = SelectionStatistics(data, items, f.Context());
    EXPECT_EQ(s.MaxKnockCylinders, 0);
    EXPECT_EQ(s.MaxKnockRetard, 0);
}

TEST(CellStatisticsTest, CellSelectionCountsASampleOnASharedBoundForEachCell) {
    TPlotFixture f;
    TLogData data;
    data.Entries.push_back(TPlotFixture::Sample(600, 400, 10, 12.0));     // on the bound of rows 0 and 1
    data.Entries.push_back(TPlotFixture::Sample(650, 400, 10, 14.0));     // row 1
    data.Entries.push_back(TPlotFixture::Sample(550, 400, 10, 13.0));     // row 0
    data.Entries.push_back(TPlotFixture::Sample(150000, 400, 10, 11.0));  // beyond the last bound: no cell

    const std::vector<TSelectionItem> both = {TSelectionItem::Cell(0, 5), TSelectionItem::Cell(1, 5)};
    const TCellStatistics s = SelectionStatistics(data, both, f.Context());
    EXPECT_EQ(s.Count, 4);
    EXPECT_DOUBLE_EQ(s.Mean, (12.0 * 2 + 14.0 + 13.0) / 4);
    const double mean = s.Mean;
    EXPECT_NEAR(
        s.SDev,
        std::sqrt((2 * (12 - mean) * (12 - mean) + (14 - mean) * (14 - mean) + (13 - mean) * (13 - mean)) /
                  4),
        1e-12);

    // Each cell alone holds the bound sample too.
    EXPECT_EQ(CellStatistics(data, 0, 5, f.Context()).Count, 2);
    EXPECT_EQ(CellStatistics(data, 1, 5, f.Context()).Count, 2);
    EXPECT_EQ(CellStatistics(data, 15, 5, f.Context()).Count, 0);

    // The first item decides the kind; a repeated cell is still one cell.
    const std::vector<TSelectionItem> mixed = {TSelectionItem::Cell(1, 5), TSelectionItem::Point(2),
                                               TSelectionItem::Cell(1, 5)};
    EXPECT_EQ(SelectionStatistics(data, mixed, f.Context()).Count, 2);
    const std::vector<TSelectionItem> pointFirst = {TSelectionItem::Point(2), TSelectionItem::Cell(1, 5)};
    EXPECT_EQ(SelectionStatistics(data, pointFirst, f.Context()).Count, 1);
}

TEST(CellStatisticsTest, CellSelectionUsesTheGridInView) {
    TPlotFixture f;
    TLogData data;
    data.Entries.push_back(TPlotFixture::Sample(2000, 400, 51, 12.0));
    EXPECT_EQ(CellStatistics(data, 5, 5, f.Context()).Count, 1);
    EXPECT_EQ(CellStatistics(data, 3, 8, f.Context()).Count, 0);
    f.Options.View = TPlotView::EZK;
    EXPECT_EQ(CellStatistics(data, 5, 5, f.Context()).Count, 0);
    // 2000 rpm is exactly the EZK bound of rows 3 and 4: both hold it.
    EXPECT_EQ(CellStatistics(data, 3, 8, f.Context()).Count, 1);
    EXPECT_EQ(CellStatistics(data, 4, 8, f.Context()).Count, 1);
}

TEST(CellStatisticsTest, AllCellsInOnePassMatchOneCellSelections) {
    std::mt19937 random(7);
    for (TPlotView view : {TPlotView::LH, TPlotView::EZK}) {
        TPlotFixture f;
        f.Options.View = view;
        for (int r = 0; r < MapSize; ++r)
            for (int l = 0; l < MapSize; ++l) f.FuelAdjustment.At(r, l) = 0.95 + 0.005 * ((r + l) % 20);
        TLogData data;
        for (int i = 0; i < 3000; ++i) {
            // Every tenth sample sits exactly on a bound, some beyond the outer bounds.
            const bool onBound = i % 10 == 0;
            const double rpm = onBound
                                   ? (view == TPlotView::LH ? f.LhRpmBounds : f.EzkRpmBounds)[random() % 17]
                                   : 300 + random() % 7000;
            const double maf = onBound ? f.LhLoadBounds[random() % 17] : random() % 1200;
            const double load = onBound ? f.EzkLoadBounds[random() % 17] : -5.0 + random() % 110;
            TLogDataEntry e = TPlotFixture::Sample(rpm, maf, load, 11 + (random() % 600) / 100.0);
            e.Included = random() % 7 != 0;
            if (random() % 13 == 0) e.AfrPresent = 0;
            e.KnockRetard.fill(0);
            if (random() % 5 == 0) e.KnockRetard[random() % 8] = (random() % 60) / 10.0;
            data.Entries.push_back(e);
        }
        const TCellStatisticsGrid all = AllCellStatistics(data, f.Context());
        int counted = 0;
        for (int r = 0; r < MapSize; ++r)
            for (int c = 0; c < MapSize; ++c) {
                SCOPED_TRACE(testing::Message() << "cell " << r << "," << c);
                const TCellStatistics one = CellStatistics(data, r, c, f.Context());
                const TCellStatistics& fast = all[r * MapSize + c];
                EXPECT_EQ(fast.Count, one.Count);
                EXPECT_NEAR(fast.Mean, one.Mean, 1e-9);
                EXPECT_NEAR(fast.SDev, one.SDev, 1e-9);
                EXPECT_EQ(fast.MaxKnockCylinders, one.MaxKnockCylinders);
                EXPECT_EQ(fast.MaxKnockRetard, one.MaxKnockRetard);
                counted += one.Count;
            }
        EXPECT_GT(counted, 2000);
        // Selecting every cell at once adds up the same counts.
        std::vector<TSelectionItem> every;
        for (int r = 0; r < MapSize; ++r)
            for (int c = 0; c < MapSize; ++c) every.push_back(TSelectionItem::Cell(r, c));
        EXPECT_EQ(SelectionStatistics(data, every, f.Context()).Count, counted);

        // Put together from the cells, a selection gives what a pass over the samples gives.
        const std::vector<TSelectionItem> block = {TSelectionItem::Cell(3, 4), TSelectionItem::Cell(3, 5),
                                                   TSelectionItem::Cell(4, 4), TSelectionItem::Cell(4, 5)};
        for (const std::vector<TSelectionItem>& selection : {every, block}) {
            const TCellStatistics direct = SelectionStatistics(data, selection, f.Context());
            const TCellStatistics combined = CombinedCellStatistics(all, selection);
            EXPECT_EQ(combined.Count, direct.Count);
            EXPECT_NEAR(combined.Mean, direct.Mean, 1e-9);
            EXPECT_NEAR(combined.SDev, direct.SDev, 1e-9);
            EXPECT_EQ(combined.MaxKnockCylinders, direct.MaxKnockCylinders);
            EXPECT_EQ(combined.MaxKnockRetard, direct.MaxKnockRetard);
        }
    }
}

}  // namespace
}  // namespace kelvane
