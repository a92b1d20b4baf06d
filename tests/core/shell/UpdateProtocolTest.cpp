#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/ground/ProgramVersion.h"
#include "core/shell/UpdateProtocol.h"
#include "support/TestProcess.h"

namespace kelvane {
namespace {

using namespace std::string_literals;

TEST(UpdateVersionNumberTest, TableOfVersions) {
    const struct {
        std::string Version;
        std::int64_t Number;
    } cases[] = {
        {"1.2.045", 1024500},
        {"1.2.046", 1024600},
        {"1.3.001", 1030100},
        {"1", 1000000},
        {"1.2", 1020000},
        {"1.2beta3", 1020300},
        {"1.2.Beta3", 1020300},
        {"2.0.1a", 2000101},  // a letter adds its place in the alphabet
        {"2.0.1-z", 2000126},
        {"3000.1.0", 3000010000},  // beyond 32 bits
        {"999999999.999999999.999999999999999", 999999999000000 + 9999999990000 + 99999999999999900},
        {"", 0},
        {"x.1", 0},
        {" 1.2", 0},
        {"1000000000.0", 0},  // more major digits than the limit
        {"1.1000000000.0", 0},
        {"1.2.0000000000000001", 0},
        {"1.2." + std::string(40, '9'), 0},
        // Letters lift the build so far that the digits after them would
        // run past 64 bits.
        {"1.0." + std::string(351, 'z') + std::string(15, '9'), 0},
        {"1.0." + std::string(20, 'Z') + "99", 1000000 + 520 * 100 + 9900},
        {"2024/03/05 10:20", 45356},
        {"2024/03/05", 45356},
        {"1900/01/01 00:00", 2},
        {"2024/02/30 10:00", 0},
        {"2024/03/05 25:00", 0},
        {"2024/13/01", 0},
        {"1899/12/30", 0},
        {"2024/03", 0},
        {"20240/03/05", 0},
        {"a/b/c", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(UpdateVersionNumber(c.Version), c.Number) << c.Version;
}

TEST(SafeUpdatePathTest, RelativeNamesInsideTheFolderPass) {
    const struct {
        std::string Name, Path;
    } cases[] = {
        {"KVManual.pdf", "KVManual.pdf"},
        {"docs/Kelvane Manual.pdf", "docs/Kelvane Manual.pdf"},
        {"docs\\Manual.pdf", "docs/Manual.pdf"},
        {"...x", "...x"},
    };
    for (const auto& c : cases) EXPECT_EQ(SafeUpdatePath(c.Name), c.Path) << c.Name;
}

TEST(SafeUpdatePathTest, UnsafeNamesAreRefused) {
    const std::string names[] = {
        "",          "/etc/passwd", "\\share\\x", "C:\\Windows\\x.dll",
        "c:x.txt",   "a:b",         "a\0b"s,      "../x",
        "a/../../x", "a\\..\\x",    "..",         ".",
        "a/./b",     "a//b",        "docs/",      "a\tb",
        "a\x7F",     "a|b",         "a*b",        "\"a\"",
        "a\nb",
    };
    for (const std::string& name : names) EXPECT_FALSE(SafeUpdatePath(name)) << name;
}

TEST(ParseFileListTest, UsableLinesOnly) {
    const std::string list =
        "Kelvane;1.0.002;1200\r\n"
        "  KVManual.pdf , 2024/03/05 10:20 , 5000  \n"
        "docs/a b.txt;1.1;7\r"
        "zero.txt;1.0;0\n"
        "negative.txt;1.0;-5\n"
        "letters.txt;1.0;12abc\n"
        "noversion.txt;;12\n"
        ";1.0;12\n"
        "two.txt;1.0\n"
        "huge.txt;1.0;99999999999999999999999\n"
        "\n"
        "   \n"
        "garbage\x01\xff\n"
        "last.txt;2.0;3";
    const TFileList parsed = ParseFileList(list);
    EXPECT_FALSE(parsed.TooLong);
    const std::vector<TFileListEntry> expected = {
        {"Kelvane", "1.0.002", 1200},
        {"KVManual.pdf", "2024/03/05 10:20", 5000},
        {"docs/a b.txt", "1.1", 7},
        {"last.txt", "2.0", 3},
    };
    EXPECT_EQ(parsed.Entries, expected);
}

TEST(ParseFileListTest, ListsBeyondTheLimitAreRefusedWhole) {
    std::string list = "a.txt;1.0;1\n";
    list.resize(MaxFileListBytes, ' ');
    EXPECT_EQ(ParseFileList(list).Entries.size(), 1u);
    list += ' ';
    const TFileList parsed = ParseFileList(list);
    EXPECT_TRUE(parsed.TooLong);
    EXPECT_TRUE(parsed.Entries.empty());
}

TEST(DecideUpdateTest, OnlyNewerVersionsAreFetched) {
    const struct {
        std::string Listed, Installed;
        TUpdateDecision Decision;
    } cases[] = {
        {"1.2.045", "1.2.045", TUpdateDecision::SkipSameVersion},
        {"1.2.046", "1.2.045", TUpdateDecision::Fetch},
        {"1.2.045", "1.3.001", TUpdateDecision::SkipInstalledNewer},
        {"1.2.045", "", TUpdateDecision::Fetch},
        {"2024/03/05 10:20", "2024/03/05 18:00", TUpdateDecision::SkipSameVersion},
        {"2024/03/04 10:20", "2024/03/05 18:00", TUpdateDecision::SkipInstalledNewer},
        {"2024/03/06 10:20", "2024/03/05 18:00", TUpdateDecision::Fetch},
        {"garbage", "", TUpdateDecision::RefuseInvalidVersion},
        {"2024/02/30", "2020/01/01 00:00", TUpdateDecision::RefuseInvalidVersion},
        // A version too long for the number is no version, not a huge one.
        {"1.2." + std::string(30, '9'), "1.2.045", TUpdateDecision::RefuseInvalidVersion},
        {"4294967297.0", "1.0", TUpdateDecision::RefuseInvalidVersion},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideUpdate(c.Listed, c.Installed), c.Decision) << c.Listed << " vs " << c.Installed;
}

TEST(UpdateFileAddressTest, SchemeFolderAndBlanks) {
    const struct {
        std::string Server, Folder, Name;
        std::optional<std::string> Address;
    } cases[] = {
        {"updates.example.org", "updates", "filelist.txt", "http://updates.example.org/updates/filelist.txt"},
        {"https://updates.example.org", "updates", "a b.pdf",
         "https://updates.example.org/updates/a%20b.pdf"},
        {"HTTPS://host/", "/u/", "x", "https://host/u/x"},
        {"http://127.0.0.1:8080", "updates", "docs/x#1%.txt",
         "http://127.0.0.1:8080/updates/docs/x%231%25.txt"},
        {"host", "", "x", "http://host/x"},
        {"", "updates", "x", std::nullopt},
        {"  ", "updates", "x", std::nullopt},
        {"https://", "updates", "x", std::nullopt},
        {"ftp://host", "updates", "x", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateFileAddress(c.Server, c.Folder, c.Name), c.Address) << c.Server;
}

TEST(UpdateSummaryTextTest, CountsOfUpdatedAndPending) {
    EXPECT_EQ(UpdateSummaryText(0, 0), "Check complete, all files are current");
    EXPECT_EQ(UpdateSummaryText(1, 0), "Check complete, 1 file updated");
    EXPECT_EQ(UpdateSummaryText(3, 0), "Check complete, 3files updated");
    EXPECT_EQ(UpdateSummaryText(0, 1), "Check complete, 1 update pending");
    EXPECT_EQ(UpdateSummaryText(0, 2), "Check complete, 2 updates pending");
    EXPECT_EQ(UpdateSummaryText(1, 2), "Check complete, 1 file updated, 2 updates pending");
}

// Built at run time: a marker with a version written out here would be found
// in this very test program by the next test.
std::string Marker() {
    return std::string("Kelvane") + "FileVersion=";
}

TEST(EmbeddedVersionTextTest, FindsTheVersionAfterTheMarker) {
    EXPECT_EQ(EmbeddedVersionText("\x7F"
                                  "ELF.." +
                                  Marker() + "\0.."s + Marker() + "1.2.3.45\0.."s),
              "1.2.3.45");
    EXPECT_EQ(EmbeddedVersionText(Marker() + "2.0"), "2.0");
    EXPECT_EQ(EmbeddedVersionText(Marker() + ".1\0"s), "");
    EXPECT_EQ(EmbeddedVersionText(Marker() + "1.0x\0"s), "");
    EXPECT_EQ(EmbeddedVersionText("no marker"), "");
}

TEST(EmbeddedVersionTextTest, TheProgramCarriesItsVersion) {
    std::ifstream self(test::RunningProgramFile(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(self)), std::istreambuf_iterator<char>());
    EXPECT_EQ(EmbeddedVersionText(bytes), RawProgramVersion());
}

}  // namespace
}  // namespace kelvane
