#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"
#include "core/plot/CellBinning.h"
#include "core/plot/Readouts.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

const std::string Header = "Time [s]\tRPM\tMAF signal\tA/F ratio\tLoad [%]\n";

// Samples walking up in engine speed and air mass, so that many cells of
// both views hold some.
std::string WalkLog(int count, double firstTime) {
    std::string text = Header;
    for (int i = 0; i < count; ++i) {
        const int rpm = 1000 + 100 * i;
        const int maf = 150 + 10 * i;
        text += std::to_string(firstTime + i) + "\t" + std::to_string(rpm) + "\t" + std::to_string(maf) +
                "\t13.5\t" + std::to_string(5 + 3 * i) + "\n";
    }
    return text;
}

struct TPlotFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

    TPlotFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Form->resize(1000, 700);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        State().Setup() = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT};
        State().Settings.ActiveFilters.FiltersEnabled = false;
    }

    TKelvaneState& State() { return Form->State(); }
    const TPlotGeometry& Geometry() const { return *Form->PlotGeometry(); }

    void Load(const std::string& name, const std::string& text) {
        const fs::path log = Folder.Path() / name;
        WriteText(log, text);
        ASSERT_TRUE(Form->LoadLogFile(QString::fromStdString(log.string())));
        Form->RefreshMainWindow();
    }

    // Image position of the middle of a cell of the view in force.
    QPoint CellCentre(int row, int column) const {
        const TPixelRect r = Geometry().CellRect(row, column);
        return {Geometry().PlotLeft() + (r.Left + r.Right) / 2,
                Geometry().PlotTop() + (r.Top + r.Bottom) / 2};
    }
    QPoint SampleAt(std::size_t index) {
        const TPixelPoint p = Geometry().SamplePixel(State().Logs.Data[index]);
        return {Geometry().PlotLeft() + p.X, Geometry().PlotTop() + p.Y};
    }

    void Click(QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        emit Form->MainImage()->MouseDown(at, Qt::LeftButton, keys);
        emit Form->MainImage()->MouseUp(at, Qt::LeftButton);
    }
    void Drag(QPoint from, QPoint to) {
        emit Form->MainImage()->MouseDown(from, Qt::LeftButton, Qt::NoModifier);
        emit Form->MainImage()->MouseMove(to, Qt::LeftButton);
        emit Form->MainImage()->MouseUp(to, Qt::LeftButton);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QTest::keyClick(Form->MainImage(), key, keys);
    }

    std::vector<TSelectionItem> Items() const { return Form->State().Selection.Items; }
    std::vector<int> Points() const {
        std::vector<int> points;
        for (const TSelectionItem& item : Form->State().Selection.Items) points.push_back(item.SampleIndex);
        return points;
    }
};

TEST(PlotSelectionTest, CellClicksSelectASecondClickClearsAndShiftTakesTheRectangle) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    f.Click(f.CellCentre(5, 5));
    EXPECT_EQ(f.Items(), (std::vector{TSelectionItem::Cell(5, 5)}));
    f.Click(f.CellCentre(5, 5));
    EXPECT_TRUE(f.Items().empty());

    // Shift with nothing selected is a plain click; then it spans from the anchor.
    f.Click(f.CellCentre(3, 8), Qt::ShiftModifier);
    EXPECT_EQ(f.Items().size(), 1u);
    f.Click(f.CellCentre(5, 6), Qt::ShiftModifier);
    EXPECT_EQ(f.Items().size(), 9u);
    EXPECT_EQ(SelectionRegion(f.State().Selection), (TCellRegion{3, 5, 6, 8}));
    // The fog leaves the selected cells clear and covers the others.
    const QImage& fog = f.Form->Layers().Selection;
    const QPoint origin = f.Form->Layers().PlotOrigin;
    EXPECT_EQ(qAlpha(fog.pixel(f.CellCentre(4, 7) - origin)), 0);
    EXPECT_EQ(qAlpha(fog.pixel(f.CellCentre(10, 12) - origin)), f.State().PlotDisplay.FogAlpha);
}

TEST(PlotSelectionTest, DragInThePlotSelectsCellsAlsoWithoutAnEarlierCellClick) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    f.Form->SetCellCursor(false);
    f.Drag(f.CellCentre(2, 2), f.CellCentre(4, 3));
    EXPECT_TRUE(f.State().Selection.IsCells());
    EXPECT_EQ(SelectionRegion(f.State().Selection), (TCellRegion{2, 4, 2, 3}));
}

TEST(PlotSelectionTest, PointClicksToggleAndCtrlAdds) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    f.Form->SetCellCursor(false);
    f.Click(f.SampleAt(10));
    EXPECT_EQ(f.Points(), (std::vector<int>{10}));
    EXPECT_TRUE(f.State().Logs.Data[10].Selected);
    f.Click(f.SampleAt(20), Qt::ControlModifier);
    EXPECT_EQ(f.Points(), (std::vector<int>{10, 20}));
    f.Click(f.SampleAt(20));  // a plain click on a selected point takes it out
    EXPECT_EQ(f.Points(), (std::vector<int>{10}));
    f.Click(f.SampleAt(30), Qt::ShiftModifier);  // Shift alone does nothing
    EXPECT_EQ(f.Points(), (std::vector<int>{10}));
}

TEST(PlotSelectionTest, ArrowsStepAndExtendThePointSelection) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    f.Form->SetCellCursor(false);
    f.Click(f.SampleAt(10));
    f.Key(Qt::Key_Right);
    EXPECT_EQ(f.Points(), (std::vector<int>{11}));
    f.Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(f.Points(), (std::vector<int>{11, 12}));
    f.Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(f.Points(), (std::vector<int>{11, 12, 10}));
    f.Key(Qt::Key_Left);
    EXPECT_EQ(f.Points(), (std::vector<int>{9}));
}

TEST(PlotSelectionTest, FuelKeysStepTheSelectedCellsInTheFuelViewOnly) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    f.State().Fuel.Adjustments.At(5, 6) = 0.95;
    f.Form->Document().Apply(TChange::FuelMaps);
    f.Click(f.CellCentre(5, 5));
    f.Click(f.CellCentre(5, 6), Qt::ShiftModifier);
    f.Key(Qt::Key_Equal, Qt::AltModifier);
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(5, 5), 1.10);
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(5, 6), 1.05);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
    f.Key(Qt::Key_S);
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(5, 5), 1.0);

    // The cells were the fuel map's: in the ignition view they are gone.
    f.Form->SetView(TPlotView::EZK, TPlotFormat::Cells);
    EXPECT_TRUE(f.Items().empty());
    f.Click(f.CellCentre(5, 5));
    f.Key(Qt::Key_Q);
    EXPECT_DOUBLE_EQ(f.State().Fuel.Adjustments.At(5, 5), 1.0);
}

TEST(PlotSelectionTest, CtrlASelectsEveryCellAndEscClearsFirst) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    f.Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.Items().size(), 256u);
    EXPECT_FALSE(f.Form->StatusPanel(2)->text().isEmpty());
    f.Key(Qt::Key_Escape);
    EXPECT_TRUE(f.Items().empty());
}

TEST(PlotSelectionTest, LoadMarginDragNeverWidensTheIgnitionRange) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    const TPlotGeometry& g = f.Geometry();
    const int x = g.PlotLeft() - 5;
    // Up from near the bottom: the minimum would drop far below its floor.
    emit f.Form->MainImage()->MouseDown(QPoint(x, g.PlotTop() + g.PlotHeight() - 3), Qt::LeftButton,
                                        Qt::NoModifier);
    for (int y : {400, 200, 50, 2, 0, -40}) {
        emit f.Form->MainImage()->MouseMove(QPoint(x, g.PlotTop() + y), Qt::LeftButton);
        const TPlotRanges& r = f.State().PlotRanges;
        EXPECT_GE(r.EzkMin, EzkMinLoad) << y;
        EXPECT_LE(r.EzkMax, EzkMaxLoad) << y;
        EXPECT_GE(r.MaxLoad, r.MinLoad + 1) << y;
        EXPECT_GE(r.MinLoad, 0) << y;
    }
    emit f.Form->MainImage()->MouseUp(QPoint(x, 2), Qt::LeftButton);
    EXPECT_NE(f.State().PlotRanges.MinLoad, 0);
}

TEST(PlotSelectionTest, WheelZoomsAboutTheCursorAndEscUndoesIt) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    const TPlotRanges before = f.State().PlotRanges;
    const QPoint at = f.CellCentre(6, 6);
    const double rpmUnder = f.Geometry().RpmAt(at.x() - f.Geometry().PlotLeft());
    emit f.Form->MainImage()->Wheel(at, 120, Qt::ShiftModifier);
    const TPlotRanges zoomed = f.State().PlotRanges;
    EXPECT_LT(zoomed.MaxRpm - zoomed.MinRpm, before.MaxRpm - before.MinRpm);
    EXPECT_EQ(zoomed.MinLoad, before.MinLoad);  // Shift: engine speed only
    EXPECT_NEAR(f.Geometry().RpmAt(at.x() - f.Geometry().PlotLeft()), rpmUnder, 2 * (before.MaxRpm / 600));
    f.Key(Qt::Key_Escape);
    EXPECT_EQ(f.State().PlotRanges, before);
}

TEST(PlotSelectionTest, CopyRepeatsTheHeaderAsFilesAlternateAndSaveWritesTheSame) {
    TPlotFixture f;
    f.Load("RunA.txt", WalkLog(5, 0));
    const std::string headerB = "Time [s]\tRPM\tMAF signal\tA/F ratio\n";
    {
        const fs::path b = f.Folder.Path() / "RunB.txt";
        WriteText(b, headerB + "100.0\t2500\t300\t14.0\n101.0\t2600\t310\t14.1\n102.0\t2700\t320\t14.2\n");
        ASSERT_TRUE(f.Form->LoadLogFile(QString::fromStdString(b.string())));
        f.Form->Document().Apply(TChange::Samples);
    }
    const TLogData& data = f.State().Logs.Data;
    ASSERT_EQ(data.Count(), 8u);
    const int b0 = data.FileName(data[0]).find("RunB") != std::string::npos ? 0 : 5;
    const int a0 = b0 == 0 ? 3 : 0;
    f.Form->SetCellCursor(false);
    TSelectionEditor editor = f.State().SelectionEditor();
    for (int index : {b0 + 1, a0 + 2, b0 + 2}) editor.Add(TSelectionItem::Point(index));
    f.Form->Document().Apply(TChange::Selection);

    f.Key(Qt::Key_C, Qt::ControlModifier);
    const QString copied = QApplication::clipboard()->text();
    const QStringList lines = copied.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0] + "\n", QString::fromStdString(headerB));
    EXPECT_EQ(lines[2] + "\n", QString::fromStdString(Header));
    EXPECT_EQ(lines[4] + "\n", QString::fromStdString(headerB));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("101")));

    const fs::path saved = f.Folder.Path() / "saved.txt";
    f.Prompts.Answers.push_back(TFakeAnswer::Save(QString::fromStdString(saved.string())));
    f.Form->SaveLogData1Click();
    EXPECT_EQ(ReadText(saved), copied.toStdString() + "\r\n");
    EXPECT_EQ(f.Prompts.Calls.back().Caption, QStringLiteral("Save selected log data"));
}

// The lines are read back from the log file: one changed since it was loaded
// exports nothing, and the user is told which file to load again.
TEST(PlotSelectionTest, CopyAndSaveOfAChangedLogSayWhichFileAndChangeNothing) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(10, 0));
    const fs::path log = f.Folder.Path() / "Run1.txt";
    WriteText(log, WalkLog(11, 0));
    QApplication::clipboard()->setText(QStringLiteral("kept on the clipboard"));

    f.Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept on the clipboard"));
    ASSERT_EQ(f.Prompts.Calls.size(), 1u);
    EXPECT_EQ(f.Prompts.Calls[0].Kind, TPromptKind::Error);
    EXPECT_EQ(
        f.Prompts.Calls[0].Text,
        QString::fromStdString(log.string()) +
            QStringLiteral(" has changed since it was loaded: load it again before exporting its lines"));

    const fs::path saved = f.Folder.Path() / "saved.txt";
    WriteText(saved, "an earlier export\r\n");
    f.Prompts.Answers.push_back(TFakeAnswer::Save(QString::fromStdString(saved.string())));
    f.Form->SaveLogData1Click();
    ASSERT_EQ(f.Prompts.Calls.size(), 3u);
    EXPECT_EQ(f.Prompts.Calls[2].Kind, TPromptKind::Error);
    EXPECT_EQ(f.Prompts.Calls[2].Text, f.Prompts.Calls[0].Text);
    EXPECT_EQ(ReadText(saved), "an earlier export\r\n");

    // Loaded again, the file exports as it now is.
    ASSERT_TRUE(f.Form->LoadLogFile(QString::fromStdString(log.string())));
    f.Form->RefreshMainWindow();
    f.Key(Qt::Key_C, Qt::ControlModifier);
    QString expected =
        QString::fromStdString(WalkLog(11, 0)).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    expected.chop(2);
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
    EXPECT_EQ(f.Prompts.Calls.size(), 3u);
}

TEST(PlotSelectionTest, PointHoverReadsTheSampleAndNamesItsFile) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    f.Form->SetCellCursor(false);
    emit f.Form->MainImage()->MouseMove(f.SampleAt(12), Qt::NoButton);
    EXPECT_EQ(f.Form->Hover().Sample, 12);
    EXPECT_TRUE(f.Form->HoverText().startsWith(QStringLiteral("AFR= 13.5")))
        << f.Form->HoverText().toStdString();
    EXPECT_TRUE(f.Form->HoverText().contains(QStringLiteral("Run1.txt")));
    EXPECT_TRUE(f.Form->StatusPanel(1)->text().startsWith(QStringLiteral("RPM= ")));
}

TEST(PlotSelectionTest, CellHoverShowsTheCellsStatisticsAndTheEditMenuNamesTheCopy) {
    TPlotFixture f;
    f.Load("Run1.txt", WalkLog(40, 0));
    const TCell cell = SampleCell(f.State().Logs.Data[10], TPlotView::LH, f.State().PlotContext());
    emit f.Form->MainImage()->MouseMove(f.SampleAt(10), Qt::NoButton);
    EXPECT_EQ(f.Form->HoverText().toStdString(),
              HoverCellText(f.State().Logs.Data, cell.Row, cell.Column, f.State().PlotContext()));
    EXPECT_TRUE(f.Form->HoverText().contains(QStringLiteral("AFR= 13.5")));

    emit f.Form->EditMenu()->aboutToShow();
    const QAction* copy = f.Form->findChild<QAction*>(QStringLiteral("CopyLogData1"));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->text(), QStringLiteral("&Copy All Log Data"));
    f.Click(f.SampleAt(10));
    emit f.Form->EditMenu()->aboutToShow();
    EXPECT_EQ(copy->text(), QStringLiteral("&Copy Selected Log Data"));
}

}  // namespace
}  // namespace kelvane
