#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/ground/AtomicFile.h"
#include "core/logdata/LogFileReader.h"
#include "core/logdata/LogState.h"
#include "core/plot/LogExport.h"
#include "support/PlotFixture.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using TLines = std::vector<std::string>;

struct TLine {
    std::string Text;
    double Rpm;
    double PlotMaf;
};

// How a log file lays out its lines.
struct TLayout {
    std::string LineEnd = "\r\n";
    bool Bom = false;
};

// The lines of a text joined with CR LF, split again.
TLines SplitCrLf(const std::string& text) {
    TLines lines;
    if (text.empty()) return lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(text.substr(from, at - from));
    lines.push_back(text.substr(from));
    return lines;
}

// Logs written to real files, with the facts and line places the reader
// records for them.
struct LogExportTest : ::testing::Test {
    TTempFolder folder;
    TPlotFixture f;
    TLogData data;
    TSelection selection;

    fs::path AddFile(const std::string& header, const std::vector<TLine>& lines, const TLayout& layout = {}) {
        const fs::path path = folder.Path() / ("Run" + std::to_string(data.Files.size()) + ".txt");
        std::string bytes = (layout.Bom ? std::string(Utf8Bom) : "") + header + layout.LineEnd;
        TLogFileInfo file;
        file.FileName = path.string();
        file.Header = header;
        for (const TLine& line : lines) {
            TLogDataEntry e = TPlotFixture::Sample(line.Rpm, line.PlotMaf, 50, 14.0);
            e.File = static_cast<std::uint32_t>(data.Files.size());
            e.RawOffset = bytes.size();
            e.RawLength = static_cast<std::uint32_t>(line.Text.size());
            bytes += line.Text + layout.LineEnd;
            data.Entries.push_back(e);
        }
        WriteText(path, bytes);
        file.Size = fs::file_size(path);
        file.Modified = fs::last_write_time(path);
        data.Files.push_back(std::move(file));
        return path;
    }
    // File A: samples 0 .. 2, file B: samples 3 .. 4.
    void AddTwoFiles(const TLayout& layout = {}) {
        AddFile(HeaderA,
                {{"0.1\t2000\t400", 2000, 400}, {"0.2\t2100\t410", 2100, 410}, {"0.3\t3000\t600", 3000, 600}},
                layout);
        AddFile(HeaderB, {{"5.1\t1900\t380\t14.1", 1900, 380}, {"5.2\t1800\t370\t14.2", 1800, 370}}, layout);
    }
    std::string Exported() {
        std::string text = "stale", error;
        EXPECT_TRUE(ReadLogLines(data, CollectLogLines(data, selection, f.Context()), text, error)) << error;
        EXPECT_EQ(error, "");
        return text;
    }
    TLines Collect() { return SplitCrLf(Exported()); }
    std::vector<int> Marked() const {
        std::vector<int> marked;
        for (std::size_t i = 0; i < data.Count(); ++i)
            if (data[i].Selected) marked.push_back(static_cast<int>(i));
        return marked;
    }

    static inline const std::string HeaderA = "Time [s]\tRPM\tMAF signal";
    static inline const std::string HeaderB = "Time [s]\tRPM\tMAF signal\tA/F ratio";
};

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
    selection.Items = {TSelectionItem::Point(4), TSelectionItem::Point(1),  TSelectionItem::Point(99),
                       TSelectionItem::Point(3), TSelectionItem::Point(-1), TSelectionItem::Point(0)};
    EXPECT_EQ(Collect(), (TLines{HeaderB, "5.2\t1800\t370\t14.2", HeaderA, "0.2\t2100\t410", HeaderB,
                                 "5.1\t1900\t380\t14.1", HeaderA, "0.1\t2000\t400"}));
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

TEST_F(LogExportTest, CollectedLinesArePlacesInTheFilesNotTexts) {
    AddTwoFiles();
    selection.Kind = SelectionKindPoint;
    selection.Items = {TSelectionItem::Point(4), TSelectionItem::Point(3)};
    EXPECT_EQ(CollectLogLines(data, selection, f.Context()),
              (TLogLines{TLogLine::HeaderOf(1), TLogLine::DataOf(data[4]), TLogLine::DataOf(data[3])}));
}

TEST_F(LogExportTest, ClipboardTextSeparatesLinesWithCrLfWhateverTheFilesUse) {
    for (const TLayout& layout : {TLayout{"\r\n", false}, TLayout{"\n", false}, TLayout{"\r", false},
                                  TLayout{"\r\n", true}, TLayout{"\n", true}}) {
        SCOPED_TRACE(testing::PrintToString(layout.LineEnd) + (layout.Bom ? " with BOM" : ""));
        data.Clear();
        AddTwoFiles(layout);
        EXPECT_EQ(Exported(), HeaderA + "\r\n0.1\t2000\t400\r\n0.2\t2100\t410\r\n0.3\t3000\t600\r\n" +
                                  HeaderB + "\r\n5.1\t1900\t380\t14.1\r\n5.2\t1800\t370\t14.2");
    }
    data.Clear();
    AddFile(HeaderA, {{"0.1\t2000\t400", 2000, 400}});
    EXPECT_EQ(Exported(), HeaderA + "\r\n0.1\t2000\t400");  // no line end after the last line
}

// The reader's places and the export agree: each exported line is its file's
// bytes, for the line ends and marks files come with.
TEST_F(LogExportTest, LinesOfLoadedFilesAreTheirBytes) {
    const std::string header = "Time [s]\tRPM\tMAF signal\tA/F ratio";
    const std::vector<std::string> rows = {"0.0\t900\t120\t14.7", "0.1\t950\t130\t14.60",
                                           "0.2\t1000\t140\t\x96"};
    struct TCase {
        const char* Name;
        std::string Bytes;
    };
    const std::vector<TCase> cases = {
        {"crlf", header + "\r\n" + rows[0] + "\r\n" + rows[1] + "\r\n" + rows[2] + "\r\n"},
        {"bom", std::string(Utf8Bom) + header + "\r\n" + rows[0] + "\r\n" + rows[1] + "\r\n" + rows[2]},
        {"lf and a blank line", header + "\n\n" + rows[0] + "\n" + rows[1] + "\n" + rows[2] + "\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path path = folder.Path() / (std::string(c.Name) + ".txt");
        WriteText(path, c.Bytes);
        TLogState state;
        TLoadLogOptions options;
        options.LHConfig = TLHConfig::Maf;
        ASSERT_TRUE(LoadLogFile(state, path, options).Loaded);
        ASSERT_EQ(state.Data.Count(), 3u);
        std::string text, error;
        ASSERT_TRUE(ReadLogLines(state.Data, CollectLogLines(state.Data, {}, f.Context()), text, error))
            << error;
        EXPECT_EQ(SplitCrLf(text), (TLines{header, rows[0], rows[1], rows[2]}));
    }
}

// Lines spread over many blocks, one longer than a block, asked for in every
// order: each comes back whole and in its place.
TEST_F(LogExportTest, ManyLinesInAnyOrderComeBackInTheOrderAsked) {
    std::vector<TLine> lines;
    for (int i = 0; i < 60000; ++i)
        lines.push_back(
            {std::to_string(i) + "\t" + std::string(static_cast<std::size_t>(i % 37), 'x'), 2000, 400});
    lines[40000].Text = std::string(3u << 20, 'L');
    AddFile(HeaderA, lines, {"\n", true});

    TLines expected{HeaderA};
    for (const TLine& line : lines) expected.push_back(line.Text);
    EXPECT_TRUE(Collect() == expected);

    std::vector<int> order(lines.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    order.resize(5000);
    order.push_back(40000);
    order.push_back(order.front());  // a point picked twice
    selection.Kind = SelectionKindPoint;
    expected = {HeaderA};
    for (int i : order) {
        selection.Items.push_back(TSelectionItem::Point(i));
        expected.push_back(lines[static_cast<std::size_t>(i)].Text);
    }
    EXPECT_TRUE(Collect() == expected);
}

TEST_F(LogExportTest, SavedFileIsTheClipboardTextWithAFinalLineEnd) {
    AddTwoFiles({"\n", true});
    selection.Kind = SelectionKindPoint;
    selection.Items = {TSelectionItem::Point(3), TSelectionItem::Point(0)};
    const TLogLines lines = CollectLogLines(data, selection, f.Context());
    const auto path = folder.Path() / "Selected.txt";
    std::string error = "stale";
    ASSERT_TRUE(WriteLogLines(path, data, lines, error)) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(ReadText(path), Exported() + "\r\n");
    EXPECT_EQ(ReadText(path), HeaderB + "\r\n5.1\t1900\t380\t14.1\r\n" + HeaderA + "\r\n0.1\t2000\t400\r\n");

    // Nothing to export writes an empty file.
    ASSERT_TRUE(WriteLogLines(path, data, {}, error)) << error;
    EXPECT_EQ(ReadText(path), "");
}

// Logs with "," and with "." decimals exported together read back with the values
// they were loaded with; lines that read back as they are keep every byte.
TEST_F(LogExportTest, MixedDecimalSeparatorsReadBackWithTheirValues) {
    const std::string header = "Time [s]\tRPM\tMAF signal\tA/F ratio";
    const TLines dot = {"0.1\t2000\t400\t14.7", "0.2\t2100\t410\t14.6"};
    const TLines comma = {"0,3\t2200\t420\t13,5", "1\t2300\t430\t13", "0,5\t2400\t440\t12,25"};
    const auto write = [&](const std::string& name, const TLines& rows) {
        std::string bytes = header + "\r\n";
        for (const std::string& row : rows) bytes += row + "\r\n";
        WriteText(folder.Path() / name, bytes);
        return folder.Path() / name;
    };
    const fs::path dotFile = write("Dot.txt", dot);
    const fs::path commaFile = write("Comma.txt", comma);
    TLoadLogOptions options;
    options.LHConfig = TLHConfig::Maf;
    const auto load = [&](TLogState& state, const fs::path& path) {
        ASSERT_TRUE(LoadLogFile(state, path, options).Loaded) << path;
    };
    struct TCase {
        const char* Name;
        std::vector<fs::path> Files;
        std::vector<int> Points;  // none: every sample
        TLines Expected;          // the lines saved
    };
    const TCase cases[] = {
        {"dot then comma",
         {dotFile, commaFile},
         {},
         {header, dot[0], dot[1], "0.3\t2200\t420\t13.5", comma[1], "0.5\t2400\t440\t12.25"}},
        {"comma then dot",
         {commaFile, dotFile},
         {},
         {header, comma[0], comma[1], comma[2], "0,1\t2000\t400\t14,7", "0,2\t2100\t410\t14,6"}},
        {"comma alone", {commaFile}, {}, {header, comma[0], comma[1], comma[2]}},
        // A first line without a comma makes "." the separator of what follows it.
        {"comma file from a line without one",
         {commaFile},
         {1, 0},
         {header, comma[1], "0.3\t2200\t420\t13.5"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLogState source;
        for (const fs::path& path : c.Files) load(source, path);
        TSelection picked;
        if (!c.Points.empty()) {
            picked.Kind = SelectionKindPoint;
            for (const int i : c.Points) picked.Items.push_back(TSelectionItem::Point(i));
        }
        const fs::path saved = folder.Path() / "Saved.txt";
        std::string error;
        ASSERT_TRUE(
            WriteLogLines(saved, source.Data, CollectLogLines(source.Data, picked, f.Context()), error))
            << error;
        std::string expected;
        for (const std::string& line : c.Expected) expected += line + "\r\n";
        EXPECT_EQ(ReadText(saved), expected);

        TLogState back;
        load(back, saved);
        std::vector<int> order = c.Points;
        if (order.empty())
            for (std::size_t i = 0; i < source.Data.Count(); ++i) order.push_back(static_cast<int>(i));
        ASSERT_EQ(back.Data.Count(), order.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            const TLogDataEntry& was = source.Data[static_cast<std::size_t>(order[i])];
            EXPECT_EQ(back.Data[i].TimeSec, was.TimeSec) << i;
            EXPECT_EQ(back.Data[i].Rpm, was.Rpm) << i;
            EXPECT_EQ(back.Data[i].Afr, was.Afr) << i;
        }
    }
}

// The stored device logs, one with "," decimals (and a stray "." that reads as 0):
// saved, each is its own lines byte for byte, and read back every sample has the
// values it had.
TEST_F(LogExportTest, DeviceLogsSavedAndReadBackKeepTheirValues) {
    const fs::path logs = fs::path(KELVANE_FIXTURES) / "logs";
    const fs::path device = logs / "DeviceLog.txt";
    const fs::path comma = logs / "CommaLog.txt";
    TLoadLogOptions options;
    options.LHConfig = TLHConfig::Maf;
    for (const std::vector<fs::path>& files : {std::vector<fs::path>{device}, {comma}}) {
        SCOPED_TRACE(files.front().filename().string());
        TLogState source;
        for (const fs::path& file : files) ASSERT_TRUE(LoadLogFile(source, file, options).Loaded);
        const fs::path saved = folder.Path() / "Saved.txt";
        std::string error;
        ASSERT_TRUE(WriteLogLines(saved, source.Data, CollectLogLines(source.Data, {}, f.Context()), error))
            << error;
        std::string expected = source.Data.Files[0].Header + "\r\n";
        for (const TLogDataEntry& e : source.Data.Entries)
            expected += TextAt(files[0], e.RawOffset, e.RawLength) + "\r\n";
        EXPECT_EQ(ReadText(saved), expected);
        TLogState back;
        ASSERT_TRUE(LoadLogFile(back, saved, options).Loaded);
        ASSERT_EQ(back.Data.Count(), source.Data.Count());
        for (std::size_t i = 0; i < back.Data.Count(); ++i) {
            const TLogDataEntry& was = source.Data[i];
            const TLogDataEntry& is = back.Data[i];
            EXPECT_TRUE(is.TimeSec == was.TimeSec && is.Rpm == was.Rpm && is.MafSignal == was.MafSignal &&
                        is.Afr == was.Afr && is.O2Adjust == was.O2Adjust)
                << "sample " << i;
        }
    }
}

// Ways a loaded file can differ from what was read.
struct TChange {
    const char* Name;
    void (*Apply)(const fs::path& path);
};

void SetBackTime(const fs::path& path, fs::file_time_type time) {
    fs::last_write_time(path, time);
}

const TChange FileChanges[] = {
    {"grown",
     [](const fs::path& p) { std::ofstream(p, std::ios::app | std::ios::binary) << "9.9\t1\t1\r\n"; }},
    {"cut", [](const fs::path& p) { fs::resize_file(p, fs::file_size(p) - 5); }},
    {"touched", [](const fs::path& p) { SetBackTime(p, fs::last_write_time(p) + std::chrono::seconds(3)); }},
    {"removed", [](const fs::path& p) { fs::remove(p); }},
    {"now a folder",
     [](const fs::path& p) {
         fs::remove(p);
         fs::create_directory(p);
     }},
    // Same size and time, yet other bytes: a header or line no longer where it was.
    {"header edited",
     [](const fs::path& p) {
         const auto time = fs::last_write_time(p);
         std::string bytes = ReadText(p);
         bytes[2] = 'X';
         WriteText(p, bytes);
         SetBackTime(p, time);
     }},
    {"line split",
     [](const fs::path& p) {
         const auto time = fs::last_write_time(p);
         std::string bytes = ReadText(p);
         bytes[bytes.find("2100")] = '\n';
         WriteText(p, bytes);
         SetBackTime(p, time);
     }},
    {"lines moved",
     [](const fs::path& p) {
         const auto time = fs::last_write_time(p);
         std::string bytes = ReadText(p);
         bytes.insert(bytes.find("0.2"), "\r\n");
         bytes.resize(bytes.size() - 2);
         WriteText(p, bytes);
         SetBackTime(p, time);
     }},
};

TEST_F(LogExportTest, AChangedFileExportsNothingAndSaysWhich) {
    for (const TChange& change : FileChanges) {
        SCOPED_TRACE(change.Name);
        data.Clear();
        AddTwoFiles();
        const fs::path first = data.Files[0].FileName;
        const fs::path target = folder.Path() / "Saved log.txt";
        WriteText(target, "old contents\r\n");
        change.Apply(first);

        const TLogLines lines = CollectLogLines(data, selection, f.Context());
        std::string text = "clipboard", error;
        EXPECT_FALSE(ReadLogLines(data, lines, text, error));
        EXPECT_EQ(text, "");
        EXPECT_NE(error.find(first.string()), std::string::npos) << error;
        error.clear();
        EXPECT_FALSE(WriteLogLines(target, data, lines, error));
        EXPECT_NE(error.find(first.string()), std::string::npos) << error;
        EXPECT_EQ(ReadText(target), "old contents\r\n");
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();

        // Lines of the other file alone still export.
        selection.Kind = SelectionKindPoint;
        selection.Items = {TSelectionItem::Point(4)};
        EXPECT_EQ(Collect(), (TLines{HeaderB, "5.2\t1800\t370\t14.2"}));
        selection = {};
        fs::remove_all(first);
    }
}

TEST_F(LogExportTest, MessagesSayWhatBecameOfTheFile) {
    AddTwoFiles();
    const fs::path first = data.Files[0].FileName;
    const TLogLines lines = CollectLogLines(data, selection, f.Context());
    std::string text, error;
    FileChanges[0].Apply(first);
    EXPECT_FALSE(ReadLogLines(data, lines, text, error));
    EXPECT_EQ(error,
              first.string() + " has changed since it was loaded: load it again before exporting its lines");
    fs::remove(first);
    EXPECT_FALSE(ReadLogLines(data, lines, text, error));
    EXPECT_EQ(error,
              first.string() + " is no longer there: load the logs again before exporting their lines");
}

TEST_F(LogExportTest, FailedWriteSaysWhyAndLeavesNothingBehind) {
    AddTwoFiles();
    const TLogLines lines = CollectLogLines(data, selection, f.Context());
    TTempFolder targets;

    const auto missing = targets.Path() / "gone" / "Saved log.txt";
    std::string error;
    EXPECT_FALSE(WriteLogLines(missing, data, lines, error));
    EXPECT_NE(error.find("Saved log.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(missing.parent_path()));

    // A target that cannot be replaced stays as it was, and no temporary remains.
    const auto blocked = targets.Path() / "Saved log.txt";
    fs::create_directory(blocked);
    { std::ofstream(blocked / "inside.txt") << "kept"; }
    error.clear();
    EXPECT_FALSE(WriteLogLines(blocked, data, lines, error));
    EXPECT_NE(error.find("Saved log.txt"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(blocked));
    std::string kept;
    EXPECT_TRUE(ReadWholeFile(blocked / "inside.txt", kept));
    EXPECT_EQ(kept, "kept");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(targets.Path())) ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace kelvane
