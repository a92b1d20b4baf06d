#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/display/ColorTableFile.h"
#include "core/display/ColorTableSettings.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

TEST(ColorTableFileTest, FirstRunStoresBothBuiltInTablesAndChoosesTheDefault) {
    TTempFolder folder;
    TIniFile2 ini(folder.Path() / "Kelvane.ini");
    const TColorScale scale = LoadColorTable(ini);
    EXPECT_EQ(scale.TableNumber, 2);
    EXPECT_EQ(scale.Table, BuiltInColorTable(2));
    EXPECT_EQ(ini.ReadInteger("Colors", "Use Color Table", -1), 2);
    EXPECT_EQ(ini.ReadString("Color Table 1", "12.8", ""), "255,176,000");
    EXPECT_EQ(ini.ReadString("Color Table 2", "14.7", ""), "000,255,166");
    std::vector<std::string> keys;
    ini.ReadSection("Color Table 1", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"12.0", "12.8", "13.3", "13.6", "15.0", "16.0", "17.0"}));

    // The second start reads what the first one wrote and writes nothing.
    const std::string written = ReadText(ini.FileName());
    EXPECT_EQ(LoadColorTable(ini).Table, BuiltInColorTable(2));
    EXPECT_EQ(ReadText(ini.FileName()), written);
}

TEST(ColorTableFileTest, EditedTableRoundTripsAsTableZeroAndKeepsOtherSections) {
    TTempFolder folder;
    TIniFile2 ini(folder.Path() / "Kelvane.ini");
    WriteText(ini.FileName(), "[Other]\r\nKeep=1\r\n[Color Table 0]\r\n99.0=001,002,003\r\n");
    LoadColorTable(ini);

    // Stored in table order, not sorted; a stale entry of table 0 is gone.
    TColorScale edited{{{15.5, MakeColor32(255, 10, 20, 30)},
                        {11.0, MakeColor32(255, 255, 0, 0)},
                        {-3.25, MakeColor32(0, 1, 2, 3)}},
                       0};
    ASSERT_TRUE(SaveColorTable(ini, edited));
    const TColorScale loaded = LoadColorTable(ini);
    EXPECT_EQ(loaded.TableNumber, 0);
    ASSERT_EQ(loaded.Table.size(), 3u);
    EXPECT_EQ(loaded.Table[0], (TColorTableEntry{15.5, MakeColor32(255, 10, 20, 30)}));
    EXPECT_EQ(loaded.Table[1], (TColorTableEntry{11.0, MakeColor32(255, 255, 0, 0)}));
    // One decimal in the file; the unused alpha comes back opaque.
    EXPECT_EQ(loaded.Table[2].Value, -3.2);
    EXPECT_EQ(loaded.Table[2].Color, MakeColor32(255, 1, 2, 3));
    EXPECT_EQ(ini.ReadInteger("Other", "Keep", 0), 1);
}

TEST(ColorTableFileTest, DamagedSettingsFallBackOrReadAsTheRulesSay) {
    struct TCase {
        const char* Name;
        const char* Text;
        int Number;
        TColorTable Table;  // empty: built-in table 2
    };
    const TCase cases[] = {
        {"section missing", "[Colors]\r\nUse Color Table=1\r\n", 2, {}},
        {"section empty", "[Colors]\r\nUse Color Table=0\r\n[Color Table 0]\r\n", 2, {}},
        {"garbage lines and values",
         "[Colors]\r\nUse Color Table=0\r\n[Color Table 0]\r\nnonsense line\r\n"
         "13,5=300,abc\r\nxyz=1,2,3,4\r\n",
         0,
         {{13.5, MakeColor32(255, 44, 0, 0)}, {0.0, MakeColor32(255, 1, 2, 3)}}},
    };
    for (const TCase& c : cases) {
        TTempFolder folder;
        TIniFile2 ini(folder.Path() / "Kelvane.ini");
        WriteText(ini.FileName(), c.Text);
        const TColorScale scale = LoadColorTable(ini);
        EXPECT_EQ(scale.TableNumber, c.Number) << c.Name;
        EXPECT_EQ(scale.Table, c.Table.empty() ? BuiltInColorTable(2) : c.Table) << c.Name;
        // Not a first run: the file's own tables are left alone.
        EXPECT_FALSE(ini.SectionExists("Color Table 1")) << c.Name;
    }
}

TEST(ColorTableFileTest, UnwritableFileStillGivesTheDefaultAndSaveReportsFailure) {
    TTempFolder folder;
    // A folder where the file should be: nothing can be written.
    std::filesystem::create_directory(folder.Path() / "Kelvane.ini");
    TIniFile2 ini(folder.Path() / "Kelvane.ini");
    const TColorScale scale = LoadColorTable(ini);
    EXPECT_EQ(scale.Table, BuiltInColorTable(2));
    EXPECT_FALSE(SaveColorTable(ini, scale));
}

// Entries closer together than a tenth used to share their one-decimal key,
// and all but one were lost at exit.
TEST(ColorTableFileTest, EntriesSharingAOneDecimalKeyAllRoundTrip) {
    struct TCase {
        const char* Name;
        TColorTable Table;
        std::vector<std::string> Keys;
    };
    const TColor32 a = MakeColor32(255, 1, 2, 3), b = MakeColor32(255, 4, 5, 6),
                   c = MakeColor32(255, 7, 8, 9);
    const TCase cases[] = {
        {"two decimals tell them apart", {{12.0, c}, {14.71, a}, {14.74, b}}, {"12.0", "14.71", "14.74"}},
        {"three needed", {{14.701, a}, {14.704, b}, {15.0, c}}, {"14.701", "14.704", "15.0"}},
        {"an entry outside the pair keeps one decimal",
         {{14.7, a}, {14.72, b}, {13.0, c}},
         {"14.70", "14.72", "13.0"}},
        {"beyond six decimals the shortest exact text",
         {{1.0000001, a}, {1.0000002, b}},
         {"1.0000001", "1.0000002"}},
    };
    for (const TCase& test : cases) {
        TTempFolder folder;
        TIniFile2 ini(folder.Path() / "Kelvane.ini");
        ASSERT_TRUE(SaveColorTable(ini, TColorScale{test.Table, 0})) << test.Name;
        std::vector<std::string> keys;
        ini.ReadSection("Color Table 0", keys);
        EXPECT_EQ(keys, test.Keys) << test.Name;
        const TColorScale loaded = LoadColorTable(ini);
        EXPECT_EQ(loaded.Table, test.Table) << test.Name;
    }
}

TEST(ColorTableFileTest, AnEntryEqualToAnotherIsTaken) {
    const TColorTable table{{12.0, 0}, {14.7, 0}, {15.0, 0}};
    EXPECT_TRUE(ColorValueTaken(table, 0, 14.7));
    EXPECT_FALSE(ColorValueTaken(table, 1, 14.7));  // its own value
    EXPECT_FALSE(ColorValueTaken(table, 1, 14.71));
}

}  // namespace
}  // namespace kelvane
