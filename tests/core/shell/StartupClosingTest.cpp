#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/ground/FileDefs.h"
#include "core/shell/StartupClosing.h"
#include "core/shell/StartupWindowRules.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// The debug log is on only when its file exists before it is opened.
bool OpenDebugLog(TDebugLog& log, const fs::path& file) {
    std::ofstream(file, std::ios::binary).flush();
    return log.Open(file);
}

TEST(ClosingSequenceTest, StepsRunInOrderAndWriteTheExitValues) {
    TTempFolder temp;
    const fs::path logFile = temp.Path() / "KVdebug.log";
    TDebugLog log;
    ASSERT_TRUE(OpenDebugLog(log, logFile));

    TSettingsStore store(temp.Path());
    // The start-up window was turned off during the run; the exit must not undo it.
    ASSERT_TRUE(StartupWindowClosing(store.Main(), true));
    ASSERT_TRUE(store.Main().WriteString("Recent Files", "9", "/old/stale.txt"));

    TSettings settings;
    settings.ProjectFolder = "/data/projects/Volvo/";
    settings.AdjustSmoothing = 4;
    settings.StoredFilters.MaxAfr = 16.5;
    settings.StoredFilters.MaxAfrEnabled = true;

    TClosingValues values;
    values.MainWindowSize = TWindowSize{10, 20, 800, 600};
    values.RecentFiles = {"/logs/b.txt", "/logs/a.txt"};
    values.Layout.DataLogWidth = 321;
    values.Layout.DataGraphVisible = true;
    values.PlotDisplay.ShowAfrScale = false;
    values.PlotDisplay.AfrScaleX = 12;
    values.PlotDisplay.AfrScaleY = -41;

    std::vector<std::string> order;
    TClosingActions actions;
    actions.ClosePlot = [&] {
        order.push_back("plot");
        // The window size is written only after the plot is closed.
        EXPECT_FALSE(store.Main().ValueExists("Main Window", "Window Size"));
    };
    actions.CloseToolWindows = [&] { order.push_back("tools"); };
    actions.WriteTargetAfrMap = [&] {
        order.push_back("target");
        TMapWriteResult written;
        written.Ok = true;
        return written;
    };
    actions.WriteColorTable = [&] {
        order.push_back("colours");
        // The layout keys come before the colour table.
        EXPECT_EQ(store.Main().ReadInteger("Settings", "Data Log Width", 0), 321);
        return true;
    };
    actions.StopFolderWorker = [&] {
        order.push_back("worker");
        EXPECT_EQ(store.Main().ReadInteger("Adjust", "Smoothing", 0), 4);
    };

    EXPECT_TRUE(RunClosingSequence(store, settings, values, actions, &log).Ok());
    EXPECT_EQ(order, (std::vector<std::string>{"plot", "tools", "target", "colours", "worker"}));

    const TIniFile2& main = store.Main();
    EXPECT_EQ(main.ReadString("Main Window", "Window Size", ""), "10,20,800,600");
    std::vector<std::string> recent;
    main.ReadSectionValues("Recent Files", recent);
    EXPECT_EQ(recent, (std::vector<std::string>{"1=/logs/b.txt", "2=/logs/a.txt"}));
    EXPECT_EQ(main.ReadString("Folders", "Project Folder", ""), "/data/projects/Volvo/");
    EXPECT_TRUE(main.ValueExists("Folders", "Session Name"));
    EXPECT_EQ(main.ReadString("Folders", "Session Folder", "x"), "");
    EXPECT_TRUE(main.ReadBool("Settings", "Data Graph Visible", false));
    EXPECT_EQ(main.ReadInteger("Settings", "AFR Scale X-Position", 0), 12);
    EXPECT_EQ(main.ReadInteger("Settings", "AFR Scale Y-Position", 0), -41);
    EXPECT_FALSE(main.ReadBool("Settings", "AFR Scale Visible", true));
    EXPECT_FALSE(main.ReadBool("Settings", "Startup Window", true));
    EXPECT_EQ(main.ReadNumber("Filter", "Max AFR", TDecimalComma::Refused, 0), 16.5);

    std::vector<std::string> logLines;
    ReadFileLines(logFile, logLines);
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find(" Kelvane Closing"), std::string::npos);
}

TEST(ClosingSequenceTest, FilesThatCannotBeWrittenAreNamedAndTheRestStillRuns) {
    TTempFolder temp;
    TSettingsStore store(temp.Path());
    // A folder where the settings file should be: no user, root included, can write it.
    fs::create_directories(store.Main().FileName() / "inside");
    const fs::path target = temp.Path() / "TargetAFRmap.txt";

    std::vector<std::string> order;
    TClosingActions actions;
    actions.WriteTargetAfrMap = [&] {
        order.push_back("target");
        TMapWriteResult written;
        written.FileName = target;
        written.ErrorText = target.string() + ": No space left on device";
        return written;
    };
    actions.WriteColorTable = [&] {
        order.push_back("colours");
        return store.Main().WriteString("Colors", "Use Color Table", "2");
    };
    actions.StopFolderWorker = [&] { order.push_back("worker"); };
    TSettings settings;
    TClosingValues values;
    values.MainWindowSize = TWindowSize{10, 20, 800, 600};

    const TWriteFailures failures = RunClosingSequence(store, settings, values, actions, nullptr);
    EXPECT_EQ(failures.Messages(),
              (std::vector<std::string>{store.Main().FileName().string() + ": not a regular file",
                                        target.string() + ": No space left on device"}));
    EXPECT_EQ(order, (std::vector<std::string>{"target", "colours", "worker"}));
    EXPECT_TRUE(fs::is_directory(store.Main().FileName() / "inside"));
}

TEST(ClosingSequenceTest, WithoutWindowSizeOrActionsOnlyTheSettingsAreWritten) {
    TTempFolder temp;
    TSettingsStore store(temp.Path());
    ASSERT_TRUE(store.Main().WriteString("Main Window", "Window Size", "1,2,3,4"));
    TSettings settings;
    EXPECT_TRUE(RunClosingSequence(store, settings, TClosingValues{}, TClosingActions{}, nullptr).Ok());
    EXPECT_EQ(store.Main().ReadString("Main Window", "Window Size", ""), "1,2,3,4");
    EXPECT_FALSE(store.Main().SectionExists("Recent Files"));
    EXPECT_EQ(store.Main().ReadInteger("Settings", "Data Log Width", 0), 300);
}

TEST(ClosingSequenceTest, ASecondCopyClosesWithoutWritingAnything) {
    TTempFolder temp;
    const fs::path logFile = temp.Path() / "KVdebug.log";
    TDebugLog log;
    ASSERT_TRUE(OpenDebugLog(log, logFile));
    TSettingsStore store(temp.Path());
    TSettings settings;
    TClosingValues values;
    values.WriteSettings = false;
    values.MainWindowSize = TWindowSize{10, 20, 800, 600};
    values.RecentFiles = {"/logs/a.txt"};

    std::vector<std::string> order;
    TClosingActions actions;
    actions.ClosePlot = [&] { order.push_back("plot"); };
    actions.CloseToolWindows = [&] { order.push_back("tools"); };
    actions.WriteTargetAfrMap = [&] {
        order.push_back("target");
        return TMapWriteResult{};
    };
    actions.WriteColorTable = [&] {
        order.push_back("colours");
        return true;
    };
    actions.StopFolderWorker = [&] { order.push_back("worker"); };

    EXPECT_TRUE(RunClosingSequence(store, settings, values, actions, &log).Ok());
    EXPECT_EQ(order, (std::vector<std::string>{"plot", "tools", "worker"}));
    EXPECT_FALSE(fs::exists(store.Main().FileName()));
    std::ifstream written(logFile);
    const std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Kelvane Closing"), std::string::npos);
}

}  // namespace
}  // namespace kelvane
