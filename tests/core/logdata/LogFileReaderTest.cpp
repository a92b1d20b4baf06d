#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/logdata/LogCaption.h"
#include "core/logdata/LogFileReader.h"
#include "support/FileNameCaseRule.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

// A sample's line as its file holds it at the place the reader recorded.
std::string LineOf(const TLogData& d, const TLogDataEntry& e) {
    return TextAt(d.FileName(e), e.RawOffset, e.RawLength);
}

const std::string MafHeader = "Time [s]\tRPM\tMAF signal\tA/F ratio";

class LogFileReaderTest : public testing::Test {
  protected:
    std::filesystem::path Write(const std::string& name, const std::string& bytes) {
        const auto path = FFolder.Path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    TLoadLogResult Load(const std::filesystem::path& path, TLHConfig lhConfig = TLHConfig::Maf) {
        TLoadLogOptions options;
        options.LHConfig = lhConfig;
        return LoadLogFile(FState, path, options);
    }
    // A log of n lines at 10 Hz whose RPM counts up from 1000, to tell samples apart.
    static std::string Lines(int n, double firstTime = 0) {
        std::string out = MafHeader + "\r\n";
        for (int i = 0; i < n; ++i)
            out += std::to_string(firstTime + i * 0.1) + "\t" + std::to_string(1000 + i) + "\t200\t14.7\r\n";
        return out;
    }
    std::vector<double> Rpms() const {
        std::vector<double> rpms;
        for (const auto& e : FState.Data.Entries) rpms.push_back(e.Rpm);
        return rpms;
    }

    TTempFolder FFolder;
    TLogState FState;
};

// An editor that saves "UTF-8 with BOM" puts three bytes before the first title.
TEST_F(LogFileReaderTest, AByteOrderMarkBeforeTheHeaderIsSkipped) {
    const TLoadLogResult result =
        Load(Write("bom.txt", "\xEF\xBB\xBF" + MafHeader + "\n0\t900\t120\t14.7\n"));
    EXPECT_TRUE(result.Loaded) << result.Message;
    ASSERT_EQ(FState.Data.Count(), 1u);
    EXPECT_EQ(FState.Data[0].TimeSec, 0);
    EXPECT_EQ(LineOf(FState.Data, FState.Data[0]), "0\t900\t120\t14.7");
}

TEST_F(LogFileReaderTest, DeviceLogFixture) {
    const auto path = std::filesystem::path(KELVANE_FIXTURES) / "logs" / "DeviceLog.txt";
    const TLoadLogResult result = Load(path);
    ASSERT_TRUE(result.Loaded);
    EXPECT_FALSE(result.HeaderRejected);
    EXPECT_TRUE(result.Message.empty());
    ASSERT_EQ(FState.Data.Count(), 3u);
    const auto& d = FState.Data;
    EXPECT_EQ(d[0].CoolantTemp, 100);  // 212 °F
    EXPECT_EQ(d[1].CoolantTemp, 0);
    EXPECT_EQ(d[2].CoolantTemp, 10);
    EXPECT_EQ(d[0].AirTemp, 25);
    EXPECT_EQ(d[1].IgnAdvance, 11);
    EXPECT_EQ(d[1].ThrottleSwitch, 2);
    EXPECT_EQ(d[2].KnockCount, 2);
    EXPECT_EQ(d[1].KnockRetard[0], MissingValue);  // KR1 11.9
    EXPECT_EQ(d[1].KnockRetard[2], 11.8);          // KR3 11.8
    EXPECT_EQ(d[2].KnockRetard[0], 0.5);
    EXPECT_EQ(d[0].KnockRetard[1], MissingValue);  // no KR2 column
    EXPECT_EQ(d[0].Flappy, MissingInteger);
    EXPECT_EQ(d[0].MapPressure, MissingValue);
    EXPECT_EQ(LineOf(d, d[1]), "0.10\t950\t130\t14.60\t-1.5\t2\t32\t26\t11.0\t1\t11.9\t11.8");
    EXPECT_EQ(d.HeaderLine(d[2]).substr(0, 13), "Time [s]\tRPM\t");
    EXPECT_EQ(d.FileName(d[0]), path.string());
    EXPECT_EQ(d[0].FirstOfFile, 1);
    EXPECT_EQ(d[1].FirstOfFile, 0);
    EXPECT_EQ(d[0].AfrPresent, 1);
    EXPECT_EQ(d[0].O2Active, 1);  // 2 of 3 samples qualify
    EXPECT_EQ(d[0].Included, 1);
    EXPECT_EQ(d[0].Selected, 0);
    TColumnSet expected{};
    for (int c : {ColTime, ColRpm, ColMafSignal, ColAfr, ColO2Adjust, ColThrottle, ColCoolantTemp, ColAirTemp,
                  ColIgnAdvance, ColKnockCount, ColKnockRetard})
        expected[c] = 1;
    EXPECT_EQ(FState.ColumnPresent, expected);
    EXPECT_EQ(CaptionText(FState.OpenFiles, ""), "Kelvane    [logs: DeviceLog]");
}

TEST_F(LogFileReaderTest, DecimalSeparatorIsChosenPerFile) {
    ASSERT_TRUE(Load(std::filesystem::path(KELVANE_FIXTURES) / "logs" / "CommaLog.txt").Loaded);
    ASSERT_TRUE(
        Load(Write("dot.txt", MafHeader + "\n0.5\t900\t120.5\t14.70\n0.6\t900\t120.5\t14,70\n")).Loaded);
    // A comma anywhere in the first data line makes the whole file a comma file.
    ASSERT_TRUE(Load(Write("late.txt", MafHeader + "\n0\t900\t120.5\t14,7\n0.1\t900\t121,5\t14,7\n")).Loaded);
    ASSERT_EQ(FState.Data.Count(), 5u);
    const auto& d = FState.Data;
    EXPECT_EQ(d[0].MafSignal, 120.5);
    EXPECT_EQ(d[0].Afr, 14.7);
    EXPECT_EQ(d[1].Afr, 0);  // "14.60" in a comma file
    EXPECT_EQ(d[2].MafSignal, 120.5);
    EXPECT_EQ(d[2].TimeSec, 0.5);
    EXPECT_EQ(d[2].Afr, 14.7);
    EXPECT_EQ(d[3].Afr, 0);  // "14,70" in a dot file
    EXPECT_EQ(d[4].MafSignal, 121.5);
    EXPECT_EQ(d[4].TimeSec, 0);  // "0.1" in a comma file; its first line ("120.5") was dropped
}

TEST_F(LogFileReaderTest, LineEndsCrLfCrOrLf) {
    for (const char* end : {"\r\n", "\r", "\n"}) {
        TLogState state;
        const std::string bytes =
            MafHeader + end + end + " \t" + end + "0\t900\t120\t14.7" + end + "0.1\t901\t121\t14.8" + end;
        const auto path = Write("ends.txt", bytes);
        ASSERT_TRUE(LoadLogFile(state, path, {}).Loaded);
        ASSERT_EQ(state.Data.Count(), 2u);
        EXPECT_EQ(LineOf(state.Data, state.Data[0]), "0\t900\t120\t14.7");
        EXPECT_EQ(LineOf(state.Data, state.Data[1]), "0.1\t901\t121\t14.8");
        EXPECT_EQ(state.Data.HeaderLine(state.Data[1]), MafHeader);
        EXPECT_EQ(state.Data[1].MafSignal, 121);
    }
}

TEST_F(LogFileReaderTest, FilesWithoutDataAddNothingAndSaySo) {
    ASSERT_TRUE(Load(Write("first.txt", Lines(2))).Loaded);
    // What a logger leaves after a power cut is all NUL bytes.
    for (const std::string& bytes :
         {std::string(), MafHeader, MafHeader + "\r\n", MafHeader + "\r\n\r\n  \t \r\n\t\r\n",
          std::string("Garbage only"), std::string(4096, '\0')}) {
        const TLoadLogResult result = Load(Write("empty.txt", bytes));
        EXPECT_FALSE(result.Loaded);
        EXPECT_FALSE(result.HeaderRejected);
        EXPECT_TRUE(result.NoData);
        EXPECT_EQ(NotLoadedMessage(FFolder.Path() / "empty.txt", result), "empty.txt holds no log data");
        EXPECT_EQ(FState.Data.Count(), 2u);
        EXPECT_EQ(FState.OpenFiles.Count(), 1u);
        EXPECT_FALSE(result.NothingRead());
        EXPECT_EQ(SkippedLinesMessage(FFolder.Path() / "empty.txt", result), "");
    }
}

TEST_F(LogFileReaderTest, RejectedHeaderKeepsItsColumnFlagsAndAddsNoSample) {
    const TLoadLogResult result =
        Load(Write("bad.txt", "Time [s]\tMAF signal\tMAP [kPa]\r\n0\t100\t100\r\n"));
    EXPECT_FALSE(result.Loaded);
    EXPECT_TRUE(result.HeaderRejected);
    EXPECT_EQ(result.Message,
              "The following headers were not found in the log file: \"RPM\", \"A/F ratio\"\n"
              "Logs must include Time, RPM, MAF-signal and AFR.");
    EXPECT_TRUE(FState.Data.Empty());
    EXPECT_TRUE(FState.Data.Files.empty());
    EXPECT_EQ(FState.OpenFiles.Count(), 0u);
    EXPECT_FALSE(result.NothingRead());  // the header's own box says it all
    EXPECT_EQ(SkippedLinesMessage(FFolder.Path() / "bad.txt", result), "");
    EXPECT_EQ(FState.ColumnPresent[ColMapPressure], 1);
    EXPECT_EQ(FState.ColumnPresent[ColMafSignal], 1);
    EXPECT_EQ(FState.ColumnPresent[ColRpm], 0);
}

TEST_F(LogFileReaderTest, UnreadableFileSaysWhyAndKeepsTheList) {
    ASSERT_TRUE(Load(Write("a.txt", Lines(3))).Loaded);
    std::filesystem::create_directory(FFolder.Path() / "folder.txt");
    const struct {
        const char* Name;
        const char* Message;
    } cases[] = {{"absent.txt", "Cannot read absent.txt: No such file or directory"},
                 {"folder.txt", "Cannot read folder.txt: not a regular file"}};
    for (const auto& c : cases) {
        const TLoadLogResult result = Load(FFolder.Path() / c.Name);
        EXPECT_FALSE(result.Loaded);
        EXPECT_FALSE(result.HeaderRejected);
        EXPECT_TRUE(result.Unreadable);
        EXPECT_EQ(NotLoadedMessage(FFolder.Path() / c.Name, result), c.Message);
        EXPECT_EQ(FState.Data.Count(), 3u);
    }
    EXPECT_EQ(NotLoadedMessage(FFolder.Path() / "a.txt", Load(Write("b.txt", Lines(3)))), "");
}

struct TDropCase {
    const char* Header;
    const char* Line;
    bool Kept;
};

TEST_F(LogFileReaderTest, RpmAndLoadRangeDrops) {
    const TDropCase cases[] = {
        {"Time [s]\tRPM\tMAF signal\tA/F ratio", "0\t0.1\t200\t14", false},
        {"Time [s]\tRPM\tMAF signal\tA/F ratio", "0\t10000\t200\t14", false},
        {"Time [s]\tRPM\tMAF signal\tA/F ratio", "0\t0.11\t200\t14", true},
        {"Time [s]\tRPM\tMAF signal\tA/F ratio", "0\t9999.9\t200\t14", true},
        {"Time [s]\tRPM\tMAF signal\tA/F ratio", "0\t900\t0\t14", false},
        {"Time [s]\tRPM\tMAF signal\tA/F ratio", "0\t900\t10000\t14", false},
        {"Time [s]\tRPM\tMAF signal\tA/F ratio", "0\t900\t0.11\t14", true},
        {"Time [s]\tRPM\tMAF signal\tMAP [kPa]\tA/F ratio", "0\t900\t0\t100\t14", true},
        {"Time [s]\tRPM\tMAF signal\tMAP [kPa]\tA/F ratio", "0\t900\t0\t1000\t14", false},
        {"Time [s]\tRPM\tMAF signal\tMAP [kPa]\tA/F ratio", "0\t900\t0\t0.1\t14", false},
        // Load from "Load [%]" alone: no MAF/MAP range test, the RPM test still holds.
        {"Time [s]\tRPM\tLoad [%]\tA/F ratio", "0\t900\t50\t14", true},
        {"Time [s]\tRPM\tLoad [%]\tA/F ratio", "0\t0\t50\t14", false},
        // MAP without MAF signal: the missing MAF fails, MAP in range rescues.
        {"Time [s]\tRPM\tMAP [kPa]\tLoad [%]\tA/F ratio", "0\t900\t100\t50\t14", true},
        {"Time [s]\tRPM\tMAP [kPa]\tLoad [%]\tA/F ratio", "0\t900\t0\t50\t14", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Header) + " | " + c.Line);
        TLogState state;
        ASSERT_TRUE(
            LoadLogFile(state, Write("drop.txt", std::string(c.Header) + "\r\n" + c.Line + "\r\n"), {})
                .Loaded);
        EXPECT_EQ(state.Data.Count(), c.Kept ? 1u : 0u);
    }
}

struct TSkipCase {
    const char* Name;
    std::string Bytes;
    std::size_t Read, OutOfRange, Unreadable;
    bool NothingRead;
    const char* Message;
};

TEST_F(LogFileReaderTest, SkippedLinesAreCountedByReasonAndNamed) {
    const std::string mafMap = "Time [s]\tRPM\tMAF signal\tMAP [kPa]\tA/F ratio\n";
    const TSkipCase cases[] = {
        {"Run3.txt", MafHeader + "\n0\t0\t200\t14\n0.1\t12000\t200\t14\n0.2\t900\t0\t14\n", 3, 3, 0, true,
         "Run3.txt: 3 of 3 data lines skipped: RPM or load out of range"},
        {"text.txt", MafHeader + "\n0\tidle\t200\t14\n0.1\t900\t\t14\n0.2\n", 3, 0, 3, true,
         "text.txt: 3 of 3 data lines skipped: no readable RPM or load value"},
        {"mixed.txt",
         MafHeader + "\n0\t900\t200\t14\n0.1\t900\t20000\t14\n0.2\t900\tx\t14\n0.3\t1e3\t200\t14\n", 4, 1, 2,
         false,
         "mixed.txt: 3 of 4 data lines skipped: 1 with RPM or load out of range, 2 with no readable RPM or "
         "load value"},
        {"one.txt", MafHeader + "\n0\t-5\t200\t14\n", 1, 1, 0, true,
         "one.txt: 1 of 1 data line skipped: RPM or load out of range"},
        {"clean.txt", MafHeader + "\n0\t900\t200\t14\n0.1\t900\t200\t14\n", 2, 0, 0, false, ""},
        // A readable MAP counts as a load value even when the MAF signal has none.
        {"map.txt", mafMap + "0\t900\tx\t2000\t14\n0.1\t900\tx\t\t14\n0.2\t900\tx\t100\t14\n", 3, 1, 1, false,
         "map.txt: 2 of 3 data lines skipped: 1 with RPM or load out of range, 1 with no readable RPM or "
         "load value"},
        // "Load [%]" alone is not range-tested, RPM still is.
        {"ign.txt", "Time [s]\tRPM\tLoad [%]\tA/F ratio\n0\t0\tx\t14\n0.1\t900\tx\t14\n", 2, 1, 0, false,
         "ign.txt: 1 of 2 data lines skipped: RPM or load out of range"},
        // A comma file reads "950.5" as no number.
        {"comma.txt", MafHeader + "\n0\t900\t200,5\t14\n0,1\t950.5\t200\t14\n", 2, 0, 1, false,
         "comma.txt: 1 of 2 data lines skipped: no readable RPM or load value"},
    };
    for (const bool withProgress : {false, true})
        for (const TSkipCase& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (withProgress ? " with progress" : ""));
            TLogState state;
            TLoadLogOptions options;
            if (withProgress) options.Progress = [](std::uint64_t, std::uint64_t) { return true; };
            const auto path = Write(c.Name, c.Bytes);
            const TLoadLogResult result = LoadLogFile(state, path, options);
            ASSERT_TRUE(result.Loaded);
            EXPECT_EQ(result.Lines.Read, c.Read);
            EXPECT_EQ(result.Lines.OutOfRange, c.OutOfRange);
            EXPECT_EQ(result.Lines.Unreadable, c.Unreadable);
            EXPECT_EQ(result.SamplesAdded, c.Read - c.OutOfRange - c.Unreadable);
            EXPECT_EQ(state.Data.Count(), result.SamplesAdded);
            EXPECT_EQ(result.NothingRead(), c.NothingRead);
            EXPECT_EQ(SkippedLinesMessage(path, result), c.Message);
        }
}

TEST_F(LogFileReaderTest, FirstOfFileIsSpentOnADroppedLine) {
    ASSERT_TRUE(
        Load(Write("a.txt", MafHeader + "\n0\t0\t200\t14\n0.1\t900\t200\t14\n0.2\t901\t200\t14\n")).Loaded);
    ASSERT_EQ(FState.Data.Count(), 2u);
    EXPECT_EQ(FState.Data[0].FirstOfFile, 0);
    EXPECT_EQ(FState.Data[1].FirstOfFile, 0);
}

TEST_F(LogFileReaderTest, TruncatedLastLineAndShortLines) {
    const std::string bytes =
        "Time [s]\tRPM\tMAF signal\tA/F ratio\tThrottle pos (1=idle, 2=cruise, 3=WOT)\tKR1\r\n"
        "0\t900\t200\t14.5\t2\t1.5\t99\t99\r\n"  // extra fields are ignored
        "0.1\t910\t210\r\n"
        "0.2\t920\t2";  // cut off mid-field, no line end
    ASSERT_TRUE(Load(Write("cut.txt", bytes)).Loaded);
    ASSERT_EQ(FState.Data.Count(), 3u);
    const auto& d = FState.Data;
    EXPECT_EQ(d[0].KnockRetard[0], 1.5);
    EXPECT_EQ(d[1].MafSignal, 210);
    EXPECT_EQ(d[1].Afr, MissingValue);
    EXPECT_EQ(d[1].ThrottleSwitch, MissingInteger);
    EXPECT_EQ(d[1].KnockRetard[0], MissingValue);
    EXPECT_EQ(d[2].Rpm, 920);
    EXPECT_EQ(d[2].MafSignal, 2);
    EXPECT_EQ(d[2].Afr, MissingValue);
    EXPECT_EQ(LineOf(d, d[2]), "0.2\t920\t2");
    EXPECT_EQ(LineOf(d, d[1]), "0.1\t910\t210");
}

TEST_F(LogFileReaderTest, EmptyFieldReadsZero) {
    ASSERT_TRUE(
        Load(Write("e.txt", "Time [s]\tRPM\tMAF signal\tA/F ratio\tKnock count\n0\t900\t200\t\t\n")).Loaded);
    ASSERT_EQ(FState.Data.Count(), 1u);
    EXPECT_EQ(FState.Data[0].Afr, 0);
    EXPECT_EQ(FState.Data[0].KnockCount, 0);
}

// 200 samples, of which `qualifying` show real O2 adjustment; each other one fails one test.
std::string O2Log(int qualifying) {
    struct TRow {
        const char *Rpm, *Afr, *O2, *Throttle;
    };
    const TRow passing{"1299", "16.9", "-24.9", "1"};  // idle below 1300 rpm still counts
    const TRow failing[] = {{"1300", "14", "0", "2"},
                            {"1300", "17", "5", "2"},
                            {"1300", "14", "5", "1"},
                            {"1300", "14", "25", "2"},
                            {"100", "14", "5", "2"}};
    std::string out =
        "Time [s]\tRPM\tMAF signal\tA/F ratio\tO2 sensor adj [%]\tThrottle pos (1=idle, 2=cruise, 3=WOT)\n";
    for (int i = 0; i < 200; ++i) {
        const TRow& r = i < qualifying ? passing : failing[i % 5];
        out += std::to_string(i * 0.1) + "\t" + r.Rpm + "\t200\t" + r.Afr + "\t" + r.O2 + "\t" + r.Throttle +
               "\n";
    }
    return out;
}

TEST_F(LogFileReaderTest, O2ActiveNeedsMoreThanOnePercent) {
    for (const auto& [qualifying, active] : {std::pair{2, 0}, std::pair{3, 1}}) {
        TLogState state;
        ASSERT_TRUE(LoadLogFile(state, Write("o2.txt", O2Log(qualifying)), {}).Loaded);
        ASSERT_EQ(state.Data.Count(), 200u);
        for (const auto& e : state.Data.Entries) ASSERT_EQ(e.O2Active, active) << qualifying;
    }
}

TEST_F(LogFileReaderTest, O2ActiveIsPerFile) {
    ASSERT_TRUE(Load(Write("a.txt", O2Log(3))).Loaded);
    ASSERT_TRUE(Load(Write("b.txt", O2Log(2))).Loaded);
    ASSERT_EQ(FState.Data.Count(), 400u);
    EXPECT_EQ(FState.Data[199].O2Active, 1);
    EXPECT_EQ(FState.Data[200].O2Active, 0);
}

TEST_F(LogFileReaderTest, AfrPresentNeedsTheColumnAndTwoSamples) {
    ASSERT_TRUE(Load(Write("one.txt", MafHeader + "\n0\t900\t200\t14\n")).Loaded);
    ASSERT_TRUE(Load(Write("two.txt", MafHeader + "\n0\t900\t200\t14\n0.1\t900\t200\t14\n")).Loaded);
    ASSERT_TRUE(
        Load(Write("o2only.txt",
                   "Time [s]\tRPM\tMAF signal\tO2 sensor adj [%]\n0\t900\t200\t1\n0.1\t900\t200\t1\n"))
            .Loaded);
    ASSERT_EQ(FState.Data.Count(), 5u);
    const std::uint8_t expected[] = {0, 1, 1, 0, 0};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(FState.Data[i].AfrPresent, expected[i]) << i;
}

TEST_F(LogFileReaderTest, TimeLineContinuesAcrossFiles) {
    ASSERT_TRUE(Load(Write("a.txt", Lines(3, 5.0))).Loaded);  // 5.0 .. 5.2 s
    ASSERT_TRUE(Load(Write("b.txt", Lines(2, 1.0))).Loaded);
    const auto& d = FState.Data;
    ASSERT_EQ(d.Count(), 5u);
    EXPECT_DOUBLE_EQ(d[0].TimeStamp, 5.0 / 86400);
    EXPECT_DOUBLE_EQ(d[2].TimeStamp, 5.2 / 86400);
    const double base = d[2].TimeStamp + 1.1574074074074074e-06;
    EXPECT_DOUBLE_EQ(d[3].TimeStamp, base + 1.0 * 1.1574074074074073e-05);
    EXPECT_DOUBLE_EQ(d[4].TimeStamp, base + 1.1 * 1.1574074074074073e-05);
    EXPECT_EQ(d[3].TimeSec, 1.0);
    EXPECT_EQ(d[3].FirstOfFile, 1);
    EXPECT_EQ(d[3].File, 1u);
}

TEST_F(LogFileReaderTest, ReadingAFileAgainReplacesItsSamplesAtTheEnd) {
    const auto a = Write("a.txt", Lines(3));
    ASSERT_TRUE(Load(a).Loaded);
    ASSERT_TRUE(Load(Write("b.txt", Lines(2, 0))).Loaded);
    std::ofstream(a, std::ios::binary | std::ios::app) << "0.3\t1003\t200\t14.7\r\n";
    ASSERT_TRUE(Load(a).Loaded);
    EXPECT_EQ(Rpms(), (std::vector<double>{1000, 1001, 1000, 1001, 1002, 1003}));
    ASSERT_EQ(FState.Data.Files.size(), 2u);
    EXPECT_EQ(FState.Data.FileName(FState.Data[0]), (FFolder.Path() / "b.txt").string());
    EXPECT_EQ(FState.Data.FileName(FState.Data[5]), a.string());
    EXPECT_EQ(LineOf(FState.Data, FState.Data[5]), "0.3\t1003\t200\t14.7");
    ASSERT_EQ(FState.OpenFiles.Count(), 2u);
    EXPECT_EQ(FState.OpenFiles.Name(1), a.string());
    EXPECT_EQ(FState.OpenFiles.ValueAt(1).substr(0, FState.OpenFiles.ValueAt(1).find(';')),
              std::to_string(std::filesystem::file_size(a)));
    // The re-read file's time line follows the other file.
    EXPECT_GT(FState.Data[2].TimeStamp, FState.Data[1].TimeStamp);
}

TEST_F(LogFileReaderTest, NamesDifferingOnlyInCaseAreOneFileOnlyWhereTheFileSystemSaysSo) {
    // Two real files on a file system that keeps case apart (as the test folder's is).
    const auto upper = Write("A.txt", Lines(3));
    const auto lower = Write("a.txt", Lines(2, 0));
    if (std::distance(std::filesystem::directory_iterator(FFolder.Path()), {}) != 2)
        GTEST_SKIP() << "the test folder's file system takes A.txt and a.txt for one file";
    for (const bool ignoreCase : {false, true})
        for (const bool withProgress : {false, true}) {
            SCOPED_TRACE(std::string(ignoreCase ? "ignoring case" : "exact") +
                         (withProgress ? ", with progress" : ""));
            const TFileNameCaseRule rule(ignoreCase);
            TLogState state;
            TLoadLogOptions options;
            if (withProgress) options.Progress = [](std::uint64_t, std::uint64_t) { return true; };
            ASSERT_TRUE(LoadLogFile(state, upper, options).Loaded);
            const TLoadLogResult result = LoadLogFile(state, lower, options);
            ASSERT_TRUE(result.Loaded);
            if (ignoreCase) {
                // Where names ignore case the second name is the first file read again.
                EXPECT_EQ(state.Data.Count(), 2u);
                EXPECT_EQ(state.OpenFiles.Count(), 1u);
            } else {
                ASSERT_EQ(state.Data.Count(), 5u);
                EXPECT_EQ(state.Data.FileName(state.Data[0]), upper.string());
                EXPECT_EQ(state.Data.FileName(state.Data[4]), lower.string());
                ASSERT_EQ(state.OpenFiles.Count(), 2u);
                EXPECT_EQ(state.OpenFiles.Name(0), upper.string());
                EXPECT_EQ(state.OpenFiles.Name(1), lower.string());
                // Removing one of them leaves the other's samples.
                EXPECT_TRUE(RemoveLogFile(state, lower.string()));
                EXPECT_EQ(state.Data.Count(), 3u);
                EXPECT_EQ(state.OpenFiles.IndexOf(upper.string()), 0);
            }
        }
}

TEST_F(LogFileReaderTest, RemoveLogFileRelinksAndRenumbersFiles) {
    const TFileNameCaseRule rule(true);  // so that the upper-case name finds the file
    const auto a = Write("a.txt", Lines(2)), b = Write("b.txt", Lines(3)), c = Write("c.txt", Lines(1));
    ASSERT_TRUE(Load(a).Loaded && Load(b).Loaded && Load(c).Loaded);
    std::string upper = b.string();
    for (auto& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_TRUE(RemoveLogFile(FState, upper));
    const auto& d = FState.Data;
    EXPECT_EQ(Rpms(), (std::vector<double>{1000, 1001, 1000}));
    ASSERT_EQ(d.Files.size(), 2u);
    EXPECT_EQ(d[2].File, 1u);
    EXPECT_EQ(d.FileName(d[2]), c.string());
    EXPECT_EQ(LineOf(d, d[2]), "0.000000\t1000\t200\t14.7");
    EXPECT_EQ(d.Next(1), std::optional<std::size_t>(2));
    EXPECT_EQ(d.Prev(2), std::optional<std::size_t>(1));
    EXPECT_EQ(FState.OpenFiles.Count(), 2u);
    EXPECT_EQ(FState.OpenFiles.IndexOf(b.string()), -1);
    EXPECT_FALSE(RemoveLogFile(FState, b.string()));
}

TEST_F(LogFileReaderTest, SmoothingAndPlotMafRunOverTheWholeList) {
    ASSERT_TRUE(
        Load(Write("a.txt", MafHeader + "\n0\t900\t92\t14\n0.1\t900\t1972\t15\n"), TLHConfig::Map).Loaded);
    EXPECT_EQ(FState.Data[0].PlotMaf, 22);
    EXPECT_EQ(FState.Data[1].PlotMaf, 243);
    EXPECT_DOUBLE_EQ(FState.Data[0].SmoothedAfr, (14 + 0.538 * 15) / 1.538);
    // The next load recomputes PlotMaf of every sample for the configuration it is given.
    ASSERT_TRUE(Load(Write("b.txt", Lines(1)), TLHConfig::Maf).Loaded);
    EXPECT_EQ(FState.Data[0].PlotMaf, 92);
    EXPECT_DOUBLE_EQ(FState.Data[1].SmoothedAfr, (0.538 * 14 + 15 + 0.538 * 14.7) / 2.076);
}

TEST_F(LogFileReaderTest, CaptionNamesSessionAndFiles) {
    ASSERT_TRUE(Load(Write("Run1.txt", Lines(2))).Loaded);
    EXPECT_EQ(CaptionText(FState.OpenFiles, "Track day"),
              "Kelvane    [Track day / " + FFolder.Path().filename().string() + ": Run1]");
}

TEST_F(LogFileReaderTest, ClearLogStateEmptiesEverything) {
    ASSERT_TRUE(Load(Write("a.txt", Lines(2))).Loaded);
    ClearLogState(FState);
    EXPECT_TRUE(FState.Data.Empty());
    EXPECT_TRUE(FState.Data.Files.empty());
    EXPECT_EQ(FState.OpenFiles.Count(), 0u);
    EXPECT_EQ(FState.ColumnPresent, TColumnSet{});
}

TEST(OpenFileValueTest, SizeAndStableDateTime) {
    const auto time = std::chrono::file_clock::from_sys(
        std::chrono::sys_days{std::chrono::year{2024} / 3 / 5} + std::chrono::hours{7} +
        std::chrono::minutes{8} + std::chrono::seconds{9} + std::chrono::milliseconds{250});
    EXPECT_EQ(OpenFileValue(1234, time), "1234;2024-03-05 07:08:09.250000000");
}

}  // namespace
}  // namespace kelvane
