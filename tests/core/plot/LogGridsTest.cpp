#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/plot/LogGrids.h"

namespace kelvane {
namespace {

TEST(LogGridsTest, TimeColumnWidensForLongDrives) {
    TLogData data;
    EXPECT_EQ(TimeSizingText(data), "999.99");
    data.Entries.resize(3);
    data[0].TimeSec = 12.5;
    data[2].TimeSec = 1656.25;
    EXPECT_EQ(TimeSizingText(data), "9999.99");
    data[1].TimeSec = -10000.5;
    EXPECT_EQ(TimeSizingText(data), "-99999.99");
}

TEST(LogGridsTest, MainGridShowsTheColumnsTheLogsCarry) {
    TColumnSet present{};
    present[ColTime] = present[ColRpm] = present[ColMafSignal] = present[ColAfr] = present[ColKnockRetard] =
        1;
    const std::vector<TLogGridColumn> columns = MainGridColumns(present, TLHConfig::Maf);
    ASSERT_EQ(columns.size(), static_cast<std::size_t>(MainGridColumnCount));
    std::vector<std::string> shown;
    for (const TLogGridColumn& column : columns)
        if (column.Shown) shown.push_back(column.Header);
    EXPECT_EQ(shown, (std::vector<std::string>{"Time", "RPM", "MAF", "AFR", "KR1", "KR2", "KR3", "KR4", "KR5",
                                               "KR6", "KR7", "KR8"}));
    EXPECT_EQ(columns[2].SizingText, "9999");
    EXPECT_EQ(columns[18].SizingText, "KR8");
    // Time is always there, even before anything was loaded.
    EXPECT_TRUE(MainGridColumns(TColumnSet{}, TLHConfig::Maf)[0].Shown);
}

TEST(LogGridsTest, MainGridLoadColumnFollowsTheConfiguration) {
    TColumnSet mapOnly{};
    mapOnly[ColMapPressure] = 1;
    const auto map = MainGridColumns(mapOnly, TLHConfig::Map);
    EXPECT_EQ(map[2].Header, "MAP");
    EXPECT_EQ(map[3].Header, "MAP%");
    EXPECT_TRUE(map[2].Shown) << "a MAP log shows its pressure";
    EXPECT_FALSE(MainGridColumns(mapOnly, TLHConfig::Maf)[2].Shown);
    EXPECT_EQ(MainGridColumns(mapOnly, TLHConfig::Alpha)[2].SizingText, "999");

    TLogDataEntry e;
    e.MafSignal = 412.4;
    e.MapPressure = 101.26;
    EXPECT_EQ(MainGridText(e, 2, TLHConfig::Maf), "412");
    EXPECT_EQ(MainGridText(e, 2, TLHConfig::Map), "101");  // width 4: the decimal goes
    e.MapPressure = 98.44;
    EXPECT_EQ(MainGridText(e, 2, TLHConfig::Map), "98.4");
}

TEST(LogGridsTest, MainGridTexts) {
    TLogDataEntry e;
    e.TimeSec = 12.3456;
    e.Rpm = 2999.6;
    e.MafPercent = 44.4;
    e.SmoothedAfr = 14.66;
    e.O2Adjust = -3.26;
    e.InjPulseWidth = 3.456;
    e.InjDutyCycle = 12.4;
    e.ThrottleSwitch = 2;
    e.Load = 55.6;
    e.KnockCount = 7;
    e.KnockRetard[0] = 2.84;
    e.KnockRetard[7] = 0;
    const std::vector<std::string> expected{"12.35", "3000", "",   "44", "14.7", "-3.3", "3.46",
                                            "12",    "2",    "56", "7",  "2.8",  "",     "",
                                            "",      "",     "",   "",   "0.0"};
    for (int column = 0; column < MainGridColumnCount; ++column)
        EXPECT_EQ(MainGridText(e, column, TLHConfig::Maf), expected[static_cast<std::size_t>(column)])
            << column;
    e.ThrottleSwitch = MissingInteger;
    e.KnockCount = MissingInteger;
    EXPECT_EQ(MainGridText(e, 8, TLHConfig::Maf), "");
    EXPECT_EQ(MainGridText(e, 10, TLHConfig::Maf), "-1");
}

TEST(LogGridsTest, LogWindowTextsAreFittedToTheirWidthsAndTrimmed) {
    const std::vector<TLogGridColumn> columns = LogWindowColumns();
    ASSERT_EQ(columns.size(), static_cast<std::size_t>(LogWindowColumnCount));
    EXPECT_EQ(columns[5].Header, "AFR**");
    EXPECT_EQ(columns[5].SizingText, "AFR*");
    EXPECT_EQ(columns[0].SizingText, "9999.99");

    TLogDataEntry e;
    e.TimeSec = 123.456;
    e.Rpm = 3020;
    e.MafSignal = 1450;
    e.O2Adjust = 4.04;
    e.SmoothedAfr = 14.26;
    e.Afr = 13.9;
    const std::vector<std::string> expected{"123.46", "3020", "1450", "4.0", "14.3", "13.9", "-1"};
    for (int column = 0; column < LogWindowColumnCount; ++column)
        EXPECT_EQ(LogWindowText(e, column), expected[static_cast<std::size_t>(column)]) << column;
}

// MAF signals reach 1096 (LH 2.2) and 2200 (VX-Alpha); any 16-bit reading fits its column.
TEST(LogGridsTest, LogWindowMafColumnHoldsEveryReading) {
    const TLogGridColumn maf = LogWindowColumns()[2];
    EXPECT_EQ(maf.Header, "MAF");
    struct TCase {
        double Maf;
        const char* Text;
    };
    for (const TCase& c : {TCase{0, "0"}, TCase{999, "999"}, TCase{1096, "1096"}, TCase{2200, "2200"},
                           TCase{65535, "65535"}, TCase{MissingValue, ""}}) {
        TLogDataEntry e;
        e.MafSignal = c.Maf;
        EXPECT_EQ(LogWindowText(e, 2), c.Text) << c.Maf;
        EXPECT_LE(std::string(c.Text).size(), maf.SizingText.size()) << c.Maf;
    }
}

TEST(LogGridsTest, ShowingARowScrollsOnlyWhenItIsOutOfView) {
    struct TCase {
        int Sample, Top, Visible, NewTop;
    };
    for (const TCase& c : {TCase{10, 5, 20, 5}, TCase{24, 5, 20, 5}, TCase{25, 5, 20, 14}, TCase{1, 5, 20, 0},
                           TCase{500, 0, 21, 489}, TCase{3, 0, 0, 2}})
        EXPECT_EQ(GridTopSampleShowing(c.Sample, c.Top, c.Visible), c.NewTop) << c.Sample;
    EXPECT_EQ(LogWindowTopSample(0), 0);
    EXPECT_EQ(LogWindowTopSample(1), 0);
    EXPECT_EQ(LogWindowTopSample(40), 39);
}

TEST(LogGridsTest, PanelFitsTheColumnsUpToTwoFifthsOfTheWindow) {
    // Columns 50 + 60 + 30, each with its grid line: 143.
    const std::vector<int> widths{50, 60, 30};
    EXPECT_EQ(LogPanelWidth(300, 280, widths, 1000), 163) << "narrowed to the columns";
    EXPECT_EQ(LogPanelWidth(120, 100, widths, 1000), 163) << "widened to the columns";
    EXPECT_EQ(LogPanelWidth(120, 100, widths, 300), 140) << "widened to 40 % of the window";
    EXPECT_EQ(LogPanelWidth(120, 143, widths, 1000), 120);
    EXPECT_EQ(LogPanelWidth(220, 130, widths, 200), 220) << "never narrowed by the widening rule";
}

}  // namespace
}  // namespace kelvane
