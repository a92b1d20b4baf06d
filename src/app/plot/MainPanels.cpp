// The main window's data panels: the log grid at the right, the data graph
// under the plot, the "Data Log" window, and what clicks on their samples do.
#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <algorithm>

#include "app/plot/DataGraph.h"
#include "app/plot/LogDataUnit.h"
#include "app/plot/LogGrid.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"
#include "core/ground/WriteFailures.h"
#include "core/plot/LogGrids.h"
#include "core/shell/StartupWindowRules.h"

namespace kelvane {

void TMainForm::CreateDataPanels() {
    FDataGraph = new TDataGraph(
        State(), [this](TGraphRange range) { State().Graph = range; }, this);
    FLogGrid = new TLogGrid(State(), TLogGridKind::Main, this);

    FPlotSplitter = new QSplitter(Qt::Vertical, this);
    FPlotSplitter->setObjectName(QStringLiteral("PlotSplitter"));
    FPlotSplitter->addWidget(FPlotArea);
    FPlotSplitter->addWidget(FDataGraph);
    FPlotSplitter->setStretchFactor(0, 1);
    FPlotSplitter->setStretchFactor(1, 0);
    FPlotSplitter->setChildrenCollapsible(false);
    FPanelSplitter = new QSplitter(Qt::Horizontal, this);
    FPanelSplitter->setObjectName(QStringLiteral("PanelSplitter"));
    FPanelSplitter->addWidget(FPlotSplitter);
    FPanelSplitter->addWidget(FLogGrid);
    FPanelSplitter->setStretchFactor(0, 1);
    FPanelSplitter->setStretchFactor(1, 0);
    FPanelSplitter->setChildrenCollapsible(false);
    setCentralWidget(FPanelSplitter);

    connect(FDataGraph, &TDataGraph::SampleClicked, this, [this](int index, Qt::KeyboardModifiers modifiers) {
        SampleClicked(index, modifiers, TSampleClickSource::DataGraph);
    });
    // The graph's range is state like any other and its change takes the
    // one way in. It has no change kind of its own: it is part of what the
    // display shows.
    connect(FDataGraph, &TDataGraph::RangeChanged, this, [this] { FDocument->Apply(TChange::Display); });
    connect(FLogGrid, &TLogGrid::SampleClicked, this, [this](int index, Qt::KeyboardModifiers modifiers) {
        SampleClicked(index, modifiers, TSampleClickSource::LogGrid);
    });
    connect(FLogGrid, &TLogGrid::ClearSelectionRequested, this, &TMainForm::ClearSelectionFromGrid);
    connect(FDocument.get(), &TKelvaneDocument::Changed, FLogGrid, &TLogGrid::StateChanged);
    connect(FDocument.get(), &TKelvaneDocument::Changed, FDataGraph, &TDataGraph::StateChanged);
    connect(FDocument.get(), &TKelvaneDocument::Changed, this, &TMainForm::PanelsStateChanged);
    connect(FPanelSplitter, &QSplitter::splitterMoved, this, &TMainForm::PanelSplitterMoved);
    connect(FPlotSplitter, &QSplitter::splitterMoved, this, &TMainForm::PanelSplitterMoved);

    for (QAction* item : {FDataLog1, FDataLogButton}) {
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, &TMainForm::DataLog1Click);
    }
    for (QAction* item : {FDataGraph1, FDataGraphButton}) {
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, &TMainForm::DataGraph1Click);
    }
    FLogGrid->setVisible(false);
    FDataGraph->setVisible(false);
    ShowLogPanel(FDocument->Layout().DataLogVisible);
    ShowGraphPanel(FDocument->Layout().DataGraphVisible);
}

bool TMainForm::LogPanelShown() const {
    return FLogGrid && !FLogGrid->isHidden();
}

bool TMainForm::GraphPanelShown() const {
    return FDataGraph && !FDataGraph->isHidden();
}

void TMainForm::UpdatePanelChecks() {
    // Also called while the menus and the toolbar are still being made.
    const bool log = LogPanelShown();
    const bool graph = GraphPanelShown();
    for (QAction* item : {FDataLog1, FDataLogButton})
        if (item) item->setChecked(log);
    for (QAction* item : {FDataGraph1, FDataGraphButton})
        if (item) item->setChecked(graph);
}

void TMainForm::ShowLogPanel(bool shown) {
    FDocument->Layout().DataLogVisible = shown;
    FLogGrid->setVisible(shown);
    if (shown) {
        const int total = std::max(FPanelSplitter->width(), FDocument->Layout().DataLogWidth + 1);
        FPanelSplitter->setSizes(
            {total - FDocument->Layout().DataLogWidth, FDocument->Layout().DataLogWidth});
        // Once the panel has its place, it fits its columns.
        QTimer::singleShot(0, this, &TMainForm::FitLogPanel);
    }
    UpdatePanelChecks();
}

void TMainForm::ShowGraphPanel(bool shown) {
    FDocument->Layout().DataGraphVisible = shown;
    FDataGraph->setVisible(shown);
    if (shown) {
        const int total = std::max(FPlotSplitter->height(), FDocument->Layout().DataGraphHeight + 1);
        FPlotSplitter->setSizes(
            {total - FDocument->Layout().DataGraphHeight, FDocument->Layout().DataGraphHeight});
    }
    UpdatePanelChecks();
}

void TMainForm::DataLog1Click() {
    ShowLogPanel(!LogPanelShown());
}

void TMainForm::DataGraph1Click() {
    ShowGraphPanel(!GraphPanelShown());
}

void TMainForm::FitLogPanel() {
    if (!LogPanelShown()) return;
    const QList<int> sizes = FPanelSplitter->sizes();
    const int panelWidth = sizes.at(1);
    const int clientWidth = panelWidth - (FLogGrid->width() - FLogGrid->viewport()->width());
    const int fitted =
        std::max(1, LogPanelWidth(panelWidth, clientWidth, FLogGrid->ShownColumnWidths(), width()));
    if (fitted != panelWidth) FPanelSplitter->setSizes({sizes.at(0) + panelWidth - fitted, fitted});
    FDocument->Layout().DataLogWidth = fitted;
}

void TMainForm::PanelSplitterMoved() {
    if (LogPanelShown()) FDocument->Layout().DataLogWidth = FPanelSplitter->sizes().at(1);
    if (GraphPanelShown()) FDocument->Layout().DataGraphHeight = FPlotSplitter->sizes().at(1);
}

void TMainForm::PanelsStateChanged(TChangeSet changes) {
    if (changes.Has(TChange::Samples)) FSampleClicks.ForgetAnchor();
    // The grid has sized its columns for the new list or setup by now.
    if (changes.HasAny(TChange::Samples | TChange::Axes) && LogPanelShown())
        QTimer::singleShot(0, this, &TMainForm::FitLogPanel);
}

void TMainForm::BringSampleIntoView(std::size_t index) {
    if (index >= State().Logs.Data.Count()) return;
    const int sample = static_cast<int>(index);
    if (FLogDataForm) FLogDataForm->ShowTopSample(LogWindowTopSample(index));
    if (LogPanelShown()) FLogGrid->ShowRow(sample);
    if (GraphPanelShown()) FDataGraph->CentreOn(sample);
}

void TMainForm::ShowHoverSampleInPanels(int index) {
    if (FDataGraph) FDataGraph->SetHoverSample(index);
}

void TMainForm::SampleClicked(int index, Qt::KeyboardModifiers modifiers, TSampleClickSource source) {
    const TClickKeys keys{modifiers.testFlag(Qt::ControlModifier), modifiers.testFlag(Qt::ShiftModifier)};
    const std::size_t count = State().Logs.Data.Count();
    TSelectionEditor editor = State().SelectionEditor();
    std::optional<std::size_t> shown;
    if (source == TSampleClickSource::DataGraph) {
        shown = FSampleClicks.GraphClick(editor, State().Selection, count, index, keys);
    } else {
        // A Shift range can run over many samples.
        const bool range = keys.Shift && !keys.Ctrl;
        if (range) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        shown = FSampleClicks.GridClick(editor, State().Selection, count, index, keys);
        if (range) QGuiApplication::restoreOverrideCursor();
    }
    FDocument->Apply(TChange::Selection);
    if (shown) BringSampleIntoView(*shown);
}

void TMainForm::ClearSelectionFromGrid() {
    if (State().Selection.Empty()) return;
    State().SelectionEditor().Clear();
    FDocument->Apply(TChange::Selection);
}

void TMainForm::LogData1Click() {
    if (!FLogDataForm) {
        FLogDataForm = new TLogDataForm(State(), FDocument->Windows().LogWindowStayOnTop, this);
        FLogDataForm->setAttribute(Qt::WA_DeleteOnClose);
        connect(FLogDataForm, &QObject::destroyed, this, [this] { FLogDataForm = nullptr; });
        connect(FLogDataForm, &TLogDataForm::SampleClicked, this,
                [this](int index, Qt::KeyboardModifiers modifiers) {
                    SampleClicked(index, modifiers, TSampleClickSource::LogWindow);
                });
        connect(FLogDataForm, &TLogDataForm::ClearSelectionRequested, this,
                &TMainForm::ClearSelectionFromGrid);
        connect(FLogDataForm, &TLogDataForm::Closing, this, &TMainForm::LogDataFormClosing);
        connect(FDocument.get(), &TKelvaneDocument::Changed, FLogDataForm, &TLogDataForm::StateChanged);

        const QScreen* screen = this->screen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const TWindowSize screenSize{area.left(), area.top(), area.width(), area.height()};
        if (FDocument->Windows().LogWindow) {
            const TWindowSize placed = KeepOnScreen(*FDocument->Windows().LogWindow, screenSize);
            FLogDataForm->setGeometry(placed.Left, placed.Top, placed.Width, placed.Height);
        } else {
            const QRect owner = frameGeometry();
            const TWindowSize placed =
                CentreWithin({owner.x(), owner.y(), owner.width(), owner.height()}, FLogDataForm->width(),
                             FLogDataForm->height(), screenSize);
            FLogDataForm->move(placed.Left, placed.Top);
        }
    }
    FLogDataForm->show();
    FLogDataForm->raise();
    FLogDataForm->activateWindow();
}

void TMainForm::LogDataFormClosing(TWindowSize placement, bool stayOnTop) {
    FDocument->Windows().LogWindow = placement;
    FDocument->Windows().LogWindowStayOnTop = stayOnTop;
    FDocument->WriteSettings(
        [&](TIniFile2& main) { return WriteLogWindowSettings(main, FDocument->Windows()); });
}

void TMainForm::CloseLogDataForm() {
    if (FLogDataForm) FLogDataForm->close();
}

}  // namespace kelvane
