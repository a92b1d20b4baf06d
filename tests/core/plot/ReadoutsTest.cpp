#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/plot/Readouts.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

constexpr const char* Degree = "\xC2\xB0";

struct TWidthCase {
    double Value;
    int Width;
    int Decimals;
    const char* Expected;
};

TEST(ReadoutsTest, WidthTextFitsTheField) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<TWidthCase> cases = {
        {14.04, 4, 1, "14.0"},       // fits exactly
        {9.5, 4, 1, " 9.5"},         // right-aligned
        {2500.4, 4, 0, "2500"},      //
        {123.45, 4, 1, " 123"},      // one decimal dropped
        {3.14159, 5, 3, "3.142"},    //
        {12.346, 8, 2, "   12.35"},  // a grid's time column
        {3.14159, 4, 3, "3.14"},     // decimals dropped one by one
        {99999.9, 6, 2, "100000"},   // rounds up as the decimals go
        {12345, 4, 0, "****"},       // no room even without decimals
        {12345.6, 4, 1, "****"},     //
        {MissingValue, 4, 1, "    "}, {MissingValue, 3, 0, "   "},
        {-0.04, 4, 1, " 0.0"},                                 // no minus for a zero
        {-0.4, 4, 0, "   0"},                                  //
        {-0.0, 3, 0, "  0"},                                   //
        {-12.34, 5, 1, "-12.3"},      {-12.34, 4, 1, " -12"},  // the sign takes a place
        {-123.4, 3, 0, "***"},                                 //
        {nan, 4, 1, "****"},          {infinity, 3, 0, "***"},
        {1e300, 4, 1, "****"},
    };
    for (const TWidthCase& c : cases)
        EXPECT_EQ(WidthText(c.Value, c.Width, c.Decimals), c.Expected)
            << c.Value << " width " << c.Width << " decimals " << c.Decimals;
}

TEST(ReadoutsTest, CursorValuesNameTheLoadOfTheView) {
    EXPECT_EQ(CursorValuesText(TPlotView::LH, 2500.4, 312.6), "RPM= 2500  MAF= 313");
    EXPECT_EQ(CursorValuesText(TPlotView::EZK, 812, 45.2), "RPM=  812  Load=  45");
    EXPECT_EQ(CursorValuesText(TPlotView::EZK, 10500, -3.3), "RPM= ****  Load=  -3");
}

TEST(ReadoutsTest, StatisticsTextRules) {
    TDisplayOptions afr;
    TDisplayOptions o2Only;
    o2Only.PlotAfr = false;
    TDisplayOptions neither = o2Only;
    neither.PlotO2Adj = false;
    TDisplayOptions ezk;
    ezk.View = TPlotView::EZK;

    const TCellStatistics one{1, 14.04, 0, 0, 0};
    const TCellStatistics three{3, 13.26, 0.51, 0, 0};
    const TCellStatistics knocking{2, 12.5, 0.26, 3, 2.45};
    EXPECT_EQ(StatisticsText(one, afr), "AFR= 14.0");
    EXPECT_EQ(StatisticsText(three, afr), "Avg AFR= 13.3  SDev=  0.5  N= 3");
    EXPECT_EQ(StatisticsText(one, o2Only), "Adj= 14.0");
    EXPECT_EQ(StatisticsText(three, o2Only), "Avg Adj= 13.3  SDev=  0.5  N= 3");
    EXPECT_EQ(StatisticsText(one, neither), "");
    EXPECT_EQ(StatisticsText(TCellStatistics{}, afr), "");
    EXPECT_EQ(StatisticsText(TCellStatistics{0, 0, 0, 3, 2.5}, ezk), "");  // knock alone says nothing

    // Knock only in the ignition view.
    EXPECT_EQ(StatisticsText(knocking, afr), "Avg AFR= 12.5  SDev=  0.3  N= 2");
    EXPECT_EQ(StatisticsText(knocking, ezk),
              std::string("Avg AFR= 12.5  SDev=  0.3  N= 2\nmax knock: 3 cyls, max=2.5") + Degree);
    EXPECT_EQ(StatisticsText(TCellStatistics{1, 12.5, 0, 1, 0.8}, ezk),
              std::string("AFR= 12.5\nmax knock: 1 cyls, max=0.8") + Degree);

    // Wide values keep their field.
    EXPECT_EQ(StatisticsText(TCellStatistics{12000, 123.45, 9.96, 0, 0}, afr),
              "Avg AFR=  123  SDev= 10.0  N= 12000");
}

struct ReadoutsSampleTest : ::testing::Test {
    TPlotFixture f;
    TLogData data;

    ReadoutsSampleTest() {
        TLogFileInfo file;
        file.FileName = "/logs/Session 3/Run07.txt";
        data.Files.push_back(file);
    }

    std::size_t Add(TLogDataEntry entry) {
        data.Entries.push_back(entry);
        return data.Count() - 1;
    }
    std::size_t Add(double rpm, double plotMaf, double load, double afr) {
        return Add(TPlotFixture::Sample(rpm, plotMaf, load, afr));
    }
};

struct TPointCase {
    const char* Name;
    bool PlotAfr;
    bool PlotO2Adj;
    bool IncludeAdjustments;
    double Factor;
    double SmoothedAfr;
    double O2Adjust;
    const char* Expected;
};

TEST_F(ReadoutsSampleTest, PointReadoutExplainsThePlottedValue) {
    const std::vector<TPointCase> cases = {
        {"the worked example", true, true, true, 1.02, 12.0, 5,
         "AFR= 12.0 + (5.0% O2adj) = 12.6 + 2% adjustment = 12.4"},
        {"leaner factor", true, true, true, 0.95, 13.0, 0, "AFR= 13.0 - 5% adjustment) = 13.7"},
        {"negative O2 adjustment", true, false, true, 1.0, 14.0, -4, "AFR= 14.0 + (-4.0% O2adj) = 13.4"},
        {"O2 adjustment missing", true, true, true, 1.0, 14.23, MissingValue, "AFR= 14.2"},
        {"adjustments not included", true, true, false, 1.02, 12.0, 5, "AFR= 12.0 + (5.0% O2adj) = 12.6"},
        {"factor within half a percent", true, true, true, 1.004, 12.0, 0, "AFR= 12.0"},
        {"factor below 0.01 counts as 1", true, true, true, 0.005, 12.0, 0, "AFR= 12.0"},
        {"O2 adjustment only", false, true, true, 1.0, 12.0, 5, "O2adj= 5.0% => AFR= 15.4"},
        {"O2 adjustment only, adjusted", false, true, true, 1.02, 12.0, 5,
         "O2adj= 5.0% => AFR= 15.4 + 2% adjustment = 15.1"},
        {"nothing plotted", false, false, true, 1.02, 12.0, 5, ""},
        {"AFR missing stays blank", true, true, true, 1.02, MissingValue, 5,
         "AFR=  + (5.0% O2adj) =  + 2% adjustment = "},
    };
    for (const TPointCase& c : cases) {
        f.Options.PlotAfr = c.PlotAfr;
        f.Options.PlotO2Adj = c.PlotO2Adj;
        f.Options.IncludeAdjustments = c.IncludeAdjustments;
        f.FuelAdjustment.Fill(c.Factor);
        data.Entries.clear();
        TLogDataEntry e = TPlotFixture::Sample(2500, 400, 40, c.SmoothedAfr);
        e.O2Adjust = c.O2Adjust;
        Add(e);
        EXPECT_EQ(PointReadout(data, 0, f.Context()), c.Expected) << c.Name;
    }
    EXPECT_EQ(PointReadout(data, 1, f.Context()), "");
}

TEST_F(ReadoutsSampleTest, PointReadoutAddsTheKnockOfAKnockEvent) {
    TLogDataEntry before = TPlotFixture::Sample(3000, 500, 60, 12.5);
    before.KnockRetard.fill(0);
    TLogDataEntry knock = before;
    knock.KnockRetard[1] = 2.5;
    knock.KnockRetard[3] = 3.0;
    Add(before);
    const std::size_t index = Add(knock);

    EXPECT_EQ(PointReadout(data, index, f.Context()),
              std::string("AFR= 12.5\nknock: 2 cyls, max=3.0") + Degree + " (2,4)");
    // The first sample has no previous one to knock more than.
    data[0] = knock;
    EXPECT_EQ(PointReadout(data, 0, f.Context()), "AFR= 12.5");
    data[0] = before;

    // The ignition adjustment in force counts, as on the plot.
    f.IgnitionAdjustment.Fill(-2.6);
    EXPECT_EQ(PointReadout(data, index, f.Context()),
              std::string("AFR= 12.5\nknock: 1 cyls, max=0.4") + Degree + " (4)");
    f.Options.IncludeAdjustments = false;
    EXPECT_EQ(PointReadout(data, index, f.Context()),
              std::string("AFR= 12.5\nknock: 2 cyls, max=3.0") + Degree + " (2,4)");

    // Without a value line the knock line stands alone.
    f.Options.PlotAfr = false;
    f.Options.PlotO2Adj = false;
    EXPECT_EQ(PointReadout(data, index, f.Context()),
              std::string("knock: 2 cyls, max=3.0") + Degree + " (2,4)");

    // An excluded sample is no knock event.
    data[index].Included = 0;
    EXPECT_EQ(PointReadout(data, index, f.Context()), "");
}

TEST_F(ReadoutsSampleTest, SelectionStatusTextByKindAndCount) {
    TSelection selection;
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()), "");  // nothing loaded
    // Row 5 of the fuel map runs from 1800 to 2200 rpm, column 5 from 370 to 430.
    for (double afr : {12.0, 13.0, 14.0}) Add(2000, 400, 40, afr);
    Add(3100, 600, 40, 15.0);
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()), "");  // nothing selected

    selection.Kind = SelectionKindPoint;
    selection.Items = {TSelectionItem::Point(1)};
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()), "AFR= 13.0");
    f.FuelAdjustment.Fill(1.02);
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()), PointReadout(data, 1, f.Context()));
    f.FuelAdjustment.Fill(1.0);
    selection.Items = {TSelectionItem::Point(7)};
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()), "");
    selection.Items = {TSelectionItem::Point(0), TSelectionItem::Point(1), TSelectionItem::Point(2)};
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()), "Avg AFR= 13.0  SDev=  0.8  N= 3");

    selection.Kind = SelectionKindCell;
    selection.Items = {TSelectionItem::Cell(5, 5)};
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()), "Avg AFR= 13.0  SDev=  0.8  N= 3");
    EXPECT_EQ(HoverCellText(data, 5, 5, f.Context()), "Avg AFR= 13.0  SDev=  0.8  N= 3");
    selection.Items.push_back(TSelectionItem::Cell(8, 8));  // 3100 rpm, 600
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()), "Avg AFR= 13.5  SDev=  1.1  N= 4");
    EXPECT_EQ(HoverCellText(data, 8, 8, f.Context()), "AFR= 15.0");
    EXPECT_EQ(HoverCellText(data, 0, 0, f.Context()), "");

    // Cells picked on the fuel map mean nothing on the ignition map.
    f.Options.View = TPlotView::EZK;
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()), "");
}

TEST_F(ReadoutsSampleTest, SelectionStatusTextShowsTheWorstKnockOnTheIgnitionMap) {
    for (int i = 0; i < 3; ++i) {
        TLogDataEntry e = TPlotFixture::Sample(3000, 500, 60, 12.0 + i);
        e.KnockRetard.fill(0);
        Add(e);
    }
    data[1].KnockRetard[2] = 2.5;
    data[2].KnockRetard = data[1].KnockRetard;
    data[2].KnockRetard[5] = 1.25;
    f.Options.View = TPlotView::EZK;
    TSelection selection;
    selection.View = TPlotView::EZK;
    selection.Items = {TSelectionItem::Cell(6, 9)};
    EXPECT_EQ(SelectionStatusText(data, selection, f.Context()),
              std::string("Avg AFR= 13.0  SDev=  0.8  N= 3\nmax knock: 2 cyls, max=2.5") + Degree);
    EXPECT_EQ(HoverCellText(data, 6, 9, f.Context()), SelectionStatusText(data, selection, f.Context()));
}

TEST_F(ReadoutsSampleTest, PointOriginNamesTheFileAndTheTime) {
    TLogDataEntry e = TPlotFixture::Sample(2000, 400, 40, 14.0);
    e.TimeSec = 123.454;
    Add(e);
    e.TimeSec = MissingValue;
    Add(e);
    EXPECT_EQ(PointOrigin(data, 0), "Run07.txt  at 123.45 s");
    EXPECT_EQ(PointOrigin(data, 1), "Run07.txt");
    EXPECT_EQ(PointOrigin(data, 2), "");
}

}  // namespace
}  // namespace kelvane
