#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <map>
#include <string>
#include <vector>

#include "core/adjust/TargetAfrMap.h"
#include "core/display/ColorTableFile.h"
#include "core/ground/AtomicFile.h"
#include "core/ground/ProgramFolders.h"
#include "core/shell/SettingsMainFile.h"
#include "core/shell/StartupClosing.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

std::string FileBytes(const fs::path& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

// A main file as a user may leave it: a byte-order mark, bare line feeds, a
// comment, a key spelt in another case, a section in two blocks and a
// project's own section from the older layout.
constexpr std::string_view StartingMainFile =
    "\xEF\xBB\xBF; kept as it is\n"
    "[Settings]\n"
    "plot point size=9\n"
    "LH Version=LH2.3\n"
    "\n"
    "[Volvo settngs]\n"
    "Min Plot RPM=500\n"
    "[Recent Files]\n"
    "1=/old/a.txt\n"
    "[Settings]\n"
    "Odd line without equals\n"
    "Data Log Width=100\n";

constexpr std::string_view StartingProjectFile = "[Settings]\r\nLH Config=HMAF\r\n";

// What every exit wrote here before its writes were gathered into one: the
// bytes must stay the same.
constexpr std::string_view ExpectedMainFile =
    "\xEF\xBB\xBF; kept as it is\n"
    "[Settings]\n"
    "plot point size=4\n"
    "LH Version=LH2.3\n"
    "LH Config=MAP\n"
    "EZK Config=S4\n"
    "AutoScale=0\n"
    "Manual Scale=0\n"
    "Filters Enabled=1\n"
    "Filter Max AFR=16.5\n"
    "Filter Max AFR enabled=0\n"
    "Filter Max RPM Slope=0\n"
    "Filter Max RPM Slope Enabled=0\n"
    "Filter Max MAF Slope=0\n"
    "Filter Max MAF Slope Enabled=0\n"
    "Filter Include Idle=0\n"
    "Filter Include Cruise=1\n"
    "Filter Include WOT=1\n"
    "Filter Inhibit Before=0.0\n"
    "Filter Inhibit After=0.0\n"
    "Data Log Visible=0\n"
    "Data Graph Height=150\n"
    "Data Graph Visible=0\n"
    "AFR Scale Visible=1\n"
    "AFR Scale X-Position=-250\n"
    "AFR Scale Y-Position=-50\n"
    "\n"
    "[Recent Files]\n"
    "1=/logs/b.txt\n"
    "2=/logs/a.txt\n"
    "[Settings]\n"
    "Odd line without equals\n"
    "Data Log Width=321\n"
    "\n"
    "[Main Window]\n"
    "Window Size=10,20,800,600\n"
    "\n"
    "[Colors]\n"
    "Use Color Table=2\n"
    "\n"
    "[Folders]\n"
    "Project Folder={project}\n"
    "Session Name=\n"
    "Session Folder=\n"
    "\n"
    "[Filter]\n"
    "Filters Enabled=1\n"
    "Max AFR=16.5\n"
    "Max AFR Enabled=0\n"
    "Max RPM Slope=0\n"
    "Max RPM Slope Enabled=0\n"
    "Max MAF Slope=0\n"
    "Max MAF Slope Enabled=0\n"
    "Include Idle=0\n"
    "Include Cruise=1\n"
    "Include WOT=1\n"
    "Inhibit Before=0.0\n"
    "Inhibit After=0.0\n"
    "AFR Smoothing=3\n"
    "Max Knock Retard 1=3.0\n"
    "Max Knock Cylinders 1=3\n"
    "Max Knock Retard 2=6.0\n"
    "Max Knock Cylinders 2=6\n"
    "\n"
    "[Adjust]\n"
    "Smoothing=2\n";
constexpr std::string_view ExpectedProjectFile =
    "[Settings]\r\n"
    "LH Config=MAP\r\n"
    "EZK Config=S4\r\n"
    "Plot Point Size=4\r\n"
    "AutoScale=0\r\n"
    "Manual Scale=0\r\n"
    "Min Plot RPM=0\r\n"
    "Max Plot RPM=6600\r\n"
    "Min Plot MAF=28\r\n"
    "Max Plot MAF=387\r\n"
    "Filters Enabled=1\r\n"
    "Filter Max AFR=0.0\r\n"
    "Filter Max AFR enabled=0\r\n"
    "Filter Max RPM Slope=0\r\n"
    "Filter Max RPM Slope Enabled=0\r\n"
    "Filter Max MAF Slope=0\r\n"
    "Filter Max MAF Slope Enabled=0\r\n"
    "Filter Include Idle=0\r\n"
    "Filter Include Cruise=1\r\n"
    "Filter Include WOT=1\r\n"
    "Filter Inhibit Before=0.0\r\n"
    "Filter Inhibit After=0.0\r\n";

struct TExit {
    TSettings Settings;
    TClosingValues Values;
    TClosingActions Actions;
};

TExit FirstExit(TSettingsStore& store, const fs::path& projectFolder) {
    TExit exit;
    exit.Settings.ProjectFolder = projectFolder;
    exit.Settings.ProjectName = "Volvo";
    exit.Settings.EngineSetup.LHConfig = TLHConfig::Map;
    exit.Settings.EngineSetup.EZKVersion = TEZKVersion::S4;
    exit.Settings.PlotPointSize = 4;
    exit.Settings.StoredFilters.MaxAfr = 16.5;
    exit.Values.MainWindowSize = TWindowSize{10, 20, 800, 600};
    exit.Values.RecentFiles = {"/logs/b.txt", "/logs/a.txt"};
    exit.Values.Layout.DataLogWidth = 321;
    exit.Actions.WriteColorTable = [&store] {
        return store.Main().WriteString("Colors", "Use Color Table", "2");
    };
    return exit;
}

std::string WithProjectFolder(std::string_view text, const fs::path& folder) {
    std::string result(text);
    const std::string mark = "{project}";
    result.replace(result.find(mark), mark.size(), folder.string());
    return result;
}

// Counts the whole-file writes of each file and lets them through.
struct TWriteCounter {
    std::map<fs::path, int> Writes;
    TIniFile2::TFileWriter Writer() {
        return [this](const fs::path& path, std::string_view bytes, std::string* errorText) {
            ++Writes[path];
            return WriteFileAtomically(path, bytes, errorText);
        };
    }
};

TEST(SettingsSaveBatchTest, AnExitWritesEachFileOnceAndKeepsEveryStoredByte) {
    TTempFolder temp;
    const fs::path project = temp.Path() / "Volvo";
    fs::create_directories(project);
    TSettingsStore store(temp.Path());
    ASSERT_TRUE(WriteFileAtomically(store.Main().FileName(), StartingMainFile));
    ASSERT_TRUE(WriteFileAtomically(project / "Kelvane.ini", StartingProjectFile));
    TWriteCounter counter;
    store.SetFileWriter(counter.Writer());
    ASSERT_TRUE(store.OpenProjectSettings(project));

    TExit exit = FirstExit(store, project);
    EXPECT_TRUE(RunClosingSequence(store, exit.Settings, exit.Values, exit.Actions, nullptr).Ok());
    EXPECT_EQ(counter.Writes,
              (std::map<fs::path, int>{{store.Main().FileName(), 1}, {project / "Kelvane.ini", 1}}));
    EXPECT_EQ(FileBytes(store.Main().FileName()), WithProjectFolder(ExpectedMainFile, project));
    EXPECT_EQ(FileBytes(project / "Kelvane.ini"), ExpectedProjectFile);
}

TEST(SettingsSaveBatchTest, ASettingsSaveWritesEachFileOnce) {
    TTempFolder temp;
    const fs::path project = temp.Path() / "Volvo";
    fs::create_directories(project);
    TSettingsStore store(temp.Path());
    TWriteCounter counter;
    store.SetFileWriter(counter.Writer());
    ASSERT_TRUE(store.OpenProjectSettings(project));
    TExit exit = FirstExit(store, project);
    EXPECT_TRUE(SaveSettings(store, exit.Settings).Ok());
    EXPECT_EQ(counter.Writes,
              (std::map<fs::path, int>{{store.Main().FileName(), 1}, {project / "Kelvane.ini", 1}}));
    EXPECT_EQ(store.Main().ReadString("Settings", "LH Config", ""), "MAP");

    // Saved again with nothing changed: no file is rewritten.
    counter.Writes.clear();
    ASSERT_TRUE(store.OpenProjectSettings(project));
    EXPECT_TRUE(SaveSettings(store, exit.Settings).Ok());
    EXPECT_TRUE(counter.Writes.empty());
}

// The main file at start: the folder section, the first run's colour tables and the
// start stamp are one write each (21 writes, one per key, before), and a later start
// writes only the stamp, which changed.
TEST(SettingsSaveBatchTest, AStartWritesTheMainFileOncePerStepAndOnlyWhatChanged) {
    TTempFolder temp;
    TSettingsStore store(temp.Path());
    TWriteCounter counter;
    store.SetFileWriter(counter.Writer());
    const fs::path main = store.Main().FileName();
    const TFolderSetup folders{temp.Path(), temp.Path(), main, false};
    const TPlatformFolders platform{temp.Path(), temp.Path(), {}, {}};
    const auto start = [&](std::string_view stamp) {
        counter.Writes.clear();
        EXPECT_TRUE(WriteFolderSection(store.Main(), folders, platform, {}));
        const int afterFolders = counter.Writes[main];
        (void)LoadColorTable(store.Main());
        const int afterColors = counter.Writes[main];
        EXPECT_TRUE(WriteStartStamp(store.Main(), "1.0.0.1", stamp));
        return std::vector<int>{afterFolders, afterColors - afterFolders, counter.Writes[main] - afterColors};
    };
    EXPECT_EQ(start("2026/12/11 06:00:00"), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(start("2026/12/11 07:00:00"), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(store.Main().ReadInteger("Colors", "Use Color Table", -1), 2);

    // An exit that saves the colour table as it is writes nothing.
    counter.Writes.clear();
    EXPECT_TRUE(SaveColorTable(store.Main(), LoadColorTable(store.Main())));
    EXPECT_TRUE(counter.Writes.empty());
}

// Every exit saves the target AFR map: a file that already holds it stays as it is.
TEST(SettingsSaveBatchTest, AnUnchangedTargetAfrMapIsNotWrittenAgain) {
#ifdef _WIN32
    GTEST_SKIP() << "tells a rewrite by the file's inode, which Windows does not have";
#else
    TTempFolder temp;
    const fs::path path = temp.Path() / "TargetAFRmap.txt";
    TMapGrid map = DefaultTargetAfrMap();
    ASSERT_TRUE(WriteTargetAfrMapFile(path, map).Ok);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const TMapWriteResult again = WriteTargetAfrMapFile(path, map);
    EXPECT_TRUE(again.Ok);
    EXPECT_EQ(again.FileName, path);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);  // a rewrite renames a new file over it

    map.At(3, 4) = 12.5;
    ASSERT_TRUE(WriteTargetAfrMapFile(path, map).Ok);
    TMapGrid read;
    ASSERT_TRUE(ReadTargetAfrMapFile(path, read));
    EXPECT_EQ(read.At(3, 4), 12.5);
#endif
}

// A New Session killed while its settings were written left a temporary of the new
// session's file, which no save of another session takes away: opening the session's
// file does, while one of a process still running stays.
TEST(SettingsSaveBatchTest, OpeningASessionsFileTakesAwayWhatAKilledSaveLeft) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a process id that names no process, made with fork";
#else
    TTempFolder temp;
    const fs::path session = temp.Path() / "2026-12-11";
    fs::create_directories(session);
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);  // its id now names no process
    const fs::path stale = session / ("Kelvane.ini.tmp" + std::to_string(child) + "-0123456789abcdef");
    const fs::path running =
        session / ("Kelvane.ini.tmp" + std::to_string(::getppid()) + "-0123456789abcdef");
    const fs::path other = session / ("Run1.txt.tmp" + std::to_string(child) + "-0123456789abcdef");
    for (const fs::path& path : {stale, running, other})
        ASSERT_TRUE(WriteFileAtomically(path, "[Settings]\r\n"));
    TSettingsStore store(temp.Path());
    ASSERT_TRUE(store.OpenSessionSettings(session));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(other));
#endif
}

TEST(SettingsSaveBatchTest, ReadsInsideABatchSeeItsWritesAndAFailedCommitLeavesTheFile) {
    TTempFolder temp;
    TIniFile2 ini(temp.Path() / "Kelvane.ini");
    ASSERT_TRUE(ini.WriteString("Settings", "A", "1"));
    bool refuse = false;
    int writes = 0;
    ini.SetFileWriter([&](const fs::path& path, std::string_view bytes, std::string* errorText) {
        ++writes;
        if (!refuse) return WriteFileAtomically(path, bytes, errorText);
        if (errorText) *errorText = path.string() + ": No space left on device";
        return false;
    });
    {
        TIniUpdate update(ini);
        ASSERT_TRUE(ini.WriteString("Settings", "A", "2"));
        ASSERT_TRUE(ini.WriteString("Other", "B", "3"));
        ASSERT_TRUE(ini.DeleteKey("Settings", "A"));
        ASSERT_TRUE(ini.WriteString("Settings", "A", "4"));
        EXPECT_EQ(ini.ReadString("Settings", "A", ""), "4");
        EXPECT_TRUE(ini.SectionExists("Other"));
        EXPECT_EQ(writes, 0);
        EXPECT_TRUE(update.Commit());
        EXPECT_TRUE(update.Commit());  // once only
    }
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(FileBytes(ini.FileName()), "[Settings]\r\nA=4\r\n\r\n[Other]\r\nB=3\r\n");

    refuse = true;
    ini.BeginUpdate();
    ASSERT_TRUE(ini.WriteString("Settings", "A", "5"));
    EXPECT_FALSE(ini.EndUpdate());
    EXPECT_EQ(ini.LastError(), ini.FileName().string() + ": No space left on device");
    EXPECT_EQ(ini.ReadString("Settings", "A", ""), "4");
}

}  // namespace
}  // namespace kelvane
