#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/ground/IniKeys.h"
#include "core/logdata/PlotMafPass.h"
#include "core/maps/MapText.h"
#include "core/shell/SessionApply.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

std::string MafLog(double firstAfr, int lines) {
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\n";
    for (int i = 0; i < lines; ++i)
        text += std::to_string(i) + ".0\t" + std::to_string(1000 + 100 * i) + "\t" +
                std::to_string(200 + 10 * i) + "\t" + std::to_string(firstAfr + 0.5 * i) + "\n";
    return text;
}

std::string IgnitionLog(int lines) {
    std::string text = "Time [s]\tRPM\tLoad [%]\tA/F ratio\n";
    for (int i = 0; i < lines; ++i)
        text += std::to_string(i) + ".0\t" + std::to_string(2000 + 100 * i) + "\t" + std::to_string(40 + i) +
                "\t14\n";
    return text;
}

// One more line at the end of a log, as a device writing on would add it.
void Append(const fs::path& log) {
    std::ofstream file(log, std::ios::binary | std::ios::app);
    file << "9.0\t1900\t290\t17.0\n";
}

struct TSampleView {
    double Rpm, PlotMaf, SmoothedAfr;
    bool operator==(const TSampleView&) const = default;
};

std::vector<TSampleView> Samples(const TKelvaneState& state) {
    std::vector<TSampleView> view;
    for (const TLogDataEntry& e : state.Logs.Data.Entries) view.push_back({e.Rpm, e.PlotMaf, e.SmoothedAfr});
    return view;
}

constexpr TEngineSetup MafSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};

// Two projects side by side, each with sessions of logs, and the program's
// settings in a folder of their own.
class SessionApplyTest : public ::testing::Test {
  protected:
    SessionApplyTest() : FStore(FRoot.Path() / "common") {
        fs::create_directories(FRoot.Path() / "common");
        Log("Volvo", "S1", "Run1.txt", MafLog(14, 6));
        Log("Volvo", "S1", "Run2.txt", MafLog(12, 5));
        Log("Volvo", "S2", "Run1.txt", MafLog(13, 4));
        Log("Saab", "Day", "Run1.txt", MafLog(15, 3));
        FActions.SaveBeforeClose = [this] {
            ++FSavePrompts;
            return true;
        };
    }

    fs::path Project(const std::string& project) const { return FRoot.Path() / project; }
    fs::path Log(const std::string& project, const std::string& session, const std::string& name,
                 const std::string& text) {
        const fs::path folder = Project(project) / session;
        fs::create_directories(folder);
        WriteText(folder / name, text);
        return folder / name;
    }
    TPendingSelection Select(const std::string& project, const std::string& session,
                             const std::vector<std::string>& logs, TEngineSetup setup = MafSetup) const {
        TPendingSelection selection;
        selection.ProjectFolder = Project(project);
        selection.SessionName = session;
        selection.Logs = logs.empty() ? TLogRequest::None : TLogRequest::Files;
        for (const std::string& log : logs) selection.LogFiles.push_back(Project(project) / session / log);
        selection.Setup = setup;
        return selection;
    }
    TSessionApplyResult Apply(const TPendingSelection& selection) {
        return ApplySessionSelection(FState, FStore, selection, FActions);
    }

    TTempFolder FRoot;
    TSettingsStore FStore;
    TKelvaneState FState;
    TSessionApplyActions FActions;
    int FSavePrompts = 0;
};

TEST_F(SessionApplyTest, TheTickedLogsOfTheSessionAreReadAndItsFolderWatched) {
    const TSessionApplyResult result = Apply(Select("Volvo", "S1", {"Run1.txt", "Run2.txt"}));
    EXPECT_TRUE(result.Applied);
    EXPECT_EQ(result.Files.size(), 2u);
    EXPECT_EQ(FState.Logs.OpenFiles.Count(), 2u);
    EXPECT_EQ(FState.Logs.Data.Count(), 11u);
    EXPECT_EQ(FState.Settings.SessionName, "S1");
    EXPECT_EQ(FState.Settings.ProjectName, "Volvo");
    EXPECT_EQ(result.WatchFolder, Project("Volvo") / "S1");
    EXPECT_TRUE(result.Changes.Has(TChange::Samples));
}

TEST_F(SessionApplyTest, NoLogTickedClosesThePlotWithItsSaveQuestion) {
    Apply(Select("Volvo", "S1", {"Run1.txt"}));
    FSavePrompts = 0;
    const TSessionApplyResult result = Apply(Select("Volvo", "S1", {}));
    EXPECT_TRUE(result.PlotClosed);
    EXPECT_EQ(FSavePrompts, 1);
    EXPECT_TRUE(FState.Logs.Data.Empty());
    EXPECT_EQ(FState.Logs.OpenFiles.Count(), 0u);
    EXPECT_EQ(result.WatchFolder, Project("Volvo") / "S1");
}

TEST_F(SessionApplyTest, MapsKeptThatCouldNotBeWrittenStopTheApply) {
    Apply(Select("Volvo", "S1", {"Run1.txt"}));
    FActions.SaveBeforeClose = [] { return false; };
    const TSessionApplyResult result = Apply(Select("Volvo", "S2", {"Run1.txt"}));
    EXPECT_FALSE(result.Applied);
    EXPECT_EQ(FState.Settings.SessionName, "S1");
    EXPECT_EQ(FState.Logs.Data.Count(), 6u);
}

TEST_F(SessionApplyTest, ALogNoLongerTickedLeavesThePlotAsIfTheRestWereReadAlone) {
    Apply(Select("Volvo", "S1", {"Run1.txt", "Run2.txt"}));
    FSavePrompts = 0;
    const TSessionApplyResult result = Apply(Select("Volvo", "S1", {"Run2.txt"}));
    EXPECT_FALSE(result.PlotClosed);
    EXPECT_EQ(FSavePrompts, 0);
    EXPECT_TRUE(result.Files.empty()) << "Run2 is read already";
    EXPECT_TRUE(result.Changes.Has(TChange::Samples));

    TKelvaneState alone;
    alone.Setup() = MafSetup;
    OpenLogs(alone, {Project("Volvo") / "S1" / "Run2.txt"}, {});
    EXPECT_EQ(Samples(FState), Samples(alone));
}

TEST_F(SessionApplyTest, AnotherSessionClosesThePlotAndClearsItsMaps) {
    const fs::path map = Project("Volvo") / "S1" / "Base fuel map.txt";
    WriteText(map, MapFileText(FilledGrid(100), 0));
    TPendingSelection first = Select("Volvo", "S1", {"Run1.txt"});
    first.LHStartingMap = map;
    Apply(first);
    ASSERT_TRUE(FState.Fuel.ReferenceLoaded);
    FSavePrompts = 0;

    const TSessionApplyResult result = Apply(Select("Volvo", "S2", {"Run1.txt"}));
    EXPECT_TRUE(result.PlotClosed);
    EXPECT_EQ(FSavePrompts, 1);
    EXPECT_FALSE(FState.Fuel.ReferenceLoaded);
    EXPECT_EQ(FState.Logs.OpenFiles.Count(), 1u);
    EXPECT_EQ(FState.Logs.OpenFiles.Name(0), (Project("Volvo") / "S2" / "Run1.txt").string());
    EXPECT_EQ(result.WatchFolder, Project("Volvo") / "S2");
}

TEST_F(SessionApplyTest, AnotherProjectSavesTheOldProjectsOwnSettingsFirst) {
    Apply(Select("Volvo", "S1", {"Run1.txt"},
                 TEngineSetup{TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::GT}));
    FState.Settings.ActiveFilters.MaxAfr = 16.5;

    Apply(
        Select("Saab", "Day", {"Run1.txt"}, TEngineSetup{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::S4}));
    const TIniFile2 volvo(Project("Volvo") / "Kelvane.ini");
    EXPECT_EQ(volvo.ReadString(SettingsSection, LHVersionKey, ""), "LH2.2");
    EXPECT_EQ(volvo.ReadString(SettingsSection, LHConfigKey, ""), "HMAF");
    EXPECT_EQ(volvo.ReadString(SettingsSection, EZKConfigKey, ""), "GT");
    EXPECT_EQ(volvo.ReadString(SettingsSection, FilterMaxAfrKey, ""), "16.5");
    EXPECT_EQ(FState.Settings.ProjectName, "Saab");
    EXPECT_EQ(FState.Setup(), (TEngineSetup{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::S4}));
}

TEST_F(SessionApplyTest, AChangedEngineSetupMovesTheLoadedSamples) {
    Apply(Select("Volvo", "S1", {"Run1.txt"}));
    const double maf = FState.Logs.Data.Entries[2].MafSignal;
    ASSERT_EQ(FState.Logs.Data.Entries[2].PlotMaf, maf);

    const TSessionApplyResult result = Apply(
        Select("Volvo", "S1", {"Run1.txt"}, TEngineSetup{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::S4}));
    EXPECT_TRUE(result.Files.empty());
    EXPECT_DOUBLE_EQ(FState.Logs.Data.Entries[2].PlotMaf, MapSystemPlotMaf(maf));
    EXPECT_TRUE(result.Changes.Has(TChange::Axes));
    EXPECT_TRUE(result.Changes.Has(TChange::Filters));
}

TEST_F(SessionApplyTest, AnOpenLogThatChangedOnDiskIsReadAgainInPlaceOfItsOldSamples) {
    Apply(Select("Volvo", "S1", {"Run1.txt", "Run2.txt"}));
    EXPECT_TRUE(Apply(Select("Volvo", "S1", {"Run1.txt", "Run2.txt"})).Files.empty());

    const fs::path run1 = Project("Volvo") / "S1" / "Run1.txt";
    WriteText(run1, MafLog(14, 9));
    const TSessionApplyResult result = Apply(Select("Volvo", "S1", {"Run1.txt", "Run2.txt"}));
    ASSERT_EQ(result.Files.size(), 1u);
    EXPECT_EQ(result.Files[0].first, run1);
    EXPECT_EQ(FState.Logs.Data.Count(), 14u);
    EXPECT_EQ(FState.Logs.OpenFiles.Count(), 2u);
}

TEST_F(SessionApplyTest, MapsLoadWhenTheirPathChangesAndATextMapIgnoresASourceChoice) {
    const fs::path base = Project("Volvo") / "S1" / "Base fuel map.txt";
    const fs::path other = Project("Volvo") / "S1" / "Initial fuel map.txt";
    WriteText(base, MapFileText(FilledGrid(100), 0));
    WriteText(other, MapFileText(FilledGrid(90), 0));
    TPendingSelection selection = Select("Volvo", "S1", {"Run1.txt"});
    selection.LHStartingMap = base;
    selection.LHMapSource = TLHMapSource::Cat;  // a choice left over in the window
    Apply(selection);
    ASSERT_TRUE(FState.Fuel.ReferenceLoaded);
    EXPECT_EQ(FState.Fuel.Reference.At(0, 0), 100);

    // The user's work on the map is not read over by the next hand-over.
    FState.Fuel.Adjustments.At(3, 4) = 1.1;
    FState.Fuel.AdjustmentsEdited = true;
    selection.LogFiles.push_back(Project("Volvo") / "S1" / "Run2.txt");
    const TSessionApplyResult same = Apply(selection);
    EXPECT_FALSE(same.Changes.Has(TChange::FuelMaps));
    EXPECT_EQ(FState.Fuel.Adjustments.At(3, 4), 1.1);

    selection.LHStartingMap = other;
    EXPECT_TRUE(Apply(selection).Changes.Has(TChange::FuelMaps));
    EXPECT_EQ(FState.Fuel.Reference.At(0, 0), 90);
    EXPECT_EQ(FState.Fuel.ReferencePath, other);
}

TEST_F(SessionApplyTest, IgnitionOnlyLogsAreShownOverTheIgnitionMap) {
    Log("Volvo", "Ign", "Run1.txt", IgnitionLog(4));
    Apply(Select("Volvo", "Ign", {"Run1.txt"}));
    EXPECT_EQ(FState.Display.View, TPlotView::EZK);
    Apply(Select("Volvo", "S1", {"Run1.txt"}));
    EXPECT_EQ(FState.Display.View, TPlotView::LH);
}

TEST_F(SessionApplyTest, QueuedLogsOfTheSessionAreReadNewOrChanged) {
    Apply(Select("Volvo", "S1", {"Run1.txt"}));
    const fs::path run1 = Project("Volvo") / "S1" / "Run1.txt";
    const fs::path run3 = Log("Volvo", "S1", "Run3.txt", MafLog(13, 2));
    const fs::path elsewhere = Project("Volvo") / "S2" / "Run1.txt";

    // Unchanged, and of another folder: nothing to read.
    EXPECT_TRUE(ReadQueuedLogs(FState, {run1, elsewhere}, TQueuedLogs::NewAndChanged).Files.empty());
    // While the project window picks the logs, a new one waits for its tick.
    EXPECT_TRUE(ReadQueuedLogs(FState, {run3}, TQueuedLogs::ChangedOpenOnly).Files.empty());

    Append(run1);
    const TQueuedLogsResult grown = ReadQueuedLogs(FState, {run1}, TQueuedLogs::ChangedOpenOnly);
    ASSERT_EQ(grown.Files.size(), 1u);
    EXPECT_EQ(FState.Logs.Data.Count(), 7u);
    EXPECT_TRUE(grown.Changes.Has(TChange::Samples));

    const TQueuedLogsResult added = ReadQueuedLogs(FState, {run3, run3}, TQueuedLogs::NewAndChanged);
    EXPECT_EQ(added.Files.size(), 1u);
    EXPECT_EQ(FState.Logs.Data.Count(), 9u);
}

}  // namespace
}  // namespace kelvane
