#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <memory>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/document/KelvaneDocument.h"
#include "app/mapwindows/EZKMapUnit.h"
#include "app/mapwindows/FuelMapUnit.h"
#include "app/mapwindows/MapViewerUnit.h"
#include "app/plot/MainUnit.h"
#include "core/ground/IniKeys.h"
#include "core/mapwindows/MapGridSelection.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

// A fuel map shaped like a real one: rich at high load, lean at low load,
// reaching the leanest and richest values at its corners.
TMapGrid FuelMapShape() {
    TMapGrid map;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l)
            map.At(r, l) = std::round(-100 + 14 * l + 4 * r * std::sin(l * 0.4) - 0.25 * (r - 8) * (r - 8));
    map.At(0, 0) = -127;
    map.At(15, 15) = 127;
    return map;
}

TMapGrid IgnitionMapShape() {
    TMapGrid map;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) map.At(r, l) = std::round((10 + 2.2 * r - 1.3 * l) * 2) / 2;
    return map;
}

// Counts the paint events a widget gets.
class TPaintCounter : public QObject {
  public:
    explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int Count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Count;
        return false;
    }
};

// A shown main window with fuel and ignition references loaded.
struct TMapWindowsFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

    explicit TMapWindowsFixture(TLHVersion version = TLHVersion::LH23,
                                TLHMapSource source = TLHMapSource::Text) {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Form->resize(1000, 700);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        State().Setup() = TEngineSetup{version, TLHConfig::Maf, TEZKVersion::S4};
        TFuelMapSet& fuel = State().Fuel;
        fuel.Source = source;
        State().RecomputeAxes();
        fuel.Reference = source == TLHMapSource::PrimaryLoad ? FilledGrid(20000) : FuelMapShape();
        fuel.ReferenceLoaded = true;
        fuel.ResetAdjustments(State().Axes.FuelLimits);
        TIgnitionMapSet& ignition = State().Ignition;
        ignition.Reference = IgnitionMapShape();
        ignition.ReferenceLoaded = true;
        ignition.ResetAdjustments();
        for (int r = 0; r < MapSize; ++r) ignition.WotCurve.At(r, 0) = 20 + r * 0.5;
        Form->Document().Apply(TChange::FuelMaps | TChange::IgnitionMaps | TChange::Axes);
    }

    TKelvaneState& State() { return Form->State(); }

    TFuelMapForm* OpenFuel() {
        Form->MapsWindow1()->trigger();
        TFuelMapForm* form = Form->FuelMapForm();
        EXPECT_TRUE(form && QTest::qWaitForWindowExposed(form));
        return form;
    }
    TEZKMapForm* OpenIgnition() {
        Form->SetView(TPlotView::EZK, TPlotFormat::Cells);
        Form->MapsWindow1()->trigger();
        TEZKMapForm* form = Form->EZKMapForm();
        EXPECT_TRUE(form && QTest::qWaitForWindowExposed(form));
        return form;
    }

    std::vector<QString> Errors() const {
        std::vector<QString> errors;
        for (const TPromptCall& call : Prompts.Calls)
            if (call.Kind == TPromptKind::Error) errors.push_back(call.Text);
        return errors;
    }

    static void Settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static void Click(TMapGridView* grid, int column, int row, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(grid, Qt::LeftButton, keys, grid->CellRect(column, row).center());
    }
    // Typed into the grid: the first key opens the edit box, the rest go to it.
    static void Type(TMapGridView* grid, const QString& text) {
        QTest::keyClicks(grid, text.left(1));
        if (text.size() > 1) QTest::keyClicks(grid->Editor(), text.mid(1));
        QTest::keyClick(grid->Editor(), Qt::Key_Return);
    }
    // The background at the left of a cell, away from its right-aligned text.
    static QColor Background(TMapGridView* grid, int column, int row) {
        const QRect cell = grid->CellRect(column, row);
        return grid->grab().toImage().pixelColor(cell.left() + 2, cell.bottom() - 1);
    }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }
    static void SaveShot(QWidget* widget, const char* name) {
        const QString folder = qEnvironmentVariable("KELVANE_SCREENSHOT_DIR");
        if (!folder.isEmpty()) widget->grab().save(QDir(folder).filePath(QString::fromUtf8(name)));
    }
};

TEST(FuelMapWindowTest, OpensFromTheWindowMenuWithItsTabsAndButtons) {
    TMapWindowsFixture f;
    TFuelMapForm* form = f.OpenFuel();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), "LH Fuel Maps");
    EXPECT_TRUE(f.Form->MapButton()->isChecked());
    EXPECT_FALSE(form->Tabs()->isTabVisible(static_cast<int>(TFuelMapTab::Remainder)));
    EXPECT_EQ(form->Tab(), TFuelMapTab::Reference);
    EXPECT_TRUE(form->StayOnTopBox()->isChecked());

    // A Primary Load Map gets its caption and the remainder tab.
    f.State().Fuel.Source = TLHMapSource::PrimaryLoad;
    f.Form->Document().Apply(TChange::FuelMaps);
    EXPECT_EQ(form->windowTitle(), "LH Primary Load Map");
    EXPECT_TRUE(form->Tabs()->isTabVisible(static_cast<int>(TFuelMapTab::Remainder)));

    const struct {
        TFuelMapTab Tab;
        bool Steps, Paste, Reset, Typing;
    } rules[] = {
        {TFuelMapTab::Reference, false, true, false, true},
        {TFuelMapTab::Adjustments, true, true, true, true},
        {TFuelMapTab::Updated, true, true, false, true},
        {TFuelMapTab::Remainder, false, false, false, false},
        {TFuelMapTab::TargetAfr, false, true, true, true},
    };
    for (const auto& rule : rules) {
        form->SetTab(rule.Tab);
        ASSERT_EQ(form->Tab(), rule.Tab);
        EXPECT_EQ(form->StepButton(TMapStep::PlusPlus)->isEnabled(), rule.Steps);
        EXPECT_EQ(form->PasteMapButton()->isEnabled(), rule.Paste);
        EXPECT_EQ(form->ResetButton()->isEnabled(), rule.Reset);
        EXPECT_TRUE(form->CopyMapButton()->isEnabled());
        TMapGridView* grid = form->Grid(rule.Tab);
        QTest::keyClick(grid, Qt::Key_5);
        EXPECT_EQ(grid->Editing(), rule.Typing);
        if (grid->Editing()) QTest::keyClick(grid->Editor(), Qt::Key_Escape);
    }
    EXPECT_EQ(form->StepButton(TMapStep::Minus)->toolTip(), "Decrement selected cells by -1");

    // The Map button closes it again.
    f.Form->MapButton()->trigger();
    TMapWindowsFixture::Settle();
    EXPECT_EQ(f.Form->FuelMapForm(), nullptr);
    EXPECT_FALSE(f.Form->MapButton()->isChecked());
}

// Without "Show Color" the limits are marked: 127 red, -127 yellow, others plain.
TEST(FuelMapWindowTest, LimitsAreColouredAndShowColorUsesTheScale) {
    TMapWindowsFixture f;
    TFuelMapForm* form = f.OpenFuel();
    TMapGridView* grid = form->Grid(TFuelMapTab::Reference);
    EXPECT_EQ(TMapWindowsFixture::Background(grid, 16, 16), QColor(255, 0, 0));
    EXPECT_EQ(TMapWindowsFixture::Background(grid, 1, 1), QColor(255, 255, 0));
    EXPECT_EQ(TMapWindowsFixture::Background(grid, 5, 5), grid->palette().color(QPalette::Base));
    form->SetTab(TFuelMapTab::Updated);
    EXPECT_EQ(TMapWindowsFixture::Background(form->Grid(TFuelMapTab::Updated), 16, 16), QColor(255, 0, 0));
    TMapWindowsFixture::SaveShot(form, "fuel_map_window.png");

    form->ShowColorBox()->click();
    const QColor middle = TMapWindowsFixture::Background(form->Grid(TFuelMapTab::Updated), 5, 5);
    const double value = f.State().Fuel.Updated.At(4, 4);
    EXPECT_EQ(middle, QColor::fromRgba(ColorLookup(MapWindowDefaultColorTable(), 255, value)));
    form->ShowColor2Box()->click();
    EXPECT_EQ(form->WindowScale(), MapWindowColor2Table());
    EXPECT_EQ(TMapWindowsFixture::Background(form->Grid(TFuelMapTab::Updated), 5, 5),
              QColor::fromRgba(ColorLookup(MapWindowColor2Table(), 255, value)));
    form->SetTab(TFuelMapTab::TargetAfr);
    TMapWindowsFixture::SaveShot(form, "fuel_map_window_target.png");
    form->SetTab(TFuelMapTab::Updated);
    TMapWindowsFixture::SaveShot(form, "fuel_map_window_color2.png");
}

// A corner click selects the whole map, in the grids and on the plot; Ctrl+C
// copies its 16 lines of 16 values.
TEST(FuelMapWindowTest, CornerClickAndCtrlCCopiesTheWholeMap) {
    TMapWindowsFixture f;
    TFuelMapForm* form = f.OpenFuel();
    TMapGridView* grid = form->Grid(TFuelMapTab::Reference);
    TMapWindowsFixture::Click(grid, 0, 0);
    EXPECT_EQ(f.State().Selection.Items.size(), 256u);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = TMapWindowsFixture::Clipboard().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 17);  // the last line end too
    EXPECT_TRUE(lines.last().isEmpty());
    for (int l = 0; l < MapSize; ++l) EXPECT_EQ(lines[l].split('\t').size(), 16);
    EXPECT_EQ(lines[0].split('\t')[0], "-127");

    // A header-row click selects a column, a header-column click a row.
    TMapWindowsFixture::Click(grid, 3, 0);
    ASSERT_TRUE(grid->Selection());
    EXPECT_EQ(grid->Selection()->Left, 3);
    EXPECT_EQ(grid->Selection()->Bottom, 16);
    EXPECT_EQ(f.State().Selection.Items.size(), 16u);
    TMapWindowsFixture::Click(grid, 0, 4);
    EXPECT_EQ(grid->Selection()->Top, 4);
    EXPECT_EQ(grid->Selection()->Right, 16);
}

// The grids and the plot show one selection.
TEST(FuelMapWindowTest, SelectionGoesBothWaysWithThePlot) {
    TMapWindowsFixture f;
    TFuelMapForm* form = f.OpenFuel();
    TMapGridView* reference = form->Grid(TFuelMapTab::Reference);
    TMapWindowsFixture::Click(reference, 3, 5);
    TMapWindowsFixture::Click(reference, 6, 7, Qt::ShiftModifier);
    EXPECT_EQ(f.State().Selection.Items.size(), 12u);
    EXPECT_TRUE(f.State().Selection.Contains(TSelectionItem::Cell(5, 6)));
    ASSERT_TRUE(form->Grid(TFuelMapTab::TargetAfr)->Selection());
    EXPECT_EQ(form->Grid(TFuelMapTab::TargetAfr)->Selection()->Right, 6);

    f.State().SelectionEditor().Replace({TSelectionItem::Cell(9, 2), TSelectionItem::Cell(10, 3)});
    f.Form->Document().Apply(TChange::Selection);
    for (const TFuelMapTab tab : FuelMapTabs) {
        const auto selection = form->Grid(tab)->Selection();
        ASSERT_TRUE(selection);
        EXPECT_EQ(selection->Left, 10);
        EXPECT_EQ(selection->Top, 3);
        EXPECT_EQ(selection->Right, 11);
        EXPECT_EQ(selection->Bottom, 4);
    }
    f.State().SelectionEditor().Clear();
    f.Form->Document().Apply(TChange::Selection);
    EXPECT_FALSE(reference->Selection());
}

TEST(FuelMapWindowTest, StepKeysAndButtons) {
    TMapWindowsFixture f;
    TFuelMapForm* form = f.OpenFuel();
    form->SetTab(TFuelMapTab::Adjustments);
    TMapGridView* grid = form->Grid(TFuelMapTab::Adjustments);
    TMapWindowsFixture::Click(grid, 3, 3);  // a reference of -75: 1.3 stays within the limits
    for (int i = 0; i < 3; ++i) QTest::keyClick(grid, Qt::Key_W);
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(2, 2), 1.3);
    EXPECT_EQ(f.State().Fuel.Updated.At(2, 2), 56);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
    form->StepButton(TMapStep::Minus)->click();
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(2, 2), 1.29);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(2, 2), 1.29);

    // The target AFR map steps by a tenth and a whole AFR, within 10 .. 18.
    form->SetTab(TFuelMapTab::TargetAfr);
    f.State().Fuel.TargetAfr.At(2, 2) = 17.5;
    QTest::keyClick(form->Grid(TFuelMapTab::TargetAfr), Qt::Key_W);
    EXPECT_EQ(f.State().Fuel.TargetAfr.At(2, 2), 18);
    f.State().Fuel.TargetAfr.At(2, 2) = 10.5;
    QTest::keyClick(form->Grid(TFuelMapTab::TargetAfr), Qt::Key_S);
    EXPECT_EQ(f.State().Fuel.TargetAfr.At(2, 2), 10);
    EXPECT_TRUE(f.State().Fuel.TargetEdited);

    form->SetTab(TFuelMapTab::Adjustments);
    TMapWindowsFixture::Click(grid, 5, 6);
    TMapWindowsFixture::Click(grid, 9, 8, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_A);
    TMapWindowsFixture::SaveShot(form, "fuel_map_window_adjustments.png");
}

TEST(FuelMapWindowTest, TypingIntoCells) {
    TMapWindowsFixture f(TLHVersion::LH22);
    TFuelMapForm* form = f.OpenFuel();
    form->SetTab(TFuelMapTab::Adjustments);
    TMapGridView* grid = form->Grid(TFuelMapTab::Adjustments);
    TMapWindowsFixture::Click(grid, 2, 2);
    TMapWindowsFixture::Type(grid, QStringLiteral("5"));
    EXPECT_FALSE(grid->Editing());
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(1, 1), 1.05);
    TMapWindowsFixture::Type(grid, QStringLiteral("-150"));
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(1, 1), 0.01);

    // F2 starts from the cell's text; committing it unchanged keeps the factor.
    QTest::keyClick(grid, Qt::Key_F2);
    ASSERT_TRUE(grid->Editing());
    EXPECT_EQ(grid->Editor()->text(), "-99.0%");
    EXPECT_EQ(grid->Editor()->selectedText(), "-99.0%");
    QTest::keyClick(grid->Editor(), Qt::Key_Return);
    EXPECT_FALSE(grid->Editing());
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(1, 1), 0.01);

    // Text that is no number leaves the cells and keeps the box open.
    const TMapGrid before = f.State().Fuel.Adjustments;
    TMapWindowsFixture::Type(grid, QStringLiteral("1,47"));
    EXPECT_TRUE(grid->Editing());
    EXPECT_EQ(grid->Editor()->text(), "1,47");
    EXPECT_EQ(f.State().Fuel.Adjustments, before);
    QTest::keyClick(grid->Editor(), Qt::Key_Escape);
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(f.State().Fuel.Adjustments, before);

    // A typed target AFR is held within 10 .. 18 and marks the map edited.
    form->SetTab(TFuelMapTab::TargetAfr);
    TMapGridView* target = form->Grid(TFuelMapTab::TargetAfr);
    TMapWindowsFixture::Type(target, QStringLiteral("147"));
    EXPECT_EQ(f.State().Fuel.TargetAfr.At(1, 1), 18);
    EXPECT_TRUE(f.State().Fuel.TargetEdited);
}

TEST(FuelMapWindowTest, ClipboardBlocksAndTheirMessages) {
    TMapWindowsFixture f;
    TFuelMapForm* form = f.OpenFuel();
    form->SetTab(TFuelMapTab::Updated);
    TMapGridView* grid = form->Grid(TFuelMapTab::Updated);
    TMapWindowsFixture::Click(grid, 1, 1);
    TMapWindowsFixture::Click(grid, 3, 3, Qt::ShiftModifier);
    QGuiApplication::clipboard()->setText(QStringLiteral("1\t2\r\n3\t4\r\n"));
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(f.Errors().size(), 1u);
    EXPECT_EQ(f.Errors()[0], "Selected area does not match the data in the clipboard");
    EXPECT_FALSE(f.State().Fuel.AdjustmentsEdited);

    QGuiApplication::clipboard()->setText(QStringLiteral("5\r\n"));
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.State().Fuel.Updated.At(2, 2), 5);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);

    // "Paste Map" with one value fills the whole map; a refusal names the format.
    QGuiApplication::clipboard()->setText(QStringLiteral("7"));
    form->PasteMapButton()->click();
    EXPECT_EQ(f.State().Fuel.Updated, FilledGrid(7));
    QGuiApplication::clipboard()->setText(QStringLiteral("a\tb\r\n"));
    form->PasteMapButton()->click();
    EXPECT_EQ(f.Errors().back(), "Clipboard data is not the correct format for a map");
    form->CopyMapButton()->click();
    EXPECT_TRUE(TMapWindowsFixture::Clipboard().startsWith(QStringLiteral("7\t7\t7")));

    // Reset of the adjustments brings the updated map back to the reference.
    form->SetTab(TFuelMapTab::Adjustments);
    form->ResetButton()->click();
    EXPECT_EQ(f.State().Fuel.Updated, f.State().Fuel.Reference);
}

// A change made anywhere repaints the open windows through the change flow.
TEST(FuelMapWindowTest, ChangesMadeElsewhereRepaintTheWindows) {
    TMapWindowsFixture f;
    TFuelMapForm* form = f.OpenFuel();
    form->SetTab(TFuelMapTab::Updated);
    TMapWindowsFixture::Settle();
    const TPaintCounter paints(form->Grid(TFuelMapTab::Updated));
    f.Form->Document().Apply(TChange::Samples);
    TMapWindowsFixture::Settle();
    EXPECT_EQ(paints.Count, 0);
    f.Form->ResetFuelMapAdjustment1()->trigger();
    TMapWindowsFixture::Settle();
    EXPECT_GT(paints.Count, 0);
}

TEST(IgnitionMapWindowTest, PercentStepsWotCopyAndMessages) {
    TMapWindowsFixture f;
    TEZKMapForm* form = f.OpenIgnition();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), "EZK Ignition Maps");
    EXPECT_EQ(f.Form->FuelMapForm(), nullptr);
    EXPECT_FALSE(form->StepButton(TMapStep::PlusPlus)->isEnabled());
    TMapGridView* reference = form->Grid(TIgnitionMapTab::Reference);
    TMapWindowsFixture::Click(reference, 4, 4);  // reference 10 + 6.6 - 3.9 -> 12.5
    const double r = f.State().Ignition.Reference.At(3, 3);
    QTest::keyClick(reference, Qt::Key_W);
    EXPECT_EQ(f.State().Ignition.Updated.At(3, 3), r);

    form->SetTab(TIgnitionMapTab::Adjustments);
    EXPECT_TRUE(form->StepButton(TMapStep::PlusPlus)->isEnabled());
    EXPECT_EQ(form->StepButton(TMapStep::PlusPlus)->toolTip(), "Increment selected cells by 3 deg");
    form->PercentBox()->click();
    EXPECT_EQ(form->StepButton(TMapStep::PlusPlus)->toolTip(), "Increment selected cells by 5%");
    EXPECT_EQ(form->StepButton(TMapStep::Minus)->toolTip(), "Decrement selected cells by 1%");
    form->StepButton(TMapStep::PlusPlus)->click();
    EXPECT_DOUBLE_EQ(f.State().Ignition.Adjustments.At(3, 3), r * 0.05);
    form->PercentBox()->click();
    form->StepButton(TMapStep::PlusPlus)->click();
    EXPECT_DOUBLE_EQ(f.State().Ignition.Adjustments.At(3, 3), r * 0.05 + 3);
    EXPECT_TRUE(f.State().Ignition.AdjustmentsEdited);

    // Typing into the updated map sets the adjustment from it.
    form->SetTab(TIgnitionMapTab::Updated);
    TMapWindowsFixture::Type(form->Grid(TIgnitionMapTab::Updated), QStringLiteral("25"));
    EXPECT_EQ(f.State().Ignition.Updated.At(3, 3), 25);
    EXPECT_DOUBLE_EQ(f.State().Ignition.Adjustments.At(3, 3), 25 - r);
    TMapWindowsFixture::SaveShot(form, "ezk_map_window.png");

    form->SetTab(TIgnitionMapTab::Wot);
    form->CopyMapButton()->click();
    const QString wot = TMapWindowsFixture::Clipboard();
    EXPECT_EQ(wot.count(QStringLiteral("\r\n")), 1);
    EXPECT_TRUE(wot.startsWith(QStringLiteral("20.0\t20.5\t21.0")));

    form->SetTab(TIgnitionMapTab::Reference);
    QGuiApplication::clipboard()->setText(QStringLiteral("1\t2\r\n"));
    TMapWindowsFixture::Click(form->Grid(TIgnitionMapTab::Reference), 2, 2);
    TMapWindowsFixture::Click(form->Grid(TIgnitionMapTab::Reference), 4, 4, Qt::ShiftModifier);
    QTest::keyClick(form->Grid(TIgnitionMapTab::Reference), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(f.Errors().size(), 1u);
    EXPECT_EQ(f.Errors()[0], "Selected area is not the same shape as the data in the clipboard");

    // Escape closes the window.
    QTest::keyClick(form->Grid(TIgnitionMapTab::Reference), Qt::Key_Escape);
    TMapWindowsFixture::Settle();
    EXPECT_EQ(f.Form->EZKMapForm(), nullptr);
}

// The fuel adjustment's "View" button: the target map in the fuel map window.
TEST(FuelMapWindowTest, TargetAfrMapShownForTheAdjustment) {
    TMapWindowsFixture f;
    f.OpenIgnition();
    f.Form->ShowTargetAfrMap();
    TMapWindowsFixture::Settle();
    EXPECT_EQ(f.Form->EZKMapForm(), nullptr);
    ASSERT_TRUE(f.Form->FuelMapForm());
    EXPECT_TRUE(f.Form->FuelMapForm()->isVisible());
    EXPECT_EQ(f.Form->FuelMapForm()->Tab(), TFuelMapTab::TargetAfr);
}

TEST(MapWindowPlacementTest, ClosingStoresPlacementAndReopeningUsesIt) {
    TMapWindowsFixture f;
    TFuelMapForm* form = f.OpenFuel();
    form->move(120, 90);
    form->StayOnTopBox()->click();
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    form->CloseButton()->click();
    TMapWindowsFixture::Settle();
    TIniFile2& main = f.Form->Store().Main();
    const QString stored = QString::fromStdString(main.ReadString(MapWindowSection, WindowSizeKey, ""));
    EXPECT_TRUE(stored.startsWith(QStringLiteral("120,90,"))) << stored.toStdString();
    EXPECT_FALSE(main.ReadBool(MapWindowSection, StayOnTopKey, true));

    // The ignition window shares the section, kept on the screen.
    TEZKMapForm* ignition = f.OpenIgnition();
    const QRect screen = ignition->screen()->availableGeometry();
    const TWindowSize placed = ToolWindowPosition(stored.toStdString(), ignition->width(), ignition->height(),
                                                  {screen.x(), screen.y(), screen.width(), screen.height()});
    EXPECT_EQ(ignition->pos(), QPoint(placed.Left, placed.Top));
    EXPECT_FALSE(ignition->StayOnTopBox()->isChecked());
}

// An adjustment (one step however many changes it makes), then a typed cell
// in the map window, then two undos: the map as it was before the adjustment.
TEST(MapUndoTest, UndoAndRedoAcrossWindows) {
    TMapWindowsFixture f;
    const TFuelMapSet before = f.State().Fuel;
    {
        const TMapAction adjustment(f.Form->Document(), "Fuel Adjustment");
        for (int pass = 0; pass < 3; ++pass) {
            f.State().Fuel.Adjustments.At(pass, 5) = 1.04;
            f.State().Fuel.RecomputeUpdated(f.State().Axes.FuelLimits);
            f.State().Fuel.AdjustmentsEdited = true;
            f.Form->Document().Apply(TChange::FuelMaps);
        }
    }
    EXPECT_EQ(f.Form->Undo1()->text(), "&Undo Fuel Adjustment");
    const TFuelMapSet adjusted = f.State().Fuel;

    TFuelMapForm* form = f.OpenFuel();
    form->SetTab(TFuelMapTab::Updated);
    TMapGridView* grid = form->Grid(TFuelMapTab::Updated);
    TMapWindowsFixture::Click(grid, 8, 8);
    TMapWindowsFixture::Type(grid, QStringLiteral("40"));
    EXPECT_EQ(f.State().Fuel.Updated.At(7, 7), 40);
    EXPECT_EQ(f.Form->Undo1()->text(), "&Undo Typing in Updated Map");
    EXPECT_TRUE(f.Form->Undo1()->isEnabled());

    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.State().Fuel.Updated, adjusted.Updated);
    EXPECT_EQ(f.Form->Redo1()->text(), "&Redo Typing in Updated Map");
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.State().Fuel.Adjustments, before.Adjustments);
    EXPECT_EQ(f.State().Fuel.Updated, before.Updated);
    // Back to the maps as loaded: nothing to save.
    EXPECT_FALSE(f.State().Fuel.AdjustmentsEdited);

    QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(f.State().Fuel.Updated, adjusted.Updated);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
    f.Form->Redo1()->trigger();
    EXPECT_EQ(f.State().Fuel.Updated.At(7, 7), 40);
    EXPECT_FALSE(f.Form->Redo1()->isEnabled());
}

// The main window's own map commands are named steps too.
TEST(MapUndoTest, MenuCommandsAreNamedSteps) {
    TMapWindowsFixture f;
    f.State().Fuel.Adjustments.Fill(1.05);
    f.State().Fuel.RecomputeUpdated(f.State().Axes.FuelLimits);
    f.Form->Document().Apply(TChange::FuelMaps);
    const TMapGrid edited = f.State().Fuel.Updated;
    f.Form->ResetFuelMapAdjustment1()->trigger();
    EXPECT_EQ(f.Form->Undo1()->text(), "&Undo Reset Fuel Map Adjustment");
    f.Form->Undo1()->trigger();
    EXPECT_EQ(f.State().Fuel.Updated, edited);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
}

TEST(MapViewerTest, OpensTurnsAndDrags) {
    TMapWindowsFixture f;
    f.Form->Map3DButton()->trigger();
    TMapViewerForm* viewer = f.Form->MapViewerForm();
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    EXPECT_EQ(viewer->windowTitle(), "Map Viewer");
    EXPECT_EQ(viewer->Angles(), (TViewAngles{20, 30}));
    EXPECT_EQ(viewer->VerticalBar()->value(), -30);
    EXPECT_EQ(viewer->HorizontalLabel()->text(), QStringLiteral("20\u00B0"));
    EXPECT_FALSE(viewer->StayOnTopBox()->isChecked());
    EXPECT_EQ(viewer->Render().Scene().Map, f.State().Fuel.Updated);

    viewer->GradientBox()->click();
    EXPECT_EQ(viewer->Render().TextureBuilds(), 1);
    TMapWindowsFixture::SaveShot(viewer, "map_viewer_gradient.png");
    viewer->HorizontalBar()->setValue(170);
    // A drag of 400 pixels to the right turns 100 degrees, past 180 to -90.
    QWidget* area = viewer->ViewArea();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 100), area->mapToGlobal(QPointF(100, 100)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(500, 100), area->mapToGlobal(QPointF(500, 100)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &move);
    EXPECT_EQ(viewer->Angles().H, -90);
    EXPECT_EQ(viewer->HorizontalBar()->value(), -90);
    // Turning reuses the texture.
    EXPECT_EQ(viewer->Render().TextureBuilds(), 1);

    // A map change reaches the viewer through the change flow.
    f.State().Fuel.Adjustments.At(3, 3) = 1.1;
    f.State().Fuel.RecomputeUpdated(f.State().Axes.FuelLimits);
    f.Form->Document().Apply(TChange::FuelMaps);
    EXPECT_EQ(viewer->Render().Scene().Map, f.State().Fuel.Updated);
    EXPECT_EQ(viewer->Render().TextureBuilds(), 2);
}

// Straight down the surface is light grey; straight up its faces are seen
// from below and grey.
TEST(MapViewerTest, FacesSeenFromBelowAreGrey) {
    TMapWindowsFixture f;
    f.Form->Map3DView1()->trigger();
    TMapViewerForm* viewer = f.Form->MapViewerForm();
    ASSERT_TRUE(viewer);
    viewer->HorizontalBar()->setValue(0);
    const auto centre = [&] {
        const QImage image = viewer->Render().Composed();
        const double s = std::min(image.width(), image.height()) / 1024.0;
        return image.pixel(image.width() / 2, static_cast<int>(512 * s));
    };
    viewer->VerticalBar()->setValue(-90);
    EXPECT_EQ(centre(), SurfaceColor);
    viewer->VerticalBar()->setValue(90);
    EXPECT_EQ(viewer->Angles().V, -90);
    EXPECT_EQ(centre(), BackFaceColor);
    viewer->VerticalBar()->setValue(-30);
    viewer->HorizontalBar()->setValue(-35);
    TMapWindowsFixture::SaveShot(viewer, "map_viewer.png");

    viewer->close();
    TMapWindowsFixture::Settle();
    EXPECT_EQ(f.Form->MapViewerForm(), nullptr);
    EXPECT_FALSE(f.Form->Store().Main().ReadString(MapViewerWindowSection, WindowSizeKey, "").empty());
}

}  // namespace
}  // namespace kelvane
