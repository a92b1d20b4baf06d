#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/adjust/EZKAdjustUnit.h"
#include "app/adjust/LHAdjustUnit.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"
#include "core/ground/IniKeys.h"
#include "core/maps/MapText.h"
#include "core/plot/PlotGeometry.h"
#include "core/shell/LogOpening.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

const fs::path Fixtures = fs::path(KELVANE_FIXTURES) / "cli";
const fs::path RealData = "/work/shared/realdata";

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Lets the event loop run until done holds; false when it never did.
bool RunUntil(const std::function<bool()>& done, int milliseconds = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

QStringList MemoLines(const TEZKAdjustForm* form) {
    return form->StatusMemo()->toPlainText().split(QLatin1Char('\n'));
}

// A main window with a log and a reference map loaded, as the user would
// have it before adjusting: the setup of the command-line examples (LH 2.3,
// MAF, S4), no filters.
struct TAdjustFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

    TAdjustFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Form->resize(1000, 700);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        State().Setup() = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};
        State().Settings.ActiveFilters.FiltersEnabled = false;
    }

    TKelvaneState& State() { return Form->State(); }
    const TPlotGeometry& Geometry() const { return *Form->PlotGeometry(); }

    void LoadLog(const fs::path& log) {
        ASSERT_TRUE(Form->LoadLogFile(Q(log)));
        Form->RefreshMainWindow();
    }
    void LoadMap(const fs::path& map) {
        Prompts.Then(TFakeAnswer::Open({Q(map)}));
        Form->LoadMapFile1()->trigger();
        Form->RefreshMainWindow();
        Prompts.Calls.clear();  // the tests count the questions of what they do
    }
    // The fuel reference as if it were a device image's Primary Load Map: its
    // values (100 and up) lie beyond the limits of a map that came from text.
    void UsePrimaryLoadMap() {
        State().Fuel.Source = TLHMapSource::PrimaryLoad;
        TChangeSet changes = SetUpAxes(State());
        State().Fuel.ResetAdjustments(State().Axes.FuelLimits);
        Form->Document().Apply(changes | TChange::FuelMaps);
    }
    void SetView(TPlotView view) {
        Form->SetView(view, TPlotFormat::Cells);
        Form->RefreshMainWindow();
    }
    fs::path UseSession() {
        State().Settings.ProjectFolder = Folder.Path() / "project" / "";
        State().Settings.SessionName = "Day 1";
        const fs::path session = Folder.Path() / "project" / "Day 1";
        fs::create_directories(session);
        return session;
    }

    // A click on a cell of the view in force, Shift for the rectangle from the last one.
    void ClickCell(int row, int column, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const TPixelRect r = Geometry().CellRect(row, column);
        const QPoint at{Geometry().PlotLeft() + (r.Left + r.Right) / 2,
                        Geometry().PlotTop() + (r.Top + r.Bottom) / 2};
        emit Form->MainImage()->MouseDown(at, Qt::LeftButton, keys);
        emit Form->MainImage()->MouseUp(at, Qt::LeftButton);
    }

    TLHAdjustForm* OpenFuelWindow() {
        Form->UpdateFuelTrim1()->trigger();
        Settle();
        return Form->LHAdjustForm();
    }
    TEZKAdjustForm* OpenIgnitionWindow() {
        Form->UpdateIgnitionTiming1()->trigger();
        Settle();
        return Form->EZKAdjustForm();
    }

    std::vector<TPromptCall> Errors() const {
        std::vector<TPromptCall> errors;
        for (const TPromptCall& call : Prompts.Calls)
            if (call.Kind == TPromptKind::Error) errors.push_back(call);
        return errors;
    }
};

// lean.txt: two samples 10 % lean on the grid point of RPM index 5 and load
// index 6, one halfway between load indexes 6 and 7 at RPM index 8.
struct TLeanFixture : TAdjustFixture {
    TLeanFixture() {
        LoadLog(Fixtures / "lean.txt");
        LoadMap(Fixtures / "lh_map.txt");
        UsePrimaryLoadMap();
    }
};

// knock.txt with the ignition reference of the command-line examples, shown in the EZK view.
struct TKnockFixture : TAdjustFixture {
    TKnockFixture() {
        LoadLog(Fixtures / "knock.txt");
        LoadMap(Fixtures / "ezk_map.txt");
        SetView(TPlotView::EZK);
    }
};

TEST(AdjustWindowsTest, ControlsCarryTheirCaptionsAndHints) {
    TLeanFixture f;
    TLHAdjustForm* lh = f.OpenFuelWindow();
    ASSERT_NE(lh, nullptr);
    TEZKAdjustForm* ezk = f.OpenIgnitionWindow();
    ASSERT_NE(ezk, nullptr);
    struct TCase {
        QAbstractButton* Control;
        const char* Caption;
        const char* Hint;
    };
    const TCase cases[] = {
        {lh->SelectedAreaButton(), "Selected Area", ""},
        {lh->EntireMapButton(), "Entire Map", ""},
        {lh->TargetAFRButton(), "Target AFR:", ""},
        {lh->TargetMapButton(), "Use target map", ""},
        {lh->TargetButton(), "&View", ""},
        {lh->AdjustButton(), "&Adjust", ""},
        {lh->AdjustResetButton(), "&Undo", "Undo effect of last adjustment"},
        {lh->SmoothButton(), "&Smooth", ""},
        {lh->SmoothResetButton(), "U&ndo", "Undo effect of last smoothing"},
        {lh->CopyButton(), "&Copy", "Copy updated map to Clipboard"},
        {lh->ResetButton(), "Reset All", ""},
        {lh->DoneButton(), "&Done", "Close this window"},
        {lh->CancelButton(), "Cancel", "Reset adjustments to zero"},
        {ezk->SelectedAreaButton(), "Selected Area", ""},
        {ezk->EntireMapButton(), "Entire Map", ""},
        {ezk->GoButton(), "&Adjust", ""},
        {ezk->ResetButton(), "&Reset", ""},
        {ezk->CopyButton(), "Copy", "Copy updated map to Clipboard"},
        {ezk->CloseButton(), "&Close", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Caption);
        EXPECT_EQ(c.Control->text(), QString::fromUtf8(c.Caption));
        EXPECT_EQ(c.Control->toolTip(), QString::fromUtf8(c.Hint));
    }
    EXPECT_EQ(lh->windowTitle(), QStringLiteral("LH Map Adjust"));
    EXPECT_EQ(ezk->windowTitle(), QStringLiteral("EZK Map Adjust"));
    for (QWidget* window : {static_cast<QWidget*>(lh), static_cast<QWidget*>(ezk)})
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(lh->TargetAFRBox()->text(), QStringLiteral("14.7"));
    EXPECT_TRUE(lh->TargetMapButton()->isChecked());
    EXPECT_EQ(lh->VertLabel()->text(), QStringLiteral("Vert = 1.00"));
    EXPECT_EQ(lh->HorizLabel()->text(), QStringLiteral("Horiz = 1.00"));
    EXPECT_EQ(lh->StatusLabel()->text(), QStringLiteral("Make selections above, then click \"Adjust\""));
    EXPECT_FALSE(lh->AdjustResetButton()->isEnabled());
    EXPECT_FALSE(lh->SmoothResetButton()->isEnabled());
    EXPECT_TRUE(lh->EntireMapButton()->isChecked()) << "nothing selected on the plot";
    EXPECT_EQ(ezk->MaxCylsBox()->text(), QStringLiteral("3")) << "the first knock limit";
    EXPECT_EQ(ezk->MaxRetardBox()->text(), QStringLiteral("3.0"));
    EXPECT_EQ(MemoLines(ezk), QStringList{QStringLiteral("Make selections above, then click \"Adjust\"")});
    EXPECT_FALSE(ezk->StopButton()->isEnabled());
}

TEST(AdjustWindowsTest, MenuItemsAndTheAdjustButtonOpenTheWindowOfTheView) {
    TKnockFixture f;
    f.Form->AdjustMapsButton()->trigger();
    Settle();
    EXPECT_NE(f.Form->EZKAdjustForm(), nullptr);
    EXPECT_EQ(f.Form->LHAdjustForm(), nullptr);
    f.SetView(TPlotView::LH);
    f.Form->AdjustMapsButton()->trigger();
    Settle();
    ASSERT_NE(f.Form->LHAdjustForm(), nullptr);
    // At most one of each: a second command brings the same window forward.
    TLHAdjustForm* first = f.Form->LHAdjustForm();
    f.Form->UpdateFuelTrim1()->trigger();
    EXPECT_EQ(f.Form->LHAdjustForm(), first);

    f.Form->EZKAdjustForm()->close();
    Settle();
    EXPECT_EQ(f.Form->EZKAdjustForm(), nullptr);
    f.State().Setup().LHVersion = TLHVersion::LH22;
    emit f.Form->EditMenu()->aboutToShow();
    EXPECT_FALSE(f.Form->UpdateIgnitionTiming1()->isEnabled());
    EXPECT_TRUE(f.Form->UpdateFuelTrim1()->isEnabled());
    f.Form->UpdateIgnitionTiming1()->trigger();
    Settle();
    EXPECT_EQ(f.Form->EZKAdjustForm(), nullptr) << "LH 2.2 has no ignition map to adjust";
}

TEST(AdjustWindowsTest, FuelAdjustmentOfASelectionIsSavedAndReadsBack) {
    TLeanFixture f;
    const fs::path session = f.UseSession();
    f.ClickCell(5, 6);
    TLHAdjustForm* window = f.OpenFuelWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->SelectedAreaButton()->isChecked());
    window->TargetAFRButton()->setChecked(true);
    window->TargetAFRBox()->setText(QStringLiteral("14,7"));  // a comma reads as the point
    f.Form->SetOverlay(TMapOverlay::Reference);

    window->AdjustButton()->click();

    const TFuelMapSet& fuel = f.State().Fuel;
    EXPECT_EQ(window->StatusLabel()->text(), QStringLiteral("Adjustment Complete"));
    EXPECT_TRUE(window->AdjustResetButton()->isEnabled());
    EXPECT_NEAR(fuel.Adjustments.At(5, 6), 1.1, 1e-9);
    // The sample at RPM index 8 lies outside the selected cell.
    EXPECT_EQ(fuel.Adjustments.At(8, 6), 1.0);
    EXPECT_NE(fuel.Updated, fuel.Reference);
    EXPECT_TRUE(fuel.AdjustmentsEdited);
    EXPECT_EQ(f.State().PlotDisplay.Overlay, TMapOverlay::Updated)
        << "printed reference values turn to updated";

    window->EntireMapButton()->setChecked(true);
    window->AdjustButton()->click();
    EXPECT_NEAR(fuel.Adjustments.At(8, 6), 1.05, 1e-9);
    EXPECT_NEAR(fuel.Adjustments.At(8, 7), 1.05, 1e-9);

    window->CopyButton()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), CopyBlock(fuel.Updated, WholeMap, 0));

    f.Form->SaveMaps1()->trigger();
    EXPECT_TRUE(f.Prompts.Calls.empty()) << "the session folder needs no question";
    TMapGrid written{};
    ASSERT_TRUE(ReadLHMapText(session / "Updated (lh_map) fuel map.txt", written));
    EXPECT_EQ(written, fuel.Updated);
    EXPECT_FALSE(fuel.AdjustmentsEdited);
}

TEST(AdjustWindowsTest, SlidersSmoothFromTheAdjustedMapAndUndoKeepsTheirWork) {
    TLeanFixture f;
    TLHAdjustForm* window = f.OpenFuelWindow();
    ASSERT_NE(window, nullptr);
    window->TargetAFRButton()->setChecked(true);
    window->AdjustButton()->click();
    const TFuelMapSet& fuel = f.State().Fuel;
    const TMapGrid adjusted = fuel.Updated;
    const TMapGrid adjustedFactors = fuel.Adjustments;

    window->HorizTrackBar()->setValue(20);
    EXPECT_EQ(window->HorizLabel()->text(), QStringLiteral("Horiz = 10.0"));
    EXPECT_NE(fuel.Updated, adjusted);
    window->VertTrackBar()->setValue(0);
    EXPECT_EQ(window->VertLabel()->text(), QStringLiteral("Vert = 10.0"));
    EXPECT_FALSE(window->SmoothResetButton()->isEnabled()) << "a slider pass does not offer the undo";
    EXPECT_EQ(window->StatusLabel()->text(), QStringLiteral("Adjustment Complete"));
    // Back to widths 1.0: the adjusted map again, nothing piled up.
    window->HorizTrackBar()->setValue(0);
    window->VertTrackBar()->setValue(20);
    EXPECT_EQ(fuel.Updated, adjusted);

    window->HorizTrackBar()->setValue(10);
    window->SmoothButton()->click();
    EXPECT_EQ(window->StatusLabel()->text(), QStringLiteral("Smoothing Complete"));
    EXPECT_TRUE(window->SmoothResetButton()->isEnabled());
    EXPECT_TRUE(fuel.AdjustmentsEdited);
    window->SmoothResetButton()->click();
    EXPECT_FALSE(window->SmoothResetButton()->isEnabled());
    EXPECT_EQ(fuel.Adjustments, adjustedFactors);

    // After the adjustment's undo, a slider move must not bring it back.
    window->AdjustResetButton()->click();
    EXPECT_FALSE(window->AdjustResetButton()->isEnabled());
    EXPECT_EQ(fuel.Adjustments, FilledGrid(1.0));
    window->HorizTrackBar()->setValue(4);
    window->HorizTrackBar()->setValue(0);
    EXPECT_EQ(fuel.Adjustments, FilledGrid(1.0));
}

TEST(AdjustWindowsTest, SmoothingAloneIsWorkTheCloseQuestionAsksAbout) {
    TLeanFixture f;
    TLHAdjustForm* window = f.OpenFuelWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(f.State().Fuel.AdjustmentsEdited);
    window->VertTrackBar()->setValue(10);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);

    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::No));
    EXPECT_TRUE(f.Form->ClosePlot());
    ASSERT_EQ(f.Prompts.Calls.size(), 1u);
    EXPECT_EQ(f.Prompts.Calls[0].Text,
              QStringLiteral("LH fuel map has been adjusted. Do you want to save changes?"));
    EXPECT_EQ(f.State().Fuel.Updated, f.State().Fuel.Reference) << "No gives the smoothing up";
}

TEST(AdjustWindowsTest, EditsMadeElsewhereSurviveASliderMove) {
    TLeanFixture f;
    TLHAdjustForm* window = f.OpenFuelWindow();
    ASSERT_NE(window, nullptr);
    window->TargetAFRButton()->setChecked(true);
    window->AdjustButton()->click();
    // The plot's "=" key raises the factor of the selected cell by 0.01.
    f.ClickCell(3, 3);
    QTest::keyClick(f.Form->MainImage(), Qt::Key_Equal);
    const TMapGrid edited = f.State().Fuel.Updated;
    ASSERT_NEAR(f.State().Fuel.Adjustments.At(3, 3), 1.01, 1e-9);

    window->HorizTrackBar()->setValue(2);
    window->HorizTrackBar()->setValue(0);
    EXPECT_EQ(f.State().Fuel.Updated, edited);
    // The factor follows the updated value it now stands for.
    EXPECT_EQ(f.State().Fuel.Adjustments.At(3, 3), edited.At(3, 3) / f.State().Fuel.Reference.At(3, 3));
}

TEST(AdjustWindowsTest, CancelRestoresTheOpeningAndResetAllClearsEverything) {
    TLeanFixture f;
    TLHAdjustForm* window = f.OpenFuelWindow();
    ASSERT_NE(window, nullptr);
    window->TargetAFRButton()->setChecked(true);
    window->AdjustButton()->click();
    window->DoneButton()->click();
    Settle();
    EXPECT_EQ(f.Form->LHAdjustForm(), nullptr);
    const TMapGrid atOpening = f.State().Fuel.Adjustments;

    window = f.OpenFuelWindow();
    ASSERT_NE(window, nullptr);
    window->TargetAFRBox()->setText(QStringLiteral("12.0"));
    window->AdjustButton()->click();
    window->HorizTrackBar()->setValue(8);
    ASSERT_NE(f.State().Fuel.Adjustments, atOpening);
    window->ResetButton()->click();
    EXPECT_EQ(f.State().Fuel.Adjustments, FilledGrid(1.0));
    EXPECT_EQ(f.State().Fuel.Remainder, FilledGrid(1.0));
    EXPECT_EQ(window->HorizTrackBar()->value(), 0);
    EXPECT_EQ(window->VertTrackBar()->value(), 20);
    EXPECT_EQ(window->HorizLabel()->text(), QStringLiteral("Horiz = 1.00"));

    window->CancelButton()->click();
    Settle();
    EXPECT_EQ(f.State().Fuel.Adjustments, atOpening);
    EXPECT_EQ(f.Form->LHAdjustForm(), nullptr);
}

TEST(AdjustWindowsTest, WindowsKeepTheirSettingsAndPlaces) {
    TLeanFixture f;
    TLHAdjustForm* lh = f.OpenFuelWindow();
    ASSERT_NE(lh, nullptr);
    lh->TargetAFRButton()->setChecked(true);
    lh->TargetAFRBox()->setText(QStringLiteral("13.9"));
    lh->VertTrackBar()->setValue(0);
    lh->move(40, 50);
    const QRect placed = lh->geometry();
    lh->DoneButton()->click();
    TEZKAdjustForm* ezk = f.OpenIgnitionWindow();
    ASSERT_NE(ezk, nullptr);
    ezk->MaxCylsBox()->SetText(QStringLiteral("5"));
    ezk->MaxRetardBox()->SetText(QStringLiteral("2.5"));
    ezk->CloseButton()->click();
    Settle();

    TIniFile2& main = f.Form->Store().Main();
    EXPECT_EQ(main.ReadString(LHAdjustSection, TargetAfrKey, ""), "13.9");
    EXPECT_FALSE(main.ReadBool(LHAdjustSection, TargetMapKey, true));
    EXPECT_EQ(main.ReadString(LHAdjustSection, WindowSizeKey, ""), QStringLiteral("%1,%2,%3,%4")
                                                                       .arg(placed.left())
                                                                       .arg(placed.top())
                                                                       .arg(placed.width())
                                                                       .arg(placed.height())
                                                                       .toStdString());
    const std::string file = ReadText(main.FileName());
    EXPECT_NE(file.find("Vertical Smoothing=10.00"), std::string::npos);
    EXPECT_NE(file.find("Horizontal Smoothing= 1.00"), std::string::npos);
    EXPECT_EQ(main.ReadString(EZKAdjustSection, MaxCylsKey, ""), "5");
    EXPECT_EQ(main.ReadString(EZKAdjustSection, MaxRetardKey, ""), "2.5");

    // The next opening starts from them, with the widths at 1.0 again.
    lh = f.OpenFuelWindow();
    ASSERT_NE(lh, nullptr);
    EXPECT_EQ(lh->TargetAFRBox()->text(), QStringLiteral("13.9"));
    EXPECT_TRUE(lh->TargetAFRButton()->isChecked());
    EXPECT_EQ(lh->VertTrackBar()->value(), 20);
    EXPECT_EQ(lh->geometry().topLeft(), placed.topLeft());
    ezk = f.OpenIgnitionWindow();
    ASSERT_NE(ezk, nullptr);
    EXPECT_EQ(ezk->MaxCylsBox()->text(), QStringLiteral("5"));
}

TEST(AdjustWindowsTest, LimitBoxesStepWholeNumbersWithinTheirRange) {
    TKnockFixture f;
    TEZKAdjustForm* window = f.OpenIgnitionWindow();
    ASSERT_NE(window, nullptr);
    struct TCase {
        TUpDownEdit* Box;
        const char* Text;
        int Steps;
        const char* Expected;
    };
    const TCase cases[] = {
        {window->MaxCylsBox(), "3", 1, "4"},      {window->MaxCylsBox(), "8", 1, "8"},
        {window->MaxCylsBox(), "0", -1, "0"},     {window->MaxCylsBox(), "x", 1, "1"},
        {window->MaxRetardBox(), "2.6", -1, "2"}, {window->MaxRetardBox(), "9", 2, "9"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Text) + " by " + std::to_string(c.Steps));
        c.Box->SetText(QString::fromUtf8(c.Text));
        c.Box->stepBy(c.Steps);
        EXPECT_EQ(c.Box->text(), QString::fromUtf8(c.Expected));
    }
}

TEST(AdjustWindowsTest, RefusedLimitsShowTheirMessageAndChangeNothing) {
    TKnockFixture f;
    TEZKAdjustForm* window = f.OpenIgnitionWindow();
    ASSERT_NE(window, nullptr);
    window->SetPassWait(std::chrono::milliseconds(0));
    struct TCase {
        const char* Cylinders;
        const char* Retard;
        const char* Message;
    };
    const TCase cases[] = {
        {"9", "1", "Max number of cylinders must be numeric, and in the range of 0 to 8"},
        {"three", "1", "Max number of cylinders must be numeric, and in the range of 0 to 8"},
        {"3", "9.2", "Max Retard must be numeric, in the 0 to 9-deg range"},
        {"3", "1,5", "Max Retard must be numeric, in the 0 to 9-deg range"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Cylinders) + " / " + c.Retard);
        f.Prompts.Calls.clear();
        window->MaxCylsBox()->SetText(QString::fromUtf8(c.Cylinders));
        window->MaxRetardBox()->SetText(QString::fromUtf8(c.Retard));
        window->GoButton()->click();
        ASSERT_EQ(f.Errors().size(), 1u);
        EXPECT_EQ(f.Errors()[0].Text, QString::fromUtf8(c.Message));
        EXPECT_FALSE(window->PassesRunning());
        EXPECT_EQ(f.State().Ignition.Adjustments, FilledGrid(0.0));
    }
}

TEST(AdjustWindowsTest, IgnitionPassesRunToTheEndWithTheirStatusLines) {
    TKnockFixture f;
    TEZKAdjustForm* window = f.OpenIgnitionWindow();
    ASSERT_NE(window, nullptr);
    window->SetPassWait(std::chrono::milliseconds(0));
    window->MaxCylsBox()->SetText(QStringLiteral("3"));
    window->MaxRetardBox()->SetText(QStringLiteral("1"));

    window->GoButton()->click();
    // The first line is shown before its pass runs, and every other control waits.
    EXPECT_TRUE(window->PassesRunning());
    EXPECT_TRUE(f.Form->MapWorkRunning());
    EXPECT_EQ(MemoLines(window).last(), QStringLiteral("Starting pass 1 ..."));
    EXPECT_TRUE(window->StopButton()->isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{
             window->GoButton(), window->ResetButton(), window->CopyButton(), window->CloseButton(),
             window->MaxCylsBox(), window->SelectedAreaButton()})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();

    ASSERT_TRUE(RunUntil([&] { return !window->PassesRunning(); }));
    EXPECT_EQ(
        MemoLines(window),
        (QStringList{QStringLiteral("Make selections above, then click \"Adjust\""),
                     QStringLiteral("Pass 1 completed (max=4/11.0)"),
                     QStringLiteral("Pass 2 completed (max=3/4.0)"),
                     QStringLiteral(
                         "Finished, max= 3 cyls, 4.0 deg; limits not reached in cells 560/40 (rpm/load)")}));
    const TIgnitionMapSet& ignition = f.State().Ignition;
    EXPECT_EQ(ignition.Adjustments.At(7, 6), -2.5);
    EXPECT_EQ(ignition.Adjustments.At(0, 6), -7);
    EXPECT_TRUE(ignition.AdjustmentsEdited);
    EXPECT_FALSE(f.Form->MapWorkRunning());
    EXPECT_TRUE(window->GoButton()->isEnabled());
    EXPECT_FALSE(window->StopButton()->isEnabled());

    window->CopyButton()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), CopyBlock(ignition.Updated, WholeMap, 1));
    window->ResetButton()->click();
    EXPECT_EQ(ignition.Adjustments, FilledGrid(0.0));
    EXPECT_FALSE(ignition.AdjustmentsEdited);

    // The reset goes back in one step, and the whole run of passes in one more.
    f.Form->Undo1Click();
    EXPECT_EQ(ignition.Adjustments.At(0, 6), -7);
    f.Form->Undo1Click();
    EXPECT_EQ(ignition.Adjustments, FilledGrid(0.0));
}

TEST(AdjustWindowsTest, IgnitionAdjustmentKeepsToTheSelectedCells) {
    TKnockFixture f;
    f.ClickCell(7, 6);
    f.ClickCell(8, 6, Qt::ShiftModifier);
    TEZKAdjustForm* window = f.OpenIgnitionWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->SelectedAreaButton()->isChecked());
    window->SetPassWait(std::chrono::milliseconds(0));
    window->MaxRetardBox()->SetText(QStringLiteral("0"));
    window->GoButton()->click();
    ASSERT_TRUE(RunUntil([&] { return !window->PassesRunning(); }));

    const TMapGrid& adjustments = f.State().Ignition.Adjustments;
    int changed = 0;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) changed += adjustments.At(r, l) != 0;
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(adjustments.At(8, 6), -2);
}

// Passes with a wait long enough that the test acts between two of them.
struct TRunningFixture : TKnockFixture {
    TEZKAdjustForm* Window = nullptr;

    TRunningFixture() {
        Window = OpenIgnitionWindow();
        EXPECT_NE(Window, nullptr);
        Window->SetPassWait(std::chrono::minutes(1));
        Window->MaxRetardBox()->SetText(QStringLiteral("1"));
        Window->GoButton()->click();
        EXPECT_TRUE(RunUntil([&] { return MemoLines(Window).last().startsWith(QStringLiteral("Pass 1")); }));
    }
};

TEST(AdjustWindowsTest, StopEndsThePassesAfterTheCurrentOne) {
    TRunningFixture f;
    ASSERT_TRUE(f.Window->PassesRunning());
    const TMapGrid afterPass1 = f.State().Ignition.Adjustments;

    f.Window->StopButton()->click();

    EXPECT_FALSE(f.Window->PassesRunning());
    EXPECT_EQ(MemoLines(f.Window).last().left(36), QStringLiteral("Finished, max= 4 cyls, 11.0 deg; lim"));
    EXPECT_EQ(f.State().Ignition.Adjustments, afterPass1);
    EXPECT_TRUE(f.State().Ignition.AdjustmentsEdited);
    EXPECT_TRUE(f.Window->GoButton()->isEnabled());
    EXPECT_FALSE(f.Window->StopButton()->isEnabled());
}

TEST(AdjustWindowsTest, PlotCommandsAreRefusedWhileThePassesRun) {
    TRunningFixture f;
    ASSERT_TRUE(f.Form->MapWorkRunning());
    const std::size_t samples = f.State().Logs.Data.Count();
    const TMapGrid reference = f.State().Ignition.Reference;
    const TMapGrid adjustments = f.State().Ignition.Adjustments;
    f.Prompts.Calls.clear();

    // None of them may ask anything (no answers are scripted) or change the plot.
    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"new plot", [&] { f.Form->NewPlot1()->trigger(); }},
        {"open (new plot)", [&] { f.Form->OpenNewPlot1()->trigger(); }},
        {"open (add)", [&] { f.Form->OpenAddToPlot1()->trigger(); }},
        {"close log", [&] { f.Form->CloseLogFile1Click(Q(Fixtures / "knock.txt")); }},
        {"drop", [&] { f.Form->OpenDroppedFiles({Q(Fixtures / "lean.txt")}); }},
        {"load map", [&] { f.Form->LoadMapFile1()->trigger(); }},
        {"compare map", [&] { f.Form->CompareMapFile1()->trigger(); }},
        {"paste map", [&] { f.Form->PasteMap1Click(); }},
        {"save maps", [&] { f.Form->SaveMaps1()->trigger(); }},
        {"reset fuel", [&] { f.Form->ResetFuelMapAdjustment1()->trigger(); }},
        {"reset ignition", [&] { f.Form->ResetIgntionmadadjustment1()->trigger(); }},
        {"close plot", [&] { EXPECT_FALSE(f.Form->ClosePlot()); }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        f.Form->statusBar()->clearMessage();
        command();
        EXPECT_TRUE(
            f.Form->statusBar()->currentMessage().contains(QStringLiteral("ignition map is being adjusted")));
    }
    EXPECT_TRUE(f.Prompts.Calls.empty());
    EXPECT_EQ(f.State().Logs.Data.Count(), samples);
    EXPECT_EQ(f.State().Ignition.Reference, reference);
    EXPECT_EQ(f.State().Ignition.Adjustments, adjustments);
    EXPECT_TRUE(f.State().Ignition.AdjustmentsEdited) << "the passes' work is not saved yet";
    EXPECT_TRUE(f.Window->PassesRunning());
}

TEST(AdjustWindowsTest, ANewEngineSetupWaitsForThePassesToEnd) {
    TRunningFixture f;
    const TMapAxes axes = f.State().Axes;
    f.State().Setup().EZKVersion = TEZKVersion::GT;  // as the project window would change it
    QCoreApplication::postEvent(
        f.Form.get(), new QEvent(static_cast<QEvent::Type>(QEvent::User + EngineSetupChangedMessage)));
    Settle();
    EXPECT_EQ(f.State().Axes.EZKRpm, axes.EZKRpm) << "the passes' cells stay where they were";

    f.Window->StopButton()->click();
    EXPECT_TRUE(RunUntil([&] { return f.State().Axes.EZKRpm != axes.EZKRpm; }));
}

TEST(AdjustWindowsTest, ClosingTheWindowDuringThePassesStopsThemFirst) {
    TRunningFixture f;
    f.Window->close();
    Settle();
    EXPECT_EQ(f.Form->EZKAdjustForm(), nullptr);
    EXPECT_FALSE(f.Form->MapWorkRunning());
    EXPECT_TRUE(f.State().Ignition.AdjustmentsEdited);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(AdjustWindowsTest, ClosingTheProgramDuringThePassesStopsThemAndAsks) {
    TRunningFixture f;
    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::Cancel));
    EXPECT_FALSE(f.Form->close());
    EXPECT_FALSE(f.Form->MapWorkRunning());
    ASSERT_EQ(f.Prompts.Calls.size(), 1u);
    EXPECT_EQ(f.Prompts.Calls[0].Text,
              QStringLiteral("EZK igntion map has been adjusted. Do you want to save changes?"));
    EXPECT_TRUE(f.Form->isVisible());
}

TEST(AdjustWindowsTest, CloseQuestionComesWithoutASessionFolderToo) {
    const fs::path chosenName = "chosen";
    struct TCase {
        const char* Name;
        TPromptAnswer Answer;
        bool FolderChosen;  // for Yes: the folder dialog is answered
        bool Closed;
    };
    const TCase cases[] = {
        {"yes, then a folder", TPromptAnswer::Yes, true, true},
        {"yes, then no folder", TPromptAnswer::Yes, false, false},
        {"no", TPromptAnswer::No, false, true},
        {"cancel", TPromptAnswer::Cancel, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLeanFixture f;
        TLHAdjustForm* window = f.OpenFuelWindow();
        ASSERT_NE(window, nullptr);
        window->AdjustButton()->click();
        const TMapGrid adjusted = f.State().Fuel.Adjustments;
        const fs::path chosen = f.Folder.Path() / chosenName;
        fs::create_directories(chosen);
        f.Prompts.Then(TFakeAnswer::Choose(c.Answer));
        if (c.Answer == TPromptAnswer::Yes)
            f.Prompts.Then(c.FolderChosen ? TFakeAnswer::Folder(Q(chosen))
                                          : TFakeAnswer::Cancel(TPromptKind::BrowseFolder));

        f.Form->NewPlot1()->trigger();

        EXPECT_TRUE(f.Prompts.Answers.empty());
        EXPECT_EQ(f.State().Logs.Data.Empty(), c.Closed);
        EXPECT_EQ(fs::exists(chosen / "Updated (lh_map) fuel map.txt"), c.FolderChosen);
        EXPECT_EQ(f.State().Fuel.AdjustmentsEdited, !c.Closed);
        if (!c.Closed) {
            EXPECT_EQ(f.State().Fuel.Adjustments, adjusted) << "kept for another try";
        }
        // No session folder: no base map anywhere.
        EXPECT_FALSE(fs::exists(chosen / "Base fuel map.txt"));
    }
}

TEST(AdjustWindowsTest, ExitWithoutASessionFolderAsksAndCancelKeepsTheProgram) {
    TLeanFixture f;
    TLHAdjustForm* window = f.OpenFuelWindow();
    ASSERT_NE(window, nullptr);
    window->AdjustButton()->click();
    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::Cancel));
    EXPECT_FALSE(f.Form->close());
    EXPECT_TRUE(f.Form->isVisible());
    EXPECT_NE(f.Form->LHAdjustForm(), nullptr);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
}

// Both windows over real logs, before and after their adjustment; the
// pictures go to KELVANE_SCREENSHOT_DIR when it names a folder.
TEST(AdjustWindowsTest, WindowsOverARealLog) {
    const fs::path fuelLog = RealData / "Run_speeduino_turbo_dyno.txt";
    const fs::path knockLog = RealData / "Run_proecu_subaru_fa20.txt";
    if (!fs::exists(fuelLog) || !fs::exists(knockLog)) GTEST_SKIP() << "no real logs on this machine";
    const QString folder = qEnvironmentVariable("KELVANE_SCREENSHOT_DIR");
    const auto shoot = [&](QWidget* widget, const char* name) {
        Settle();
        const QImage shot = widget->grab().toImage();
        EXPECT_FALSE(shot.isNull());
        if (!folder.isEmpty()) shot.save(QDir(folder).filePath(QString::fromUtf8(name)));
    };

    TAdjustFixture f;
    f.LoadLog(fuelLog);
    f.LoadLog(knockLog);
    f.LoadMap(Fixtures / "lh_map.txt");
    f.UsePrimaryLoadMap();
    f.LoadMap(Fixtures / "ezk_map.txt");
    TLHAdjustForm* lh = f.OpenFuelWindow();
    ASSERT_NE(lh, nullptr);
    shoot(lh, "lh_adjust_before.png");
    lh->AdjustButton()->click();
    lh->HorizTrackBar()->setValue(6);
    lh->SmoothButton()->click();
    EXPECT_NE(f.State().Fuel.Adjustments, FilledGrid(1.0));
    shoot(lh, "lh_adjust_after.png");
    f.State().PlotDisplay.Overlay = TMapOverlay::Adjustments;
    f.Form->Document().Apply(TChange::Overlay);
    shoot(f.Form.get(), "lh_adjust_plot.png");
    lh->DoneButton()->click();

    f.SetView(TPlotView::EZK);
    TEZKAdjustForm* ezk = f.OpenIgnitionWindow();
    ASSERT_NE(ezk, nullptr);
    shoot(ezk, "ezk_adjust_before.png");
    ezk->MaxRetardBox()->SetText(QStringLiteral("0.5"));
    ezk->GoButton()->click();
    ASSERT_TRUE(RunUntil([&] { return MemoLines(ezk).last().startsWith(QStringLiteral("Pass 1")); }));
    shoot(ezk, "ezk_adjust_running.png");
    ezk->SetPassWait(std::chrono::milliseconds(0));
    ezk->StopButton()->click();
    ezk->GoButton()->click();
    ASSERT_TRUE(RunUntil([&] { return !ezk->PassesRunning(); }, 60000));
    EXPECT_TRUE(MemoLines(ezk).last().startsWith(QStringLiteral("Finished, max=")));
    EXPECT_NE(f.State().Ignition.Adjustments, FilledGrid(0.0));
    shoot(ezk, "ezk_adjust_after.png");
    shoot(f.Form.get(), "ezk_adjust_plot.png");
}

}  // namespace
}  // namespace kelvane
