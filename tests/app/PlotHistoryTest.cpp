#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"
#include "core/adjust/UpdatedMaps.h"
#include "core/maps/MapText.h"
#include "support/BinTestImages.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// Samples walking up in engine speed, air mass and load, so that many cells
// of both views hold some.
std::string WalkLog(int count) {
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\tLoad [%]\n";
    for (int i = 0; i < count; ++i)
        text += std::to_string(i) + "\t" + std::to_string(1000 + 100 * i) + "\t" +
                std::to_string(150 + 10 * i) + "\t13.5\t" + std::to_string(5 + 3 * i) + "\n";
    return text;
}

// A main window with a project session holding one log and a fuel map file,
// every unannounced map change recorded rather than fatal.
struct THistoryFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;
    fs::path Project, Session, Run1, MapFile;
    std::vector<TChangeSet> Unannounced;

    THistoryFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Form->Document().SetUnannouncedHandler(
            [this](TChangeSet missing) { Unannounced.push_back(missing); });
        Project = Folder.Path() / "Car";
        Session = Project / "Day 1";
        fs::create_directories(Session);
        Run1 = Session / "Run1.txt";
        WriteText(Run1, WalkLog(40));
        MapFile = Folder.Path() / "stock.txt";
        TMapGrid grid{};
        grid.Fill(120);
        EXPECT_TRUE(WriteLHMapText(MapFile, grid, 0, TOverwrite::Replace).Ok);
        Prompts.LogFileOptions = [](const TEngineSetup&) {
            return TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT};
        };
    }

    TKelvaneState& State() { return Form->State(); }

    void OpenLogs() {
        Prompts.Then(TFakeAnswer::Open({Q(Run1)}));
        Form->OpenNewPlot1()->trigger();
        ASSERT_EQ(State().Logs.Data.Count(), 40u);
    }
    void LoadMap(const fs::path& file) {
        Prompts.Then(TFakeAnswer::Open({Q(file)}));
        Form->LoadMapFile1()->trigger();
    }
    // The session as the Project Manager hands it over: its log, no maps.
    void OpenSession() {
        TPendingSelection selection;
        selection.ProjectFolder = Project / "";
        selection.SessionName = "Day 1";
        selection.Logs = TLogRequest::Files;
        selection.LogFiles = {Run1};
        selection.Setup = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT};
        Form->HandOverSelection(selection);
        for (int i = 0; i < 5 && State().Settings.SessionName.empty(); ++i) QCoreApplication::processEvents();
        ASSERT_EQ(State().Settings.SessionName, "Day 1");
        ASSERT_EQ(State().Logs.Data.Count(), 40u);
    }
    std::size_t Questions() const {
        std::size_t count = 0;
        for (const TPromptCall& call : Prompts.Calls)
            if (call.Kind == TPromptKind::YesNoCancel) ++count;
        return count;
    }
    // The map files in the session folder.
    std::vector<std::string> SessionMaps() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Session))
            if (entry.path().filename().string().find("map") != std::string::npos)
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// The map history belongs to one plot: whatever starts a new plot leaves
// nothing of the last one's maps to undo.
TEST(PlotHistoryTest, UndoNeverBringsBackTheLastPlotsMaps) {
    struct TCase {
        const char* Name;
        void (*StartPlot)(THistoryFixture&);
    };
    const TCase cases[] = {
        {"New Plot",
         [](THistoryFixture& f) {
             f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::No));
             f.Form->NewPlot1()->trigger();
         }},
        {"Open Log File (new plot)",
         [](THistoryFixture& f) {
             f.Prompts.Then(TFakeAnswer::Open({Q(f.Run1)}));
             f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::No));
             f.Form->OpenNewPlot1()->trigger();
         }},
        {"a session handed over",
         [](THistoryFixture& f) {
             f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::No));
             f.OpenSession();
         }},
        {"the plot closed",
         [](THistoryFixture& f) {
             f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::No));
             f.Form->ClosePlot();
         }},
    };
    for (const TCase& c : cases) {
        THistoryFixture f;
        f.OpenLogs();
        f.LoadMap(f.MapFile);
        ASSERT_TRUE(f.State().Fuel.ReferenceLoaded) << c.Name;
        f.State().Fuel.Adjustments.Fill(1.1);
        f.State().Fuel.RecomputeUpdated(f.State().Axes.FuelLimits);
        f.State().Fuel.AdjustmentsEdited = true;
        f.Form->Document().Apply(TChange::FuelMaps);
        ASSERT_TRUE(f.Form->Undo1()->isEnabled()) << c.Name;

        c.StartPlot(f);
        EXPECT_FALSE(f.Form->Undo1()->isEnabled()) << c.Name;
        const TFuelMapSet started = f.State().Fuel;
        f.Form->Undo1Click();
        EXPECT_TRUE(SameFuelMaps(f.State().Fuel, started)) << c.Name;
        EXPECT_FALSE(f.State().Fuel.AdjustmentsEdited) << c.Name;
        EXPECT_FALSE(f.State().Ignition.AdjustmentsEdited) << c.Name;
        EXPECT_TRUE(f.Unannounced.empty()) << c.Name;
    }
}

// A session switched to, then Save Maps: nothing of the old session is
// written into the new one.
TEST(PlotHistoryTest, ASessionSavesNothingItNeverAdjusted) {
    THistoryFixture f;
    f.OpenLogs();
    f.LoadMap(f.MapFile);
    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::No));
    f.OpenSession();
    f.Form->Undo1Click();
    f.Form->SaveMaps1()->trigger();
    EXPECT_EQ(f.SessionMaps(), std::vector<std::string>{});
}

// Undo and redo of a map load leave the maps as loaded: closing asks nothing
// and writes no updated map.
TEST(PlotHistoryTest, UndoThenRedoOfALoadLeavesNothingToSave) {
    THistoryFixture f;
    f.OpenLogs();
    f.LoadMap(f.MapFile);
    f.Form->Undo1Click();
    f.Form->Redo1Click();
    ASSERT_TRUE(f.State().Fuel.ReferenceLoaded);
    f.Form->NewPlot1()->trigger();
    EXPECT_EQ(f.Questions(), 0u);
    EXPECT_FALSE(fs::exists(f.Folder.Path() / "Updated (stock) fuel map.txt"));
}

// Adjustments over no map (a session without one) are no map of the car's:
// closing asks nothing and the session gets no updated map.
TEST(PlotHistoryTest, AdjustmentsWithoutAReferenceAreNeitherAskedAboutNorSaved) {
    THistoryFixture f;
    f.OpenSession();
    ASSERT_FALSE(f.State().Fuel.ReferenceLoaded);
    f.State().Fuel.Adjustments.Fill(1.2);
    f.State().Fuel.RecomputeUpdated(f.State().Axes.FuelLimits);
    f.State().Fuel.AdjustmentsEdited = true;
    f.Form->Document().Apply(TChange::FuelMaps);

    f.Form->SaveMaps1()->trigger();
    ASSERT_TRUE(f.Form->ClosePlot());
    EXPECT_EQ(f.Questions(), 0u);
    EXPECT_EQ(f.SessionMaps(), std::vector<std::string>{});
}

// A pasted map gets its base map file when the session's plot closes; that
// is announced like any change of the maps.
TEST(PlotHistoryTest, TheBaseMapOfAPasteIsAnnounced) {
    THistoryFixture f;
    f.OpenSession();
    TMapGrid grid{};
    grid.Fill(99);
    QGuiApplication::clipboard()->setText(QString::fromStdString(MapFileText(grid, 0)));
    f.Form->PasteMap1Click();
    ASSERT_TRUE(f.State().Fuel.ReferenceLoaded);
    ASSERT_TRUE(f.State().Fuel.ReferencePath.empty());

    ASSERT_TRUE(f.Form->ClosePlot());
    EXPECT_TRUE(f.Unannounced.empty());
    EXPECT_TRUE(fs::exists(f.Session / "Base fuel map.txt"));
    EXPECT_FALSE(f.Form->Undo1()->isEnabled());
}

// LH 2.2 has no ignition view: an LH 2.2 image loaded while the ignition
// grid is shown takes the plot to the fuel view, and the cells selected on
// the ignition grid go with it.
TEST(PlotHistoryTest, AnLH22ImageTakesThePlotOffTheIgnitionGrid) {
    THistoryFixture f;
    f.OpenLogs();
    f.Form->EZKButton()->trigger();
    ASSERT_EQ(f.State().Display.View, TPlotView::EZK);
    f.State().SelectionEditor().Replace(RegionCells(WholeGrid));
    f.Form->Document().Apply(TChange::Selection);
    ASSERT_FALSE(f.State().Selection.Empty());

    const fs::path image = f.Folder.Path() / "lh22.bin";
    testing::WriteBytes(image, testing::MakeLH22Image());
    f.LoadMap(image);
    ASSERT_EQ(f.State().Setup().LHVersion, TLHVersion::LH22);
    EXPECT_EQ(f.State().Display.View, TPlotView::LH);
    EXPECT_TRUE(f.State().Selection.Empty());
    for (const TLogDataEntry& e : f.State().Logs.Data.Entries) EXPECT_FALSE(e.Selected);
    EXPECT_FALSE(f.Form->EZKButton()->isChecked());
}

}  // namespace
}  // namespace kelvane
