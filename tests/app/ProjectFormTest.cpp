#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"
#include "app/projects/ProjectUnit.h"
#include "core/ground/IniFile2.h"
#include "core/ground/IniKeys.h"
#include "core/logdata/PlotMafPass.h"
#include "core/maps/MapSets.h"
#include "core/maps/MapText.h"
#include "core/projects/ProjectFolders.h"
#include "support/BinTestImages.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string MafLog(int lines, int firstLine = 0) {
    std::string text;
    if (firstLine == 0)
        text = "Time [s]\tRPM\tMAF signal\tA/F ratio\tThrottle pos (1=idle, 2=cruise, 3=WOT)\n";
    for (int i = firstLine; i < firstLine + lines; ++i)
        text += std::to_string(i / 10) + "." + std::to_string(i % 10) + "\t" +
                std::to_string(1500 + (i * 37) % 3000) + "\t" + std::to_string(150 + (i * 13) % 250) +
                "\t14." + std::to_string(i % 10) + "\t2\n";
    return text;
}

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// A project "Volvo" with two sessions, and a shown main window whose folder
// worker settles changes quickly.
struct TProjectFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;
    fs::path Project;
    fs::path Day1, Day2;

    TProjectFixture() {
        Project = Folder.Path() / "Volvo";
        Day1 = Project / "2024-05-01";
        Day2 = Project / "2024-05-02";
        fs::create_directories(Day1);
        fs::create_directories(Day2);
        WriteText(Day1 / "Run1.txt", MafLog(40));
        WriteText(Day2 / "Run1.txt", MafLog(30));
        WriteText(Day2 / "Run10.txt", MafLog(20));
        WriteText(Day2 / "Run2.txt", MafLog(10));
        WriteText(Day2 / "Base fuel map.txt", MapFileText(FilledGrid(100), 0));
        WriteText(Day2 / "Initial fuel map.txt", MapFileText(FilledGrid(90), 0));

        TMainFormOptions options = TestFormOptions(Prompts, Folder.Path() / "common");
        options.FolderWorker.SettleDelay = 150ms;
        options.FolderWorker.Timeout = 2000ms;
        Form = std::make_unique<TMainForm>(options);
        Form->resize(1000, 700);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }

    TKelvaneState& State() { return Form->State(); }

    // The project window on the project, as the main window remembers it.
    TProjectForm* Open() {
        State().Settings.ProjectFolder = Project;
        Form->OpenProject1()->trigger();
        Settle();
        return Form->ProjectForm();
    }

    // Lets posted messages (the hand-over, the worker's news) be handled.
    static void Settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }

    std::vector<std::string> Listed() const {
        std::vector<std::string> names;
        QListWidget* list = Form->ProjectForm()->FileList();
        for (int i = 0; i < list->count(); ++i) names.push_back(list->item(i)->text().toStdString());
        return names;
    }
    void Tick(const QString& name, bool ticked) {
        QListWidget* list = Form->ProjectForm()->FileList();
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        items.first()->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        Settle();
    }
    std::string SessionKey(const fs::path& session, std::string_view key) const {
        return TIniFile2(session / "Kelvane.ini").ReadString(SettingsSection, key, "?");
    }
    bool IsOpen(const fs::path& log) { return State().Logs.OpenFiles.IndexOf(log.string()) >= 0; }
};

TEST(ProjectFormTest, OpeningShowsTheProjectsLastSessionAndThePlotReadsItsLogs) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Project Manager: Volvo");
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ASSERT_EQ(form->SessionList()->count(), 2);
    EXPECT_EQ(form->SessionList()->currentText(), "2024-05-02");
    EXPECT_EQ(f.Listed(), (std::vector<std::string>{"Run1.txt", "Run2.txt", "Run10.txt"}));
    EXPECT_TRUE(form->SelectAllBox()->isChecked()) << "a session never chosen ticks every log";
    EXPECT_EQ(form->MapBox(TMapBox::LHStarting)->count(), 3);

    EXPECT_EQ(f.State().Logs.OpenFiles.Count(), 3u);
    EXPECT_EQ(f.State().Logs.Data.Count(), 60u);
    EXPECT_EQ(f.State().Settings.SessionName, "2024-05-02");
    EXPECT_TRUE(f.Form->windowTitle().contains("2024-05-02"));
    EXPECT_EQ(f.Form->FolderWorker()->Folder(), f.Day2);
}

TEST(ProjectFormTest, CtrlOOpensTheProjectWindow) {
    TProjectFixture f;
    f.State().Settings.ProjectFolder = f.Project;
    QTest::keyClick(f.Form.get(), Qt::Key_O, Qt::ControlModifier);
    TProjectFixture::Settle();
    ASSERT_NE(f.Form->ProjectForm(), nullptr);
    EXPECT_TRUE(f.Form->ProjectForm()->isVisible());
}

TEST(ProjectFormTest, TickedLogsAreThePlotsLogsAndNoneTickedStaysNone) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    f.Tick("Run2.txt", false);
    EXPECT_FALSE(form->SelectAllBox()->isChecked());
    EXPECT_EQ(f.State().Logs.OpenFiles.Count(), 2u);
    EXPECT_FALSE(f.IsOpen(f.Day2 / "Run2.txt"));
    EXPECT_EQ(f.SessionKey(f.Day2, OpenFilesKey), "Run1.txt,Run10.txt");

    form->SelectAllBox()->click();  // all ticked again
    TProjectFixture::Settle();
    EXPECT_EQ(f.State().Logs.OpenFiles.Count(), 3u);
    EXPECT_EQ(f.SessionKey(f.Day2, OpenFilesKey), "");

    form->SelectAllBox()->click();  // none ticked: the plot closes
    TProjectFixture::Settle();
    EXPECT_TRUE(f.State().Logs.Data.Empty());
    EXPECT_EQ(f.SessionKey(f.Day2, OpenFilesKey), "<nil>");
    // Coming back to the session keeps it so, rather than ticking everything.
    form->LoadSession();
    TProjectFixture::Settle();
    for (int i = 0; i < form->FileList()->count(); ++i)
        EXPECT_EQ(form->FileList()->item(i)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(f.State().Logs.Data.Empty());
}

TEST(ProjectFormTest, PickingAnotherSessionReplacesThePlot) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    form->SessionList()->setCurrentIndex(0);
    emit form->SessionList()->activated(0);
    TProjectFixture::Settle();
    EXPECT_EQ(f.Listed(), std::vector<std::string>{"Run1.txt"});
    EXPECT_EQ(f.State().Settings.SessionName, "2024-05-01");
    EXPECT_EQ(f.State().Logs.OpenFiles.Count(), 1u);
    EXPECT_TRUE(f.IsOpen(f.Day1 / "Run1.txt"));
    EXPECT_EQ(f.Form->FolderWorker()->Folder(), f.Day1);
}

TEST(ProjectFormTest, TheSameSelectionHandedOverAgainDoesNothing) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    QSignalSpy changes(&f.Form->Document(), &TKelvaneDocument::Changed);
    form->LoadSession();
    TProjectFixture::Settle();
    EXPECT_EQ(changes.count(), 0);
}

TEST(ProjectFormTest, AnotherStartingMapAloneIsHandedOver) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    QComboBox* box = form->MapBox(TMapBox::LHStarting);
    box->setCurrentIndex(box->findText("Base fuel map.txt"));
    TProjectFixture::Settle();
    EXPECT_EQ(f.State().Fuel.ReferencePath, f.Day2 / "Base fuel map.txt");
    EXPECT_EQ(f.State().Fuel.Reference.At(0, 0), 100);
    box->setCurrentIndex(box->findText("Initial fuel map.txt"));
    TProjectFixture::Settle();
    EXPECT_EQ(f.State().Fuel.ReferencePath, f.Day2 / "Initial fuel map.txt");
    EXPECT_EQ(f.State().Fuel.Reference.At(0, 0), 90);
    EXPECT_EQ(f.SessionKey(f.Day2, LHStartingMapFileKey), "Initial fuel map.txt");
}

TEST(ProjectFormTest, AConfigurationClickMovesTheSamplesAndIsStoredInTheProject) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    const TLogDataEntry& sample = f.State().Logs.Data.Entries[5];
    const double maf = sample.MafSignal;
    ASSERT_EQ(sample.PlotMaf, maf);
    form->MapButton()->click();
    TProjectFixture::Settle();
    EXPECT_EQ(f.State().Setup().LHConfig, TLHConfig::Map);
    EXPECT_DOUBLE_EQ(f.State().Logs.Data.Entries[5].PlotMaf, MapSystemPlotMaf(maf));
    EXPECT_EQ(TIniFile2(f.Project / "Kelvane.ini").ReadInteger(SettingsSection, LHConfigurationKey, 0), 4);
    form->GTButton()->click();
    TProjectFixture::Settle();
    EXPECT_EQ(f.State().Setup().EZKVersion, TEZKVersion::GT);
    EXPECT_TRUE(TIniFile2(f.Project / "Kelvane.ini").ReadBool(SettingsSection, GtRpmGridKey, false));
}

TEST(ProjectFormTest, BrowseTakesAFolderOfLogsAsASessionAndANewFolderAsAProject) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    f.Prompts.Then(TFakeAnswer::Folder(Q(f.Day1)));
    form->BrowseButton()->click();
    TProjectFixture::Settle();
    EXPECT_EQ(f.Prompts.Calls.back().Caption, "Vortrix Poject Folder");
    EXPECT_EQ(form->ProjectFolder(), f.Project);
    EXPECT_EQ(form->SessionList()->currentText(), "2024-05-01");
    EXPECT_EQ(f.State().Settings.SessionName, "2024-05-01");

    const fs::path fresh = f.Folder.Path() / "Saab";
    fs::create_directories(fresh);
    f.Prompts.Then(TFakeAnswer::Folder(Q(fresh)));
    form->BrowseButton()->click();
    TProjectFixture::Settle();
    EXPECT_EQ(form->ProjectFolder(), fresh);
    EXPECT_EQ(form->windowTitle(), "Project Manager: Saab");
    EXPECT_EQ(form->SessionList()->count(), 0);
    EXPECT_TRUE(f.State().Logs.Data.Empty());
    // The project left got its own settings; the new one none of them.
    EXPECT_EQ(TIniFile2(f.Project / "Kelvane.ini").ReadString(SettingsSection, LHConfigKey, ""), "MAF");
    EXPECT_EQ(TIniFile2(fresh / "Kelvane.ini").ReadString(SettingsSection, LHConfigKey, ""), "");
}

TEST(ProjectFormTest, AfterThePlotWasClosedElsewhereTheSameSessionIsReadAgain) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    ASSERT_EQ(f.State().Logs.OpenFiles.Count(), 3u);
    f.Form->NewPlot1Click();
    ASSERT_TRUE(f.State().Logs.Data.Empty());
    form->LoadSession();
    TProjectFixture::Settle();
    EXPECT_EQ(f.State().Logs.OpenFiles.Count(), 3u);
    EXPECT_EQ(f.Form->FolderWorker()->Folder(), f.Day2);
}

TEST(ProjectFormTest, ANewSessionIsNamedByDateAndBadNamesAreAskedAgain) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    f.Prompts.Then(TFakeAnswer::Input("a/b"))
        .Then(TFakeAnswer::Input(".."))
        .Then(TFakeAnswer::Input("2024-05-01"))
        .Then(TFakeAnswer::Input("Track day"));
    const std::size_t before = f.Prompts.Calls.size();
    form->NewButton()->click();
    TProjectFixture::Settle();
    ASSERT_EQ(f.Prompts.Calls.size(), before + 4);
    const TPromptCall& first = f.Prompts.Calls[before];
    EXPECT_EQ(first.Caption, "Create New Session Folder");
    EXPECT_EQ(first.Text, "New Session name:");
    EXPECT_EQ(first.InitialText.toStdString(), UniqueSessionName(f.Project, TodaySessionName()));
    EXPECT_EQ(f.Prompts.Calls[before + 1].Text, "Session name (avoid the characters /\\:*?\"<>|)");
    EXPECT_TRUE(f.Prompts.Calls[before + 2].Text.contains(".."));
    EXPECT_EQ(f.Prompts.Calls[before + 3].Text, "Duplicate name! New session name:");
    EXPECT_TRUE(fs::is_directory(f.Project / "Track day"));
    EXPECT_EQ(form->SessionList()->currentText(), "Track day");
    EXPECT_EQ(f.State().Settings.SessionName, "Track day");
    EXPECT_TRUE(f.State().Logs.Data.Empty());
    EXPECT_FALSE(fs::exists(f.Project / "a"));
}

TEST(ProjectFormTest, PasteWritesTheClipboardMapAsTheSessionsBaseMap) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    QGuiApplication::clipboard()->setText(QString::fromStdString(MapFileText(FilledGrid(120), 0)));
    form->PasteButton()->click();
    TProjectFixture::Settle();
    // The session's base map holds another map: it is kept.
    const fs::path written = f.Day2 / "Base fuel map(2).txt";
    ASSERT_TRUE(fs::exists(written));
    EXPECT_EQ(form->MapBox(TMapBox::LHStarting)->currentText(), "Base fuel map(2).txt");
    EXPECT_EQ(f.State().Fuel.ReferencePath, written);
    EXPECT_EQ(f.State().Fuel.Reference.At(2, 3), 120);

    QGuiApplication::clipboard()->setText(QString::fromStdString(MapFileText(FilledGrid(25.5), 1)));
    form->CopyButton()->click();
    TProjectFixture::Settle();
    EXPECT_EQ(form->MapBox(TMapBox::EZKStarting)->currentText(), "Base EZK map.txt");
    EXPECT_TRUE(f.State().Ignition.ReferenceLoaded);

    QGuiApplication::clipboard()->setText("no map");
    form->PasteButton()->click();
    ASSERT_FALSE(f.Prompts.Calls.empty());
    EXPECT_EQ(f.Prompts.Calls.back().Kind, TPromptKind::Error);
    EXPECT_EQ(f.Prompts.Calls.back().Text,
              "Data in the Windows Clipboard is not the correct format for a EZK or LH Map");
}

TEST(ProjectFormTest, BinImagesThatDoNotBelongTogetherAreWarnedAbout) {
    TProjectFixture f;
    TBinBytes ezk = testing::MakeEZKImage();
    ezk.at(0x3FEB) = 1;    // HexaMAF
    ezk.at(0x0BF2) = '?';  // WOT map disabled
    testing::WriteBytes(f.Day2 / "Stock.bin", testing::MakeLHDeviceImage());
    testing::WriteBytes(f.Day2 / "Ezk.bin", ezk);
    TProjectForm* form = f.Open();
    form->MapBox(TMapBox::LHStarting)
        ->setCurrentIndex(form->MapBox(TMapBox::LHStarting)->findText("Stock.bin"));
    form->MapBox(TMapBox::EZKStarting)
        ->setCurrentIndex(form->MapBox(TMapBox::EZKStarting)->findText("Ezk.bin"));
    TProjectFixture::Settle();
    EXPECT_TRUE(form->WarningText()->isVisible());
    EXPECT_TRUE(form->WarningPicture()->isVisible());
    EXPECT_EQ(form->WarningText()->text(),
              "Conflicting Bin-Files: LH is MAF,\nwhile EZK is HexaMAF\nThis may prevent sensible map "
              "adjustments.");
    // No map in use is chosen: "Cat" and "No Cat" ask for one.
    EXPECT_TRUE(form->LHCatButton()->styleSheet().contains("255, 255, 0"));
    form->LHCatButton()->click();
    EXPECT_TRUE(form->LHCatButton()->styleSheet().isEmpty());
    EXPECT_EQ(TIniFile2(f.Project / "Kelvane.ini").ReadInteger(SettingsSection, LHMapInUseKey, 0), 1);

    form->MapBox(TMapBox::EZKStarting)->setCurrentIndex(0);
    TProjectFixture::Settle();
    EXPECT_FALSE(form->WarningText()->text().contains("Conflicting"));
}

TEST(ProjectFormTest, ALogNameHoldingACommaIsTickedAndRead) {
    TProjectFixture f;
    WriteText(f.Day2 / "Run,3.txt", MafLog(12));
    TProjectForm* form = f.Open();
    EXPECT_TRUE(f.IsOpen(f.Day2 / "Run,3.txt"));
    f.Tick("Run1.txt", false);
    EXPECT_EQ(f.SessionKey(f.Day2, OpenFilesKey), "Run,3.txt,Run2.txt,Run10.txt");
    form->LoadSession();
    TProjectFixture::Settle();
    EXPECT_EQ(form->FileList()->findItems("Run,3.txt", Qt::MatchExactly).first()->checkState(), Qt::Checked);
    EXPECT_EQ(form->FileList()->findItems("Run1.txt", Qt::MatchExactly).first()->checkState(), Qt::Unchecked);
    EXPECT_TRUE(f.IsOpen(f.Day2 / "Run,3.txt"));
    EXPECT_FALSE(f.IsOpen(f.Day2 / "Run1.txt"));
}

TEST(ProjectFormTest, ClosingHidesTheWindowAndStoresItsPlace) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    form->setGeometry(60, 70, 820, 700);
    form->CloseButton()->click();
    TProjectFixture::Settle();
    EXPECT_EQ(f.Form->ProjectForm(), form) << "kept for the next time";
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(f.Form->Store().Main().ReadString(ProjectWindowSection, WindowSizeKey, ""), "60,70,820,700");
}

// The laptop in the car: a log copied into the open session (in chunks, as a
// copy writes it) shows in the plot by itself, complete and once; a log
// that grows is read again in place of its old samples.
void CopyInChunks(const fs::path& log, int lines) {
    const std::string text = MafLog(lines);
    const std::size_t chunk = text.size() / 4 + 1;
    for (std::size_t at = 0; at < text.size(); at += chunk) {
        std::ofstream file(log, std::ios::binary | std::ios::app);
        file << text.substr(at, chunk);
        file.close();
        QTest::qWait(40);
    }
}

void Append(const fs::path& log, int lines, int firstLine) {
    std::ofstream file(log, std::ios::binary | std::ios::app);
    file << MafLog(lines, firstLine);
}

TEST(ProjectFormTest, ALogCopiedIntoTheSessionJoinsThePlotByItself) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    const std::size_t before = f.State().Logs.Data.Count();
    // Partly ticked: logs that arrive while the program watches are ticked anyway.
    f.Tick("Run2.txt", false);
    const std::size_t ticked = f.State().Logs.Data.Count();
    ASSERT_LT(ticked, before);

    const fs::path log = f.Day2 / "Run11.txt";
    CopyInChunks(log, 50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.IsOpen(log); }, 5000));
    EXPECT_EQ(f.State().Logs.Data.Count(), ticked + 50);
    EXPECT_EQ(form->FileList()->findItems("Run11.txt", Qt::MatchExactly).first()->checkState(), Qt::Checked);

    Append(log, 10, 50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.State().Logs.Data.Count() == ticked + 60; }, 5000));
    QTest::qWait(400);
    EXPECT_EQ(f.State().Logs.Data.Count(), ticked + 60) << "read once for its final contents";
    EXPECT_EQ(f.State().Logs.OpenFiles.Count(), 3u);
}

TEST(ProjectFormTest, WithTheProjectWindowClosedNewLogsAreReadDirectly) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    form->close();
    const std::size_t before = f.State().Logs.Data.Count();
    const fs::path log = f.Day2 / "Run12.txt";
    CopyInChunks(log, 25);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.IsOpen(log); }, 5000));
    EXPECT_EQ(f.State().Logs.Data.Count(), before + 25);
    Append(log, 5, 25);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.State().Logs.Data.Count() == before + 30; }, 5000));

    // A log of another folder, or one after the plot was closed, is not read.
    f.Form->NewPlot1Click();
    TProjectFixture::Settle();
    EXPECT_TRUE(f.Form->FolderWorker()->Folder().empty());
    WriteText(f.Day2 / "Run13.txt", MafLog(5));
    QTest::qWait(500);
    EXPECT_TRUE(f.State().Logs.Data.Empty());
}

TEST(ProjectFormTest, ASessionFolderThatDisappearsIsToldAndWatchedAgainOnceBack) {
    TProjectFixture f;
    TProjectForm* form = f.Open();
    fs::remove_all(f.Day2);
    QStatusBar* status = f.Form->statusBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->currentMessage().contains("cannot be read"); }, 5000));
    EXPECT_TRUE(status->currentMessage().contains(Q(f.Day2)));
    EXPECT_TRUE(f.Form->FolderWorker()->Folder().empty());

    fs::create_directories(f.Day2);
    WriteText(f.Day2 / "Run1.txt", MafLog(8));
    form->LoadSession();
    TProjectFixture::Settle();
    EXPECT_EQ(f.Form->FolderWorker()->Folder(), f.Day2);
    QTest::qWait(100);
    CopyInChunks(f.Day2 / "Run2.txt", 6);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.IsOpen(f.Day2 / "Run2.txt"); }, 5000));
}

// A real project: three drive logs in two sessions, with maps and bin
// images. The pictures are saved when KELVANE_SCREENSHOT_DIR names a folder.
TEST(ProjectFormTest, ARealProjectAsTheUserSeesIt) {
    const fs::path realData =
        fs::path(KELVANE_FIXTURES).parent_path().parent_path().parent_path() / "shared" / "realdata";
    if (!fs::exists(realData / "Run_speeduino_turbo_dyno.txt")) GTEST_SKIP() << "no real logs here";
    TProjectFixture f;
    const fs::path project = f.Folder.Path() / "MX-5 and friends";
    const fs::path garage = project / "2024-06-01";
    const fs::path road = project / "2024-06-08";
    fs::create_directories(garage);
    fs::create_directories(road);
    fs::copy_file(realData / "Run_speeduino_mx5_garage.txt", garage / "Run_speeduino_mx5_garage.txt");
    fs::copy_file(realData / "Run_speeduino_turbo_dyno.txt", garage / "Run_speeduino_turbo_dyno.txt");
    fs::copy_file(realData / "Run_proecu_subaru_fa20.txt", road / "Run_proecu_subaru_fa20.txt");
    WriteText(road / "Base fuel map.txt", MapFileText(FilledGrid(100), 0));
    WriteText(road / "Updated (Base fuel map) fuel map.txt", MapFileText(FilledGrid(104), 0));
    WriteText(road / "Base EZK map.txt", MapFileText(FilledGrid(28.5), 1));
    TBinBytes ezk = testing::MakeEZKImage();
    ezk.at(0x3FEB) = 1;
    testing::WriteBytes(road / "Stock LH.bin", testing::MakeLHDeviceImage());
    testing::WriteBytes(road / "Stock EZK.bin", ezk);

    f.State().Settings.ProjectFolder = project;
    f.Form->resize(1100, 760);
    f.Form->OpenProject1()->trigger();
    TProjectFixture::Settle();
    TProjectForm* form = f.Form->ProjectForm();
    ASSERT_EQ(form->SessionList()->currentText(), "2024-06-08");
    const auto choose = [form](TMapBox box, const char* name) {
        QComboBox* combo = form->MapBox(box);
        ASSERT_GE(combo->findText(name), 0) << name;
        combo->setCurrentIndex(combo->findText(name));
        TProjectFixture::Settle();
    };
    choose(TMapBox::LHStarting, "Base fuel map.txt");
    choose(TMapBox::EZKStarting, "Base EZK map.txt");
    choose(TMapBox::LHUpdated, "Updated (Base fuel map) fuel map.txt");
    EXPECT_TRUE(f.IsOpen(road / "Run_proecu_subaru_fa20.txt"));
    EXPECT_EQ(f.State().Fuel.UpdatedPath, road / "Updated (Base fuel map) fuel map.txt");
    EXPECT_TRUE(form->IncludeAdjustmentsBox()->isEnabled());
    EXPECT_FALSE(form->WarningText()->isVisible());
    const QString folder = qEnvironmentVariable("KELVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty()) f.Form->grab().save(QDir(folder).filePath(QStringLiteral("project_plot.png")));

    choose(TMapBox::LHStarting, "Stock LH.bin");
    choose(TMapBox::EZKStarting, "Stock EZK.bin");
    EXPECT_TRUE(form->WarningText()->isVisible());
    if (!folder.isEmpty()) {
        form->grab().save(QDir(folder).filePath(QStringLiteral("project_window.png")));
        form->SessionList()->setCurrentIndex(0);
        emit form->SessionList()->activated(0);
        TProjectFixture::Settle();
        form->grab().save(QDir(folder).filePath(QStringLiteral("project_window_garage.png")));
        f.Form->grab().save(QDir(folder).filePath(QStringLiteral("project_plot_garage.png")));
    }
}

}  // namespace
}  // namespace kelvane
