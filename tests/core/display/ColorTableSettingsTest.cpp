#include <gtest/gtest.h>

#include <vector>

#include "core/display/ColorTableSettings.h"

namespace kelvane {
namespace {

constexpr TColor32 Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return MakeColor32(255, red, green, blue);
}

TEST(ColorTableSettingsTest, TablesWriteInTheFileLayout) {
    EXPECT_EQ(ColorTableSectionName(0), "Color Table 0");
    EXPECT_EQ(ColorsSection, "Colors");
    EXPECT_EQ(UseColorTableKey, "Use Color Table");

    const std::vector<TSettingsPair> expected = {
        {"12.0", "255,255,000"}, {"13.0", "162,255,000"}, {"14.7", "000,255,166"},
        {"15.5", "157,163,251"}, {"16.0", "231,095,231"}, {"17.0", "255,000,000"},
    };
    EXPECT_EQ(ColorTableToPairs(BuiltInColorTable(2)), expected);
    EXPECT_EQ(ColorTableToPairs(BuiltInColorTable(1))[1], (TSettingsPair{"12.8", "255,176,000"}));
}

TEST(ColorTableSettingsTest, BuiltInTablesReadBackUnchanged) {
    for (const int number : {1, 2}) {
        const TColorTable table = BuiltInColorTable(number);
        EXPECT_EQ(ColorTableFromPairs(ColorTableToPairs(table)), table) << number;
    }
}

TEST(ColorTableSettingsTest, KeyTexts) {
    struct TCase {
        double Value;
        const char* Text;
    };
    for (const TCase& c : std::vector<TCase>{{14.7, "14.7"},
                                             {12.96, "13.0"},
                                             {-127.0, "-127.0"},
                                             {-0.04, "0.0"},
                                             {-0.0, "0.0"},
                                             {0.0, "0.0"}}) {
        EXPECT_EQ(ColorTableKeyText(c.Value), c.Text) << c.Value;
    }
}

TEST(ColorTableSettingsTest, KeysReadAsNumbersWithCommaAccepted) {
    struct TCase {
        const char* Key;
        double Value;
    };
    for (const TCase& c : std::vector<TCase>{{"14.7", 14.7},
                                             {"14,7", 14.7},
                                             {" 13.5 ", 13.5},
                                             {"-127.0", -127.0},
                                             {"+12", 12.0},
                                             {"abc", 0.0},
                                             {"", 0.0},
                                             {"12.0x", 0.0},
                                             {"1,234.5", 0.0},
                                             {"nan", 0.0},
                                             {"1e999", 0.0}}) {
        EXPECT_EQ(ColorTableKeyValue(c.Key), c.Value) << c.Key;
    }
}

TEST(ColorTableSettingsTest, ColourValuesKeepLowEightBits) {
    struct TCase {
        const char* Text;
        TColor32 Color;
    };
    for (const TCase& c : std::vector<TCase>{{"255,176,000", Rgb(255, 176, 0)},
                                             {"256,300,-1", Rgb(0, 44, 255)},
                                             {"255,176", Rgb(255, 176, 0)},
                                             {"a,12,b", Rgb(0, 12, 0)},
                                             {"", Rgb(0, 0, 0)},
                                             {" 1, 2 ,3", Rgb(1, 2, 3)},
                                             {"1,2,3,4", Rgb(1, 2, 3)},
                                             {"99999999999,1,1", Rgb(0, 1, 1)}}) {
        EXPECT_EQ(ColorTableColorValue(c.Text), c.Color) << c.Text;
    }
}

// Keys that differ as text but not as numbers would give two entries of one value:
// the first one read stays, as when typing.
TEST(ColorTableSettingsTest, KeysOfOneValueLoadAsOneEntry) {
    const std::vector<TSettingsPair> stored = {{"12.0", "001,001,001"}, {"14.7", "002,002,002"},
                                               {"12,0", "003,003,003"}, {"12", "004,004,004"},
                                               {"abc", "005,005,005"},  {"0.0", "006,006,006"}};
    EXPECT_EQ(ColorTableFromPairs(stored),
              (TColorTable{{12.0, Rgb(1, 1, 1)}, {14.7, Rgb(2, 2, 2)}, {0.0, Rgb(5, 5, 5)}}));
}

TEST(ColorTableSettingsTest, ActiveScaleAfterLoading) {
    const TColorTable defaults = BuiltInColorTable(2);
    const std::vector<TSettingsPair> stored = {{"10,5", "001,002,003"}, {"11.0", "004,005,006"}};

    const TColorScale edited = ColorScaleFromSettings(0, stored);
    EXPECT_EQ(edited.TableNumber, 0);
    EXPECT_EQ(edited.Table, (TColorTable{{10.5, Rgb(1, 2, 3)}, {11.0, Rgb(4, 5, 6)}}));

    EXPECT_EQ(ColorScaleFromSettings(7, stored).TableNumber, 7);

    // Absent number or an empty section: built-in table 2.
    for (const TColorScale& scale :
         {ColorScaleFromSettings(UseColorTableAbsent, stored), ColorScaleFromSettings(1, {})}) {
        EXPECT_EQ(scale.TableNumber, 2);
        EXPECT_EQ(scale.Table, defaults);
    }
}

}  // namespace
}  // namespace kelvane
