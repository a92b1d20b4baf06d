#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/ground/FileDefs.h"
#include "core/ground/ProgramFolders.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

struct TLogLines {
    std::vector<std::string> Lines;
    TLogCallback Callback() {
        return [this](const std::string& line) { Lines.push_back(line); };
    }
};

TEST(ProgramValuesTest, BaseNameCutsOnlyShortExtensions) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/opt/Kelvane/Kelvane.exe", "Kelvane"}, {"/opt/Kelvane/kelvane", "kelvane"},
        {"/opt/k/Kelvane.1.2", "Kelvane.1"},     {"/opt/k/Kelvane.long", "Kelvane.long"},
        {"/opt/k/Kelvane.", "Kelvane"},
    };
    for (const auto& [file, base] : cases) EXPECT_EQ(ProgramBaseName(file), base) << file;
}

TEST(ProgramValuesTest, TitleRootAndArguments) {
    const TProgramValues values = MakeProgramValues("/opt/Kelvane/Kelvane.exe", {"-x", "text"});
    EXPECT_EQ(values.BaseName, "Kelvane");
    EXPECT_EQ(values.ProgramRoot, fs::path("/opt/Kelvane/"));
    EXPECT_FALSE(values.VersionText.empty());
    EXPECT_EQ(values.Title, "Kelvane " + values.VersionText);
    EXPECT_TRUE(values.HasArgument("Text"));
    EXPECT_FALSE(values.HasArgument("Tex"));
    EXPECT_FALSE(values.HasArgument("Texts"));
}

TEST(MoveToCommonTest, MovesOrDeletesTheProgramFolderCopy) {
    TTempFolder temp;
    const fs::path from = temp.Path() / "program";
    const fs::path to = temp.Path() / "common";
    fs::create_directories(from);
    fs::create_directories(to);
    TLogLines log;

    EXPECT_EQ(MoveToCommon("Kelvane.ini", from, to, log.Callback()), TMoveResult::NothingToMove);
    EXPECT_TRUE(log.Lines.empty());

    WriteText(from / "Kelvane.ini", "old");
    EXPECT_EQ(MoveToCommon("Kelvane.ini", from, to, log.Callback()), TMoveResult::Moved);
    EXPECT_FALSE(fs::exists(from / "Kelvane.ini"));
    EXPECT_EQ(ReadText(to / "Kelvane.ini"), "old");
    ASSERT_EQ(log.Lines.size(), 1u);
    EXPECT_EQ(log.Lines[0].rfind("Kelvane.ini moved from " + from.string(), 0), 0u) << log.Lines[0];

    // Both exist: the common copy is kept, the program folder copy deleted.
    WriteText(from / "Kelvane.ini", "stale");
    EXPECT_EQ(MoveToCommon("Kelvane.ini", from, to, log.Callback()), TMoveResult::DuplicateDeleted);
    EXPECT_FALSE(fs::exists(from / "Kelvane.ini"));
    EXPECT_EQ(ReadText(to / "Kelvane.ini"), "old");
    ASSERT_EQ(log.Lines.size(), 2u);
    EXPECT_EQ(log.Lines[1], "Duplicate Kelvane.ini deleted from " + (from / "").string());
}

TEST(MoveToCommonTest, FailedMoveIsLoggedAndKeepsTheFile) {
    TTempFolder temp;
    const fs::path from = temp.Path();
    const fs::path to = temp.Path() / "missing" / "folder";
    WriteText(from / "TargetAFR.txt", "map");
    TLogLines log;
    EXPECT_EQ(MoveToCommon("TargetAFR.txt", from, to, log.Callback()), TMoveResult::MoveFailed);
    EXPECT_EQ(ReadText(from / "TargetAFR.txt"), "map");
    ASSERT_EQ(log.Lines.size(), 1u);
    EXPECT_EQ(log.Lines[0].rfind("Error: TargetAFR.txt could not be moved from ", 0), 0u);
}

TEST(FolderSetupTest, FirstRunCreatesCommonRootAndMovesFiles) {
    TTempFolder temp;
    const fs::path programRoot = temp.Path() / "bin";
    fs::create_directories(programRoot);
    WriteText(programRoot / "Kelvane.ini", "[Settings]\r\n");
    WriteText(programRoot / "TargetAFR.txt", "14.7");
    WriteText(programRoot / "Other.txt", "stays");
    const TProgramValues program = MakeProgramValues(programRoot / "Kelvane", {});
    TPlatformFolders platform;
    platform.AppData = temp.Path() / "share" / "Kelvane";
    TLogLines log;

    const TFolderSetup setup = SetUpFolders(program, platform, log.Callback());
    EXPECT_TRUE(setup.CommonRootCreated);
    EXPECT_TRUE(fs::is_directory(platform.AppData));
    EXPECT_EQ(setup.CommonRoot, platform.AppData / "");
    EXPECT_EQ(setup.MainSettingsFile, platform.AppData / "Kelvane.ini");
    EXPECT_TRUE(fs::exists(platform.AppData / "Kelvane.ini"));
    EXPECT_TRUE(fs::exists(platform.AppData / "TargetAFR.txt"));
    EXPECT_FALSE(fs::exists(programRoot / "Kelvane.ini"));
    EXPECT_TRUE(fs::exists(programRoot / "Other.txt"));
    ASSERT_GE(log.Lines.size(), 3u);
    EXPECT_EQ(log.Lines[0], "CommonRoot folder created: " + (platform.AppData / "").string());

    TIniFile2 main(setup.MainSettingsFile);
    ASSERT_TRUE(WriteFolderSection(main, setup, platform, log.Callback()));
    EXPECT_EQ(main.ReadString("Folders", "Common Root", ""), (platform.AppData / "").string());
    EXPECT_EQ(main.ReadString("Folders", "Program Root", ""), (programRoot / "").string());
    EXPECT_EQ(log.Lines.back(), "Common Root = " + (platform.AppData / "").string());
}

TEST(FolderSetupTest, WithoutDataFolderTheProgramRootIsUsed) {
    TTempFolder temp;
    WriteText(temp.Path() / "Kelvane.ini", "x");
    TLogLines log;
    const TFolderSetup setup =
        SetUpFolders(MakeProgramValues(temp.Path() / "Kelvane", {}), {}, log.Callback());
    EXPECT_EQ(setup.CommonRoot, temp.Path() / "");
    EXPECT_EQ(setup.MainSettingsFile, temp.Path() / "Kelvane.ini");
    EXPECT_TRUE(fs::exists(temp.Path() / "Kelvane.ini"));
    EXPECT_TRUE(log.Lines.empty());
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

struct TShellFoldersCase {
    const char* Name;
    fs::path ProgramRoot;
    platform::TSystemFolders System;
    fs::path AppData;
    fs::path UserData;
    std::vector<fs::path> RedirectedCopies;
};

// The shell's folders are Windows folders; the rule is the same with the
// platform's own separators and roots.
#ifdef _WIN32
const platform::TSystemFolders Shell{"C:\\ProgramData", "C:\\Users\\Ann\\AppData\\Roaming",
                                     "C:\\Users\\Ann\\AppData\\Local", "C:\\Program Files"};
const std::vector<TShellFoldersCase> ShellCases = {
    {"under program files",
     "C:\\Program Files\\Kelvane\\",
     Shell,
     "C:\\ProgramData\\Kelvane\\",
     "C:\\Users\\Ann\\AppData\\Roaming\\Kelvane\\",
     {"C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Program Files\\Kelvane\\",
      "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\ProgramData\\Kelvane\\"}},
    {"other case",
     "c:\\PROGRAM FILES\\Tools\\Kelvane",
     Shell,
     "C:\\ProgramData\\Tools\\Kelvane\\",
     "C:\\Users\\Ann\\AppData\\Roaming\\Tools\\Kelvane\\",
     {"C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\PROGRAM FILES\\Tools\\Kelvane\\",
      "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\ProgramData\\Tools\\Kelvane\\"}},
    {"elsewhere",
     fs::path(u8"D:\\Bil\\Kelvane ø\\"),
     Shell,
     fs::path(u8"C:\\ProgramData\\Bil\\Kelvane ø\\"),
     fs::path(u8"C:\\Users\\Ann\\AppData\\Roaming\\Bil\\Kelvane ø\\"),
     {fs::path(u8"C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Bil\\Kelvane ø\\"),
      fs::path(u8"C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\ProgramData\\Bil\\Kelvane ø\\")}},
    {"no program files told",
     "C:\\Program Files\\Kelvane\\",
     {"C:\\ProgramData", "C:\\R", {}, {}},
     "C:\\ProgramData\\Kelvane\\",
     "C:\\R\\Kelvane\\",
     {}},
};
#else
const platform::TSystemFolders Shell{"/var/lib", "/home/ann/.config", "/home/ann/.local", "/opt"};
const std::vector<TShellFoldersCase> ShellCases = {
    {"under program files",
     "/opt/Kelvane/",
     Shell,
     "/var/lib/Kelvane/",
     "/home/ann/.config/Kelvane/",
     {"/home/ann/.local/VirtualStore/opt/Kelvane/", "/home/ann/.local/VirtualStore/var/lib/Kelvane/"}},
    {"elsewhere",
     fs::path(u8"/srv/Bil/Kelvane ø"),
     Shell,
     fs::path(u8"/var/lib/srv/Bil/Kelvane ø/"),
     fs::path(u8"/home/ann/.config/srv/Bil/Kelvane ø/"),
     {fs::path(u8"/home/ann/.local/VirtualStore/srv/Bil/Kelvane ø/"),
      fs::path(u8"/home/ann/.local/VirtualStore/var/lib/srv/Bil/Kelvane ø/")}},
    {"no machine data",
     "/opt/Kelvane/",
     {{}, "/home/ann/.config", {}, "/opt"},
     {},
     "/home/ann/.config/Kelvane/",
     {}},
};
#endif

TEST(ShellDataFoldersTest, DataFoldersFollowTheProgramRootBelowTheProgramFiles) {
    for (const TShellFoldersCase& c : ShellCases) {
        const TPlatformFolders folders = ShellDataFolders(c.ProgramRoot, c.System);
        EXPECT_EQ(folders.AppData, c.AppData) << c.Name;
        EXPECT_EQ(folders.UserData, c.UserData) << c.Name;
        EXPECT_EQ(folders.RedirectedCopies, c.RedirectedCopies) << c.Name;
    }
}

TEST(ShellDataFoldersTest, SettingsLeftInARedirectedCopyMoveToTheDataFolder) {
    TTempFolder temp;
    const fs::path program = temp.Path() / "program";
    const fs::path copy = temp.Path() / "VirtualStore" / "program";
    fs::create_directories(program);
    fs::create_directories(copy);
    WriteText(copy / "Kelvane.ini", "[Settings]\r\n");
    WriteText(copy / "TargetAFR.txt", "14.7\r\n");
    TPlatformFolders platform;
    platform.AppData = temp.Path() / "common";
    platform.RedirectedCopies = {copy};
    TLogLines log;
    const TFolderSetup setup =
        SetUpFolders(MakeProgramValues(program / "Kelvane.exe", {}), platform, log.Callback());
    EXPECT_EQ(ReadText(setup.CommonRoot / "Kelvane.ini"), "[Settings]\r\n");
    EXPECT_EQ(ReadText(setup.CommonRoot / "TargetAFR.txt"), "14.7\r\n");
    EXPECT_FALSE(fs::exists(copy / "Kelvane.ini"));
}

}  // namespace
}  // namespace kelvane
