// Pictures of the program's windows for its manual and for looking at a
// change: "--screenshot FILE --window NAME" sets a window up to show its work
// on the logs given, the way a user would, and grabs it.

#include <QApplication>
#include <QPushButton>

#include "app/adjust/LHAdjustUnit.h"
#include "app/display/ColorUnit.h"
#include "app/display/OptionsUnit.h"
#include "app/mapwindows/FuelMapUnit.h"
#include "app/mapwindows/MapViewerUnit.h"
#include "app/plot/MainUnit.h"
#include "app/projects/ProjectUnit.h"
#include "core/plot/CellStatistics.h"
#include "core/state/KelvaneState.h"

namespace kelvane {

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// The three by three cells around the cell with the most samples.
std::vector<TSelectionItem> BusiestCells(const TKelvaneState& state) {
    const TCellStatisticsGrid grid = AllCellStatistics(state.Logs.Data, state.PlotContext());
    std::size_t busiest = 0;
    for (std::size_t i = 1; i < grid.size(); ++i)
        if (grid[i].Count > grid[busiest].Count) busiest = i;
    const int row = static_cast<int>(busiest) / MapSize, column = static_cast<int>(busiest) % MapSize;
    std::vector<TSelectionItem> cells;
    for (int r = std::max(0, row - 1); r <= std::min(MapSize - 1, row + 1); ++r)
        for (int c = std::max(0, column - 1); c <= std::min(MapSize - 1, column + 1); ++c)
            cells.push_back(TSelectionItem::Cell(r, c));
    return cells;
}

}  // namespace

void TMainForm::SelectBusiestCells() {
    if (State().Logs.Data.Empty()) return;
    State().SelectionEditor().Replace(BusiestCells(State()));
    FDocument->Apply(TChange::Selection);
}

void TMainForm::RunFuelAdjustmentForPicture() {
    UpdateFuelTrim1Click();
    Settle();
    if (auto* adjust = FLHAdjustForm->findChild<QPushButton*>(QStringLiteral("AdjustButton")))
        adjust->click();
    Settle();
}

QImage TMainForm::ScreenshotOf(const QString& window) {
    QWidget* shown = this;
    if (window == QLatin1String("panels")) {
        if (!LogPanelShown()) DataLog1()->trigger();
        if (!GraphPanelShown()) DataGraph1()->trigger();
        SelectBusiestCells();
    } else if (window == QLatin1String("selection")) {
        SelectBusiestCells();
    } else if (window == QLatin1String("fuel-adjust")) {
        RunFuelAdjustmentForPicture();
        shown = FLHAdjustForm;
    } else if (window == QLatin1String("fuel-map")) {
        RunFuelAdjustmentForPicture();
        FLHAdjustForm->close();
        ShowMapForm(TPlotView::LH);
        if (FFuelMapForm) FFuelMapForm->SetTab(TFuelMapTab::Adjustments);
        shown = FFuelMapForm;
    } else if (window == QLatin1String("map-3d")) {
        RunFuelAdjustmentForPicture();
        FLHAdjustForm->close();
        Map3DView1Click();
        shown = FMapViewerForm;
    } else if (window == QLatin1String("project")) {
        OpenProject1Click();
        shown = FProjectForm;
    } else if (window == QLatin1String("options")) {
        DisplaySettingsButtonClick();
        shown = FOptionsForm;
    } else if (window == QLatin1String("colors")) {
        // Shown without its modal loop, so that the picture can be taken.
        ColorForm().Prepare();
        FColorForm->show();
        shown = FColorForm;
    }
    Settle();
    return shown ? shown->grab().toImage() : QImage();
}

}  // namespace kelvane
