#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "core/ground/FileDefs.h"
#include "core/shell/StartupClosing.h"
#include "core/shell/StartupWindowRules.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

TEST(ClosingSequenceTest, StepsRunInOrderAndWriteTheExitValues) {
    TTempFolder temp;
    const fs::path logFile = temp.Path() / "KVdebug.log";
    std::ofstream(logFile, std::ios::binary).flush();
    TDebugLog log;
    ASSERT_TRUE(log.Open(logFile));

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
    values.AfrScaleX = 12.5;  // halves go to even
    values.AfrScaleY = -40.6;

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
        return true;
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

    EXPECT_TRUE(RunClosingSequence(store, settings, values, actions, &log));
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
    EXPECT_FALSE(main.ReadBool("Settings", "Startup Window", true));
    EXPECT_EQ(main.ReadNumber("Filter", "Max AFR", TDecimalComma::Refused, 0), 16.5);

    std::vector<std::string> logLines;
    ReadFileLines(logFile, logLines);
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find(" Kelvane Closing"), std::string::npos);
}

TEST(ClosingSequenceTest, WithoutWindowSizeOrActionsOnlyTheSettingsAreWritten) {
    TTempFolder temp;
    TSettingsStore store(temp.Path());
    ASSERT_TRUE(store.Main().WriteString("Main Window", "Window Size", "1,2,3,4"));
    TSettings settings;
    EXPECT_TRUE(RunClosingSequence(store, settings, TClosingValues{}, TClosingActions{}, nullptr));
    EXPECT_EQ(store.Main().ReadString("Main Window", "Window Size", ""), "1,2,3,4");
    EXPECT_FALSE(store.Main().SectionExists("Recent Files"));
    EXPECT_EQ(store.Main().ReadInteger("Settings", "Data Log Width", 0), 300);
}

}  // namespace
}  // namespace kelvane
