#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ground/AtomicFile.h"
#include "core/ground/FileDefs.h"
#include "core/ground/ProgramVersion.h"
#include "support/TempFolder.h"
#include "support/TestProcess.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

void WriteRaw(const fs::path& path, const std::string& bytes) {
    ASSERT_TRUE(WriteFileAtomically(path, bytes));
}

std::string ReadRaw(const fs::path& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes));
    return bytes;
}

// A local wall-clock time, as the user's clock shows it.
TDateTime LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

void SetModified(const fs::path& path, std::chrono::seconds offset) {
    fs::last_write_time(path, fs::file_time_type::clock::now() + offset);
}

// ---- Line reading ----

struct TLineCase {
    std::string Bytes;
    Lines Expected;
};

TEST(ReadFileLinesTest, SplitsAtCarriageReturnsOnly) {
    const std::vector<TLineCase> cases = {
        {"a\r\nb\r", {"a", "b"}},
        {"a\nb", {"a\nb"}},  // a lone LF stays inside its line
        {"", {}},
        {"x", {"x"}},
        {"\r\n", {""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\r\n\nb\r\n", {"a", "\nb"}},  // only one LF after a CR is dropped
        {"a\rb", {"a", "b"}},
        {"\r\n\r\nz", {"", "", "z"}},
    };
    TTempFolder folder;
    const fs::path path = folder.Path() / "lines.txt";
    for (const TLineCase& c : cases) {
        WriteRaw(path, c.Bytes);
        Lines lines{"stale"};
        EXPECT_TRUE(ReadFileLines(path, lines));
        EXPECT_EQ(lines, c.Expected) << "bytes: " << testing::PrintToString(c.Bytes);
    }
}

TEST(ReadFileLinesTest, LineFeedAfterCarriageReturnIsDroppedAcrossBlockBoundary) {
    TTempFolder folder;
    const fs::path path = folder.Path() / "long.txt";
    // The reader works in 8192-byte blocks; put the CR LF pair on every side of a block end.
    for (std::size_t length = 8188; length <= 8194; ++length) {
        const std::string first(length, 'a');
        WriteRaw(path, first + "\r\nb\r\n");
        Lines lines;
        ASSERT_TRUE(ReadFileLines(path, lines));
        EXPECT_EQ(lines, (Lines{first, "b"})) << "first line length " << length;
    }
    // A LF opening the second block without a CR before it is text.
    const std::string first(8192, 'a');
    WriteRaw(path, first + "\nb");
    Lines lines;
    ASSERT_TRUE(ReadFileLines(path, lines));
    EXPECT_EQ(lines, (Lines{first + "\nb"}));
}

TEST(ReadFileLinesTest, MissingFileEmptiesListAndFails) {
    TTempFolder folder;
    Lines lines{"stale"};
    EXPECT_FALSE(ReadFileLines(folder.Path() / "absent.txt", lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(ReadFileLines(folder.Path(), lines));  // a folder is not a file
    std::string text = "stale";
    EXPECT_FALSE(ReadFileText(folder.Path() / "absent.txt", text));
    EXPECT_TRUE(text.empty());
}

// ---- Alternative names ----

TEST(AlternativeFileNameTest, NamesAndRecognition) {
    EXPECT_EQ(AlternativeFileName("/d/map.txt"), fs::path("/d/map.(txt)"));
    EXPECT_EQ(AlternativeFileName("/d/map.(txt)"), fs::path("/d/map.(txt)"));
    EXPECT_EQ(AlternativeFileName("/d/archive.tar.gz"), fs::path("/d/archive.tar.(gz)"));
    EXPECT_TRUE(AlternativeFileName("/d/README").empty());
    EXPECT_TRUE(IsAlternativeFileName("map.(txt)"));
    EXPECT_FALSE(IsAlternativeFileName("map.txt"));
    EXPECT_FALSE(IsAlternativeFileName("map.(txt"));
    EXPECT_FALSE(IsAlternativeFileName("(map).txt"));
}

TEST(AlternativeFileNameTest, NewerPlainFileWinsAndAlternativeIsDeleted) {
    TTempFolder folder;
    const fs::path plain = folder.Path() / "map.txt";
    const fs::path alt = folder.Path() / "map.(txt)";
    WriteRaw(plain, "plain\r");
    WriteRaw(alt, "alt\r");
    SetModified(alt, std::chrono::seconds(-60));

    Lines lines;
    EXPECT_TRUE(ReadFileLines(plain, lines));
    EXPECT_EQ(lines, Lines{"plain"});
    EXPECT_TRUE(fs::exists(plain));
    EXPECT_FALSE(fs::exists(alt));
}

TEST(AlternativeFileNameTest, NewerAlternativeIsReadAndPlainFileDeleted) {
    TTempFolder folder;
    const fs::path plain = folder.Path() / "map.txt";
    const fs::path alt = folder.Path() / "map.(txt)";
    WriteRaw(plain, "plain");
    WriteRaw(alt, "alt");
    SetModified(plain, std::chrono::seconds(-60));

    std::string text;
    // The alternative's content is handed over, but the read does not count as plain.
    EXPECT_FALSE(ReadFileText(plain, text));
    EXPECT_EQ(text, "alt");
    EXPECT_FALSE(fs::exists(plain));
    EXPECT_TRUE(fs::exists(alt));

    // With only the alternative left, the line reader reads it and succeeds.
    Lines lines;
    EXPECT_TRUE(ReadFileLines(plain, lines));
    EXPECT_EQ(lines, Lines{"alt"});
}

TEST(AlternativeFileNameTest, AlternativeNameGivenIsReadAsIs) {
    TTempFolder folder;
    const fs::path plain = folder.Path() / "map.txt";
    const fs::path alt = folder.Path() / "map.(txt)";
    WriteRaw(plain, "plain");
    WriteRaw(alt, "alt");
    SetModified(alt, std::chrono::seconds(-60));

    std::string text;
    EXPECT_FALSE(ReadFileText(alt, text));
    EXPECT_EQ(text, "alt");
    EXPECT_TRUE(fs::exists(plain));  // nothing deleted
    EXPECT_TRUE(ReadFileText(plain, text));
    EXPECT_EQ(text, "plain");
    EXPECT_FALSE(fs::exists(alt));
}

// ---- Writing ----

TEST(WriteFileTest, LinesEndWithCrLfAndReadBack) {
    TTempFolder folder;
    const fs::path path = folder.Path() / "out.txt";
    ASSERT_TRUE(WriteFileLines(path, {"one", "", "three\ttabs"}));
    EXPECT_EQ(ReadRaw(path), "one\r\n\r\nthree\ttabs\r\n");
    Lines lines;
    ASSERT_TRUE(ReadFileLines(path, lines));
    EXPECT_EQ(lines, (Lines{"one", "", "three\ttabs"}));

    ASSERT_TRUE(WriteFileLines(path, {}));
    EXPECT_EQ(ReadRaw(path), "");
    ASSERT_TRUE(WriteFileText(path, std::string("raw\n\0x", 6)));
    EXPECT_EQ(ReadRaw(path), std::string("raw\n\0x", 6));
}

TEST(WriteFileTest, AlternativeNamesAreRefused) {
    TTempFolder folder;
    const fs::path alt = folder.Path() / "map.(txt)";
    EXPECT_FALSE(WriteFileLines(alt, {"x"}));
    EXPECT_FALSE(WriteFileText(alt, "x"));
    EXPECT_FALSE(fs::exists(alt));

    WriteRaw(alt, "kept");
    EXPECT_FALSE(WriteFileText(alt, "x"));
    EXPECT_EQ(ReadRaw(alt), "kept");
}

TEST(WriteFileTest, FailureIsLoggedAndOldFileKept) {
    TTempFolder folder;
    std::vector<std::string> log;
    const TLogCallback logger = [&](const std::string& line) { log.push_back(line); };

    EXPECT_FALSE(WriteFileLines(folder.Path() / "absent" / "out.txt", {"x"}, logger));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("Exception in WriteFile (from stream): ", 0), 0u) << log[0];
    EXPECT_NE(log[0].find("out.txt"), std::string::npos);

    // A folder standing where the file should go: the write fails, the folder stays.
    const fs::path blocked = folder.Path() / "blocked.txt";
    fs::create_directories(blocked / "inner");
    EXPECT_FALSE(WriteFileText(blocked, "x", logger));
    EXPECT_EQ(log.size(), 2u);
    EXPECT_TRUE(fs::is_directory(blocked / "inner"));
}

// ---- Rename ----

struct TRenameFixture : testing::Test {
    TTempFolder Folder;
    fs::path From = Folder.Path() / "a.txt";
    fs::path To = Folder.Path() / "b.txt";
    std::vector<std::string> Log;
    TLogCallback Logger = [this](const std::string& line) { Log.push_back(line); };
    std::string Both() const { return "\"" + From.string() + "\" to \"" + To.string() + "\""; }
    std::string QuotedFrom() const { return "\"" + From.string() + "\""; }
};

TEST_F(TRenameFixture, SuccessIsLoggedWithAndWithoutTag) {
    WriteRaw(From, "data");
    EXPECT_TRUE(RenameFileLogged(From, To, "Update", Logger));
    EXPECT_EQ(Log, Lines{"Update: File Rename OK: " + Both()});
    EXPECT_EQ(ReadRaw(To), "data");
    EXPECT_FALSE(fs::exists(From));

    Log.clear();
    std::swap(From, To);
    EXPECT_TRUE(RenameFileLogged(From, To, "", Logger));
    EXPECT_EQ(Log, Lines{"File Rename OK: " + Both()});
}

TEST_F(TRenameFixture, MissingSourceCountsAsDoneAndLogsNothing) {
    EXPECT_TRUE(RenameFileLogged(From, To, "Tag", Logger));
    EXPECT_TRUE(Log.empty());
    EXPECT_FALSE(fs::exists(To));
}

TEST_F(TRenameFixture, ExistingTargetIsNotReplaced) {
    WriteRaw(From, "new");
    WriteRaw(To, "old");
    EXPECT_FALSE(RenameFileLogged(From, To, "Tag", Logger));
    EXPECT_EQ(Log, Lines{"Tag: File Rename failed: " + Both()});
    EXPECT_EQ(ReadRaw(From), "new");
    EXPECT_EQ(ReadRaw(To), "old");
}

TEST_F(TRenameFixture, ReadOnlySourceIsMadeWritableAndTriedAgain) {
    WriteRaw(From, "new");
    WriteRaw(To, "old");
    fs::permissions(From, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    EXPECT_FALSE(RenameFileLogged(From, To, "Tag", Logger));
    EXPECT_EQ(Log, (Lines{
                       "Tag: File Rename failed: " + Both(),
                       "Tag: File is set to read-only: " + QuotedFrom(),
                       "Tag: File attributes changed to NORMAL: " + QuotedFrom(),
                       "Tag:  ERROR: File Rename STILL Failed: " + Both(),
                   }));
    EXPECT_NE(fs::status(From).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(ReadRaw(To), "old");
}

TEST_F(TRenameFixture, ReadOnlySourceWithFreeTargetRenamesAtOnce) {
    WriteRaw(From, "data");
    fs::permissions(From, fs::perms::owner_read);
    EXPECT_TRUE(RenameFileLogged(From, To, "", Logger));
    EXPECT_EQ(Log, Lines{"File Rename OK: " + Both()});
    EXPECT_EQ(ReadRaw(To), "data");
}

// ---- Versions and dates ----

TEST(FileVersionTextTest, ProgramFileGivesVersionOtherFilesTheirDate) {
    EXPECT_EQ(FileVersionText(test::RunningProgramFile()), ProgramVersionText());

    TTempFolder folder;
    const fs::path data = folder.Path() / "data.txt";
    WriteRaw(data, "x");
    const TDateTime when = LocalTime(2021, 3, 4, 5, 6, 7);
    fs::last_write_time(data, fs::file_time_type::clock::from_sys(when));
    EXPECT_EQ(FileVersionText(data), "2021/03/04 05:06");
    EXPECT_EQ(FileVersionText(folder.Path() / "absent.txt"), "");
}

TEST(DateTimeTextTest, FixedFormsAndZeroMeansNow) {
    const TDateTime when = LocalTime(1999, 12, 31, 23, 59, 58) + std::chrono::milliseconds(999);
    EXPECT_EQ(DateTimeText(TDateTimePrecision::Seconds, when), "1999/12/31 23:59:58");
    EXPECT_EQ(DateTimeText(TDateTimePrecision::Minutes, when), "1999/12/31 23:59");

    const std::string before = DateTimeText(TDateTimePrecision::Seconds, std::chrono::system_clock::now());
    const std::string now = DateTimeText(TDateTimePrecision::Seconds);
    const std::string after = DateTimeText(TDateTimePrecision::Seconds, std::chrono::system_clock::now());
    EXPECT_TRUE(now == before || now == after) << now;
}

// ---- Texts ----

TEST(TextUtilitiesTest, ZeroPad) {
    struct TCase {
        long long Value;
        int Width;
        std::string Expected;
    };
    const std::vector<TCase> cases = {
        {7, 3, "007"},  {1234, 3, "***"}, {123, 3, "123"}, {0, 1, "0"},
        {0, 4, "0000"}, {-5, 3, "-05"},   {-50, 2, "**"},  {5, 0, ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ZeroPad(c.Value, c.Width), c.Expected) << c.Value << "/" << c.Width;
}

TEST(TextUtilitiesTest, NextTokenCutsAtFirstSeparator) {
    struct TCase {
        std::string Text;
        std::string Separators;
        std::string Token;
        std::string Rest;
    };
    const std::vector<TCase> cases = {
        {"  abc,def", ",", "abc", "def"}, {"abc", ",", "abc", ""}, {"a;b,c", ",;", "a", "b,c"},
        {"a , b", ",", "a ", " b"},       {"   ", ",", "", ""},    {",x", ",", "", "x"},
        {"\tx,y", ",", "\tx", "y"},
    };
    for (const TCase& c : cases) {
        std::string text = c.Text;
        EXPECT_EQ(NextToken(text, c.Separators), c.Token) << c.Text;
        EXPECT_EQ(text, c.Rest) << c.Text;
    }
}

TEST(TextUtilitiesTest, TrimTextRemovesBlanksAndLowControls) {
    EXPECT_EQ(TrimText(" \t\r\n x y \x01\x19"), "x y");
    EXPECT_EQ(TrimText("\x1a"
                       "x"
                       "\x1f"),
              "\x1a"
              "x"
              "\x1f");  // codes 26..31 stay
    EXPECT_EQ(TrimText("   "), "");
    EXPECT_EQ(TrimText("\xe9t\xe9"), "\xe9t\xe9");  // high bytes are text
}

TEST(TextUtilitiesTest, FileNameCharacters) {
    for (const char* bad : {"a/b", "a\\b", "c:", "x*", "why?", "say\"", "<", ">", "a|b"}) {
        EXPECT_FALSE(IsValidFileName(bad)) << bad;
    }
    EXPECT_TRUE(IsValidFileName("Session 2024-01-02 #2.txt"));
    EXPECT_EQ(CleanFileName("Map(ver 1.2/045)*?.txt.sav"), "Map(ver 1.2045).txt.sav");
    EXPECT_EQ(CleanFileName("/\\:*?\"<>|"), "");
}

TEST(TextUtilitiesTest, ContainsTextIgnoresCaseAndCountsFromOne) {
    EXPECT_EQ(ContainsText("run", "Run001.txt"), 1u);
    EXPECT_EQ(ContainsText("LOG", "drive.log"), 7u);
    EXPECT_EQ(ContainsText("map", "Base fuel MAP.txt"), 11u);
    EXPECT_EQ(ContainsText("x", "abc"), 0u);
    EXPECT_EQ(ContainsText("", "abc"), 0u);
    EXPECT_EQ(ContainsText("abcd", "abc"), 0u);
}

}  // namespace
}  // namespace kelvane
