#include <gtest/gtest.h>

#include "PlotFixture.h"
#include "core/plot/MeanAfrGrid.h"

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

}  // namespace
}  // namespace kelvane
