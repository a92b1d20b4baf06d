#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/ground/AtomicFile.h"
#include "core/maps/MapFields.h"
#include "core/maps/MapSets.h"
#include "core/maps/MapText.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// A map whose every cell is different: value = load * 100 + rpm (+ offset).
TMapGrid NumberedGrid(double offset = 0, double scale = 1) {
    TMapGrid grid;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) grid.At(r, l) = (l * 100 + r) * scale + offset;
    return grid;
}

// Text of load row l of a map, one field per RPM index.
std::string RowText(const TMapGrid& grid, int l, const std::string& separator = "\t",
                    bool decimalComma = false) {
    std::string line;
    for (int r = 0; r < MapSize; ++r) {
        if (r > 0) line += separator;
        std::string value = MapFileValueText(grid.At(r, l), decimalComma ? 1 : 0);
        if (decimalComma)
            for (char& c : value)
                if (c == '.') c = ',';
        line += value;
    }
    return line;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    ASSERT_TRUE(WriteFileAtomically(path, bytes));
}

std::string ReadBytes(const fs::path& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes));
    return bytes;
}

class MapTextFileTest : public testing::Test {
  protected:
    TTempFolder FFolder;
    fs::path File(const std::string& name) const { return FFolder.Path() / name; }
};

TEST_F(MapTextFileTest, AFileFarTooLargeForAMapIsNoMap) {
    // A valid map followed by megabytes of padding: refused before reading.
    std::string text;
    for (int l = 0; l < MapSize; ++l) text += RowText(NumberedGrid(), l) + "\r\n";
    text += std::string(5u << 20, ' ');
    WriteBytes(File("huge.txt"), text);
    TMapGrid grid;
    EXPECT_FALSE(ReadLHMapText(File("huge.txt"), grid));
    EXPECT_FALSE(IsLHMapText(File("huge.txt")));
}

TEST_F(MapTextFileTest, TitleAndBlankAndOddLinesAreSkipped) {
    const TMapGrid source = NumberedGrid(-400);
    std::string text = "Fuel map from my car\r\n\r\n";
    for (int l = 0; l < MapSize; ++l) {
        if (l == 4) text += RowText(source, 0) + "\t7\r\n";  // 17 values
        if (l == 9) text += "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\t15\r\n";
        text += RowText(source, l) + "\r\n";
    }
    text += "notes after the map\r\n";
    WriteBytes(File("map.txt"), text);

    TMapGrid grid = FilledGrid(-1);
    EXPECT_TRUE(ReadLHMapText(File("map.txt"), grid));
    EXPECT_EQ(grid, source);
}

TEST_F(MapTextFileTest, FifteenAcceptedLinesFillFifteenRowsAndFail) {
    const TMapGrid source = NumberedGrid();
    std::string text;
    for (int l = 0; l < MapSize - 1; ++l) text += RowText(source, l) + "\n";  // LF-only line ends
    WriteBytes(File("short.txt"), text);

    TMapGrid grid = FilledGrid(-7);
    EXPECT_FALSE(ReadLHMapText(File("short.txt"), grid));
    for (int r = 0; r < MapSize; ++r) {
        EXPECT_EQ(grid.At(r, 14), source.At(r, 14));
        EXPECT_EQ(grid.At(r, 15), -7);
    }
}

TEST_F(MapTextFileTest, UnreadableOrWronglyNamedFilesReadAsFalse) {
    const std::string text = MapFileText(NumberedGrid(), 0);
    WriteBytes(File("empty.txt"), "");
    WriteBytes(File("map.csv"), text);
    WriteBytes(File("MAP.TXT"), text);

    TMapGrid grid = FilledGrid(3);
    EXPECT_FALSE(ReadLHMapText(File("empty.txt"), grid));
    EXPECT_FALSE(ReadEZKMapText(File("empty.txt"), grid));
    EXPECT_FALSE(ReadLHMapText(File("missing.txt"), grid));
    EXPECT_FALSE(ReadLHMapText(File("map.csv"), grid));
    EXPECT_FALSE(ReadLHMapText(FFolder.Path(), grid));
    EXPECT_EQ(grid, FilledGrid(3));
    EXPECT_FALSE(IsLHMapText(File("missing.txt")));
    EXPECT_FALSE(IsEZKMapText(File("empty.txt")));

    EXPECT_TRUE(ReadLHMapText(File("MAP.TXT"), grid));
    EXPECT_EQ(grid, NumberedGrid());

    // The kind tests look at the contents alone; the name is why map.csv is not read.
    EXPECT_TRUE(IsLHMapText(File("map.csv")));
    EXPECT_FALSE(HasMapTextExtension(File("map.csv")));
    EXPECT_FALSE(HasMapTextExtension(File("map.txt.bak")));
    EXPECT_TRUE(HasMapTextExtension(File("MAP.TXT")));
}

// An editor that saves "UTF-8 with BOM" puts three bytes before the first line.
TEST_F(MapTextFileTest, AByteOrderMarkBeforeTheFirstLineIsSkipped) {
    WriteBytes(File("bom.txt"), std::string(Utf8Bom) + MapFileText(NumberedGrid(), 0));
    TMapGrid grid{};
    EXPECT_TRUE(IsLHMapText(File("bom.txt")));
    EXPECT_TRUE(ReadLHMapText(File("bom.txt"), grid));
    EXPECT_EQ(grid, NumberedGrid());
}

TEST_F(MapTextFileTest, EZKFileWithDecimalCommasReads) {
    const TMapGrid source = NumberedGrid(0.5, 0.04);  // 0.5 .. 61.1 degrees, never a tie at one decimal
    std::string text;
    for (int l = 0; l < MapSize; ++l) text += RowText(source, l, "\t", true) + "\r\n";
    WriteBytes(File("ign.txt"), text);

    TMapGrid grid;
    EXPECT_FALSE(ReadLHMapText(File("ign.txt"), grid));
    EXPECT_TRUE(ReadEZKMapText(File("ign.txt"), grid));
    EXPECT_DOUBLE_EQ(grid.At(0, 0), 0.5);
    EXPECT_DOUBLE_EQ(grid.At(15, 15), 61.1);
    EXPECT_DOUBLE_EQ(grid.At(4, 2), 8.7);  // 8.66 written with one decimal
}

TEST_F(MapTextFileTest, KindTestsTellLHFromEZK) {
    struct TCase {
        const char* Name;
        std::string Text;
        bool LH;
        bool EZK;
    };
    const TMapGrid ignition = NumberedGrid(0.5, 0.04);
    const TMapGrid wholeDegrees = NumberedGrid(0, 0.01);  // 0 .. 15.15, written rounded
    std::string tooLow = MapFileText(ignition, 1);
    tooLow.replace(0, 3, "-5.0");  // passes the EZK line check, not the kind test
    std::string lhWithDecimal = MapFileText(NumberedGrid(), 0);
    lhWithDecimal.replace(0, 1, "0.0");
    std::string semicolons;
    for (int l = 0; l < MapSize; ++l) semicolons += RowText(NumberedGrid(), l, ";") + "\r\n";

    const TCase cases[] = {
        {"lh.txt", MapFileText(NumberedGrid(-300), 0), true, false},
        {"ezk.txt", MapFileText(ignition, 1), false, true},
        {"ezkcomma.txt",
         [&] {
             std::string t;
             for (int l = 0; l < MapSize; ++l) t += RowText(ignition, l, "\t", true) + "\r\n";
             return t;
         }(),
         false, true},
        {"nomark.txt", MapFileText(wholeDegrees, 0), true, false},
        {"low.txt", tooLow, false, false},
        {"lhdec.txt", lhWithDecimal, false, false},
        {"semi.txt", semicolons, false, false},
        {"short.txt", MapFileText(NumberedGrid(), 0).substr(0, 100), false, false},
    };
    for (const TCase& c : cases) {
        WriteBytes(File(c.Name), c.Text);
        EXPECT_EQ(IsLHMapText(File(c.Name)), c.LH) << c.Name;
        EXPECT_EQ(IsEZKMapText(File(c.Name)), c.EZK) << c.Name;
        std::string block = c.Text;  // clipboard text with CR-only line ends
        for (std::size_t p = block.find("\r\n"); p != std::string::npos; p = block.find("\r\n", p))
            block.erase(p + 1, 1);
        EXPECT_EQ(IsLHMapBlock(block), c.LH) << c.Name;
        EXPECT_EQ(IsEZKMapBlock(block), c.EZK) << c.Name;
    }
}

TEST(MapFileValueTextTest, SixCharacterFields) {
    struct TCase {
        double Value;
        int Decimals;
        const char* Text;
    };
    const TCase cases[] = {
        {65535, 0, "65535"},   {-12345.6, 0, "-12346"}, {1234567, 0, "******"}, {-123456, 0, "******"},
        {12345.6, 1, "12346"}, {123.45, 1, "123.5"},    {14.7, 1, "14.7"},      {-0.04, 1, "0.0"},
        {-0.2, 0, "0"},        {-3, 0, "-3"},           {1.05, 3, "1.050"},     {100.25, 3, "100.25"},
    };
    for (const TCase& c : cases) EXPECT_EQ(MapFileValueText(c.Value, c.Decimals), c.Text) << c.Value;
}

TEST_F(MapTextFileTest, WrittenFilesReadBackAndKeepTheirLayout) {
    const TMapGrid fuel = NumberedGrid(-511);
    const TMapWriteResult lh = WriteLHMapText(File("fuel.txt"), fuel, 0, TOverwrite::Replace);
    ASSERT_TRUE(lh.Ok) << lh.ErrorText;
    EXPECT_EQ(lh.FileName, File("fuel.txt"));
    const std::string bytes = ReadBytes(File("fuel.txt"));
    EXPECT_EQ(bytes.substr(0, 20), "-511\t-510\t-509\t-508\t");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 16);
    TMapGrid back;
    EXPECT_TRUE(ReadLHMapText(File("fuel.txt"), back));
    EXPECT_EQ(back, fuel);

    const TMapGrid target = DefaultTargetAfrMap();
    ASSERT_TRUE(WriteLHMapText(File("target.txt"), target, 1, TOverwrite::Replace).Ok);
    EXPECT_EQ(ReadBytes(File("target.txt")).substr(0, 10), "14.7\t14.7\t");
    EXPECT_TRUE(ReadLHMapText(File("target.txt"), back));
    EXPECT_EQ(back, target);

    const TMapGrid ignition = NumberedGrid(0.5, 0.04);
    ASSERT_TRUE(WriteEZKMapText(File("ign.txt"), ignition, TOverwrite::Replace).Ok);
    EXPECT_TRUE(IsEZKMapText(File("ign.txt")));
    EXPECT_TRUE(ReadEZKMapText(File("ign.txt"), back));
    for (std::size_t i = 0; i < back.Values.size(); ++i)
        EXPECT_NEAR(back.Values[i], ignition.Values[i], 0.05);
}

// An updated Primary Load Map holds values up to 65535; once saved it must
// read back, by the file reader, the kind test and the whole-map paste alike.
TEST_F(MapTextFileTest, SavedPrimaryLoadMapAbove32728ReadsBack) {
    TMapGrid primary = NumberedGrid(40000, 10);  // 40000 .. 55150
    primary.At(15, 15) = 65535;
    primary.At(0, 0) = 0;
    ASSERT_TRUE(WriteLHMapText(File("primary.txt"), primary, 0, TOverwrite::Replace).Ok);
    TMapGrid back;
    EXPECT_TRUE(IsLHMapText(File("primary.txt")));
    EXPECT_FALSE(IsEZKMapText(File("primary.txt")));
    EXPECT_TRUE(ReadLHMapText(File("primary.txt"), back));
    EXPECT_EQ(back, primary);
    back = TMapGrid{};
    EXPECT_TRUE(ReadMapBlock(MapFileText(primary, 0), back));
    EXPECT_EQ(back, primary);

    // Signed LH values and the unsigned range do not mix within a line.
    std::string mixed = "-1";
    for (int r = 1; r < MapSize; ++r) mixed += "	40000";
    EXPECT_FALSE(IsLHMapTextLine(mixed));
    std::string tooLarge = "65536";
    for (int r = 1; r < MapSize; ++r) tooLarge += "	1";
    EXPECT_FALSE(IsLHMapTextLine(tooLarge));
}

TEST(NextCounterNameTest, CounterGoesBeforeTheExtension) {
    struct TCase {
        const char* Path;
        const char* Next;
    };
    const TCase cases[] = {
        {"/s/a.txt", "/s/a(2).txt"},
        {"/s/a(2).txt", "/s/a(3).txt"},
        {"/s/a(9).txt", "/s/a(10).txt"},
        {"/s/Updated (Base fuel map) fuel map.txt", "/s/Updated (Base fuel map) fuel map(2).txt"},
        {"/s/a().txt", "/s/a()(2).txt"},
        {"/s/a(x).txt", "/s/a(x)(2).txt"},
        {"/s/noext", "/s/noext(2)"},
    };
    for (const TCase& c : cases) EXPECT_EQ(NextCounterName(c.Path), fs::path(c.Next)) << c.Path;
}

TEST_F(MapTextFileTest, OverwriteOffKeepsOtherContentsUnderCounterNames) {
    const TMapGrid a = NumberedGrid(), b = NumberedGrid(1), c = NumberedGrid(2);
    ASSERT_TRUE(WriteLHMapText(File("m.txt"), a, 0, TOverwrite::KeepOld).Ok);

    TMapWriteResult result = WriteLHMapText(File("m.txt"), b, 0, TOverwrite::KeepOld);
    ASSERT_TRUE(result.Ok);
    EXPECT_EQ(result.FileName, File("m(2).txt"));

    result = WriteLHMapText(File("m.txt"), b, 0, TOverwrite::KeepOld);  // same contents as m(2)
    EXPECT_EQ(result.FileName, File("m(2).txt"));

    result = WriteLHMapText(File("m.txt"), c, 0, TOverwrite::KeepOld);
    EXPECT_EQ(result.FileName, File("m(3).txt"));

    result = WriteLHMapText(File("m.txt"), a, 0, TOverwrite::KeepOld);  // same contents as m
    EXPECT_EQ(result.FileName, File("m.txt"));
    EXPECT_FALSE(fs::exists(File("m(4).txt")));

    EXPECT_EQ(ReadBytes(File("m.txt")), MapFileText(a, 0));
    EXPECT_EQ(ReadBytes(File("m(2).txt")), MapFileText(b, 0));
    EXPECT_EQ(ReadBytes(File("m(3).txt")), MapFileText(c, 0));

    result = WriteLHMapText(File("m.txt"), c, 0, TOverwrite::Replace);
    EXPECT_EQ(result.FileName, File("m.txt"));
    EXPECT_EQ(ReadBytes(File("m.txt")), MapFileText(c, 0));
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder.Path()), fs::directory_iterator()), 3);
}

TEST_F(MapTextFileTest, FailedWriteKeepsTheOldFileAndSaysWhy) {
    KELVANE_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    const std::string old = "old map\r\n";
    WriteBytes(File("keep.txt"), old);
    TMapWriteResult result;
    {
        TFileSizeLimit limit(64);
        result = WriteLHMapText(File("keep.txt"), NumberedGrid(), 0, TOverwrite::Replace);
    }
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.ErrorText.empty());
    EXPECT_EQ(ReadBytes(File("keep.txt")), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder.Path()), fs::directory_iterator()), 1);

    result = WriteEZKMapText(File("no folder") / "ign.txt", NumberedGrid(), TOverwrite::KeepOld);
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.ErrorText.empty());
}

}  // namespace
}  // namespace kelvane
