#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <fstream>
#include <functional>
#include <iterator>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"
#include "core/logdata/PlotMafPass.h"
#include "core/maps/EngineSetupText.h"
#include "core/maps/MapText.h"
#include "core/shell/Settings.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

const QString LogFolder = QStringLiteral(KELVANE_FIXTURES "/logs");
const QString DeviceLog = LogFolder + QStringLiteral("/DeviceLog.txt");
const QString CommaLog = LogFolder + QStringLiteral("/CommaLog.txt");

// Confirms the Log File Options window with LH 2.3 and GT, keeping the
// preselected LH configuration (standard MAF unless Alpha was preselected);
// records whether Alpha was preselected.
void ConfirmLogOptions(TFakePrompts& prompts, bool* alphaPreselected = nullptr) {
    prompts.LogFileOptions = [alphaPreselected](const TEngineSetup& preselection) {
        const bool alpha = preselection.LHConfig == TLHConfig::Alpha;
        if (alphaPreselected) *alphaPreselected = alpha;
        return std::optional<TEngineSetup>(
            TEngineSetup{TLHVersion::LH23, alpha ? TLHConfig::Alpha : TLHConfig::Maf, TEZKVersion::GT});
    };
}

TMainFormOptions TestOptions(TFakePrompts& prompts, const TTempFolder& folder) {
    return TestFormOptions(prompts, folder.Path());
}

TMapGrid GridOf(double base) {
    TMapGrid grid{};
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) grid.At(r, l) = base + r * 3 + l;
    return grid;
}

TEST(MainFormCommandsTest, OpensTwoLogsAsNewPlotWithCaptionStatusAndRecentFiles) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    prompts.Then(TFakeAnswer::Open({DeviceLog, CommaLog}));
    bool alphaPreselected = false;
    ConfirmLogOptions(prompts, &alphaPreselected);

    form.OpenNewPlot1()->trigger();

    ASSERT_EQ(prompts.Calls.size(), 1u);
    EXPECT_EQ(prompts.Calls[0].File.Filter, QStringLiteral("VX Log Files (*.txt)|*.txt|All Files (*.*)|*.*"));
    EXPECT_TRUE(prompts.Calls[0].Multiple);
    // The device log's air temperature column asks for the Alpha system.
    EXPECT_TRUE(alphaPreselected);
    EXPECT_EQ(form.State().Setup().LHVersion, TLHVersion::LH23);
    EXPECT_EQ(form.State().Setup().LHConfig, TLHConfig::Alpha);
    EXPECT_EQ(form.State().Setup().EZKVersion, TEZKVersion::GT);

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Kelvane    [logs: CommaLog, DeviceLog]"));
    EXPECT_EQ(form.StatusPanel(0)->text(), QStringLiteral("2 files open, 5 data points"));
    // Loaded in name order, so the last one loaded is the newest recent file.
    const auto& recent = form.State().Settings.RecentFiles;
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(QString::fromStdString(recent[0].string()), DeviceLog);
    EXPECT_EQ(QString::fromStdString(recent[1].string()), CommaLog);
    // The open's changes reached the derived data: cells without samples hold no mean.
    EXPECT_EQ(form.State().MeanAfrGrid.At(15, 15), MissingValue);

    // Recent files: two items shown, the rest hidden; choosing one opens it alone.
    emit form.RecentFiles1()->aboutToShow();
    EXPECT_EQ(form.RecentFileItem(1)->text(), QStringLiteral("&1 ") + DeviceLog);
    EXPECT_TRUE(form.RecentFileItem(2)->isVisible());
    EXPECT_FALSE(form.RecentFileItem(3)->isVisible());
    form.RecentFileItem(2)->trigger();
    EXPECT_EQ(form.StatusPanel(0)->text(), QStringLiteral("1 files open, 2 data points"));
    EXPECT_EQ(form.State().Setup().LHVersion, TLHVersion::Unset);
    EXPECT_EQ(QString::fromStdString(form.State().Settings.RecentFiles[0].string()), DeviceLog);

    form.NewPlot1()->trigger();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Kelvane"));
    EXPECT_EQ(form.State().Logs.Data.Count(), 0u);
}

TEST(MainFormCommandsTest, CommandLineLogsOpenAsANewPlotThroughTheOptionsWindow) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    bool alphaPreselected = false;
    ConfirmLogOptions(prompts, &alphaPreselected);

    const QImage emptyPlot = form.PlotImage();

    form.OpenLogFilesAsNewPlot({DeviceLog});

    // The refresh drew the samples into the main image.
    ASSERT_FALSE(form.PlotImage().isNull());
    EXPECT_NE(form.PlotImage(), emptyPlot);
    EXPECT_TRUE(alphaPreselected);
    EXPECT_TRUE(prompts.Calls.empty());  // no file dialog
    EXPECT_EQ(form.StatusPanel(0)->text(), QStringLiteral("1 files open, 3 data points"));
    EXPECT_EQ(form.State().Setup().EZKVersion, TEZKVersion::GT);
}

TEST(MainFormCommandsTest, ScreenshotLogsOpenWithThePreselectedSetupWithoutAsking) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    // A plot already open is replaced.
    ConfirmLogOptions(prompts);
    form.OpenLogFilesAsNewPlot({CommaLog});
    prompts.LogFileOptionsAsked.clear();

    form.OpenLogFilesAsNewPlot({DeviceLog}, TLogOptionsChoice::Preselected);

    EXPECT_TRUE(prompts.LogFileOptionsAsked.empty());
    EXPECT_TRUE(prompts.Calls.empty());
    EXPECT_EQ(form.State().Logs.Data.Count(), 3u);
    EXPECT_EQ(form.StatusPanel(0)->text(), QStringLiteral("1 files open, 3 data points"));
    // The device log's preselection: LH 2.3 with the Alpha system.
    EXPECT_EQ(form.State().Setup().LHVersion, TLHVersion::LH23);
    EXPECT_EQ(form.State().Setup().LHConfig, TLHConfig::Alpha);
}

TEST(MainFormCommandsTest, CancelledDialogsLeaveThePlotAlone) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    prompts.Then(TFakeAnswer::Open({DeviceLog}));
    ConfirmLogOptions(prompts);
    form.OpenAddToPlot1()->trigger();
    ASSERT_EQ(form.State().Logs.Data.Count(), 3u);

    // Add to plot, cancelling the file dialog: nothing changes.
    prompts.Then(TFakeAnswer::Cancel(TPromptKind::OpenFiles));
    form.OpenAddToPlot1()->trigger();
    EXPECT_EQ(form.State().Logs.Data.Count(), 3u);

    // Cancelling the Log File Options window loads nothing more.
    prompts.Then(TFakeAnswer::Open({CommaLog}));
    prompts.LogFileOptions = [](const TEngineSetup&) { return std::optional<TEngineSetup>(); };
    form.OpenAddToPlot1()->trigger();
    EXPECT_EQ(form.State().Logs.Data.Count(), 3u);
    EXPECT_EQ(form.State().Setup().LHVersion, TLHVersion::LH23);
}

TEST(MainFormCommandsTest, RejectedHeaderShowsTheMissingTitles) {
    TTempFolder folder;
    const auto badLog = folder.Path() / "NoRpm.txt";
    std::ofstream(badLog) << "Time [s]\tMAF signal\n0.0\t120\n";
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    prompts.Then(TFakeAnswer::Open({QString::fromStdString(badLog.string())}));
    ConfirmLogOptions(prompts);

    form.OpenAddToPlot1()->trigger();

    ASSERT_EQ(prompts.Calls.size(), 2u);
    EXPECT_EQ(prompts.Calls[1].Kind, TPromptKind::Error);
    EXPECT_EQ(prompts.Calls[1].Text,
              QStringLiteral("NoRpm.txt: The following headers were not found in the log file: \"RPM\", "
                             "\"A/F ratio\"\nLogs must include Time, RPM, MAF-signal and AFR."));
    EXPECT_TRUE(form.State().Settings.RecentFiles.empty());
    EXPECT_EQ(form.State().Logs.Data.Count(), 0u);
}

// Lines the reader drops are told: in the status bar always, and in a box
// when the file gave nothing at all.
TEST(MainFormCommandsTest, SkippedLinesAreToldAndAnEmptyResultIsABox) {
    TTempFolder folder;
    const std::string header = "Time [s]\tRPM\tMAF signal\tA/F ratio\n";
    const auto allOut = folder.Path() / "Run3.txt";
    std::ofstream(allOut) << header << "0\t0\t200\t14\n0.1\t12000\t200\t14\n";
    const auto someOut = folder.Path() / "Run4.txt";
    std::ofstream(someOut) << header << "0\t900\t200\t14\n0.1\t12000\t200\t14\n";
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    prompts.Then(TFakeAnswer::Open(
        {QString::fromStdString(allOut.string()), QString::fromStdString(someOut.string())}));
    ConfirmLogOptions(prompts);

    form.OpenAddToPlot1()->trigger();

    ASSERT_EQ(prompts.Calls.size(), 2u);
    EXPECT_EQ(prompts.Calls[1].Kind, TPromptKind::Error);
    EXPECT_EQ(prompts.Calls[1].Text,
              QStringLiteral("Run3.txt: 2 of 2 data lines skipped: RPM or load out of range"));
    const QString status = form.StatusPanel(0)->text();
    EXPECT_TRUE(status.contains(QStringLiteral("Run3.txt: 2 of 2"))) << status.toStdString();
    EXPECT_TRUE(status.contains(QStringLiteral("Run4.txt: 1 of 2"))) << status.toStdString();
    EXPECT_EQ(form.State().Logs.Data.Count(), 1u);
}

// A file with no data is told in the status bar; one that cannot be read in a box.
TEST(MainFormCommandsTest, EmptyAndUnreadableLogsAreTold) {
    TTempFolder folder;
    const auto empty = folder.Path() / "Run5.txt";
    std::ofstream(empty) << "";
    const auto folderLog = folder.Path() / "Run6.txt";
    std::filesystem::create_directory(folderLog);
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    prompts.Then(TFakeAnswer::Open(
        {QString::fromStdString(empty.string()), QString::fromStdString(folderLog.string())}));
    ConfirmLogOptions(prompts);

    form.OpenAddToPlot1()->trigger();

    ASSERT_EQ(prompts.Calls.size(), 2u);
    EXPECT_EQ(prompts.Calls[1].Kind, TPromptKind::Error);
    EXPECT_EQ(prompts.Calls[1].Text, QStringLiteral("Cannot read Run6.txt: not a regular file"));
    const QString status = form.StatusPanel(0)->text();
    EXPECT_TRUE(status.contains(QStringLiteral("Run5.txt holds no log data"))) << status.toStdString();
}

TEST(MainFormCommandsTest, LoadsAndComparesMapTextAndRemembersTheMapFile) {
    TTempFolder folder;
    const auto reference = folder.Path() / "Base.txt";
    const auto updated = folder.Path() / "Tuned.txt";
    const auto notAMap = folder.Path() / "Notes.txt";
    ASSERT_TRUE(WriteLHMapText(reference, GridOf(100), 0, TOverwrite::Replace).Ok);
    ASSERT_TRUE(WriteLHMapText(updated, GridOf(110), 0, TOverwrite::Replace).Ok);
    std::ofstream(notAMap) << "hello\n";
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));

    prompts.Then(TFakeAnswer::Open({QString::fromStdString(reference.string())}, 1));
    form.LoadMapFile1()->trigger();
    EXPECT_TRUE(form.State().Fuel.ReferenceLoaded);
    EXPECT_EQ(form.State().Fuel.Reference.At(2, 3), 109);
    // A map taken in shows its values in the cells.
    EXPECT_EQ(form.PlotDisplay().Overlay, TMapOverlay::Reference);
    EXPECT_TRUE(form.ShowRefButton()->isChecked());
    EXPECT_EQ(prompts.Calls[0].File.Filter,
              QStringLiteral("Map files (*.txt)|*.txt|Bin files (*.bin)|*.bin|All Files (*.*)|*.*"));
    EXPECT_EQ(form.Layout().MapFile, reference.string());
    EXPECT_EQ(form.Layout().MapFolder, folder.Path().string());

    prompts.Then(TFakeAnswer::Open({QString::fromStdString(updated.string())}, 1));
    form.CompareMapFile1()->trigger();
    EXPECT_EQ(form.State().Fuel.Updated.At(2, 3), 119);
    EXPECT_NE(form.State().Fuel.Adjustments.At(2, 3), 1.0);
    // The next dialog starts at the file last loaded.
    EXPECT_EQ(prompts.Calls[1].File.FileName, QString::fromStdString(reference.string()));

    // A file that is no map: the error box, and the remembered file stays.
    prompts.Then(TFakeAnswer::Open({QString::fromStdString(notAMap.string())}, 1));
    form.CompareMapFile1()->trigger();
    ASSERT_EQ(prompts.Calls.size(), 4u);
    EXPECT_EQ(prompts.Calls[3].Kind, TPromptKind::Error);
    EXPECT_EQ(prompts.Calls[3].Text, QStringLiteral("File \"Notes.txt\" is not a valid map file"));
    EXPECT_EQ(form.Layout().MapFile, updated.string());

    // The copy item follows the loaded reference.
    emit form.EditMenu()->aboutToShow();
    EXPECT_EQ(form.CopyUpdatedMap1()->text(), QStringLiteral("Copy Updated LH &Map"));
    EXPECT_TRUE(form.CopyUpdatedMap1()->isEnabled());
}

TEST(MainFormCommandsTest, PastesAWholeMapFromTheClipboard) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    QClipboard* clipboard = QGuiApplication::clipboard();

    clipboard->setText(QStringLiteral("not a map"));
    emit form.EditMenu()->aboutToShow();
    EXPECT_EQ(form.PasteMap1()->text(), QStringLiteral("Paste Map"));
    EXPECT_FALSE(form.PasteMap1()->isEnabled());
    EXPECT_FALSE(form.CopyUpdatedMap1()->isEnabled());

    const TMapGrid grid = GridOf(40);
    clipboard->setText(QString::fromStdString(CopyBlock(grid, WholeMap, 0)));
    emit form.EditMenu()->aboutToShow();
    EXPECT_EQ(form.PasteMap1()->text(), QStringLiteral("Paste LH Map"));
    ASSERT_TRUE(form.PasteMap1()->isEnabled());
    form.PasteMap1()->trigger();

    EXPECT_TRUE(form.State().Fuel.ReferenceLoaded);
    EXPECT_EQ(form.State().Fuel.Reference.Values, grid.Values);
    EXPECT_TRUE(form.State().Fuel.ReferencePath.empty());

    // Copy gives the updated map back to the clipboard.
    clipboard->clear();
    emit form.EditMenu()->aboutToShow();
    ASSERT_TRUE(form.CopyUpdatedMap1()->isEnabled());
    form.CopyUpdatedMap1()->trigger();
    EXPECT_EQ(clipboard->text().toStdString(), CopyBlock(form.State().Fuel.Updated, WholeMap, 0));
}

TEST(MainFormCommandsTest, SettingsSurviveARestart) {
    TTempFolder folder;
    {
        TFakePrompts prompts;
        TMainForm form(TestOptions(prompts, folder));
        prompts.Then(TFakeAnswer::Open({DeviceLog}));
        ConfirmLogOptions(prompts);
        form.OpenNewPlot1()->trigger();
        ASSERT_EQ(form.State().Logs.Data.Count(), 3u);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.Exit1()->trigger();
        EXPECT_FALSE(form.isVisible());
    }
    TFakePrompts prompts;
    TMainForm again(TestOptions(prompts, folder));
    ASSERT_EQ(again.State().Settings.RecentFiles.size(), 1u);
    EXPECT_EQ(QString::fromStdString(again.State().Settings.RecentFiles[0].string()), DeviceLog);
    EXPECT_EQ(QString::fromStdString(again.Layout().DefaultFolder), LogFolder);

    // The file dialog starts in the remembered folder.
    prompts.Then(TFakeAnswer::Cancel(TPromptKind::OpenFiles));
    again.OpenAddToPlot1()->trigger();
    ASSERT_EQ(prompts.Calls.size(), 1u);
    EXPECT_EQ(prompts.Calls[0].File.InitialFolder, LogFolder);
}

TEST(MainFormCommandsTest, OpeningLogsLoadsTheSettingsAgainButKeepsTheChosenSetupAndAnEditedTarget) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    TIniFile2& main = form.Store().Main();
    ASSERT_TRUE(main.WriteString("Settings", "LH Config", LHConfigText(TLHConfig::HexaMaf)));
    ASSERT_TRUE(main.WriteString("Settings", "EZK Config", EZKVersionText(TEZKVersion::S4)));
    ASSERT_TRUE(main.WriteInteger("Settings", "Plot Point Size", 9));
    ASSERT_TRUE(main.WriteBool("Filter", "Include Idle", true));
    TMapGrid target = FilledGrid(13.5);
    form.State().Fuel.TargetAfr = target;
    form.State().Fuel.TargetEdited = true;
    form.Document().Apply(TChange::TargetAfr);

    prompts.Then(TFakeAnswer::Open({DeviceLog}));
    ConfirmLogOptions(prompts);  // LH 2.3, Alpha (preselected from the header), GT
    form.OpenNewPlot1()->trigger();
    ASSERT_EQ(form.State().Logs.Data.Count(), 3u);

    const TSettings& settings = form.State().Settings;
    EXPECT_EQ(settings.PlotPointSize, 9);
    EXPECT_TRUE(settings.ActiveFilters.IncludeIdle);
    // The answer just given in the Log File Options window wins over the stored codes.
    EXPECT_EQ(form.State().Setup(), (TEngineSetup{TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::GT}));
    // An edited target AFR map is not read over from its file.
    EXPECT_EQ(form.State().Fuel.TargetAfr, target);
    EXPECT_TRUE(form.State().Fuel.TargetEdited);
}

TEST(MainFormCommandsTest, RecentFileTakesTheStoredSetupForItsLoadScale) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    ASSERT_TRUE(form.Store().Main().WriteString("Settings", "LH Version", LHVersionText(TLHVersion::LH23)));
    ASSERT_TRUE(form.Store().Main().WriteString("Settings", "LH Config", LHConfigText(TLHConfig::Map)));
    form.State().Settings.RecentFiles = {DeviceLog.toStdString()};
    form.RecentFileClick(1);

    ASSERT_EQ(form.State().Logs.Data.Count(), 3u);
    EXPECT_EQ(form.State().Setup().LHConfig, TLHConfig::Map);
    const TLogDataEntry& first = form.State().Logs.Data.Entries[0];
    EXPECT_DOUBLE_EQ(first.PlotMaf, MapSystemPlotMaf(first.MafSignal));
    EXPECT_NE(first.PlotMaf, first.MafSignal);
}

// The first-line look before a log is read refuses at once what is no file
// (a named pipe would hold the window for ever) and takes a byte-order mark,
// from File > Open and from the recent files alike.
TEST(MainFormCommandsTest, ThePreReadRefusesAPipeAtOnceAndTakesAByteOrderMark) {
    TTempFolder folder;
    TFakePrompts prompts;
    ConfirmLogOptions(prompts);
    TMainForm form(TestOptions(prompts, folder));
    const std::filesystem::path pipe = folder.Path() / "Run1.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

    prompts.Then(TFakeAnswer::Open({QString::fromStdString(pipe.string())}));
    form.OpenNewPlot1()->trigger();
    form.State().Settings.RecentFiles = {pipe};
    form.RecentFileClick(1);
    ASSERT_EQ(prompts.Calls.size(), 3u);  // the open dialog, then one error box each
    EXPECT_EQ(prompts.Calls[1].Kind, TPromptKind::Error);
    EXPECT_EQ(prompts.Calls[2].Kind, TPromptKind::Error);
    EXPECT_TRUE(prompts.LogFileOptionsAsked.empty());

    std::ifstream source(DeviceLog.toStdString(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    const std::filesystem::path marked = folder.Path() / "Run2.txt";
    std::ofstream(marked, std::ios::binary) << "\xEF\xBB\xBF" << text;
    form.State().Settings.RecentFiles = {marked};
    form.RecentFileClick(1);
    EXPECT_EQ(form.State().Logs.Data.Count(), 3u);
    EXPECT_EQ(prompts.Calls.size(), 3u);
}

TEST(MainFormCommandsTest, VXStatusItemOnlyWithTheTextArgument) {
    for (const bool withText : {false, true}) {
        TTempFolder folder;
        TFakePrompts prompts;
        TMainFormOptions options = TestOptions(prompts, folder);
        std::vector<std::string> arguments;
        if (withText) arguments.push_back("text");
        options.Program = MakeProgramValues(QCoreApplication::applicationFilePath().toStdString(), arguments);
        TMainForm form(std::move(options));
        emit form.WindowMenu()->aboutToShow();
        EXPECT_EQ(form.VXStatus1()->isVisible(), withText);
        EXPECT_EQ(form.MapsWindow1()->text(), QStringLiteral("LH Fuel &Map"));
    }
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST(MainFormCommandsTest, SavePlotImageWritesTheComposedPlotOrSaysWhyNot) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainForm form(TestOptions(prompts, folder));
    ConfirmLogOptions(prompts);
    form.OpenLogFilesAsNewPlot({DeviceLog});
    ASSERT_FALSE(form.PlotImage().isNull());

    // A name without its extension gets ".png".
    const QString target = QString::fromStdString((folder.Path() / "plot").string());
    prompts.Then(TFakeAnswer::Save(target));
    form.SavePlotImage1()->trigger();
    ASSERT_EQ(prompts.Calls.back().File.Filter, QStringLiteral("PNG Images (*.png)|*.png"));
    const QImage saved(target + QStringLiteral(".png"));
    ASSERT_FALSE(saved.isNull());
    // The plot below a strip that carries the caption (the files shown).
    const QImage plot = form.PlotImage();
    const int strip = saved.height() - plot.height();
    ASSERT_GT(strip, 0);
    EXPECT_EQ(saved.width(), plot.width());
    EXPECT_EQ(saved.copy(0, strip, plot.width(), plot.height()).convertToFormat(QImage::Format_ARGB32),
              plot.convertToFormat(QImage::Format_ARGB32));
    EXPECT_FALSE(form.windowTitle().isEmpty());
    EXPECT_EQ(saved.copy(0, 0, plot.width(), strip).convertToFormat(QImage::Format_ARGB32),
              CaptionedPlotImage(plot, form.windowTitle())
                  .copy(0, 0, plot.width(), strip)
                  .convertToFormat(QImage::Format_ARGB32));
    int dark = 0;
    for (int y = 0; y < strip; ++y)
        for (int x = 0; x < saved.width(); ++x) dark += qGray(saved.pixel(x, y)) < 100;
    EXPECT_GT(dark, 20);

    // A folder in the way: the error box names the file.
    const QString blocked = QString::fromStdString((folder.Path() / "taken.png").string());
    std::filesystem::create_directories(folder.Path() / "taken.png");
    prompts.Then(TFakeAnswer::Save(blocked));
    form.SavePlotImage1()->trigger();
    ASSERT_EQ(prompts.Calls.back().Kind, TPromptKind::Error);
    EXPECT_TRUE(prompts.Calls.back().Text.contains(blocked)) << prompts.Calls.back().Text.toStdString();

    // The next save proposes the folder the last image went to, not the log folder.
    std::filesystem::create_directories(folder.Path() / "images");
    prompts.Then(TFakeAnswer::Save(QString::fromStdString((folder.Path() / "images" / "a.png").string())));
    form.SavePlotImage1()->trigger();
    prompts.Then(TFakeAnswer::Cancel(TPromptKind::SaveFile));
    form.SavePlotImage1()->trigger();
    EXPECT_EQ(prompts.Calls.back().File.InitialFolder,
              QString::fromStdString((folder.Path() / "images").string()));
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST(MainFormCommandsTest, AMissingManualIsToldWithThePlacesLookedIn) {
    TTempFolder folder;
    TFakePrompts prompts;
    TMainFormOptions options = TestFormOptions(prompts, folder.Path());
    options.Program = MakeProgramValues(folder.Path() / "bin" / "kelvane", {});
    TMainForm form(std::move(options));
    prompts.Then(TFakeAnswer::Ok(TPromptKind::Message));
    QAction* manual = form.findChild<QAction*>(QStringLiteral("Manual1"));
    ASSERT_NE(manual, nullptr);
    manual->trigger();
    ASSERT_EQ(prompts.Calls.size(), 1u);
    EXPECT_EQ(prompts.Calls[0].Caption, QStringLiteral("Kelvane Manual"));
    EXPECT_TRUE(prompts.Calls[0].Text.startsWith(QStringLiteral("The manual was not found.")));
    EXPECT_TRUE(prompts.Calls[0].Text.contains(QStringLiteral("share/doc/kelvane/manual/index.html")));
}

}  // namespace
}  // namespace kelvane
