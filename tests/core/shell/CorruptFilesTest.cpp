#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/adjust/TargetAfrMap.h"
#include "core/display/ColorTableFile.h"
#include "core/ground/AtomicFile.h"
#include "core/logdata/LogFileReader.h"
#include "core/shell/MapLoading.h"
#include "core/shell/Settings.h"
#include "support/MapLoadingTestSupport.h"
#include "support/MapStateCompare.h"
#include "support/TempFolder.h"

// Damaged and hostile files through the loaders the windows and kelvane-cli
// use: each gives its documented result or a message, never a crash, and a
// load that fails leaves the state as it was.

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using testing::SameMapState;
using testing::TScriptedChooser;

std::string FixtureBytes(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(fs::path(KELVANE_FIXTURES) / name, bytes)) << name;
    return bytes;
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One damaged file: its name in the test output, and its bytes.
struct TCorruptCase {
    std::string Name;
    std::string Bytes;
};

// The same bytes with 1 to 3 bits flipped, count variants, always the same ones.
void AddBitFlips(std::vector<TCorruptCase>& cases, const std::string& good, int count, unsigned seed) {
    std::mt19937 random(seed);
    for (int i = 0; i < count; ++i) {
        std::string bytes = good;
        const int flips = 1 + static_cast<int>(random() % 3);
        std::string name = "flips";
        for (int f = 0; f < flips; ++f) {
            const std::size_t at = random() % bytes.size();
            const int bit = static_cast<int>(random() % 8);
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << bit));
            name += " " + std::to_string(at) + ":" + std::to_string(bit);
        }
        cases.push_back({name, bytes});
    }
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Hostile forms every text format meets.
void AddHostileTexts(std::vector<TCorruptCase>& cases, const std::string& good) {
    cases.push_back({"empty", ""});
    cases.push_back({"one byte", "1"});
    cases.push_back({"16383 bytes", std::string(16383, '7')});
    cases.push_back({"16385 bytes", std::string(16385, '\t')});
    cases.push_back({"LF line ends", Replaced(good, "\r\n", "\n")});
    cases.push_back({"CR line ends", Replaced(good, "\r\n", "\r")});
    std::string mixed = good;
    for (std::size_t at = mixed.find("\r\n"), n = 0; at != std::string::npos;
         at = mixed.find("\r\n", at + 1), ++n)
        if (n % 2 == 1) mixed.erase(at, 1);
    cases.push_back({"mixed line ends", mixed});
    cases.push_back({"NUL bytes", Replaced(good, "1", std::string("1\0", 2))});
    cases.push_back({"all NUL", std::string(good.size(), '\0')});
    cases.push_back(
        {"1 MB line", good.substr(0, good.find('\n') + 1) + std::string(1 << 20, '9') + "\r\n" + good});
    cases.push_back({"non-numbers", Replaced(good, "1", "x")});
    cases.push_back({"byte-order mark", std::string(Utf8Bom) + good});
}

// Truncation at every offset.
void AddTruncations(std::vector<TCorruptCase>& cases, const std::string& good, std::size_t step = 1) {
    for (std::size_t size = 0; size < good.size(); size += step)
        cases.push_back({"cut at " + std::to_string(size), good.substr(0, size)});
}

std::string MapLines(int lines, std::string_view line) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += std::string(line) + "\r\n";
    return text;
}

// Map files: a loaded map reports no error, a refused one names the
// problem, and the maps, engine setup, axes and bin images stay as they were.
TEST(CorruptFilesTest, MapTextFilesLoadWholeOrChangeNothing) {
    TTempFolder temp;
    const std::string good = FixtureBytes("cli/lh_map.txt");
    std::vector<TCorruptCase> cases;
    AddTruncations(cases, good);
    AddBitFlips(cases, good, 300, 1);
    AddHostileTexts(cases, good);
    const std::string lhLine = good.substr(0, good.find("\r\n"));
    cases.push_back({"15 x 16", MapLines(15, lhLine)});
    cases.push_back({"17 x 16", MapLines(17, lhLine)});
    cases.push_back({"16 x 15", MapLines(16, lhLine.substr(0, lhLine.rfind('\t')))});

    // A state with maps loaded already, so that a change shows.
    TKelvaneState loaded;
    TScriptedChooser chooser;
    const fs::path goodPath = temp.Path() / "Good.txt";
    WriteBytes(goodPath, good);
    ASSERT_TRUE(LoadMapFile(loaded, goodPath, chooser).Ok);
    const std::size_t lastFieldStart = good.rfind('\t') + 1;

    int loadedCount = 0;
    for (const TCorruptCase& item : cases) {
        SCOPED_TRACE(item.Name);
        const fs::path path = temp.Path() / "Damaged.txt";
        WriteBytes(path, item.Bytes);
        TKelvaneState state = loaded;
        const TMapLoadResult result = LoadMapFile(state, path, chooser);
        if (result.Ok) {
            ++loadedCount;
            EXPECT_TRUE(result.ErrorText.empty());
            EXPECT_TRUE(state.Fuel.ReferenceLoaded || state.Ignition.ReferenceLoaded);
        } else {
            EXPECT_FALSE(result.ErrorText.empty());
            EXPECT_TRUE(SameMapState(state, loaded));
        }
        TKelvaneState compared = loaded;
        const TMapLoadResult comparison = CompareMapFile(compared, path, chooser);
        if (!comparison.Ok) {
            EXPECT_TRUE(SameMapState(compared, loaded));
            EXPECT_FALSE(comparison.ErrorText.empty());
        }
    }
    EXPECT_GT(loadedCount, 0);

    // Cut inside the last line: the map loads once the last value has begun.
    for (std::size_t size = good.size() - 200; size <= good.size(); ++size) {
        SCOPED_TRACE(size);
        const fs::path path = temp.Path() / "Cut.txt";
        WriteBytes(path, good.substr(0, size));
        TKelvaneState state;
        EXPECT_EQ(LoadMapFile(state, path, chooser).Ok, size > lastFieldStart);
    }
}

TEST(CorruptFilesTest, MapTextShapesGiveTheDocumentedResult) {
    TTempFolder temp;
    const std::string good = FixtureBytes("cli/lh_map.txt");
    const std::string lhLine = good.substr(0, good.find("\r\n"));
    struct TShape {
        std::string Name;
        std::string Text;
        bool Loads;
    } shapes[] = {
        {"16 x 16", good, true},
        {"15 x 16", MapLines(15, lhLine), false},
        {"17 x 16: the 16th line ends the read", MapLines(17, lhLine), true},
        {"16 x 15", MapLines(16, lhLine.substr(0, lhLine.rfind('\t'))), false},
        {"16 x 17", MapLines(16, lhLine + "\t100"), false},
        {"a title and a blank line first", "Fuel map\r\n\r\n" + good, true},
        {"LF line ends", Replaced(good, "\r\n", "\n"), true},
        {"a value that is not a number", Replaced(good, "115\r\n", "abc\r\n"), false},
        {"empty", "", false},
    };
    for (const TShape& shape : shapes) {
        SCOPED_TRACE(shape.Name);
        const fs::path path = temp.Path() / "Shape.txt";
        WriteBytes(path, shape.Text);
        TKelvaneState state;
        TScriptedChooser chooser;
        EXPECT_EQ(LoadMapFile(state, path, chooser).Ok, shape.Loads);
    }
}

// Bin images: wrong sizes and damaged bytes load a map or change nothing.
TEST(CorruptFilesTest, BinImagesOfAnySizeLoadOrChangeNothing) {
    TTempFolder temp;
    std::vector<TCorruptCase> cases;
    for (const std::size_t size : {0, 1, 16383, 16384, 16385, 32767, 32768}) {
        std::string lh(size, '\0');
        if (size > 0x3FF6) lh.replace(0x3FF0, 5, "QRM-D");
        cases.push_back({"LH " + std::to_string(size), lh});
        std::string ezk(size, '\x55');
        if (size > 0x3FE5) ezk.replace(0x3FE0, 5, "QRM-D");
        cases.push_back({"EZK " + std::to_string(size), ezk});
    }
    std::string signedLH(16384, '\x80');
    signedLH.replace(0x3FF0, 5, "QRM-D");
    AddBitFlips(cases, signedLH, 150, 2);
    std::string signedEZK(16384, '\x20');
    signedEZK.replace(0x3FE0, 5, "QRM-D");
    AddBitFlips(cases, signedEZK, 150, 3);
    std::string chip(4096, '\x40');
    chip.replace(0x0FD9, 2, "JE");
    AddTruncations(cases, chip, 97);

    TKelvaneState loaded;
    const fs::path mapPath = temp.Path() / "Good.txt";
    WriteBytes(mapPath, FixtureBytes("cli/lh_map.txt"));
    TScriptedChooser chooser(TBinMapChoice::Cat);
    ASSERT_TRUE(LoadMapFile(loaded, mapPath, chooser).Ok);
    for (const TCorruptCase& item : cases) {
        SCOPED_TRACE(item.Name);
        const fs::path path = temp.Path() / "Damaged.bin";
        WriteBytes(path, item.Bytes);
        for (const TBinMapChoice answer : {TBinMapChoice::Cancel, TBinMapChoice::Cat, TBinMapChoice::NoCat,
                                           TBinMapChoice::PrimaryLoad, TBinMapChoice::Octane91}) {
            TKelvaneState state = loaded;
            TScriptedChooser scripted(answer);
            const TMapLoadResult result = LoadMapFile(state, path, scripted);
            if (!result.Ok) {
                EXPECT_TRUE(SameMapState(state, loaded));
            }
            if (answer == TBinMapChoice::Cancel && !scripted.Kinds.empty()) {
                EXPECT_FALSE(result.Ok);
            }
        }
    }
    // Sizes no image has are refused with a message.
    for (const std::size_t size : {0, 1, 16383, 16385}) {
        const fs::path path = temp.Path() / "Odd.bin";
        WriteBytes(path, std::string(size, '\0'));
        TKelvaneState state = loaded;
        const TMapLoadResult result = LoadMapFile(state, path, chooser);
        EXPECT_FALSE(result.Ok) << size;
        EXPECT_FALSE(result.ErrorText.empty()) << size;
        EXPECT_TRUE(SameMapState(state, loaded)) << size;
    }
}

// Logs: a file that does not load leaves the samples already in the plot.
TEST(CorruptFilesTest, LogFilesLoadOrLeaveThePlotAsItWas) {
    TTempFolder temp;
    const std::string good = FixtureBytes("logs/DeviceLog.txt");
    std::vector<TCorruptCase> cases;
    AddTruncations(cases, good);
    AddBitFlips(cases, good, 300, 4);
    AddHostileTexts(cases, good);

    TLogState before;
    ASSERT_TRUE(LoadLogFile(before, fs::path(KELVANE_FIXTURES) / "cli/run1.txt", {}).Loaded);
    const fs::path path = temp.Path() / "Run9.txt";
    for (const TCorruptCase& item : cases) {
        SCOPED_TRACE(item.Name);
        WriteBytes(path, item.Bytes);
        TLogState state = before;
        const TLoadLogResult result = LoadLogFile(state, path, {});
        if (result.Loaded) {
            EXPECT_EQ(state.Data.Count(), before.Data.Count() + result.SamplesAdded);
            EXPECT_EQ(state.OpenFiles.Count(), before.OpenFiles.Count() + 1);
        } else {
            EXPECT_EQ(state.Data.Count(), before.Data.Count());
            EXPECT_EQ(state.OpenFiles.Count(), before.OpenFiles.Count());
            if (result.HeaderRejected)
                EXPECT_EQ(result.Message.rfind("The following headers were not found in the log file: ", 0),
                          0u);
            else
                EXPECT_FALSE(NotLoadedMessage(path, result).empty());
        }
    }
}

TEST(CorruptFilesTest, LogFileShapesGiveTheDocumentedResult) {
    TTempFolder temp;
    const std::string good = FixtureBytes("logs/DeviceLog.txt");
    const std::string header = good.substr(0, good.find("\r\n") + 2);
    const std::string firstLine =
        good.substr(header.size(), good.find("\r\n", header.size()) + 2 - header.size());
    struct TShape {
        std::string Name;
        std::string Text;
        bool Loaded;
        std::size_t Samples;
    } shapes[] = {
        {"empty", "", false, 0},
        {"header only", header, false, 0},
        {"header and blank lines", header + "\r\n \t\r\n", false, 0},
        {"LF line ends", Replaced(good, "\r\n", "\n"), true, 3},
        {"CR line ends", Replaced(good, "\r\n", "\r"), true, 3},
        {"a 1 MB line after a good one", header + firstLine + std::string(1 << 20, '5') + "\r\n", true, 1},
        {"byte-order mark", std::string(Utf8Bom) + good, true, 3},
    };
    for (const TShape& shape : shapes) {
        SCOPED_TRACE(shape.Name);
        const fs::path path = temp.Path() / "Run1.txt";
        WriteBytes(path, shape.Text);
        TLogState state;
        const TLoadLogResult result = LoadLogFile(state, path, {});
        EXPECT_EQ(result.Loaded, shape.Loaded);
        EXPECT_EQ(state.Data.Count(), shape.Samples);
    }
}

// Settings files: reading a damaged file gives values in range, and a write
// into it keeps every other value.
TEST(CorruptFilesTest, DamagedSettingsFilesReadInRangeAndKeepTheirOtherValues) {
    TTempFolder temp;
    const std::string good =
        "[Settings]\r\nLH Version=LH2.2\r\nPlot Point Size=9\r\nMin Plot RPM=900\r\n"
        "[Filter]\r\nMax AFR=16.5\r\n[Colors]\r\nUse Color Table=0\r\n[Color Table 0]\r\n"
        "10.0=000,000,255\r\n14.7=000,255,000\r\n[Main Window]\r\nWindow Size=10,20,800,600\r\n";
    std::vector<TCorruptCase> cases;
    AddTruncations(cases, good);
    AddBitFlips(cases, good, 300, 5);
    AddHostileTexts(cases, good);
    for (const TCorruptCase& item : cases) {
        SCOPED_TRACE(item.Name);
        TSettingsStore store(temp.Path());
        WriteBytes(store.Main().FileName(), item.Bytes);
        TSettings settings;
        LoadSettings(store, settings, TSettingsLoad::Startup);
        EXPECT_GE(settings.PlotPointSize, 2);
        const TColorScale scale = LoadColorTable(store.Main());
        EXPECT_GE(scale.TableNumber, 0);

        std::vector<std::string> sections;
        store.Main().ReadSections(sections);
        std::vector<std::vector<std::string>> values;
        for (const std::string& section : sections) {
            values.emplace_back();
            store.Main().ReadSectionValues(section, values.back());
        }
        ASSERT_TRUE(store.Main().WriteString("Added", "Key", "1"));
        for (std::size_t i = 0; i < sections.size(); ++i) {
            std::vector<std::string> after;
            store.Main().ReadSectionValues(sections[i], after);
            EXPECT_EQ(after, values[i]) << sections[i];
        }
        EXPECT_EQ(store.Main().ReadString("Added", "Key", ""), "1");
    }
}

// Target AFR maps: a damaged file is read only when it holds 16 map lines,
// and otherwise leaves the map as it was.
TEST(CorruptFilesTest, DamagedTargetMapsReadWholeOrLeaveTheMap) {
    TTempFolder temp;
    const fs::path goodPath = temp.Path() / "Good" / "TargetAFRmap.txt";
    fs::create_directories(goodPath.parent_path());
    ASSERT_TRUE(WriteTargetAfrMapFile(goodPath, DefaultTargetAfrMap()).Ok);
    std::string good;
    ASSERT_TRUE(ReadWholeFile(goodPath, good));
    std::vector<TCorruptCase> cases;
    AddTruncations(cases, good);
    AddBitFlips(cases, good, 300, 6);
    AddHostileTexts(cases, good);
    const TMapGrid before = FilledGrid(12.5);
    for (const TCorruptCase& item : cases) {
        SCOPED_TRACE(item.Name);
        const fs::path path = temp.Path() / "TargetAFRmap.txt";
        WriteBytes(path, item.Bytes);
        TMapGrid map = before;
        if (!ReadTargetAfrMapFile(path, map)) {
            EXPECT_TRUE(testing::SameBytes(map, before));
        }
    }
}

}  // namespace
}  // namespace kelvane
