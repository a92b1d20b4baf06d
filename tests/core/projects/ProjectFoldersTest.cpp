#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "core/logdata/LogFileReader.h"
#include "core/projects/ProjectFolders.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

struct TNamingCase {
    std::vector<std::string> Existing;
    std::string Asked;
    std::string Expected;
};

class SessionNamingTest : public ::testing::TestWithParam<TNamingCase> {};

TEST_P(SessionNamingTest, TheFirstFreeNumberIsTaken) {
    TTempFolder project;
    for (const std::string& name : GetParam().Existing) fs::create_directory(project.Path() / name);
    EXPECT_EQ(UniqueSessionName(project.Path(), GetParam().Asked), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SessionNamingTest,
    ::testing::Values(TNamingCase{{}, "2024-05-01", "2024-05-01"},
                      TNamingCase{{"2024-05-01"}, "2024-05-01", "2024-05-01 #2"},
                      TNamingCase{
                          {"2024-05-01", "2024-05-01 #2", "2024-05-01 #3", "2024-05-01 #4", "2024-05-01 #5"},
                          "2024-05-01",
                          "2024-05-01 #6"},
                      // A gap is filled first.
                      TNamingCase{{"2024-05-01", "2024-05-01 #5"}, "2024-05-01", "2024-05-01 #2"},
                      // A name that carries a number counts on from it.
                      TNamingCase{{"2024-05-01 #3"}, "2024-05-01 #3", "2024-05-01 #4"}));

// A name cut short at a NUL names a folder that exists whatever number follows:
// the search must end, with no name.
TEST(SessionNameTest, NamesWithControlCharactersGetNoNumberedName) {
    TTempFolder project;
    fs::create_directory(project.Path() / "2024-05-01");
    EXPECT_EQ(UniqueSessionName(project.Path(), std::string("2024-05-01\0x", 12)), "");
    EXPECT_EQ(UniqueSessionName(project.Path(), "2024-05-01\x01"), "");
    EXPECT_EQ(UniqueSessionName(project.Path(), "2024-05-01"), "2024-05-01 #2");
}

// The new folder's entry in the project folder is made durable once it is there.
TEST(SessionNameTest, ANewSessionFolderIsFlushedIntoItsProject) {
    TTempFolder project;
    std::vector<fs::path> flushed;
    bool madeBeforeFlush = false;
    const auto flush = [&](const fs::path& folder) {
        flushed.push_back(folder);
        madeBeforeFlush = fs::is_directory(project.Path() / "Track day");
    };
    std::string error;
    ASSERT_TRUE(CreateSessionFolder(project.Path(), "Track day", error, flush)) << error;
    EXPECT_EQ(flushed, (std::vector<fs::path>{project.Path()}));
    EXPECT_TRUE(madeBeforeFlush);

    WriteText(project.Path() / "file", "x");
    flushed.clear();
    EXPECT_FALSE(CreateSessionFolder(project.Path() / "file", "x", error, flush));
    EXPECT_EQ(error, "Not a directory");
    EXPECT_TRUE(flushed.empty());
    EXPECT_TRUE(CreateSessionFolder(project.Path(), "Plain flush", error));
    EXPECT_TRUE(fs::is_directory(project.Path() / "Plain flush"));
}

TEST(SessionNameTest, DateNamesArePadded) {
    EXPECT_EQ(DateSessionName(2024, 5, 1), "2024-05-01");
    EXPECT_EQ(DateSessionName(2025, 12, 31), "2025-12-31");
    EXPECT_EQ(TodaySessionName().size(), 10u);
}

TEST(SessionNameTest, TypedNamesAreCheckedWithAMessageForEachFault) {
    TTempFolder project;
    fs::create_directory(project.Path() / "Taken");
    struct TCase {
        std::string Name;
        TSessionNameCheck Expected;
    };
    for (const TCase& c :
         {TCase{"", TSessionNameCheck::Empty}, TCase{"a/b", TSessionNameCheck::BadCharacters},
          TCase{"a\\b", TSessionNameCheck::BadCharacters}, TCase{"what?", TSessionNameCheck::BadCharacters},
          TCase{"..", TSessionNameCheck::DotName}, TCase{".", TSessionNameCheck::DotName},
          TCase{"Taken", TSessionNameCheck::Exists}, TCase{"Track day", TSessionNameCheck::Ok},
          TCase{"a..b", TSessionNameCheck::Ok},
          TCase{std::string("Taken\0x", 7), TSessionNameCheck::BadCharacters},
          TCase{std::string("day\0", 4), TSessionNameCheck::BadCharacters},
          TCase{"tab\there", TSessionNameCheck::BadCharacters},
          TCase{"bell\a", TSessionNameCheck::BadCharacters},
          TCase{"del\x7F", TSessionNameCheck::BadCharacters}, TCase{"Caf\xC3\xA9", TSessionNameCheck::Ok}})
        EXPECT_EQ(CheckSessionName(project.Path(), c.Name), c.Expected) << testing::PrintToString(c.Name);
    EXPECT_EQ(SessionNameRetryPrompt(TSessionNameCheck::BadCharacters),
              "Session name (avoid the characters /\\:*?\"<>|)");
    EXPECT_EQ(SessionNameRetryPrompt(TSessionNameCheck::Exists), "Duplicate name! New session name:");
    EXPECT_NE(SessionNameRetryPrompt(TSessionNameCheck::DotName).find(".."), std::string::npos);
}

struct TOrderCase {
    std::vector<std::string> Names;
    std::vector<std::string> Sorted;
};

class NameOrderTest : public ::testing::TestWithParam<TOrderCase> {};

TEST_P(NameOrderTest, ListsAreSortedByTheNameRule) {
    std::vector<std::string> names = GetParam().Names;
    SortNames(names);
    EXPECT_EQ(names, GetParam().Sorted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameOrderTest,
    ::testing::Values(
        TOrderCase{{"Run1.txt", "Run10.txt", "Run2.txt"}, {"Run1.txt", "Run2.txt", "Run10.txt"}},
        // Blanks count for nothing: "Run 7" sorts as "Run07".
        TOrderCase{{"Run10.txt", "Run 7.txt", "Run2.txt"}, {"Run2.txt", "Run 7.txt", "Run10.txt"}},
        // "#" sorts after the letters, so numbered sessions follow their day.
        TOrderCase{{"2024-05-01 #2", "2024-05-01b", "2024-05-01"},
                   {"2024-05-01", "2024-05-01b", "2024-05-01 #2"}},
        TOrderCase{{"2024-05-01 #3", "2024-05-01 #2"}, {"2024-05-01 #2", "2024-05-01 #3"}},
        // Alphabet order, a small letter before its capital.
        TOrderCase{{"b", "B", "a", "A"}, {"a", "A", "b", "B"}},
        TOrderCase{{"Track'day", "Trackday2"}, {"Track'day", "Trackday2"}}));

TEST(LogFileNameTest, LogsAreTxtFilesNamingRunAndTheWorkerWatchesRunFirst) {
    struct TCase {
        const char* Name;
        bool Log;
        bool Watched;
    };
    for (const TCase& c : {TCase{"Run1.txt", true, true}, TCase{"run1.TXT", true, true},
                           TCase{"TestRun.txt", true, false}, TCase{"Run1.csv", false, false},
                           TCase{"Base fuel map.txt", false, false}, TCase{"Run", false, false}}) {
        EXPECT_EQ(IsLogFileName(c.Name), c.Log) << c.Name;
        EXPECT_EQ(IsWatchedLogName(c.Name), c.Watched) << c.Name;
    }
}

TEST(ProjectFolderTest, AProjectHoldsASessionFolderWithLogs) {
    TTempFolder root;
    const fs::path project = root.Path() / "Volvo";
    fs::create_directories(project / "2024-05-01");
    fs::create_directories(project / "Empty");
    EXPECT_FALSE(IsProjectFolder(project));
    WriteText(project / "2024-05-01" / "Run1.txt", "x");
    EXPECT_TRUE(HoldsLogs(project / "2024-05-01"));
    EXPECT_FALSE(HoldsLogs(project / "Empty"));
    EXPECT_TRUE(IsProjectFolder(project));
    EXPECT_FALSE(IsProjectFolder(project / "2024-05-01"));
    EXPECT_EQ(SessionNames(project), (std::vector<std::string>{"2024-05-01", "Empty"}));
}

TEST(ProjectFolderTest, SessionLogsAreListedInNameOrder) {
    TTempFolder session;
    for (const char* name : {"Run10.txt", "Run2.txt", "Run1.txt", "Base fuel map.txt", "Run3.csv"})
        WriteText(session.Path() / name, "x");
    fs::create_directory(session.Path() / "Run4.txt");  // a folder is no log
    EXPECT_EQ(SessionLogNames(session.Path()),
              (std::vector<std::string>{"Run1.txt", "Run2.txt", "Run10.txt"}));
}

// A session folder that cannot be read is not an empty one: the listing says why.
TEST(SessionFolderTest, AnUnreadableFolderIsToldNotListedAsEmpty) {
#ifdef _WIN32
    GTEST_SKIP() << "the reasons are the POSIX system texts, and folder permissions are POSIX";
#else
    TTempFolder project;
    const fs::path file = project.Path() / "not a folder";
    WriteText(file, "x");
    const fs::path empty = project.Path() / "empty";
    fs::create_directory(empty);
    struct TCase {
        fs::path Folder;
        std::string Failure;  // empty: none
    };
    std::vector<TCase> cases = {
        {file, "Cannot read the folder " + file.string() + ": Not a directory"},
        {project.Path() / "gone",
         "Cannot read the folder " + (project.Path() / "gone").string() + ": No such file or directory"},
        {empty, ""},
    };
    const fs::path locked = project.Path() / "locked";
    if (::geteuid() != 0) {  // the superuser reads any folder
        fs::create_directory(locked);
        fs::permissions(locked, fs::perms::none);
        cases.push_back({locked, "Cannot read the folder " + locked.string() + ": Permission denied"});
    }
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Folder.string());
        std::string failure;
        EXPECT_TRUE(SessionLogNames(c.Folder, &failure).empty());
        EXPECT_EQ(failure, c.Failure);
        failure.clear();
        EXPECT_TRUE(FolderFileNames(c.Folder, &failure).empty());
        EXPECT_EQ(failure, c.Failure);
    }
    if (fs::exists(locked)) fs::permissions(locked, fs::perms::owner_all);
#endif
}

TEST(ProjectFolderTest, FolderPathsCompareWithOrWithoutATrailingSeparator) {
    EXPECT_EQ(FolderKey("/a/b/"), FolderKey("/a/b"));
    EXPECT_EQ(FolderName("/a/Volvo/"), "Volvo");
    EXPECT_EQ(SessionPath("/a/Volvo/", "S1"), fs::path("/a/Volvo/S1"));
    EXPECT_TRUE(SessionPath("", "S1").empty());
    EXPECT_TRUE(SessionPath("/a", "").empty());
}

TEST(FileSignatureTest, TheWorkersSignatureIsTheOneTheReaderRecords) {
    TTempFolder folder;
    const fs::path log = folder.Path() / "Run1.txt";
    WriteText(log, "Time [s]\tRPM\tMAF signal\tA/F ratio\n0.1\t1000\t200\t14.0\n");
    TLogState logs;
    ASSERT_TRUE(LoadLogFile(logs, log, {}).Loaded);
    EXPECT_EQ(FileSignature(log), logs.OpenFiles.Value(log.string()));
    EXPECT_TRUE(FileSignature(folder.Path() / "gone.txt").empty());
}

TEST(NameListTest, NamesHoldingSeparatorsAreJoinedBackWhereOnlyTheWholeIsKnown) {
    const std::vector<std::string> files{"Run,1.txt", "Run2.txt", "Run;3.txt", "Run4.txt"};
    const auto known = [&files](const std::string& name) {
        return std::find(files.begin(), files.end(), name) != files.end();
    };
    EXPECT_EQ(SplitNameList("Run,1.txt,Run2.txt; Run;3.txt ,Run4.txt", known), files);
    // Unknown pieces stay as they were split.
    EXPECT_EQ(SplitNameList("a,b;c", known), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(SplitNameList("", known).empty());
}

TEST(OpenFilesKeyTest, NoneTickedStaysNoneAndAllTickedTicksLaterLogsToo) {
    const std::vector<std::string> listed{"Run1.txt", "Run,2.txt", "Run3.txt"};
    struct TCase {
        std::vector<bool> Ticked;
        std::string Stored;
    };
    for (const TCase& c :
         {TCase{{false, false, false}, "<nil>"}, TCase{{true, true, true}, ""},
          TCase{{true, false, true}, "Run1.txt,Run3.txt"}, TCase{{false, true, false}, "Run,2.txt"}}) {
        const std::string stored = OpenFilesKeyText(listed, c.Ticked);
        EXPECT_EQ(stored, c.Stored);
        const auto ticks = TicksFromOpenFilesKey(stored, listed);
        if (c.Stored.empty()) {
            EXPECT_FALSE(ticks.has_value()) << "empty means Select All";
        } else {
            ASSERT_TRUE(ticks.has_value());
            EXPECT_EQ(*ticks, c.Ticked) << stored;
        }
    }
    // A file added later: "all" ticks it, a stored choice does not.
    const std::vector<std::string> more{"Run1.txt", "Run,2.txt", "Run3.txt", "Run4.txt"};
    EXPECT_FALSE(TicksFromOpenFilesKey("", more).has_value());
    EXPECT_EQ(*TicksFromOpenFilesKey("Run1.txt", more), (std::vector<bool>{true, false, false, false}));
    // A name an old version stored that is gone now ticks nothing.
    EXPECT_EQ(*TicksFromOpenFilesKey("Old.txt", listed), (std::vector<bool>{false, false, false}));
}

// Names as files may have them: a blank at the end, a control character, a
// separator, next to names that differ only there.
TEST(OpenFilesKeyTest, EveryNameReadsBackAsWritten) {
    const std::vector<std::string> listed{"Run1.txt",
                                          "Run1.txt ",
                                          " Run2.txt",
                                          "Run\x01"
                                          "3.txt",
                                          "Run;4.txt",
                                          "Run4.txt",
                                          "Run5.txt\t"};
    for (std::size_t picked = 0; picked < listed.size(); ++picked) {
        std::vector<bool> ticked(listed.size(), false);
        ticked[picked] = true;
        ticked[(picked + 3) % listed.size()] = true;
        const std::string stored = OpenFilesKeyText(listed, ticked);
        const auto ticks = TicksFromOpenFilesKey(stored, listed);
        ASSERT_TRUE(ticks.has_value());
        EXPECT_EQ(*ticks, ticked) << testing::PrintToString(stored);
    }
}

// Thousands of names, most of them gone from the folder (the list then reads in
// steps: each unknown piece is tried with as many after it as a name can hold).
TEST(OpenFilesKeyTest, ManyNamesReadBackWhetherListedOrNot) {
    std::vector<std::string> listed, stored;
    std::vector<bool> expected;
    for (int i = 0; i < 8000; ++i) {
        const std::string name = "Run" + std::to_string(i) + (i % 97 == 0 ? ",a.txt" : ".txt");
        stored.push_back(i % 3 == 0 ? "Gone" + std::to_string(i) + ".txt" : name);
        if (i % 2 == 0) {
            listed.push_back(name);
            expected.push_back(i % 3 != 0);
        }
    }
    std::string text;
    for (const std::string& name : stored) text += (text.empty() ? "" : ",") + name;
    const auto ticks = TicksFromOpenFilesKey(text, listed);
    ASSERT_TRUE(ticks.has_value());
    EXPECT_TRUE(*ticks == expected);
}

}  // namespace
}  // namespace kelvane
