#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/display/ColorTable.h"

namespace kelvane {
namespace {

constexpr TColor32 Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return MakeColor32(255, red, green, blue);
}

struct TLookupCase {
    double Value;
    TColor32 Expected;
};

void ExpectLookups(const TColorTable& table, const std::vector<TLookupCase>& cases) {
    for (const TLookupCase& c : cases) {
        EXPECT_EQ(ColorLookup(table, 255, c.Value), c.Expected)
            << "value " << c.Value << " gave " << std::hex << ColorLookup(table, 255, c.Value);
    }
}

TEST(ColorLookupTest, DefaultTableBetweenAndBeyondBreakPoints) {
    ExpectLookups(BuiltInColorTable(2), {
                                            {14.7, Rgb(0, 255, 166)},
                                            {11.0, Rgb(255, 255, 0)},  // below the first
                                            {20.0, Rgb(255, 0, 0)},    // above the last
                                            {15.75, Rgb(194, 129, 241)},
                                            {12.5, Rgb(208, 255, 0)},  // 208.5 goes to the even 208
                                            {-1e300, Rgb(255, 255, 0)},
                                            {std::numeric_limits<double>::infinity(), Rgb(255, 0, 0)},
                                        });
}

TEST(ColorLookupTest, EveryBreakPointGivesItsOwnColour) {
    const std::vector<TColorTable> tables = {BuiltInColorTable(1), BuiltInColorTable(2),
                                             MapWindowDefaultColorTable(), MapWindowColor2Table()};
    for (const TColorTable& table : tables) {
        for (const TColorTableEntry& entry : table) {
            EXPECT_EQ(ColorLookup(table, 255, entry.Value), entry.Color | 0xFF000000u) << entry.Value;
        }
    }
}

TEST(ColorLookupTest, DescendingTablesBlendTheSameWay) {
    ExpectLookups(MapWindowDefaultColorTable(), {
                                                    {0.0, Rgb(255, 128, 0)},  // 127.5 goes to 128
                                                    {63.5, Rgb(255, 64, 0)},  // weight 0.75 on red
                                                    {300.0, Rgb(255, 0, 0)},
                                                    {-300.0, Rgb(255, 255, 0)},
                                                });
    ExpectLookups(MapWindowColor2Table(), {
                                              {32.0, Rgb(0, 229, 128)},
                                              {-96.0, Rgb(243, 130, 0)},  // 130.5 goes to 130
                                              {128.5, Rgb(232, 101, 255)},
                                              {-128.5, Rgb(255, 92, 0)},
                                          });
}

TEST(ColorLookupTest, EqualFirstTwoValuesMeanDescending) {
    const TColorTable table = {{14.0, Rgb(0, 0, 0)}, {14.0, Rgb(100, 100, 100)}, {12.0, Rgb(200, 200, 200)}};
    // Taken as ascending, 13 would give the first colour; descending blends entries 1 and 2.
    EXPECT_EQ(ColorLookup(table, 255, 13.0), Rgb(150, 150, 150));
    EXPECT_EQ(ColorLookup(table, 255, 14.0), Rgb(0, 0, 0));
}

TEST(ColorLookupTest, AlphaAndShortTables) {
    EXPECT_EQ(ColorLookup(BuiltInColorTable(2), 0x80, 14.7), 0x8000FFA6u);
    EXPECT_EQ(ColorLookup(BuiltInColorTable(2), 0, 14.7), 0x0000FFA6u);
    // Fewer than two entries: opaque white whatever the alpha.
    EXPECT_EQ(ColorLookup({}, 0, 14.7), OpaqueWhite);
    EXPECT_EQ(ColorLookup({{14.7, Rgb(1, 2, 3)}}, 0x10, 14.7), OpaqueWhite);
}

TEST(ColorLookupTest, UnusableNumbersGiveAnEndColourOrAByteNotACrash) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // No break point is "at least" NaN: the last one is taken.
    EXPECT_EQ(ColorLookup(BuiltInColorTable(2), 255, nan), Rgb(255, 0, 0));

    const TColorTable broken = {{nan, Rgb(255, 255, 255)},
                                {std::numeric_limits<double>::infinity(), Rgb(9, 9, 9)}};
    const TColor32 color = ColorLookup(broken, 255, 1.0);
    EXPECT_EQ(AlphaOf(color), 255);
}

TEST(ColorTableTest, BuiltInTablesAsListed) {
    const TColorTable one = BuiltInColorTable(1);
    ASSERT_EQ(one.size(), 7u);
    EXPECT_EQ(one[1], (TColorTableEntry{12.8, Rgb(255, 176, 0)}));
    EXPECT_EQ(one[5], (TColorTableEntry{16.0, Rgb(0, 192, 255)}));
    ASSERT_EQ(BuiltInColorTable(2).size(), 6u);
    EXPECT_TRUE(BuiltInColorTable(0).empty());
    EXPECT_TRUE(BuiltInColorTable(3).empty());
}

// A reset gives the default table whatever was there: a longer table's tail would
// keep an entry of a default value (built-in table 1 ends at 17.0 too).
TEST(ColorTableTest, ResetToDefaultsGivesTheDefaultTableExactly) {
    const TColorTable defaults = BuiltInColorTable(2);
    const TColorTable cases[] = {
        {},
        {{1.0, Rgb(1, 1, 1)}, {2.0, Rgb(2, 2, 2)}},
        BuiltInColorTable(1),
        TColorTable(8, {99.0, Rgb(9, 9, 9)}),
        defaults,
    };
    for (TColorTable table : cases) {
        SCOPED_TRACE(table.size());
        ResetColorTableToDefaults(table);
        EXPECT_EQ(table, defaults);
    }
}

}  // namespace
}  // namespace kelvane
