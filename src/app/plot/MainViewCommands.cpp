// The main window's toolbar, view commands, printed map values and the AFR
// scale legend's placing.
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"
#include "app/plot/ToolbarIcons.h"
#include "core/plot/AfrScaleLegend.h"
#include "core/plot/CellTexts.h"

namespace kelvane {

namespace {

struct TButtonStyle {
    bool Checkable = false;
    bool Enabled = true;
};

QAction* AddButton(QToolBar* bar, const QString& label, QColor plate, const QString& hint,
                   const QString& name, TButtonStyle style) {
    QAction* action = bar->addAction(LabelIcon(label, plate), hint);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setCheckable(style.Checkable);
    action->setEnabled(style.Enabled);
    return action;
}

const QColor CursorPlate(250, 240, 200);
const QColor ViewPlate(200, 225, 250);
const QColor OverlayPlate(215, 245, 215);
const QColor WindowPlate(235, 225, 245);

}  // namespace

void TMainForm::CreateToolBar() {
    FToolBar = addToolBar(QStringLiteral("Plot"));
    FToolBar->setObjectName(QStringLiteral("ToolBar1"));
    FToolBar->setMovable(false);
    FToolBar->setIconSize(QSize(32, 24));
    QToolBar* bar = FToolBar;

    // Selecting cells or points arrives with the plot cursors; until then the
    // buttons only show the mode.
    FCellCursorButton = AddButton(bar, QStringLiteral("Cell"), CursorPlate,
                                  QStringLiteral("Cursor selects one (or more) map cells"),
                                  QStringLiteral("CellCursorButton"), {.Checkable = true});
    connect(FCellCursorButton, &QAction::triggered, this, [this] { SetCellCursor(true); });
    FPointCursorButton = AddButton(bar, QStringLiteral("Pt"), CursorPlate,
                                   QStringLiteral("Cursor selects individual log data points"),
                                   QStringLiteral("PointCursorButton"), {.Checkable = true});
    connect(FPointCursorButton, &QAction::triggered, this, [this] { SetCellCursor(false); });
    bar->addSeparator();

    FLHButton = AddButton(bar, QStringLiteral("LH"), ViewPlate, QStringLiteral("Plot over the LH fuel map"),
                          QStringLiteral("LHButton"), {.Checkable = true});
    connect(FLHButton, &QAction::triggered, this, [this] { SetView(TPlotView::LH, TPlotFormat::Cells); });
    FEZKButton =
        AddButton(bar, QStringLiteral("EZK"), ViewPlate, QStringLiteral("Plot over the EZK ignition map"),
                  QStringLiteral("EZKButton"), {.Checkable = true});
    connect(FEZKButton, &QAction::triggered, this, &TMainForm::EZKButtonClick);
    bar->addSeparator();

    FShowRefButton =
        AddButton(bar, QStringLiteral("Ref"), OverlayPlate, QStringLiteral("Show Reference map values"),
                  QStringLiteral("ShowRefButton"), {.Checkable = true});
    connect(FShowRefButton, &QAction::triggered, this, [this] { ToggleOverlay(TMapOverlay::Reference); });
    FShowAdjButton =
        AddButton(bar, QStringLiteral("Adj"), OverlayPlate, QStringLiteral("Show Adjustment map values"),
                  QStringLiteral("ShowAdjButton"), {.Checkable = true});
    connect(FShowAdjButton, &QAction::triggered, this, [this] { ToggleOverlay(TMapOverlay::Adjustments); });
    FShowUpdButton =
        AddButton(bar, QStringLiteral("Upd"), OverlayPlate, QStringLiteral("Show Updated map values"),
                  QStringLiteral("ShowUpdButton"), {.Checkable = true});
    connect(FShowUpdButton, &QAction::triggered, this, [this] { ToggleOverlay(TMapOverlay::Updated); });
    CreateOverlayDropDown();
    bar->addSeparator();

    // Enabled by the windows they open once those are wired in; the options window is not there yet.
    FMapButton =
        AddButton(bar, QStringLiteral("Map"), WindowPlate, QStringLiteral("Show or hide the map window"),
                  QStringLiteral("MapButton"), {.Checkable = true, .Enabled = false});
    FMap3DButton = AddButton(bar, QStringLiteral("3D"), WindowPlate, QStringLiteral("Map 3D View"),
                             QStringLiteral("Map3DButton"), {.Enabled = false});
    FAdjustMapsButton =
        AddButton(bar, QStringLiteral("Adjust"), WindowPlate, QStringLiteral("Adjust Fuel or Ignition map"),
                  QStringLiteral("AdjustMapsButton"), {.Enabled = false});
    FDisplaySettingsButton =
        AddButton(bar, QStringLiteral("Opt"), WindowPlate, QStringLiteral("Open Settings window"),
                  QStringLiteral("DisplaySettingsButton"), {.Enabled = false});
    bar->addSeparator();
    FDataLogButton = AddButton(bar, QStringLiteral("Log"), WindowPlate,
                               QStringLiteral("Show/Hide Data-Log panel at right"),
                               QStringLiteral("DataLogButton"), {.Checkable = true});
    FDataGraphButton = AddButton(bar, QStringLiteral("Graph"), WindowPlate,
                                 QStringLiteral("Show/Hide Data Graph panel at bottom"),
                                 QStringLiteral("DataGraphButton"), {.Checkable = true});
}

void TMainForm::CreateOverlayDropDown() {
    FOverlayMenu = new QMenu(this);
    FOverlayMenu->setObjectName(QStringLiteral("OverlayMenu"));
    const std::array<std::pair<const char*, TMapOverlay>, 5> items{{
        {"No numbers", TMapOverlay::None},
        {"Initial map", TMapOverlay::Reference},
        {"Adjustments", TMapOverlay::Adjustments},
        {"Updated map", TMapOverlay::Updated},
        {"afr", TMapOverlay::MeanAfr},
    }};
    for (const auto& [caption, overlay] : items) {
        QAction* item = FOverlayMenu->addAction(QString::fromUtf8(caption));
        item->setCheckable(true);
        item->setData(static_cast<int>(overlay));
        connect(item, &QAction::triggered, this, [this, overlay] { SetOverlay(overlay); });
    }
    connect(FOverlayMenu, &QMenu::aboutToShow, this, [this] {
        for (QAction* item : FOverlayMenu->actions())
            item->setChecked(item->data().toInt() == static_cast<int>(State().PlotDisplay.Overlay));
    });

    FOverlayDropDown = new QToolButton(this);
    FOverlayDropDown->setObjectName(QStringLiteral("OverlayDropDown"));
    FOverlayDropDown->setIcon(LabelIcon(QStringLiteral("123"), OverlayPlate));
    FOverlayDropDown->setIconSize(QSize(32, 24));
    FOverlayDropDown->setToolTip(QStringLiteral("Map values printed in the cells (click: next choice)"));
    FOverlayDropDown->setMenu(FOverlayMenu);
    FOverlayDropDown->setPopupMode(QToolButton::MenuButtonPopup);
    connect(FOverlayDropDown, &QToolButton::clicked, this, &TMainForm::CycleOverlay);
    FToolBar->addWidget(FOverlayDropDown);
}

void TMainForm::UpdateToolbar() {
    const bool lh22 = State().Setup().LHVersion == TLHVersion::LH22;
    if (lh22) State().Display.View = TPlotView::LH;
    const bool ezk = State().Display.View == TPlotView::EZK;
    FLHButton->setChecked(!ezk);
    FEZKButton->setChecked(ezk);
    FEZKButton->setEnabled(!lh22);
    FShowRefButton->setChecked(State().PlotDisplay.Overlay == TMapOverlay::Reference);
    FShowAdjButton->setChecked(State().PlotDisplay.Overlay == TMapOverlay::Adjustments);
    FShowUpdButton->setChecked(State().PlotDisplay.Overlay == TMapOverlay::Updated);
    FCellCursorButton->setChecked(State().Settings.CellCursor);
    FPointCursorButton->setChecked(!State().Settings.CellCursor);
    UpdatePanelChecks();
    FMapButton->setChecked(MapWindowShown());
}

void TMainForm::SetView(TPlotView view, TPlotFormat format) {
    State().Display.View = view;
    State().PlotDisplay.GridFormat = format == TPlotFormat::Grid;
    FDocument->Apply(TChange::Display);
}

void TMainForm::EZKButtonClick() {
    if (State().Setup().LHVersion == TLHVersion::LH22) {
        UpdateToolbar();  // the click toggled the button's own check mark
        return;
    }
    SetView(TPlotView::EZK, TPlotFormat::Cells);
}

void TMainForm::ToggleOverlay(TMapOverlay overlay) {
    State().PlotDisplay.Overlay = State().PlotDisplay.Overlay == overlay ? TMapOverlay::None : overlay;
    FDocument->Apply(TChange::Overlay);
}

void TMainForm::SetOverlay(TMapOverlay overlay) {
    State().PlotDisplay.Overlay = overlay;
    FDocument->Apply(TChange::Overlay);
}

void TMainForm::CycleOverlay() {
    switch (State().PlotDisplay.Overlay) {
        case TMapOverlay::None:
            State().PlotDisplay.Overlay = TMapOverlay::Reference;
            break;
        case TMapOverlay::Reference:
            State().PlotDisplay.Overlay = TMapOverlay::Adjustments;
            break;
        case TMapOverlay::Adjustments:
            State().PlotDisplay.Overlay = TMapOverlay::Updated;
            break;
        case TMapOverlay::Updated:
            State().PlotDisplay.Overlay = TMapOverlay::MeanAfr;
            break;
        case TMapOverlay::MeanAfr:
            State().PlotDisplay.Overlay = TMapOverlay::None;
            break;
    }
    FDocument->Apply(TChange::Overlay);
}

void TMainForm::RedrawOverlay() {
    if (!FCreated || FClosing || !FGeometry) return;
    DrawOverlayLayer(FLayers, *FGeometry, State(), State().PlotDisplay.Overlay);
    ShowComposedPlot();
    ShowOverlayStatus();
}

void TMainForm::ShowOverlayStatus() {
    FStatusPanels[2]->setText(QString::fromStdString(OverlayStatusText(
        State().Fuel, State().Ignition, State().PlotDisplay.Overlay, State().Display.View)));
}

namespace {

// A position beyond the plot itself (the first run's 1000 for the height)
// still means the far edge, never a place counted from the near one.
int FromNearerEdge(int stored, int plotLength) {
    if (stored <= plotLength / 2) return stored;
    return std::min(stored - plotLength, -1);
}

}  // namespace

void TMainForm::PlaceAfrScale() {
    const int marginLeft = FGeometry ? FGeometry->PlotLeft() : PlotMarginLeft;
    const int plotWidth = FPlotArea->width() - marginLeft - PlotMarginRight;
    const int plotHeight = FPlotArea->height() - PlotMarginTop - PlotMarginBottom;
    TPlotDisplay& display = State().PlotDisplay;
    display.AfrScaleX = FromNearerEdge(display.AfrScaleX, plotWidth);
    display.AfrScaleY = FromNearerEdge(display.AfrScaleY, plotHeight);
}

}  // namespace kelvane
