#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/ground/AtomicFile.h"
#include "core/ground/IniFile2.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

using TLines = std::vector<std::string>;

class IniFile2Test : public ::testing::Test {
  protected:
    std::filesystem::path Path() const { return FFolder.Path() / "Kelvane.ini"; }
    void Put(std::string_view bytes) const { ASSERT_TRUE(WriteFileAtomically(Path(), bytes)); }
    std::string Bytes() const {
        std::string bytes;
        ReadWholeFile(Path(), bytes);
        return bytes;
    }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(FFolder.Path()), {}));
    }

    TTempFolder FFolder;
};

TEST_F(IniFile2Test, ReadsTheFileForm) {
    Put("top=before any section\r\n"
        "[Settings]\r\n"
        "LH Version=LH2.2\r\n"
        "  Padded Key  =  padded value  \r\n"
        "Equation=a=b=c\r\n"
        "Empty=\r\n"
        "just some text\r\n"
        "=no key\r\n"
        "\r\n"
        ";comment=kept as a key\r\n"
        "[ Spaced ]\r\n"
        "k=1\r\n"
        "[settings]\r\n"
        "Second=block\r\n"
        "lh version=shadowed\r\n");
    const TIniFile2 ini(Path());
    struct TCase {
        const char* Section;
        const char* Key;
        const char* Expected;
    };
    const TCase cases[] = {
        {"Settings", "LH Version", "LH2.2"},
        {"SETTINGS", "lh VERSION", "LH2.2"},  // names ignore case; the first value wins
        {"Settings", "Padded Key", "padded value"},
        {"Settings", "Equation", "a=b=c"},  // split at the first "="
        {"Settings", "Empty", ""},
        {"Settings", ";comment", "kept as a key"},
        {"Spaced", "k", "1"},
        {"Settings", "Second", "block"},  // a repeated section adds to the first
        {"Settings", "just some text", "dflt"},
        {"Settings", "top", "dflt"},
        {"", "LH Version", "dflt"},
        {"Settings", "", "dflt"},
        {"Absent", "LH Version", "dflt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString(c.Section, c.Key, "dflt"), c.Expected) << c.Section << "/" << c.Key;

    TLines keys;
    ini.ReadSection("settings", keys);
    EXPECT_EQ(keys, (TLines{"LH Version", "Padded Key", "Equation", "Empty", ";comment", "Second"}));
    TLines sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, (TLines{"Settings", "Spaced"}));
    TLines values;
    ini.ReadSectionValues("Spaced", values);
    EXPECT_EQ(values, (TLines{"k=1"}));
    ini.ReadSection("", keys);
    EXPECT_TRUE(keys.empty());
    ini.ReadSectionValues("", values);
    EXPECT_TRUE(values.empty());
}

TEST_F(IniFile2Test, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
    TIniFile2 ini(Path());
    EXPECT_EQ(ini.ReadInteger("Settings", "Plot Point Size", 6), 6);
    TLines sections{"stale"};
    ini.ReadSections(sections);
    EXPECT_TRUE(sections.empty());
    EXPECT_FALSE(std::filesystem::exists(Path()));

    ASSERT_TRUE(ini.WriteString("Folders", "Common Root", "/data/"));
    EXPECT_EQ(Bytes(), "[Folders]\r\nCommon Root=/data/\r\n");
}

TEST_F(IniFile2Test, WritesKeepOtherLinesAndPlaceNewKeysInTheirSection) {
    Put("; hand-written note\n[A]\nx=1\n\n[B]\ny=2\n");
    TIniFile2 ini(Path());
    ASSERT_TRUE(ini.WriteString("a", "X", "10"));   // replaces, whatever the case
    ASSERT_TRUE(ini.WriteString("A", "z", "p=q"));  // new key after the last key of [A]
    ASSERT_TRUE(ini.WriteString("C", "w", "3"));    // new section at the end
    EXPECT_EQ(Bytes(), "; hand-written note\n[A]\nx=10\nz=p=q\n\n[B]\ny=2\n\n[C]\nw=3\n");
    EXPECT_EQ(ini.ReadString("A", "Z", ""), "p=q");
}

// Values are trimmed when read: one with a blank or tab at either end, or in
// quotes of its own, is written so that it reads back as it was (a project folder
// "Car " stays "Car "), and control characters pass as they are.
TEST_F(IniFile2Test, EveryStorableValueReadsBackAsWritten) {
    const std::string values[] = {"Car ",
                                  " Car",
                                  "\tx",
                                  "x\t",
                                  "  ",
                                  "\"quoted\"",
                                  "\"",
                                  "\"\"",
                                  "\"half",
                                  "half\"",
                                  "a\x01"
                                  "b\x1F",
                                  "\x7F",
                                  "plain",
                                  "",
                                  "a \"b\" c",
                                  "\" x \"",
                                  std::string("n\0ul", 4)};
    for (const std::string& value : values) {
        SCOPED_TRACE(testing::PrintToString(value));
        TIniFile2 ini(Path());
        ASSERT_TRUE(ini.WriteString("Folders", "Project Folder", value));
        EXPECT_EQ(ini.ReadString("Folders", "Project Folder", "dflt"), value);
        EXPECT_EQ(TIniFile2(Path()).ReadString("Folders", "Project Folder", "dflt"), value);
        // Written again, the file stays as it is.
        const std::string bytes = Bytes();
        ASSERT_TRUE(ini.WriteString("Folders", "Project Folder", value));
        EXPECT_EQ(Bytes(), bytes);
    }
    ASSERT_TRUE(TIniFile2(Path()).WriteString("Folders", "Project Folder", "plain"));
    EXPECT_EQ(Bytes(), "[Folders]\r\nProject Folder=plain\r\n");  // no quotes where none are needed
}

TEST_F(IniFile2Test, WritesThatCannotBeStoredAreRefused) {
    Put("[A]\nx=1\n");
    TIniFile2 ini(Path());
    struct TCase {
        const char* Section;
        const char* Key;
        const char* Value;
    };
    const TCase cases[] = {
        {"", "x", "1"},    {"A", "", "1"},   {"A", "x", "two\nlines"}, {"A", "x", "cr\r"},
        {"A", "k=v", "1"}, {"A]", "x", "1"}, {"A\nB", "x", "1"},       {"A", "[x", "1"},
    };
    EXPECT_EQ(ini.LastError(), "");
    for (const auto& c : cases) {
        EXPECT_FALSE(ini.WriteString(c.Section, c.Key, c.Value)) << c.Key;
        EXPECT_EQ(ini.LastError(),
                  Path().string() + ": the section, key or value cannot be stored in a settings file");
    }
    EXPECT_EQ(Bytes(), "[A]\nx=1\n");
}

TEST_F(IniFile2Test, TwoObjectsOnTheSameFileAgree) {
    TIniFile2 first(Path());
    TIniFile2 second(Path());
    ASSERT_TRUE(first.WriteInteger("Settings", "Plot Point Size", 9));
    EXPECT_EQ(second.ReadInteger("settings", "plot point size", 6), 9);
    ASSERT_TRUE(second.WriteBool("Settings", "AutoScale", true));
    ASSERT_TRUE(first.WriteString("Other", "Key", "v"));
    EXPECT_TRUE(first.ReadBool("Settings", "AutoScale", false));
    EXPECT_EQ(second.ReadString("Other", "Key", ""), "v");
    ASSERT_TRUE(second.DeleteKey("SETTINGS", "plot point size"));
    EXPECT_EQ(first.ReadInteger("Settings", "Plot Point Size", 6), 6);
    ASSERT_TRUE(first.EraseSection("other"));
    EXPECT_FALSE(second.SectionExists("Other"));
    EXPECT_TRUE(second.ValueExists("Settings", "AutoScale"));
}

TEST_F(IniFile2Test, EraseAndDeleteTakeEveryBlockOfTheSection) {
    Put("[A]\nx=1\n[B]\ny=2\n[a]\nx=3\nz=4\n");
    TIniFile2 ini(Path());
    ASSERT_TRUE(ini.DeleteKey("A", "X"));
    EXPECT_EQ(Bytes(), "[A]\n[B]\ny=2\n[a]\nz=4\n");
    ASSERT_TRUE(ini.EraseSection("A"));
    EXPECT_EQ(Bytes(), "[B]\ny=2\n");
    EXPECT_TRUE(ini.EraseSection("Absent"));
    EXPECT_EQ(Bytes(), "[B]\ny=2\n");
}

TEST_F(IniFile2Test, TypedValues) {
    Put("[S]\nint=42\nbad=4x\nbool=5\nzero=0\nnum=17,5\n");
    TIniFile2 ini(Path());
    EXPECT_EQ(ini.ReadInteger("S", "int", 0), 42);
    EXPECT_EQ(ini.ReadInteger("S", "bad", -1), -1);
    EXPECT_TRUE(ini.ReadBool("S", "bool", false));
    EXPECT_FALSE(ini.ReadBool("S", "zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "bad", true));
    EXPECT_FALSE(ini.ReadBool("", "bool", false));
    EXPECT_EQ(ini.ReadNumber("S", "num", TDecimalComma::Refused, 0), 0);
    EXPECT_EQ(ini.ReadNumber("S", "num", TDecimalComma::Accepted, 0), 17.5);
    ASSERT_TRUE(ini.WriteNumber("S", "num", -0.0, 1));
    ASSERT_TRUE(ini.WriteNumber("S", "none", 1e-37, 1));
    EXPECT_EQ(ini.ReadString("S", "num", ""), "0.0");
    EXPECT_TRUE(ini.ValueExists("S", "none"));
    EXPECT_EQ(ini.ReadString("S", "none", "x"), "");
}

TEST_F(IniFile2Test, UnwritableFolderReportsFailure) {
    // A regular file where the folder should be: no user, root included, can write there.
    const auto notAFolder = FFolder.Path() / "plain";
    ASSERT_TRUE(WriteFileAtomically(notAFolder, "x"));
    TIniFile2 ini(notAFolder / "Kelvane.ini");
    EXPECT_FALSE(ini.WriteString("Settings", "Key", "v"));
    EXPECT_EQ(ini.ReadString("Settings", "Key", "dflt"), "dflt");
    // Named, with the system's reason.
    EXPECT_EQ(ini.LastError().rfind((notAFolder / "Kelvane.ini").string() + ": ", 0), 0u) << ini.LastError();
    EXPECT_GT(ini.LastError().size(), (notAFolder / "Kelvane.ini").string().size() + 2);
}

TEST_F(IniFile2Test, UnreadableFileIsNeverReplaced) {
    // A folder under the file's name cannot be read as a file; a write must not clobber it.
    std::filesystem::create_directories(Path() / "inside");
    TIniFile2 ini(Path());
    EXPECT_FALSE(ini.WriteString("Settings", "Key", "v"));
    EXPECT_FALSE(ini.EraseSection("Settings"));
    EXPECT_FALSE(ini.DeleteKey("Settings", "Key"));
    EXPECT_EQ(ini.LastError(), Path().string() + ": not a regular file");
    EXPECT_TRUE(std::filesystem::is_directory(Path() / "inside"));
}

TEST_F(IniFile2Test, FailedWriteLeavesTheOldFileIntact) {
    KELVANE_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    const std::string old = "[Settings]\r\nPlot Point Size=4\r\n";
    Put(old);
    TIniFile2 ini(Path());

    // A file-size limit makes the write of the larger file fail part way, as a
    // full disk would; it binds root too.
    bool written = true;
    {
        TFileSizeLimit limit(256);
        written = ini.WriteString("Settings", "Long", std::string(1000, 'x'));
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(ini.LastError().rfind(Path().string() + ": ", 0), 0u) << ini.LastError();
    EXPECT_EQ(Bytes(), old);
    EXPECT_EQ(FilesInFolder(), 1u);  // no temporary left behind
    EXPECT_EQ(ini.ReadInteger("Settings", "Plot Point Size", 6), 4);
}

TEST_F(IniFile2Test, KeepsLineEndsAndByteOrderMark) {
    Put("\xEF\xBB\xBF[A]\nx=1\n");
    TIniFile2 ini(Path());
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
    ASSERT_TRUE(ini.WriteString("A", "y", "2"));
    EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[A]\nx=1\ny=2\n");
}

// With bare line feeds, a stray carriage return at a line's end would join the
// line end once written; it is dropped at once, so a file written reads back
// as it was written (and an update writes what single writes would).
TEST_F(IniFile2Test, StrayCarriageReturnsBeforeBareLineFeedsAreDropped) {
    Put("[A]\nx=1\r\r\ny=2\r\nz=3\n");
    TIniFile2 ini(Path());
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "y", ""), "2");
    ASSERT_TRUE(ini.WriteString("A", "z", "4"));
    EXPECT_EQ(Bytes(), "[A]\nx=1\ny=2\nz=4\n");

    // With CR LF line ends a carriage return inside a line is kept.
    Put("[A]\r\nx=1\r\r\n");
    ASSERT_TRUE(ini.WriteString("A", "z", "4"));
    EXPECT_EQ(Bytes(), "[A]\r\nx=1\r\r\nz=4\r\n");
}

TEST_F(IniFile2Test, WriteThroughALinkKeepsTheLink) {
    const auto real = FFolder.Path() / "real.ini";
    Put("");
    std::filesystem::rename(Path(), real);
    std::error_code linkError;
    std::filesystem::create_symlink(real, Path(), linkError);
    // Windows gives symbolic links only to administrators and developer mode.
    if (linkError) GTEST_SKIP() << "no symbolic link could be made here: " << linkError.message();
    TIniFile2 ini(Path());
    ASSERT_TRUE(ini.WriteString("A", "x", "1"));
    EXPECT_TRUE(std::filesystem::is_symlink(Path()));
    EXPECT_EQ(TIniFile2(real).ReadString("A", "x", ""), "1");
}

}  // namespace
}  // namespace kelvane
