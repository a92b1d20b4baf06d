#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/logdata/PlotMafPass.h"
#include "core/shell/LogOpening.h"
#include "core/state/DerivedData.h"
#include "core/state/PlotRanges.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// A MAF log whose AFR steps from line to line, so smoothing across a file
// boundary shows in the smoothed values.
std::string MafLog(double firstAfr, int lines) {
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\n";
    for (int i = 0; i < lines; ++i)
        text += std::to_string(i) + ".0\t" + std::to_string(1000 + 100 * i) + "\t" +
                std::to_string(200 + 10 * i) + "\t" + std::to_string(firstAfr + 0.5 * i) + "\n";
    return text;
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

class LogOpeningTest : public ::testing::Test {
  protected:
    fs::path Write(const std::string& name, const std::string& text) {
        const fs::path path = FFolder.Path() / name;
        WriteText(path, text);
        return path;
    }
    TTempFolder FFolder;
};

TEST_F(LogOpeningTest, OneOpenReadsFullPathsInNameOrder) {
    const fs::path b = Write("Run2.txt", MafLog(13, 3));
    const fs::path a = Write("Run1.txt", MafLog(14, 3));
    TKelvaneState state;
    const TOpenLogsResult result = OpenLogs(state, {b, a}, {});
    ASSERT_EQ(result.Files.size(), 2u);
    EXPECT_EQ(result.Files[0].first, a);
    EXPECT_EQ(result.Files[1].first, b);
    EXPECT_TRUE(result.AnyLoaded);
    EXPECT_TRUE(result.Changes.Has(TChange::Samples));
    EXPECT_EQ(state.Logs.OpenFiles.Name(0), a.string());
}

TEST_F(LogOpeningTest, ChosenSetupDecidesThePlotMafPassAndACancelStopsTheRest) {
    const fs::path a = Write("Run1.txt", MafLog(14, 3));
    const fs::path b = Write("Run2.txt", MafLog(13, 3));
    TKelvaneState state;
    TOpenLogsOptions options;
    options.ChosenSetup = TEngineSetup{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::S4};
    int reads = 0;
    options.Read = [&reads](TLogState& logs, const fs::path& path, const TLoadLogOptions& load) {
        TLoadLogResult result = LoadLogFile(logs, path, load);
        result.Cancelled = ++reads == 2;  // the user stops during the second file
        return result;
    };
    const TOpenLogsResult result = OpenLogs(state, {a, b}, options);
    EXPECT_TRUE(result.Cancelled);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(state.Setup().LHConfig, TLHConfig::Map);
    // The MAP system carries the MAF signal onto its own load breakpoints.
    ASSERT_FALSE(state.Logs.Data.Empty());
    EXPECT_NE(state.Logs.Data[0].PlotMaf, state.Logs.Data[0].MafSignal);
}

// Closing one file leaves the plot as if only the others had been opened:
// the smoothing no longer reaches across the gap.
TEST_F(LogOpeningTest, ClosingAFileLeavesThePlotAsIfOnlyTheOthersWereOpened) {
    const fs::path a = Write("Run1.txt", MafLog(12, 4));
    const fs::path b = Write("Run2.txt", MafLog(16, 4));
    const fs::path c = Write("Run3.txt", MafLog(13, 4));
    TKelvaneState all;
    OpenLogs(all, {a, b, c}, {});
    TKelvaneState expected;
    OpenLogs(expected, {a, c}, {});

    const TChangeSet changes = CloseLogFile(all, b.string());

    EXPECT_TRUE(changes.Has(TChange::Samples));
    EXPECT_EQ(Samples(all), Samples(expected));
    EXPECT_EQ(all.Logs.OpenFiles.Count(), 2u);
    EXPECT_TRUE(CloseLogFile(all, (FFolder.Path() / "Other.txt").string()).Empty());
}

// The samples follow a change of the LH configuration: a MAP system places
// them by its own load scale, and the filters run again over them.
TEST_F(LogOpeningTest, AnEngineSetupChangeRunsThePlotMafPassAgain) {
    const fs::path a = Write("Run1.txt", MafLog(12, 4));
    TKelvaneState state;
    state.Setup().LHConfig = TLHConfig::Maf;
    OpenLogs(state, {a}, {});
    const double maf = state.Logs.Data.Entries[1].MafSignal;
    ASSERT_EQ(state.Logs.Data.Entries[1].PlotMaf, maf);

    state.Setup().LHConfig = TLHConfig::Map;
    const TChangeSet changes = SetUpForEngineSetup(state);
    EXPECT_DOUBLE_EQ(state.Logs.Data.Entries[1].PlotMaf, MapSystemPlotMaf(maf));
    EXPECT_TRUE(changes.Has(TChange::Axes));
    EXPECT_TRUE(changes.Has(TChange::Filters));

    TKelvaneState empty;
    EXPECT_FALSE(SetUpForEngineSetup(empty).Has(TChange::Filters));
}

// Every path that sets up the axes fits the plot the same way: in the
// automatic scale mode the full-load samples stay in view after a map load,
// an undo or an option that sets the axes up again.
TEST_F(LogOpeningTest, SettingUpTheAxesFitsThePlotToTheSamples) {
    const fs::path a = Write("Run1.txt", MafLog(12, 31));  // MAF 200 .. 500
    TKelvaneState state;
    state.Setup().LHConfig = TLHConfig::Maf;
    state.Settings.ScaleMode = TScaleMode::Automatic;
    UpdateDerivedData(state, OpenLogs(state, {a}, {}).Changes);
    const TPlotRanges opened = state.PlotRanges;
    double highest = 0;
    for (const TLogDataEntry& e : state.Logs.Data.Entries)
        if (e.Included) highest = std::max(highest, e.PlotMaf);
    ASSERT_GE(highest, 450);
    ASSERT_GE(opened.MaxLoad, highest);

    state.PlotRanges = SettingsPlotRanges(state);  // as a zoom would leave them
    SetUpAxes(state);
    EXPECT_TRUE(SamePlotRanges(state.PlotRanges, opened));
}

// LH 2.2 has no EZK view: the command that sets the axes up for it says the
// view changed, so the cells selected on the ignition grid and their samples
// are let go.
TEST_F(LogOpeningTest, LH22TakesThePlotBackToTheFuelView) {
    const fs::path a = Write("Run1.txt", MafLog(12, 8));
    TKelvaneState state;
    UpdateDerivedData(state, OpenLogs(state, {a}, {}).Changes);
    state.Display.View = TPlotView::EZK;
    UpdateDerivedData(state, TChange::Display);
    state.SelectionEditor().Replace(RegionCells(WholeGrid));
    ASSERT_FALSE(state.Selection.Empty());

    state.Setup().LHVersion = TLHVersion::LH22;
    const TChangeSet changes = SetUpAxes(state);
    EXPECT_TRUE(changes.Has(TChange::Display));
    EXPECT_EQ(state.Display.View, TPlotView::LH);
    UpdateDerivedData(state, changes);
    EXPECT_TRUE(state.Selection.Empty());
    for (const TLogDataEntry& e : state.Logs.Data.Entries) EXPECT_FALSE(e.Selected);

    // With LH 2.3 the view stays.
    state.Setup().LHVersion = TLHVersion::LH23;
    state.Display.View = TPlotView::EZK;
    EXPECT_FALSE(SetUpAxes(state).Has(TChange::Display));
    EXPECT_EQ(state.Display.View, TPlotView::EZK);
}

}  // namespace
}  // namespace kelvane
