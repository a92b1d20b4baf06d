#include <gtest/gtest.h>

#include <random>

#include "core/logdata/PointFilters.h"
#include "core/plot/MeanAfrGrid.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

TEST(MeanAfrGridTest, AveragesIncludedPlottedValuesPerFuelCellAndMarksEmptyCells) {
    TPlotFixture f;
    f.Options.View = TPlotView::EZK;  // the grid is always the fuel map's
    TLogData data;
    // Cell (5, 5): 2000 rpm, PlotMaf 400.
    data.Entries.push_back(TPlotFixture::Sample(2000, 400, 10, 12.0));
    data.Entries.push_back(TPlotFixture::Sample(1900, 410, 90, 13.0));
    TLogDataEntry excluded = TPlotFixture::Sample(2000, 400, 10, 20.0);
    excluded.Included = 0;
    data.Entries.push_back(excluded);
    TLogDataEntry noValue = TPlotFixture::Sample(2000, 400, 10, 99);
    noValue.AfrPresent = 0;  // and no O2 adjustment: nothing to plot
    data.Entries.push_back(noValue);
    // On the bound 600 between rows 0 and 1: row 0 only. PlotMaf 130 is the
    // bound between load cells 0 and 1: cell 0.
    data.Entries.push_back(TPlotFixture::Sample(600, 130, 10, 15.0));
    // Beyond every bound: the outer cell.
    data.Entries.push_back(TPlotFixture::Sample(150000, 20000, 10, 11.0));
    // Without air mass a sample lies in no cell, not in the first load cell.
    data.Entries.push_back(TPlotFixture::Sample(2000, MissingValue, 10, 17.0));

    const TMapGrid mean = ComputeMeanAfrGrid(data, f.Context());
    EXPECT_DOUBLE_EQ(mean.At(5, 5), 12.5);
    EXPECT_DOUBLE_EQ(mean.At(0, 0), 15.0);
    EXPECT_EQ(mean.At(1, 0), MissingValue);
    EXPECT_EQ(mean.At(0, 1), MissingValue);
    EXPECT_DOUBLE_EQ(mean.At(15, 15), 11.0);
    int filled = 0;
    for (double v : mean.Values) filled += v != MissingValue;
    EXPECT_EQ(filled, 3);
}

TEST(MeanAfrGridTest, FollowsTheFuelAdjustmentInForce) {
    TPlotFixture f;
    f.FuelAdjustment.Fill(1.25);
    TLogData data;
    data.Entries.push_back(TPlotFixture::Sample(2000, 400, 10, 12.5));
    EXPECT_DOUBLE_EQ(ComputeMeanAfrGrid(data, f.Context()).At(5, 5), 10.0);
    EXPECT_EQ(ComputeMeanAfrGrid(TLogData{}, f.Context()).At(5, 5), MissingValue);
}

TEST(MeanAfrGridTest, FilteringAndAveragingInOnePassMatchDoingThemApart) {
    TPlotFixture f;
    std::mt19937 random(3);
    TLogData data;
    double t = 0;
    for (int i = 0; i < 5000; ++i) {
        t += random() % 50 == 0 ? -20.0 : random() % 30 == 0 ? 0.0 : 0.05;
        TLogDataEntry e = TPlotFixture::Sample(700 + random() % 5800, random() % 1100, 0, 11 + random() % 8);
        e.TimeSec = t;
        e.ThrottleSwitch = 2;
        data.Entries.push_back(e);
    }
    for (bool enabled : {true, false}) {
        TFilterSettings settings;
        settings.FiltersEnabled = enabled;
        TLogData apart = data;
        ApplyFilters(apart, settings);
        const TMapGrid expected = ComputeMeanAfrGrid(apart, f.Context());
        TLogData together = data;
        bool dirty = true;
        EXPECT_EQ(ApplyFiltersAndComputeMeanAfrGrid(together, settings, dirty, f.Context()), expected);
        EXPECT_FALSE(dirty);
        for (std::size_t i = 0; i < data.Count(); ++i) ASSERT_EQ(together[i].Included, apart[i].Included);
    }
}

TEST(MeanAfrGridTest, SharingTheSamplesAmongThreadsGivesTheSameGrid) {
    // Samples on cell bounds, without engine speed, air mass or AFR, and
    // excluded ones, with AFRs whose sums round differently in another
    // order: the grid must come out equal to the last bit.
    TPlotFixture f;
    f.FuelAdjustment.At(5, 5) = 1.1;
    f.FuelAdjustment.At(6, 5) = 0.93;
    const TCellBounds& rpmBounds = f.LhRpmBounds;
    const TCellBounds& loadBounds = f.LhLoadBounds;
    std::mt19937 random(11);
    TLogData data;
    for (int i = 0; i < 997; ++i) {
        const double rpm = random() % 3 == 0 ? rpmBounds[1 + random() % 15] : 500 + random() % 6000;
        const double maf = random() % 3 == 0 ? loadBounds[1 + random() % 15] : 100 + random() % 900;
        TLogDataEntry e = TPlotFixture::Sample(rpm, maf, 50, 10 + (random() % 100000) / 9999.0);
        switch (random() % 12) {
            case 0:
                e.Rpm = MissingValue;
                break;
            case 1:
                e.PlotMaf = MissingValue;
                break;
            case 2:
                e.SmoothedAfr = e.Afr = MissingValue;
                break;
            case 3:
                e.Included = 0;
                break;
            case 4:
                e.Selected = 1;
                break;
            default:
                break;
        }
        data.Entries.push_back(e);
    }
    TWorkerPool one(1);
    const TMapGrid serial = ComputeMeanAfrGrid(data, f.Context(), one);
    int filled = 0;
    for (double v : serial.Values) filled += v != MissingValue;
    EXPECT_GT(filled, 150);
    for (int threads : {2, 3, 7}) {
        TWorkerPool pool(threads);
        const TMapGrid shared = ComputeMeanAfrGrid(data, f.Context(), pool);
        for (int k = 0; k < MapSize * MapSize; ++k)
            ASSERT_EQ(shared.Values[k], serial.Values[k]) << "cell " << k << ", threads " << threads;
    }
}

}  // namespace
}  // namespace kelvane
