#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <filesystem>
#include <memory>
#include <string>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"
#include "core/maps/MapText.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

std::string MafLog(int firstRpm) {
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\n";
    for (int i = 0; i < 5; ++i)
        text += std::to_string(i) + ".0\t" + std::to_string(firstRpm + 100 * i) + "\t200\t14\n";
    return text;
}

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// A main window with two logs open (LH 2.3, standard MAF, GT) and a fuel map.
struct TFirstHourFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;
    fs::path Run1, Run2;

    TFirstHourFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Run1 = Folder.Path() / "Run1.txt";
        Run2 = Folder.Path() / "Run2.txt";
        WriteText(Run1, MafLog(1000));
        WriteText(Run2, MafLog(3000));
        ChooseSetup(TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT});
        Prompts.Then(TFakeAnswer::Open({Q(Run1), Q(Run2)}));
        Form->OpenNewPlot1()->trigger();
        State().Fuel.Reference.Fill(50);
        State().Fuel.ReferenceLoaded = true;
        Form->Document().Apply(TChange::FuelMaps);
    }

    void ChooseSetup(std::optional<TEngineSetup> setup) {
        Prompts.LogFileOptions = [setup](const TEngineSetup&) { return setup; };
    }

    TKelvaneState& State() { return Form->State(); }
};

// Nothing is closed before the user has chosen files and confirmed the options.
TEST(FirstHourTest, CancellingANewPlotOpenLeavesThePlotAndItsMaps) {
    TFirstHourFixture f;
    ASSERT_EQ(f.State().Logs.Data.Count(), 10u);

    f.Prompts.Then(TFakeAnswer::Cancel(TPromptKind::OpenFiles));
    f.Form->OpenNewPlot1()->trigger();
    EXPECT_EQ(f.State().Logs.Data.Count(), 10u);

    f.ChooseSetup(std::nullopt);  // Cancel in "Log File Options"
    f.Prompts.Then(TFakeAnswer::Open({Q(f.Run1)}));
    f.Form->OpenNewPlot1()->trigger();
    EXPECT_EQ(f.State().Logs.Data.Count(), 10u);
    EXPECT_TRUE(f.State().Fuel.ReferenceLoaded);
    EXPECT_EQ(f.State().Setup().EZKVersion, TEZKVersion::GT);
}

TEST(FirstHourTest, ARecentFileThatIsGoneLeavesThePlotAndSaysWhich) {
    TFirstHourFixture f;
    fs::remove(f.Run2);
    ASSERT_EQ(f.State().Settings.RecentFiles.front(), f.Run2);

    f.Form->RecentFileClick(1);

    ASSERT_FALSE(f.Prompts.Calls.empty());
    EXPECT_EQ(f.Prompts.Calls.back().Kind, TPromptKind::Error);
    EXPECT_TRUE(f.Prompts.Calls.back().Text.contains(QStringLiteral("Run2.txt")));
    EXPECT_EQ(f.State().Logs.Data.Count(), 10u);
    EXPECT_TRUE(f.State().Fuel.ReferenceLoaded);
}

TEST(FirstHourTest, TheEngineSetupIsAlwaysShownAndItsChangesAreTold) {
    TFirstHourFixture f;
    EXPECT_EQ(f.Form->SetupPanel()->text(), QStringLiteral("LH 2.3, Standard MAF, EZK GT"));

    f.ChooseSetup(TEngineSetup{TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::GT});
    f.Prompts.Then(TFakeAnswer::Open({Q(f.Run1)}));
    f.Form->OpenAddToPlot1()->trigger();

    EXPECT_EQ(f.Form->SetupPanel()->text(), QStringLiteral("LH 2.3, Vortrix Alpha, EZK GT"));
    EXPECT_EQ(f.Form->statusBar()->currentMessage(),
              QStringLiteral("LH configuration changed from Standard MAF to Vortrix Alpha"));
}

TEST(FirstHourTest, OneLogFileOfSeveralCanBeClosed) {
    TFirstHourFixture f;
    emit f.Form->CloseLogFile1()->aboutToShow();
    const QList<QAction*> items = f.Form->CloseLogFile1()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Run1.txt"));

    items[0]->trigger();

    EXPECT_EQ(f.State().Logs.OpenFiles.Count(), 1u);
    EXPECT_EQ(f.State().Logs.Data.Count(), 5u);
    EXPECT_EQ(f.State().Logs.Data[0].Rpm, 3000);
    EXPECT_EQ(f.Form->StatusPanel(0)->text(), QStringLiteral("1 files open, 5 data points"));
}

TEST(FirstHourTest, DroppedLogsJoinThePlotAndDroppedMapsLoad) {
    TFirstHourFixture f;
    const fs::path map = f.Folder.Path() / "Base.txt";
    TMapGrid grid{};
    grid.Fill(77);
    ASSERT_TRUE(WriteLHMapText(map, grid, 0, TOverwrite::Replace).Ok);
    const fs::path run3 = f.Folder.Path() / "Run3.txt";
    WriteText(run3, MafLog(5000));

    f.Form->OpenDroppedFiles({Q(map), Q(run3)});

    EXPECT_EQ(f.State().Fuel.Reference.At(3, 3), 77);
    EXPECT_EQ(f.State().Logs.OpenFiles.Count(), 3u);
    EXPECT_EQ(f.State().Logs.Data.Count(), 15u);
}

TEST(FirstHourTest, FileDialogsSayWhatTheyAreFor) {
    TFirstHourFixture f;
    f.Prompts.Then(TFakeAnswer::Cancel(TPromptKind::OpenFiles));
    f.Form->OpenAddToPlot1()->trigger();
    f.Prompts.Then(TFakeAnswer::Cancel(TPromptKind::OpenFiles));
    f.Form->LoadMapFile1()->trigger();
    f.Prompts.Then(TFakeAnswer::Cancel(TPromptKind::OpenFiles));
    f.Form->CompareMapFile1()->trigger();

    QStringList captions;
    for (const TPromptCall& call : f.Prompts.Calls) captions << call.Caption;
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Open Log Files"), QStringLiteral("Open Log Files"),
                                     QStringLiteral("Load Map File"), QStringLiteral("Compare Map File")}));
}

}  // namespace
}  // namespace kelvane
