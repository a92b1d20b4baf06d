#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/ground/AtomicFile.h"
#include "core/plot/LogExport.h"
#include "support/PlotFixture.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

using TLines = std::vector<std::string>;

struct TLine {
    const char* Text;
    double Rpm;
    double PlotMaf;
};

// Logs built in memory as the reader leaves them: each file's bytes hold its
// header and data lines, and each sample points at its line.
struct LogExportTest : ::testing::Test {
    TPlotFixture f;
    TLogData data;
    TSelection selection;

    void AddFile(const std::string& header, const std::vector<TLine>& lines) {
        TLogFileInfo file;
        file.FileName = "Run" + std::to_string(data.Files.size()) + ".txt";
        file.Bytes = header + "\r\n";
        file.Header = header;
        for (const TLine& line : lines) {
            TLogDataEntry e = TPlotFixture::Sample(line.Rpm, line.PlotMaf, 50, 14.0);
            e.File = static_cast<std::uint32_t>(data.Files.size());
            e.RawOffset = file.Bytes.size();
            e.RawLength = static_cast<std::uint32_t>(std::string(line.Text).size());
            file.Bytes += std::string(line.Text) + "\r\n";
            data.Entries.push_back(e);
        }
        data.Files.push_back(std::move(file));
    }
    // File A: samples 0 .. 2, file B: samples 3 .. 4.
    void AddTwoFiles() {
        AddFile(
            "Time [s]\tRPM\tMAF signal",
            {{"0.1\t2000\t400", 2000, 400}, {"0.2\t2100\t410", 2100, 410}, {"0.3\t3000\t600", 3000, 600}});
        AddFile("Time [s]\tRPM\tMAF signal\tA/F ratio", {{"5.1\t1900\t380\t14.1", 1900, 380},  //
                                                         {"5.2\t1800\t370\t14.2", 1800, 370}});
    }
    TLines Collect() {
        TLines lines;
        for (std::string_view line : CollectLogLines(data, selection, f.Context())) lines.emplace_back(line);
        return lines;
    }
    std::vector<int> Marked() const {
        std::vector<int> marked;
        for (std::size_t i = 0; i < data.Count(); ++i)
            if (data[i].Selected) marked.push_back(static_cast<int>(i));
        return marked;
    }
};

const std::string HeaderA = "Time [s]\tRPM\tMAF signal";
const std::string HeaderB = "Time [s]\tRPM\tMAF signal\tA/F ratio";

TEST_F(LogExportTest, NothingSelectedGivesEveryFileWithItsHeader) {
    EXPECT_TRUE(Collect().empty());  // nothing loaded
    AddTwoFiles();
    EXPECT_EQ(Collect(), (TLines{HeaderA, "0.1\t2000\t400", "0.2\t2100\t410", "0.3\t3000\t600", HeaderB,
                                 "5.1\t1900\t380\t14.1", "5.2\t1800\t370\t14.2"}));
    // A second file with the same header continues under the first one's.
    AddFile(HeaderB, {{"9.9\t900\t100\t15.0", 900, 100}});
    EXPECT_EQ(Collect().size(), 8u);
    EXPECT_EQ(Collect().back(), "9.9\t900\t100\t15.0");
    EXPECT_TRUE(Marked().empty());
}

TEST_F(LogExportTest, PointsInTheOrderPickedRepeatingHeadersAsFilesAlternate) {
    AddTwoFiles();
    selection.Kind = SelectionKindPoint;
    selection.Items = {TSelectionItem::Point(4), TSelectionItem::Point(1), TSelectionItem::Point(99),
                       TSelectionItem::Point(3), TSelectionItem::Point(-1)};
    EXPECT_EQ(Collect(), (TLines{HeaderB, "5.2\t1800\t370\t14.2", HeaderA, "0.2\t2100\t410", HeaderB,
                                 "5.1\t1900\t380\t14.1"}));
}

TEST_F(LogExportTest, CellsGiveEverySampleInsideIncludedOrNotAndMarkThem) {
    // Row 5 of the fuel map runs from 1800 to 2200 rpm, column 5 from 370 to 430;
    // row 6 from 2200, column 6 from 430.
    AddTwoFiles();
    AddFile(HeaderA, {{"7.1\t2200\t430", 2200, 430},  // 5: on the corner shared with cell 6,6
                      {"7.2\t2000\t-", 2000, MissingValue}});
    data[1].Included = 0;  // excluded, yet inside
    data[6].Selected = 1;  // no load: in no cell
    data[2].Selected = 1;  // outside: the flag is cleared
    selection.Items = {TSelectionItem::Cell(5, 5), TSelectionItem::Cell(6, 6)};
    EXPECT_EQ(Collect(), (TLines{HeaderA, "0.1\t2000\t400", "0.2\t2100\t410", HeaderB, "5.1\t1900\t380\t14.1",
                                 "5.2\t1800\t370\t14.2", HeaderA, "7.1\t2200\t430"}));
    EXPECT_EQ(Marked(), (std::vector<int>{0, 1, 3, 4, 5}));

    // Cells belong to the grid in view; on the ignition map they use Load.
    f.Options.View = TPlotView::EZK;
    EXPECT_EQ(Collect().size(), 10u);  // cells of the other grid: everything, flags untouched
    EXPECT_EQ(Marked(), (std::vector<int>{0, 1, 3, 4, 5}));
    selection.View = TPlotView::EZK;
    // 1600 .. 2000 rpm; every sample's Load of 50 lies in column 7 or 8.
    selection.Items = {TSelectionItem::Cell(3, 7), TSelectionItem::Cell(3, 8)};
    EXPECT_EQ(Collect(), (TLines{HeaderA, "0.1\t2000\t400", HeaderB, "5.1\t1900\t380\t14.1",
                                 "5.2\t1800\t370\t14.2", HeaderA, "7.2\t2000\t-"}));
    EXPECT_EQ(Marked(), (std::vector<int>{0, 3, 4, 6}));
}

TEST_F(LogExportTest, ClipboardTextSeparatesLinesWithCrLf) {
    EXPECT_EQ(JoinedLogLines({}), "");
    EXPECT_EQ(JoinedLogLines({"a"}), "a");
    EXPECT_EQ(JoinedLogLines({"head", "1\t2", ""}), "head\r\n1\t2\r\n");
}

TEST_F(LogExportTest, SavedFileIsTheClipboardTextWithAFinalLineEnd) {
    AddTwoFiles();
    selection.Kind = SelectionKindPoint;
    selection.Items = {TSelectionItem::Point(3), TSelectionItem::Point(0)};
    const std::vector<std::string_view> lines = CollectLogLines(data, selection, f.Context());
    TTempFolder folder;
    const auto path = folder.Path() / "Selected.txt";
    std::string error = "stale";
    ASSERT_TRUE(WriteLogLines(path, lines, error)) << error;
    EXPECT_EQ(error, "");
    std::string written;
    ASSERT_TRUE(ReadWholeFile(path, written));
    EXPECT_EQ(written, JoinedLogLines(lines) + "\r\n");
    EXPECT_EQ(written, HeaderB + "\r\n5.1\t1900\t380\t14.1\r\n" + HeaderA + "\r\n0.1\t2000\t400\r\n");
}

TEST_F(LogExportTest, FailedWriteSaysWhyAndLeavesNothingBehind) {
    AddTwoFiles();
    const std::vector<std::string_view> lines = CollectLogLines(data, selection, f.Context());
    TTempFolder folder;

    const auto missing = folder.Path() / "gone" / "Saved log.txt";
    std::string error;
    EXPECT_FALSE(WriteLogLines(missing, lines, error));
    EXPECT_NE(error.find("Saved log.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));

    // A target that cannot be replaced stays as it was, and no temporary remains.
    const auto blocked = folder.Path() / "Saved log.txt";
    std::filesystem::create_directory(blocked);
    { std::ofstream(blocked / "inside.txt") << "kept"; }
    error.clear();
    EXPECT_FALSE(WriteLogLines(blocked, lines, error));
    EXPECT_NE(error.find("Saved log.txt"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    std::string kept;
    EXPECT_TRUE(ReadWholeFile(blocked / "inside.txt", kept));
    EXPECT_EQ(kept, "kept");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace kelvane
