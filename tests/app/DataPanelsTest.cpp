#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/DataGraph.h"
#include "app/plot/LogDataUnit.h"
#include "app/plot/LogGrid.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"
#include "core/ground/IniKeys.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// A drive of count samples ten a second: engine speed climbing and falling,
// every seventh sample at idle (filtered out), no knock columns.
std::string DriveLog(int count, int firstSecond = 0) {
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\tThrottle pos (1=idle, 2=cruise, 3=WOT)\n";
    for (int i = 0; i < count; ++i) {
        const int rpm = 1500 + (i * 37) % 3500;
        const bool idle = i % 7 == 3;
        text += std::to_string(firstSecond + i / 10) + "." + std::to_string(i % 10) + "\t" +
                std::to_string(rpm) + "\t" + std::to_string(150 + (i * 13) % 250) + "\t14." +
                std::to_string(i % 10) + "\t" + (idle ? "1" : "2") + "\n";
    }
    return text;
}

// A shown main window with the idle samples (and only those) filtered out.
struct TPanelsFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

    TPanelsFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Form->resize(1000, 700);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        State().Setup() = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT};
        TFilterSettings& filters = State().Settings.ActiveFilters;
        filters = TFilterSettings{};
        filters.MaxAfrEnabled = filters.MaxRpmSlopeEnabled = filters.MaxMafSlopeEnabled = false;
        filters.IncludeIdle = false;
        filters.InhibitBefore = filters.InhibitAfter = 0;
    }

    TKelvaneState& State() { return Form->State(); }

    QString Load(const char* name, int count, int firstSecond = 0) {
        const fs::path log = Folder.Path() / name;
        WriteText(log, DriveLog(count, firstSecond));
        const QString path = QString::fromStdString(log.string());
        EXPECT_TRUE(Form->LoadLogFile(path));
        return path;
    }

    void ShowPanels() {
        if (!Form->LogPanelShown()) Form->DataLog1()->trigger();
        if (!Form->GraphPanelShown()) Form->DataGraph1()->trigger();
        Settle();
    }

    // Lets layouts, deferred fits and repaints happen.
    static void Settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }

    std::vector<int> SelectedPoints() const {
        std::vector<int> points;
        for (const TSelectionItem& item : Form->State().Selection.Items)
            if (item.Kind == SelectionKindPoint) points.push_back(item.SampleIndex);
        return points;
    }

    // A click on a sample's row in a grid, in its RPM column; the row must be in view.
    static void ClickRow(TLogGrid* grid, int sample, Qt::KeyboardModifiers modifiers = {}) {
        const QRect cell = grid->visualRect(grid->model()->index(sample, 1));
        ASSERT_TRUE(grid->viewport()->rect().contains(cell.center()))
            << "sample " << sample << " not in view";
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    // Whether a sample's row lies wholly in a grid's view.
    static bool RowInView(TLogGrid* grid, int sample) {
        const QRect cell = grid->visualRect(grid->model()->index(sample, 1));
        return grid->viewport()->rect().contains(cell);
    }

    // A point in the graph's area at the height of its middle.
    QPoint GraphPoint(int x) const {
        const QRect graph = Form->DataGraph()->GraphRect();
        return {x, graph.height() / 2};
    }

    void SetGraphRange(TGraphRange range) {
        State().Graph = range;
        Form->Document().Apply(TChange::Display);
    }
};

TEST(DataPanelsTest, MenuItemsAndButtonsShowThePanelsAndFollowEachOther) {
    TPanelsFixture f;
    struct TPanel {
        QAction* Item;
        QAction* Button;
        QWidget* Panel;
        bool TLayoutSettings::*Stored;
    };
    const std::vector<TPanel> panels{
        {f.Form->DataLog1(), f.Form->DataLogButton(), f.Form->LogGrid(), &TLayoutSettings::DataLogVisible},
        {f.Form->DataGraph1(), f.Form->DataGraphButton(), f.Form->DataGraph(),
         &TLayoutSettings::DataGraphVisible},
    };
    for (const TPanel& p : panels) {
        EXPECT_TRUE(p.Item->isEnabled());
        EXPECT_TRUE(p.Button->isEnabled());
        EXPECT_FALSE(p.Panel->isVisible()) << "hidden at the first start";
        EXPECT_FALSE(p.Item->isChecked());

        p.Item->trigger();
        EXPECT_TRUE(p.Panel->isVisible());
        EXPECT_TRUE(p.Item->isChecked());
        EXPECT_TRUE(p.Button->isChecked());
        EXPECT_TRUE(f.Form->Layout().*p.Stored);
        // A refresh and the menu opening keep the marks.
        f.Form->RefreshMainWindow();
        emit f.Form->ViewMenu()->aboutToShow();
        EXPECT_TRUE(p.Item->isChecked());
        EXPECT_TRUE(p.Button->isChecked());

        p.Button->trigger();
        EXPECT_FALSE(p.Panel->isVisible());
        EXPECT_FALSE(p.Item->isChecked());
        EXPECT_FALSE(p.Button->isChecked());
        EXPECT_FALSE(f.Form->Layout().*p.Stored);
    }
}

TEST(DataPanelsTest, PanelsTakeTheirPlacesBesideAndUnderThePlot) {
    TPanelsFixture f;
    f.Load("Run1.txt", 60);
    f.ShowPanels();
    const QRect plot = f.Form->MainImage()->geometry();
    const QPoint graph = f.Form->DataGraph()->mapTo(f.Form.get(), QPoint(0, 0));
    const QPoint grid = f.Form->LogGrid()->mapTo(f.Form.get(), QPoint(0, 0));
    EXPECT_GT(graph.y(), f.Form->MainImage()->mapTo(f.Form.get(), QPoint(0, plot.height() - 1)).y());
    EXPECT_GT(grid.x(), graph.x() + f.Form->DataGraph()->width() - 1);
    EXPECT_EQ(f.Form->DataGraph()->height(), f.Form->Layout().DataGraphHeight);

    // The log panel fits its columns: no space is left at their right.
    TLogGrid* logGrid = f.Form->LogGrid();
    int total = 0;
    for (const int width : logGrid->ShownColumnWidths()) total += width + 1;
    EXPECT_EQ(logGrid->viewport()->width(), total);
    EXPECT_EQ(f.Form->Layout().DataLogWidth, f.Form->PanelSplitter()->sizes().at(1));
}

TEST(DataPanelsTest, GridShowsTheLogsColumnsAndEmptyRowsWithoutAPlot) {
    TPanelsFixture f;
    f.ShowPanels();
    TLogGrid* grid = f.Form->LogGrid();
    EXPECT_EQ(grid->model()->rowCount(), 100);
    f.Load("Run1.txt", 60);
    EXPECT_EQ(grid->model()->rowCount(), 60);
    std::vector<QString> shown;
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        if (!grid->isColumnHidden(column))
            shown.push_back(grid->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    EXPECT_EQ(shown, (std::vector<QString>{"Time", "RPM", "MAF", "AFR", "Th"}));
    EXPECT_EQ(grid->model()->data(grid->model()->index(12, 1)).toString(), "1944");
    EXPECT_EQ(grid->model()->data(grid->model()->index(12, 0)).toString(), "1.20");
}

TEST(DataPanelsTest, TimeColumnAndRowsStayTogetherWhenTheGridScrolls) {
    TPanelsFixture f;
    f.Load("Run1.txt", 400);
    f.ShowPanels();
    TLogGrid* grid = f.Form->LogGrid();
    QTableView* time = grid->TimeColumn();
    ASSERT_NE(time, nullptr);
    f.Form->PanelSplitter()->setSizes({880, 120});
    TPanelsFixture::Settle();
    ASSERT_GT(grid->horizontalScrollBar()->maximum(), 0);
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    grid->ShowTopSample(150);
    TPanelsFixture::Settle();
    EXPECT_EQ(time->geometry().left(), grid->frameWidth());
    EXPECT_TRUE(time->isVisible());
    EXPECT_EQ(time->rowAt(0), 150);
    EXPECT_EQ(grid->rowAt(0), 150);
}

TEST(DataPanelsTest, ClickingTheLastRowOfEitherGridSelectsTheLastSample) {
    TPanelsFixture f;
    f.Load("Run1.txt", 300);
    f.ShowPanels();
    f.Form->LogData1Click();
    TPanelsFixture::Settle();
    ASSERT_NE(f.Form->LogDataForm(), nullptr);
    for (TLogGrid* grid : {f.Form->LogGrid(), f.Form->LogDataForm()->Grid()}) {
        f.State().SelectionEditor().Clear();
        grid->ShowRow(299);
        TPanelsFixture::Settle();
        TPanelsFixture::ClickRow(grid, 299);
        EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{299})) << grid->objectName().toStdString();
        EXPECT_TRUE(f.State().Logs.Data[299].Selected);
    }
}

TEST(DataPanelsTest, ShiftClickFromRow5ToRow2SelectsDownToSample1AndScrollsToIt) {
    TPanelsFixture f;
    f.Load("Run1.txt", 300);
    f.ShowPanels();
    f.Form->LogData1Click();
    TLogGrid* windowGrid = f.Form->LogDataForm()->Grid();
    f.SetGraphRange({100, 200});
    TPanelsFixture::Settle();

    TLogGrid* grid = f.Form->LogGrid();
    TPanelsFixture::ClickRow(grid, 4);
    windowGrid->ShowTopSample(250);  // the window looks elsewhere meanwhile
    TPanelsFixture::ClickRow(grid, 1, Qt::ShiftModifier);

    EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_TRUE(TPanelsFixture::RowInView(grid, 1));
    EXPECT_EQ(windowGrid->TopSample(), 0) << "row 1 (sample 0) at the top, sample 1 just under it";
    const TGraphRange range = f.State().Graph;
    EXPECT_EQ(range, (TGraphRange{0, 100})) << "the graph keeps its length and brings sample 1 in";
}

TEST(DataPanelsTest, ACtrlClickInAGridTogglesTheSample) {
    TPanelsFixture f;
    f.Load("Run1.txt", 60);
    f.ShowPanels();
    TLogGrid* grid = f.Form->LogGrid();
    TPanelsFixture::ClickRow(grid, 2);
    TPanelsFixture::ClickRow(grid, 5, Qt::ControlModifier);
    EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{2, 5}));
    TPanelsFixture::ClickRow(grid, 2, Qt::ControlModifier);
    EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{5}));
    EXPECT_FALSE(f.State().Logs.Data[2].Selected);

    // Esc in the grid clears the selection.
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_TRUE(f.State().Selection.Empty());
}

// The plot's keys work while the grid has the keyboard; the page keys
// are the grid's own.
TEST(DataPanelsTest, TheMainWindowsKeysWorkFromTheGrid) {
    TPanelsFixture f;
    f.Load("Run1.txt", 60);
    f.ShowPanels();
    TLogGrid* grid = f.Form->LogGrid();
    TPanelsFixture::ClickRow(grid, 3);
    grid->setFocus();
    ASSERT_EQ(f.SelectedPoints(), (std::vector<int>{3}));
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{4}));
    QTest::keyClick(grid, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{4, 3}));
    QApplication::clipboard()->clear();
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().count(QStringLiteral("\r\n")), 2) << "header and two lines";
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.State().Selection.Items.size(), 256u);
    QTest::keyClick(grid, Qt::Key_PageDown);
    EXPECT_GT(grid->TopSample(), 0) << "the page keys scroll the grid";
    QTest::keyClick(grid, Qt::Key_Home);
    EXPECT_EQ(grid->TopSample(), 0);
}

TEST(DataPanelsTest, GridRowsShowTheSelectionInTheirColours) {
    TPanelsFixture f;
    f.Load("Run1.txt", 60);
    f.ShowPanels();
    TLogGrid* grid = f.Form->LogGrid();
    TPanelsFixture::ClickRow(grid, 8);
    const QPalette palette = QApplication::palette();
    const auto background = [&](int sample) {
        return grid->model()
            ->data(grid->model()->index(sample, 1), Qt::BackgroundRole)
            .value<QBrush>()
            .color();
    };
    EXPECT_EQ(background(8), palette.color(QPalette::Highlight));
    EXPECT_EQ(background(3), palette.color(QPalette::Button)) << "idle, filtered out";
    EXPECT_EQ(background(4), palette.color(QPalette::Base));
    // What is drawn: the selected row in the highlight colour, left of the time column's overlay too.
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(8, 1));
    EXPECT_EQ(shot.pixelColor(cell.left() + 2, cell.center().y()), palette.color(QPalette::Highlight));
}

TEST(DataPanelsTest, GraphClicksInTheMarginsStayInTheShownRange) {
    TPanelsFixture f;
    f.Load("Run1.txt", 300);
    f.ShowPanels();
    // Several samples to a pixel, so that the margins lie samples beyond the range's ends.
    f.SetGraphRange({10, 290});
    TDataGraph* graph = f.Form->DataGraph();
    QTest::mouseClick(graph, Qt::LeftButton, {}, f.GraphPoint(3));
    EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{10}));
    QTest::mouseClick(graph, Qt::LeftButton, {}, f.GraphPoint(graph->width() - 3));
    EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{290}));
    // Ctrl adds; a click in the middle takes the sample there.
    QTest::mouseClick(graph, Qt::LeftButton, Qt::ControlModifier,
                      f.GraphPoint(10 + (graph->width() - 20) / 2));
    EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{290, 150}));
    // Shift from the first selected sample towards the clicked one, in the margin.
    QTest::mouseClick(graph, Qt::LeftButton, Qt::ShiftModifier, f.GraphPoint(3));
    const std::vector<int> points = f.SelectedPoints();
    ASSERT_EQ(points.size(), 281u);
    EXPECT_EQ(points[2], 289);
    EXPECT_EQ(points.back(), 10);
    EXPECT_EQ(std::count(points.begin(), points.end(), 150), 1);
}

TEST(DataPanelsTest, GraphLayersShowTracesSelectionAndHoverBar) {
    TPanelsFixture f;
    f.Load("Run1.txt", 101);
    f.ShowPanels();
    TDataGraph* graph = f.Form->DataGraph();
    f.SetGraphRange({0, 100});
    const TGraphArea area = graph->CurrentLayers().Area;
    const auto x = [&](int sample) { return TGraphScale({0, 100}, area.Width).X(sample); };

    // Engine speed of sample 40 (2980 rpm) in black on the trace layer.
    const TLogDataEntry& e = f.State().Logs.Data[40];
    const int y = TraceY(TTrace::Rpm, e, f.State().PlotRanges, area.Height);
    EXPECT_EQ(graph->CurrentLayers().Traces.pixel(x(40), y), qRgb(0, 0, 0));

    EXPECT_EQ(qAlpha(graph->CurrentLayers().Selection.pixel(x(40), 5)), 0) << "no fog without a selection";
    f.Form->SampleClicked(40, {}, TSampleClickSource::LogGrid);
    const QImage& fog = graph->CurrentLayers().Selection;
    EXPECT_EQ(qAlpha(fog.pixel(x(40), 5)), 0) << "the selected sample's band is clear";
    EXPECT_EQ(qAlpha(fog.pixel(x(60), 5)), 0x80);

    f.Form->ShowHoverSampleInPanels(60);
    EXPECT_EQ(graph->CurrentLayers().Hover.pixel(x(60) + 1, area.Height / 2), GraphHoverYellow);
    f.Form->ShowHoverSampleInPanels(-1);
    EXPECT_EQ(qAlpha(graph->CurrentLayers().Hover.pixel(x(60), area.Height / 2)), 0);
}

TEST(DataPanelsTest, DragsInTheLabelAreaAndOnTheSliderChangeTheRange) {
    TPanelsFixture f;
    f.Load("Run1.txt", 1001);
    f.ShowPanels();
    TDataGraph* graph = f.Form->DataGraph();
    const TGraphArea area = graph->CurrentLayers().Area;
    QSignalSpy changes(&f.Form->Document(), &TKelvaneDocument::Changed);

    // Pressed at a quarter of the width and dragged to half: the range halves.
    const int labelY = area.Bottom() + 8;
    const QPoint press(area.Left + area.Width / 4, labelY);
    QTest::mousePress(graph, Qt::LeftButton, {}, press);
    QMouseEvent move(QEvent::MouseMove, QPointF(area.Left + area.Width / 2, labelY),
                     graph->mapToGlobal(QPointF(area.Left + area.Width / 2, labelY)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(graph, &move);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(area.Left + area.Width / 2, labelY));
    EXPECT_EQ(f.State().Graph.First, 0);
    EXPECT_NEAR(f.State().Graph.Last, 500, 3);
    ASSERT_FALSE(changes.isEmpty());
    EXPECT_TRUE(changes.last().at(0).value<TChangeSet>().Has(TChange::Display));

    // The slider, half the strip wide, dragged right by a quarter of the strip.
    const QRect strip = graph->SliderStrip();
    const TSliderPlace slider = graph->Slider();
    EXPECT_NEAR(slider.Width, strip.width() * (f.State().Graph.Length() + 1) / 1001.0, 1);
    const QPoint grip(strip.left() + slider.Left + slider.Width / 2, strip.center().y());
    QTest::mousePress(graph, Qt::LeftButton, {}, grip);
    const QPointF to(grip.x() + strip.width() / 4, grip.y());
    QMouseEvent slide(QEvent::MouseMove, to, graph->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(graph, &slide);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, to.toPoint());
    const TGraphRange range = f.State().Graph;
    EXPECT_NEAR(range.First, 250, 3);
    EXPECT_NEAR(range.Length(), 500, 3);
}

TEST(DataPanelsTest, LoadingOrRemovingAFileResetsTheGraphAndDropsThePoints) {
    TPanelsFixture f;
    f.Load("Run1.txt", 200);
    const QString second = f.Load("Run2.txt", 100, 100);
    f.ShowPanels();
    ASSERT_EQ(f.State().Logs.Data.Count(), 300u);
    TLogGrid* grid = f.Form->LogGrid();
    TPanelsFixture::ClickRow(grid, 5);
    f.SetGraphRange({250, 290});

    f.Form->CloseLogFile1Click(second);
    EXPECT_EQ(f.State().Logs.Data.Count(), 200u);
    EXPECT_EQ(f.State().Graph, (TGraphRange{0, 199}));
    EXPECT_TRUE(f.State().Selection.Empty());
    EXPECT_EQ(grid->model()->rowCount(), 200);
    // The anchor went with the old list: Shift acts as a plain click.
    TPanelsFixture::ClickRow(grid, 2, Qt::ShiftModifier);
    EXPECT_EQ(f.SelectedPoints(), (std::vector<int>{2}));

    f.SetGraphRange({20, 40});
    f.Load("Run3.txt", 50, 300);
    EXPECT_EQ(f.State().Graph, (TGraphRange{0, 249}));
    EXPECT_TRUE(f.State().Selection.Empty());
    EXPECT_EQ(f.Form->DataGraph()->CurrentLayers().Range, (TGraphRange{0, 249}));
}

TEST(DataPanelsTest, DataLogWindowStoresItsPlaceAndStayOnTop) {
    TPanelsFixture f;
    f.Load("Run1.txt", 60);
    QAction* item = f.Form->findChild<QAction*>(QStringLiteral("LogData1"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    TLogDataForm* window = f.Form->LogDataForm();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Data Log");
    EXPECT_EQ(window->NoteLabel()->text(), "(** original as-measured AFR)");
    EXPECT_TRUE(window->StayOnTopBox()->isChecked()) << "on top unless told otherwise";
    EXPECT_EQ(window->Grid()->model()->columnCount(), 7);
    EXPECT_EQ(window->Grid()->model()->headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(), "AFR**");
    const QString folder = qEnvironmentVariable("KELVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        f.Form->SampleClicked(6, {}, TSampleClickSource::LogWindow);
        TPanelsFixture::Settle();
        window->grab().save(QDir(folder).filePath(QStringLiteral("data_log_window.png")));
    }

    window->StayOnTopBox()->setChecked(false);
    window->setGeometry(40, 50, 520, 420);
    window->CloseButton()->click();
    TPanelsFixture::Settle();
    EXPECT_EQ(f.Form->LogDataForm(), nullptr);
    TIniFile2& main = f.Form->Store().Main();
    EXPECT_EQ(main.ReadString(LogWindowSection, WindowSizeKey, ""), "40,50,520,420");
    EXPECT_FALSE(main.ReadBool(LogWindowSection, StayOnTopKey, true));

    // Opened again, it comes back where it was, not on top.
    item->trigger();
    EXPECT_EQ(f.Form->LogDataForm()->geometry(), QRect(40, 50, 520, 420));
    EXPECT_FALSE(f.Form->LogDataForm()->StayOnTopBox()->isChecked());
}

// The main window with both panels and a selection, as the user sees it;
// saved when KELVANE_SCREENSHOT_DIR names a folder.
TEST(DataPanelsTest, MainWindowShowsTheSelectionInEveryPanel) {
    TPanelsFixture f;
    f.Form->resize(1200, 800);
    f.Load("Run1.txt", 600);
    f.ShowPanels();
    TPanelsFixture::ClickRow(f.Form->LogGrid(), 20);
    TPanelsFixture::ClickRow(f.Form->LogGrid(), 30, Qt::ShiftModifier);
    f.Form->ShowHoverSampleInPanels(400);
    TPanelsFixture::Settle();
    const QImage shot = f.Form->grab().toImage();
    const QString folder = qEnvironmentVariable("KELVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty()) shot.save(QDir(folder).filePath(QStringLiteral("data_panels.png")));

    TDataGraph* graph = f.Form->DataGraph();
    const TGraphArea area = graph->CurrentLayers().Area;
    const QPoint origin = graph->mapTo(f.Form.get(), QPoint(area.Left, area.Top));
    const TGraphScale scale(f.State().Graph, area.Width);
    EXPECT_EQ(shot.pixel(origin + QPoint(scale.X(400), 3)), GraphHoverYellow);
    // Fogged outside the selected samples, clear over them.
    const QColor fogged = shot.pixelColor(origin + QPoint(scale.X(300), area.Height / 8));
    EXPECT_LT(fogged.lightness(), 240);
    EXPECT_EQ(shot.pixel(origin + QPoint(scale.X(25), 1)), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace kelvane
