#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/logdata/LogCaption.h"
#include "core/logdata/LogFileReader.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

// Everything a load may change, in a form that compares as a whole.
struct TStateSnapshot {
    using TSample = std::tuple<double, double, double, double, double, std::uint32_t, int, int, int,
                               std::uint64_t, std::uint32_t>;
    std::vector<TSample>
        Samples;  // Rpm, TimeStamp, SmoothedAfr, PlotMaf, Load, File, flags, the line's place
    std::vector<std::string> Files;
    std::vector<std::string> OpenFiles;  // name=value
    TColumnSet Columns{};
    std::string Caption;

    bool operator==(const TStateSnapshot&) const = default;
};

TStateSnapshot Snapshot(const TLogState& state) {
    TStateSnapshot s;
    const TLogData& d = state.Data;
    for (const TLogDataEntry& e : d.Entries)
        s.Samples.emplace_back(e.Rpm, e.TimeStamp, e.SmoothedAfr, e.PlotMaf, e.Load, e.File, e.FirstOfFile,
                               e.O2Active, e.AfrPresent, e.RawOffset, e.RawLength);
    for (const TLogFileInfo& f : d.Files)
        s.Files.push_back(f.FileName + "|" + f.Header + "|" + std::to_string(f.Size));
    for (std::size_t i = 0; i < state.OpenFiles.Count(); ++i)
        s.OpenFiles.push_back(state.OpenFiles.Name(i) + "=" + state.OpenFiles.ValueAt(i));
    s.Columns = state.ColumnPresent;
    s.Caption = CaptionText(state.OpenFiles, "");
    return s;
}

// n lines at 10 Hz, RPM counting up from firstRpm; the header carries "Load [%]" when asked.
std::string LogText(int n, int firstRpm, bool withLoad = false) {
    std::string out =
        std::string("Time [s]\tRPM\tMAF signal\tA/F ratio") + (withLoad ? "\tLoad [%]" : "") + "\r\n";
    for (int i = 0; i < n; ++i)
        out += std::to_string(i * 0.1) + "\t" + std::to_string(firstRpm + i) + "\t200\t" +
               std::to_string(14.0 + (i % 7) * 0.1) + (withLoad ? "\t55.5" : "") + "\r\n";
    return out;
}

class LogLoadCancelTest : public testing::Test {
  protected:
    std::filesystem::path Write(const std::string& name, const std::string& bytes) {
        const auto path = FFolder.Path() / name;
        WriteText(path, bytes);
        return path;
    }
    // Three files loaded plainly with smoothing 1 and the plain MAF configuration.
    void LoadThree() {
        TLoadLogOptions options;
        options.AfrSmoothing = 1;
        options.LHConfig = TLHConfig::Maf;
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            const int first = 1000 * (name[0] - 'a' + 1);
            ASSERT_TRUE(LoadLogFile(FState, Write(name, LogText(40, first)), options).Loaded);
        }
    }
    // Options that differ from LoadThree's, so a pass run by mistake would show.
    static TLoadLogOptions OtherOptions() {
        TLoadLogOptions options;
        options.AfrSmoothing = 6;
        options.LHConfig = TLHConfig::Map;
        options.ProgressStep = 256;
        return options;
    }

    TTempFolder FFolder;
    TLogState FState;
};

TEST_F(LogLoadCancelTest, CancelLeavesTheStateAsItWas) {
    struct TCase {
        const char* File;  // "b.txt" is open already (in the middle of the list), "c.txt" is open and last
        int CancelAtCall;
    };
    for (const TCase c : {TCase{"new.txt", 1}, TCase{"new.txt", 4}, TCase{"b.txt", 1}, TCase{"b.txt", 4},
                          TCase{"c.txt", 2}}) {
        SCOPED_TRACE(std::string(c.File) + " cancelled at call " + std::to_string(c.CancelAtCall));
        FState = TLogState{};
        LoadThree();
        const TStateSnapshot before = Snapshot(FState);
        // The new content differs and brings a new column, so any leak of it shows.
        const auto path = Write(c.File, LogText(200, 5000, true));

        int calls = 0;
        TLoadLogOptions options = OtherOptions();
        options.Progress = [&](std::uint64_t, std::uint64_t) { return ++calls < c.CancelAtCall; };
        const TLoadLogResult result = LoadLogFile(FState, path, options);

        EXPECT_EQ(calls, c.CancelAtCall);
        EXPECT_TRUE(result.Cancelled);
        EXPECT_FALSE(result.Loaded);
        EXPECT_FALSE(result.HeaderRejected);
        EXPECT_TRUE(result.Message.empty());
        EXPECT_EQ(result.SamplesAdded, 0u);
        EXPECT_EQ(Snapshot(FState), before);
        ASSERT_EQ(FState.Data.Count(), 120u);
        EXPECT_EQ(FState.Data[40].Rpm, 2000);  // b's old samples are still in their place
        EXPECT_EQ(FState.Data.FileName(FState.Data[119]), (FFolder.Path() / "c.txt").string());
        EXPECT_EQ(FState.ColumnPresent[ColLoad], 0);
    }
}

TEST_F(LogLoadCancelTest, ProgressRisesInStepsToTheFileSize) {
    const auto path = Write("a.txt", LogText(300, 1000));
    const std::uint64_t size = std::filesystem::file_size(path);
    std::vector<std::uint64_t> done;
    TLoadLogOptions options;
    options.ProgressStep = 1000;
    options.Progress = [&](std::uint64_t d, std::uint64_t total) {
        EXPECT_EQ(total, size);
        done.push_back(d);
        return true;
    };
    const TLoadLogResult result = LoadLogFile(FState, path, options);
    ASSERT_TRUE(result.Loaded);
    EXPECT_FALSE(result.Cancelled);
    EXPECT_EQ(result.SamplesAdded, 300u);
    ASSERT_GE(done.size(), 5u);
    // Once a chunk, not once a line: about size / step calls.
    EXPECT_LE(done.size(), size / 1000 + 1);
    for (std::size_t i = 1; i < done.size(); ++i) {
        EXPECT_GT(done[i], done[i - 1]);
        if (i + 1 < done.size()) {
            EXPECT_GE(done[i] - done[i - 1], 1000u);  // only the last chunk may be short
        }
    }
    EXPECT_EQ(done.back(), size);
}

TEST_F(LogLoadCancelTest, FilesWithoutDataLinesAreNotReported) {
    int calls = 0;
    TLoadLogOptions options;
    options.Progress = [&](std::uint64_t, std::uint64_t) {
        ++calls;
        return false;
    };
    const TLoadLogResult empty =
        LoadLogFile(FState, Write("empty.txt", "Time [s]\tRPM\tMAF signal\tA/F ratio\r\n\r\n"), options);
    EXPECT_FALSE(empty.Loaded);
    EXPECT_FALSE(empty.Cancelled);
    const TLoadLogResult rejected = LoadLogFile(FState, Write("bad.txt", "Time [s]\tRPM\n1\t2\n"), options);
    EXPECT_TRUE(rejected.HeaderRejected);
    EXPECT_FALSE(rejected.Cancelled);
    EXPECT_EQ(calls, 0);
}

// A load that runs to its end with a callback gives exactly the plain load's list, also
// when a file is read again, is gone, or no longer has an accepted header.
TEST_F(LogLoadCancelTest, CompletedLoadEqualsThePlainLoad) {
    TLogState plain, withProgress;
    int calls = 0;
    auto load = [&](const std::filesystem::path& path) {
        TLoadLogOptions options;
        options.AfrSmoothing = 3;
        options.LHConfig = TLHConfig::Map;
        const TLoadLogResult a = LoadLogFile(plain, path, options);
        options.ProgressStep = 512;
        options.Progress = [&](std::uint64_t, std::uint64_t) {
            ++calls;
            return true;
        };
        const TLoadLogResult b = LoadLogFile(withProgress, path, options);
        EXPECT_EQ(a.Loaded, b.Loaded);
        EXPECT_EQ(a.HeaderRejected, b.HeaderRejected);
        EXPECT_EQ(a.Message, b.Message);
        EXPECT_EQ(a.SamplesAdded, b.SamplesAdded);
        EXPECT_FALSE(b.Cancelled);
        EXPECT_EQ(Snapshot(plain), Snapshot(withProgress));
    };
    const auto a = Write("a.txt", LogText(100, 1000));
    const auto b = Write("b.txt", LogText(150, 2000, true));
    const auto c = Write("c.txt", LogText(80, 3000));
    load(a);
    load(b);
    load(c);
    Write("b.txt", LogText(120, 2500));  // the middle file, again and changed
    load(b);
    Write("b.txt", LogText(130, 2600));  // now the last file, again
    load(b);
    std::filesystem::remove(a);  // an open file that is gone
    load(a);
    Write("c.txt", "Time [s]\tMAF signal\n1\t2\n");  // an open file whose header is now rejected
    load(c);
    EXPECT_GT(calls, 10);
    ASSERT_EQ(withProgress.Data.Count(), 130u);
    EXPECT_EQ(withProgress.Data[0].Rpm, 2600);
    EXPECT_EQ(withProgress.OpenFiles.Count(), 1u);
}

// Events run from the callback may load logs themselves; the file then joins the list
// as it is at the end, as if the loads had run one after the other.
TEST_F(LogLoadCancelTest, ALoadDuringTheCallbackIsJoinedInOrder) {
    const auto a = Write("a.txt", LogText(50, 1000));
    const auto other = Write("other.txt", LogText(30, 7000, true));
    for (const auto& inner : {other, a}) {
        SCOPED_TRACE(inner.filename().string());
        TLogState plain;
        TLoadLogOptions options;
        options.LHConfig = TLHConfig::Maf;
        ASSERT_TRUE(LoadLogFile(plain, a, options).Loaded);  // a stays open, as in the state below
        ASSERT_TRUE(LoadLogFile(plain, inner, options).Loaded);
        ASSERT_TRUE(LoadLogFile(plain, a, options).Loaded);

        FState = TLogState{};
        ASSERT_TRUE(LoadLogFile(FState, a, options).Loaded);
        TLoadLogOptions outer = options;
        outer.ProgressStep = 256;
        bool innerLoaded = false;
        outer.Progress = [&](std::uint64_t, std::uint64_t) {
            if (!innerLoaded) innerLoaded = LoadLogFile(FState, inner, options).Loaded;
            return true;
        };
        EXPECT_TRUE(LoadLogFile(FState, a, outer).Loaded);
        EXPECT_TRUE(innerLoaded);
        EXPECT_EQ(Snapshot(FState), Snapshot(plain));
    }
}

}  // namespace
}  // namespace kelvane
