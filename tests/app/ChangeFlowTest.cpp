#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"
#include "core/maps/MapText.h"
#include "core/plot/MeanAfrGrid.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// Cruise samples at 3000 RPM / MAF 200, AFR 14.0.
std::string CruiseLog() {
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\tThrottle pos (1=idle, 2=cruise, 3=WOT)\n";
    for (int i = 0; i < 10; ++i) text += std::to_string(i) + ".0\t3000\t200\t14.0\t2\n";
    return text;
}

TMapGrid FuelMap(double value) {
    TMapGrid grid{};
    grid.Fill(value);
    return grid;
}

// A main window with a log open and the fuel map adjusted by 5 %, as the
// fuel adjustment leaves it.
struct TFlowFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

    TFlowFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Form->resize(900, 600);
        Form->show();
        const fs::path log = Folder.Path() / "Run1.txt";
        WriteText(log, CruiseLog());
        EXPECT_TRUE(Form->LoadLogFile(QString::fromStdString(log.string())));
        TFuelMapSet& fuel = State().Fuel;
        fuel.Reference = FuelMap(20);
        fuel.ReferenceLoaded = true;
        fuel.Adjustments.Fill(1.05);
        fuel.RecomputeUpdated(State().Axes.FuelLimits);
        Form->Document().Apply(TChange::FuelMaps);
    }

    TKelvaneState& State() { return Form->State(); }

    // The mean AFR grid as a fresh pass over the samples gives it now.
    TMapGrid FreshMeanAfr() { return ComputeMeanAfrGrid(State().Logs.Data, State().PlotContext()); }

    QString WriteMap(const char* name, double value) {
        const fs::path path = Folder.Path() / name;
        EXPECT_TRUE(WriteLHMapText(path, FuelMap(value), 0, TOverwrite::Replace).Ok);
        return QString::fromStdString(path.string());
    }
};

struct TMapCommandCase {
    const char* Name;
    std::function<void(TFlowFixture&)> Run;
};

class MapCommandsRecomputeMeanAfr : public ::testing::TestWithParam<TMapCommandCase> {};

// Every command that changes the fuel maps changes the printed mean AFR
// values with the dots: the adjustments are part of each sample's AFR.
TEST_P(MapCommandsRecomputeMeanAfr, PrintedMeanAfrFollowsTheNewAdjustments) {
    TFlowFixture f;
    const TMapGrid adjusted = f.State().MeanAfrGrid;
    ASSERT_EQ(adjusted, f.FreshMeanAfr());

    GetParam().Run(f);

    EXPECT_NE(f.State().Fuel.Adjustments.At(0, 0), 1.05) << "the command did not change the adjustments";
    EXPECT_NE(f.State().MeanAfrGrid, adjusted);
    EXPECT_EQ(f.State().MeanAfrGrid, f.FreshMeanAfr());
}

INSTANTIATE_TEST_SUITE_P(
    MainForm, MapCommandsRecomputeMeanAfr,
    ::testing::Values(TMapCommandCase{"PasteMap",
                                      [](TFlowFixture& f) {
                                          QGuiApplication::clipboard()->setText(
                                              QString::fromStdString(CopyBlock(FuelMap(30), WholeMap, 0)));
                                          f.Form->PasteMap1Click();
                                      }},
                      TMapCommandCase{"LoadMapFile",
                                      [](TFlowFixture& f) {
                                          f.Prompts.Then(TFakeAnswer::Open({f.WriteMap("ref.txt", 40)}));
                                          f.Form->LoadMapFile1Click();
                                      }},
                      TMapCommandCase{"CompareMapFile",
                                      [](TFlowFixture& f) {
                                          f.Prompts.Then(TFakeAnswer::Open({f.WriteMap("cmp.txt", 60)}));
                                          f.Form->CompareMapFile1Click();
                                      }},
                      TMapCommandCase{"ResetFuelMapAdjustment",
                                      [](TFlowFixture& f) { f.Form->ResetFuelMapAdjustment1Click(); }}),
    [](const ::testing::TestParamInfo<TMapCommandCase>& info) { return std::string(info.param.Name); });

// Windows hear of every change through one signal that says what changed.
TEST(ChangeFlowTest, CommandsAnnounceWhatTheyChanged) {
    TFlowFixture f;
    QSignalSpy spy(&f.Form->Document(), &TKelvaneDocument::Changed);

    f.Form->SetView(TPlotView::EZK, TPlotFormat::Cells);
    f.Form->ToggleOverlay(TMapOverlay::Reference);
    f.Form->ResetFuelMapAdjustment1Click();
    f.Form->NewPlot1Click();

    // The new plot is two steps: the logs closed, then the maps cleared.
    ASSERT_EQ(spy.count(), 5);
    const auto changes = [&spy](int i) { return spy.at(i).at(0).value<TChangeSet>(); };
    EXPECT_EQ(changes(0), TChangeSet(TChange::Display));
    EXPECT_EQ(changes(1), TChangeSet(TChange::Overlay));
    EXPECT_EQ(changes(2), TChangeSet(TChange::FuelMaps));
    EXPECT_TRUE(changes(3).Has(TChange::Samples));
    EXPECT_TRUE(changes(4).Has(TChange::FuelMaps));
    EXPECT_TRUE(f.State().Logs.Data.Empty());
    EXPECT_EQ(f.Form->windowTitle(), QStringLiteral("Kelvane"));
}

}  // namespace
}  // namespace kelvane
