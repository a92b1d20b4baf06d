// The plot under the mouse and the keyboard: cursor values and readouts, the
// selection gestures, the margin drags and wheel zoom that rescale the plot,
// the AFR scale legend's dragging, and copying or saving the selected samples.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "app/document/KelvaneDocument.h"
#include "app/document/Prompts.h"
#include "app/document/QtText.h"
#include "app/plot/DataGraph.h"
#include "app/plot/LogGrid.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"
#include "app/plot/SelectionLayers.h"
#include "app/shell/StartupWindow.h"
#include "core/adjust/FuelSteps.h"
#include "core/ground/IniKeys.h"
#include "core/plot/AfrScaleLegend.h"
#include "core/plot/CellBinning.h"
#include "core/plot/CellStatistics.h"
#include "core/plot/LogExport.h"
#include "core/plot/RangeDrags.h"
#include "core/plot/Readouts.h"
#include "core/state/DerivedData.h"
#include "core/state/PlotRanges.h"

namespace kelvane {

namespace {

// A status bar panel holds one line.
QString OneLine(const std::string& text) {
    QString line = FromStd(text);
    line.replace(QLatin1Char('\n'), QStringLiteral("   "));
    return line;
}

constexpr double WheelStep = 0.8;  // one notch in shows 80 % of the range

}  // namespace

// ---- Where the mouse is ----------------------------------------------------

TMainForm::TPlotPlace TMainForm::PlotPlaceOf(QPoint position) const {
    if (!FGeometry) return TPlotPlace::Outside;
    const TPlotGeometry& g = *FGeometry;
    const int x = position.x() - g.PlotLeft(), y = position.y() - g.PlotTop();
    if (x >= 0 && x < g.PlotWidth() && y >= 0 && y < g.PlotHeight()) return TPlotPlace::Plot;
    if (x < 0 && y >= 0 && y < g.PlotHeight()) return TPlotPlace::LeftMargin;
    if (y < 0 && x >= 0 && x < g.PlotWidth()) return TPlotPlace::TopMargin;
    return TPlotPlace::Outside;
}

void TMainForm::UpdatePointer(QPoint position) {
    const TPlotGeometry& g = *FGeometry;
    const double x = position.x() - g.PlotLeft(), y = position.y() - g.PlotTop();
    FPointer.Rpm = g.RpmAt(x);
    FPointer.LhLoad = g.PlotHeight() > 0 ? g.LoadFromPosition(y / g.PlotHeight()) : 0.0;
    FPointer.EzkLoad = g.EzkLoadAt(y);
    const TPlotView view = State().Display.View;
    const double load = ViewLoad();
    const TPlotContext context = State().PlotContext();
    FHover.Cell = CellOf(FPointer.Rpm, load, view, context);
    FHover.InPlot = true;
    FHover.CellMode = State().Settings.CellCursor;
    FHover.Sample = CachedNearestSample(State(), FPointer.Rpm, load);
}

double TMainForm::ViewLoad() const {
    return State().Display.View == TPlotView::EZK ? FPointer.EzkLoad : FPointer.LhLoad;
}

// ---- Mouse -------------------------------------------------------------

bool TMainForm::OverAfrScale(QPoint position) const {
    if (!State().PlotDisplay.ShowAfrScale || FLayers.AfrScale.isNull()) return false;
    return QRect(FLayers.AfrScaleOrigin, FLayers.AfrScale.deviceIndependentSize().toSize())
        .contains(position);
}

void TMainForm::MainImageMouseDown(QPoint position, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
    FPointer.Press = TPress::None;
    FPointer.PressPoint = position;
    FPointer.PressRanges = State().PlotRanges;
    if (button == Qt::LeftButton && OverAfrScale(position)) {
        FPointer.Press = TPress::AfrScale;
        FDragOffset = position - FLayers.AfrScaleOrigin;
        return;
    }
    const TPlotPlace place = PlotPlaceOf(position);
    if (place == TPlotPlace::LeftMargin || place == TPlotPlace::TopMargin) {
        FPlotArea->setCursor(place == TPlotPlace::LeftMargin ? Qt::SizeVerCursor : Qt::SizeHorCursor);
        if (button == Qt::LeftButton) {
            FPointer.Press = place == TPlotPlace::LeftMargin ? TPress::LeftMargin : TPress::TopMargin;
            FPointer.Limits = RangeLimits(State().Logs.Data, State().Axes.LHLoad);
        }
        return;
    }
    if (place != TPlotPlace::Plot || State().Logs.Data.Empty()) return;
    FPlotArea->setCursor(Qt::CrossCursor);
    UpdatePointer(position);
    if (button != Qt::LeftButton) return;
    FPointer.Press = TPress::Plot;
    if (State().Settings.CellCursor)
        CellCursorClick(keys);
    else
        PointCursorClick(keys);
    // A drag from here selects cells from the anchor; without one, from here.
    if (!FAnchorCell) FAnchorCell = FHover.Cell;
}

void TMainForm::CellCursorClick(Qt::KeyboardModifiers keys) {
    TSelectionEditor editor = State().SelectionEditor();
    const TSelectionItem cell = TSelectionItem::Cell(FHover.Cell.Row, FHover.Cell.Column);
    if (State().Selection.Empty() || !(keys & Qt::ShiftModifier) || !FAnchorCell) {
        FAnchorCell = FHover.Cell;
        if (State().Selection.Contains(cell) && State().Selection.View == State().Display.View) {
            editor.Clear();  // a second click deselects everything
            FDocument->Apply(TChange::Selection);
            return;
        }
        editor.Clear();
        const std::optional<std::size_t> marked = editor.Add(cell);
        FDocument->Apply(TChange::Selection);
        NotifySelected(marked);
        return;
    }
    SelectCellRectangle(*FAnchorCell, FHover.Cell);
}

void TMainForm::SelectCellRectangle(TCell from, TCell to) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    State().SelectionEditor().Replace(RegionCells(RegionBetween(from.Row, from.Column, to.Row, to.Column)));
    QApplication::restoreOverrideCursor();
    FDocument->Apply(TChange::Selection);
}

void TMainForm::PointCursorClick(Qt::KeyboardModifiers keys) {
    if (FHover.Sample < 0) return;
    TSelectionEditor editor = State().SelectionEditor();
    const TSelectionItem point = TSelectionItem::Point(FHover.Sample);
    if (keys & Qt::ControlModifier) {
        const std::optional<std::size_t> marked = editor.Add(point);
        FDocument->Apply(TChange::Selection);
        NotifySelected(marked);
        return;
    }
    if (keys & Qt::ShiftModifier) return;
    if (State().Selection.Contains(point)) {
        editor.Remove(point);
        FDocument->Apply(TChange::Selection);
        return;
    }
    editor.Clear();
    const std::optional<std::size_t> marked = editor.Add(point);
    FDocument->Apply(TChange::Selection);
    NotifySelected(marked);
}

void TMainForm::MainImageMouseMove(QPoint position, Qt::MouseButtons buttons) {
    if (position == FPointer.LastMove && buttons == FPointer.LastButtons) return;
    FPointer.LastMove = position;
    FPointer.LastButtons = buttons;

    if (FPointer.Press == TPress::AfrScale && (buttons & Qt::LeftButton)) {
        const QPoint wanted = position - FDragOffset;
        const TPixelPoint kept =
            ClampAfrScaleBox(wanted.x(), wanted.y(), FPlotArea->width(), FPlotArea->height());
        FLayers.AfrScaleOrigin = QPoint(kept.X, kept.Y);
        ShowComposedPlot();
        return;
    }
    if ((buttons & Qt::LeftButton) && FGeometry) {
        const TPlotGeometry& g = *FGeometry;
        if (FPointer.Press == TPress::LeftMargin) {
            const TMarginDrag drag{static_cast<double>(FPointer.PressPoint.y() - g.PlotTop()),
                                   static_cast<double>(position.y() - g.PlotTop()),
                                   static_cast<double>(g.PlotHeight())};
            RescalePlot(DragLoadRanges(FPointer.PressRanges, drag, FPointer.Limits));
            return;
        }
        if (FPointer.Press == TPress::TopMargin) {
            const TMarginDrag drag{static_cast<double>(FPointer.PressPoint.x() - g.PlotLeft()),
                                   static_cast<double>(position.x() - g.PlotLeft()),
                                   static_cast<double>(g.PlotWidth())};
            RescalePlot(DragRpmRanges(FPointer.PressRanges, drag, FPointer.Limits));
            return;
        }
        if (FPointer.Press == TPress::Plot) {
            if (PlotPlaceOf(position) != TPlotPlace::Plot) return;
            const TCell before = FHover.Cell;
            UpdatePointer(position);
            if (FHover.Cell != before && FAnchorCell) SelectCellRectangle(*FAnchorCell, FHover.Cell);
            ShowPointerTexts(position);
            return;
        }
    }

    const TPlotPlace place = OverAfrScale(position) ? TPlotPlace::Outside : PlotPlaceOf(position);
    if (OverAfrScale(position))
        FPlotArea->setCursor(Qt::SizeAllCursor);
    else if (place == TPlotPlace::LeftMargin)
        FPlotArea->setCursor(Qt::SizeVerCursor);
    else if (place == TPlotPlace::TopMargin)
        FPlotArea->setCursor(Qt::SizeHorCursor);
    else if (place == TPlotPlace::Plot)
        FPlotArea->setCursor(Qt::CrossCursor);
    else
        FPlotArea->setCursor(Qt::ArrowCursor);

    if (place != TPlotPlace::Plot || State().Logs.Data.Empty()) {
        MainImageMouseLeft();
        return;
    }
    UpdatePointer(position);
    ShowCursorLayer();
    ShowHoverSampleInPanels(FHover.CellMode ? -1 : FHover.Sample);
    ShowPointerTexts(position);
}

void TMainForm::MainImageMouseLeft() {
    if (!FHover.InPlot) return;
    FHover.InPlot = false;
    FHover.Sample = -1;
    FTextCell.reset();
    ShowCursorLayer();
    ShowHoverSampleInPanels(-1);
    QToolTip::hideText();
}

void TMainForm::ShowPointerTexts(QPoint position) {
    const TPlotContext context = State().PlotContext();
    FStatusPanels[1]->setText(FromStd(CursorValuesText(State().Display.View, FPointer.Rpm, ViewLoad())));
    ShowSelectionStatus();

    QString text;
    QPoint at;
    if (FHover.CellMode) {
        if (FTextCell == FHover.Cell) return;
        FTextCell = FHover.Cell;
        const TCellStatistics& statistics = CachedCellStatistics(
            State())[static_cast<std::size_t>(FHover.Cell.Row * MapSize + FHover.Cell.Column)];
        text = FromStd(StatisticsText(statistics, State().Display));
        const TPixelRect cell = FGeometry->CellRect(FHover.Cell.Row, FHover.Cell.Column);
        at = QPoint(FGeometry->PlotLeft() + cell.Right + 3, FGeometry->PlotTop() + cell.Bottom + 16);
    } else {
        FTextCell.reset();
        if (FHover.Sample >= 0) {
            const auto index = static_cast<std::size_t>(FHover.Sample);
            text = FromStd(PointReadout(State().Logs.Data, index, context));
            const std::string origin = PointOrigin(State().Logs.Data, index);
            if (!origin.empty())
                text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + FromStd(origin);
        }
        at = position + QPoint(10, 20);
    }
    FHoverText = text;
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(FPlotArea->mapToGlobal(at), text, FPlotArea);
}

void TMainForm::ShowSelectionStatus() {
    const TSelection& selection = State().Selection;
    // Cell selections add up the cells' statistics instead of passing over the samples.
    const std::string text =
        selection.IsCells() && selection.View == State().Display.View && !State().Logs.Data.Empty()
            ? StatisticsText(CombinedCellStatistics(CachedCellStatistics(State()), selection.Items),
                             State().Display)
            : SelectionStatusText(State().Logs.Data, selection, State().PlotContext());
    if (text.empty())
        ShowOverlayStatus();
    else
        FStatusPanels[2]->setText(OneLine(text));
}

void TMainForm::MainImageMouseUp(QPoint, Qt::MouseButton button) {
    const TPress press = FPointer.Press;
    FPointer.Press = TPress::None;
    if (button != Qt::LeftButton || press != TPress::AfrScale) return;
    const TPixelPoint stored = StoredAfrScalePosition(FLayers.AfrScaleOrigin.x(), FLayers.AfrScaleOrigin.y(),
                                                      FPlotArea->width(), FPlotArea->height());
    State().PlotDisplay.AfrScaleX = stored.X;
    State().PlotDisplay.AfrScaleY = stored.Y;
}

void TMainForm::PlotWheel(QPoint position, int angleDelta, Qt::KeyboardModifiers keys) {
    if (angleDelta == 0 || PlotPlaceOf(position) != TPlotPlace::Plot) return;
    UpdatePointer(position);
    TZoom zoom;
    zoom.Rpm = FPointer.Rpm;
    zoom.Load = ViewLoad();
    zoom.Factor = std::pow(WheelStep, angleDelta / 120.0);
    zoom.Ezk = State().Display.View == TPlotView::EZK;
    zoom.Axes = (keys & Qt::ShiftModifier)     ? TZoomAxes::Rpm
                : (keys & Qt::ControlModifier) ? TZoomAxes::Load
                                               : TZoomAxes::Both;
    RescalePlot(ZoomedRanges(State().PlotRanges, zoom, RangeLimits(State().Logs.Data, State().Axes.LHLoad)));
}

void TMainForm::RescalePlot(const TPlotRanges& ranges) {
    if (ranges == State().PlotRanges) return;
    State().PlotRanges = ranges;
    FDocument->Apply(TChange::PlotRanges);
}

// ---- Cursor modes and layers --------------------------------------------

void TMainForm::SetCellCursor(bool cellCursor) {
    State().SelectionEditor().Clear();
    State().Settings.CellCursor = cellCursor;
    FHover.CellMode = cellCursor;
    FHover.Sample = -1;
    FTextCell.reset();
    FDocument->Apply(TChange::Selection);
}

void TMainForm::RedrawSelection() {
    if (!FCreated || FClosing || !FGeometry) return;
    DrawSelectionLayer(FLayers, *FGeometry, State(), FDocument->ColorScale().Table);
    DrawCursorLayer(FLayers, *FGeometry, State(), FDocument->ColorScale().Table, FHover);
    ShowComposedPlot();
    ShowSelectionStatus();
}

void TMainForm::ShowCursorLayer() {
    if (!FCreated || FClosing || !FGeometry) return;
    DrawCursorLayer(FLayers, *FGeometry, State(), FDocument->ColorScale().Table, FHover);
    FPlotArea->SetCursorLayer(&FLayers.Cursor, FLayers.PlotOrigin);
}

void TMainForm::ShowComposedPlot() {
    FPlotArea->SetImage(ComposePlot(FLayers, TCursorLayer::Left));
    FPlotArea->SetCursorLayer(&FLayers.Cursor, FLayers.PlotOrigin);
}

void TMainForm::NotifySelected(std::optional<std::size_t> lastMarked) {
    if (lastMarked) BringSampleIntoView(*lastMarked);
}

// ---- Keys --------------------------------------------------------------

bool TMainForm::PanelHasFocus() const {
    const QWidget* focus = QApplication::focusWidget();
    for (const QWidget* panel :
         {static_cast<const QWidget*>(FLogGrid), static_cast<const QWidget*>(FDataGraph)})
        if (focus && panel && (focus == panel || panel->isAncestorOf(focus))) return true;
    return false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && PlotKey(*static_cast<QKeyEvent*>(event))) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::PlotKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers keys = event.modifiers();
    const bool ctrl = keys & Qt::ControlModifier;
    const bool alt = keys & Qt::AltModifier;
    const bool shift = keys & Qt::ShiftModifier;
    switch (event.key()) {
        case Qt::Key_A:
            if (ctrl) {
                SelectAllCells();
                return true;
            }
            return StepFuelFactors(-0.01);
        case Qt::Key_C:
            if (!ctrl) return false;
            CopyLogData1Click();
            return true;
        case Qt::Key_S:
            if (ctrl) {
                SaveMaps1Click();
                return true;
            }
            return StepFuelFactors(-0.1);
        case Qt::Key_Q:
            return !ctrl && StepFuelFactors(0.01);
        case Qt::Key_W:
            return !ctrl && StepFuelFactors(0.1);
        case Qt::Key_Equal:
        case Qt::Key_Plus:
            return StepFuelFactors(ctrl || alt ? 0.1 : 0.01);
        case Qt::Key_Minus:
            return StepFuelFactors(ctrl || alt ? -0.1 : -0.01);
        case Qt::Key_O:
            if (!ctrl) return false;
            OpenProject1Click();
            return true;
        case Qt::Key_F5:
            FDocument->Apply(TChange::Display);
            return true;
        case Qt::Key_Escape:
            EscapeKey();
            return true;
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Up: {
            if (State().Settings.CellCursor && !PanelHasFocus()) return false;
            const bool forward = event.key() == Qt::Key_Right || event.key() == Qt::Key_Down;
            return StepPointSelection(forward ? 1 : -1, shift || ctrl);
        }
        default:
            return false;
    }
}

void TMainForm::SelectAllCells() {
    if (State().Logs.Data.Empty()) return;
    State().SelectionEditor().Replace(RegionCells(WholeGrid));
    FDocument->Apply(TChange::Selection);
}

bool TMainForm::StepFuelFactors(double delta) {
    const TMapAction action(*FDocument, "Step of Fuel Factors");
    const TChangeSet changes = StepSelectedFuelFactors(State(), delta);
    if (changes.Empty()) return false;
    FTextCell.reset();
    FDocument->Apply(changes);
    if (FHover.InPlot) ShowPointerTexts(FPlotArea->mapFromGlobal(QCursor::pos()));
    return true;
}

bool TMainForm::StepPointSelection(int direction, bool extend) {
    const std::optional<int> from =
        direction < 0 ? State().Selection.LowestSample() : State().Selection.HighestSample();
    if (!from || !State().Selection.IsPoints()) return false;
    const int next = *from + direction;
    if (!ValidSampleIndex(State().Logs.Data, next)) return true;
    TSelectionEditor editor = State().SelectionEditor();
    if (!extend) editor.Clear();
    const std::optional<std::size_t> marked = editor.Add(TSelectionItem::Point(next));
    FDocument->Apply(TChange::Selection);
    NotifySelected(marked);
    return true;
}

void TMainForm::EscapeKey() {
    if (FStartupForm) {
        FStartupForm->close();
        return;
    }
    if (!State().Selection.Empty()) {
        State().SelectionEditor().Clear();
        FDocument->Apply(TChange::Selection);
        return;
    }
    TChangeSet changes;
    const TGraphRange whole = WholeGraphRange(State().Logs.Data.Count());
    if (State().Graph != whole) {
        State().Graph = whole;
        changes |= TChange::Display;
    }
    const TPlotRanges resting = RestingPlotRanges(State());
    if (!SamePlotRanges(State().PlotRanges, resting)) {
        State().PlotRanges = resting;
        changes |= TChange::PlotRanges;
    }
    FDocument->Apply(changes);
}

// ---- Copy and save of log data ------------------------------------------

void TMainForm::CopyLogData1Click() {
    if (State().Logs.Data.Empty()) return;
    const TLogLines lines = CollectLogLines(State().Logs.Data, State().Selection, State().PlotContext());
    if (lines.empty() || !QGuiApplication::clipboard()) return;
    // The lines are read back from the log files; a file changed since leaves the clipboard as it was.
    std::string text, error;
    if (!ReadLogLines(State().Logs.Data, lines, text, error)) {
        Prompts().ShowError(FromStd(error));
        return;
    }
    QGuiApplication::clipboard()->setText(FromStd(text));
}

void TMainForm::SaveLogData1Click() {
    if (State().Logs.Data.Empty()) return;
    TFileRequest request;
    request.Caption = State().Selection.Empty() ? QStringLiteral("Save log data")
                                                : QStringLiteral("Save selected log data");
    request.Filter = QStringLiteral("VX Log Files (*.txt)|*.txt|All Files (*.*)|*.*");
    request.InitialFolder = FromStd(FDocument->Layout().DefaultFolder);
    const TFileChoice choice = Prompts().SaveFile(request);
    if (!choice.Accepted()) return;
    const QString path = choice.Files.first();
    const TLogLines lines = CollectLogLines(State().Logs.Data, State().Selection, State().PlotContext());
    std::string error;
    if (!WriteLogLines(std::filesystem::path(path.toStdU16String()), State().Logs.Data, lines, error))
        Prompts().ShowError(FromStd(error));
}

}  // namespace kelvane
