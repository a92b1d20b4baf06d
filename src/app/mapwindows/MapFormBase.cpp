#include "app/mapwindows/MapFormBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/document/KelvaneDocument.h"
#include "app/document/Prompts.h"
#include "core/mapwindows/MapGridSelection.h"

namespace kelvane {

namespace {

bool IsPlainKey(const QKeyEvent& event) {
    return !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

std::optional<TMapStep> StepOfKey(int key) {
    switch (key) {
        case Qt::Key_Q:
            return TMapStep::Plus;
        case Qt::Key_A:
            return TMapStep::Minus;
        case Qt::Key_W:
            return TMapStep::PlusPlus;
        case Qt::Key_S:
            return TMapStep::MinusMinus;
        default:
            return std::nullopt;
    }
}

QString StepCaption(TMapStep step) {
    switch (step) {
        case TMapStep::Plus:
            return QStringLiteral("+");
        case TMapStep::Minus:
            return QStringLiteral("-");
        case TMapStep::PlusPlus:
            return QStringLiteral("++");
        case TMapStep::MinusMinus:
            return QStringLiteral("--");
    }
    return {};
}

QString StepName(TMapStep step) {
    switch (step) {
        case TMapStep::Plus:
            return QStringLiteral("PlusButton");
        case TMapStep::Minus:
            return QStringLiteral("MinusButton");
        case TMapStep::PlusPlus:
            return QStringLiteral("PlusPlusButton");
        case TMapStep::MinusMinus:
            return QStringLiteral("MinusMinusButton");
    }
    return {};
}

}  // namespace

TMapFormBase::TMapFormBase(TKelvaneDocument& document, TPlotView view, QWidget* parent)
    : QWidget(parent, Qt::Window), FDocument(document), FView(view) {
    connect(&document, &TKelvaneDocument::Changed, this, &TMapFormBase::StateChanged);
    FTabs = new QTabWidget(this);
    FTabs->setObjectName(QStringLiteral("PageControl"));
    FPanel = new QHBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FTabs, 1);
    layout->addLayout(FPanel);
}

TKelvaneState& TMapFormBase::State() const {
    return FDocument.State();
}

void TMapFormBase::AddTab(const QString& caption) {
    auto* grid = new TMapGridView(FTabs);
    const int tab = static_cast<int>(FGrids.size());
    grid->setObjectName(QStringLiteral("Grid%1").arg(tab));
    grid->SetCellLook([this, tab](int column, int row) { return CellLook(tab, column, row); });
    connect(grid, &TMapGridView::SelectionMade, this, [this, grid] { GridSelectionMade(grid); });
    connect(grid, &TMapGridView::EditCommitted, this, &TMapFormBase::CommitEdit);
    FGrids.push_back(grid);
    FTabs->addTab(grid, caption);
}

void TMapFormBase::AddCopyPaste(const QString& copyHint, const QString& pasteHint) {
    FCopyMap = AddButton(QStringLiteral("Copy Map"), copyHint, QStringLiteral("CopyMapButton"));
    connect(FCopyMap, &QPushButton::clicked, this, [this] { CopyToClipboard(CopyMap()); });
    FPasteMap = AddButton(QStringLiteral("Paste Map"), pasteHint, QStringLiteral("PasteMapButton"));
    connect(FPasteMap, &QPushButton::clicked, this, &TMapFormBase::PasteMapClick);
}

QPushButton* TMapFormBase::AddButton(const QString& caption, const QString& hint, const QString& name) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);  // keys stay with the grids
    FPanel->addWidget(button);
    return button;
}

QCheckBox* TMapFormBase::AddCheckBox(const QString& caption, const QString& hint, const QString& name) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setToolTip(hint);
    box->setFocusPolicy(Qt::NoFocus);
    FPanel->addWidget(box);
    return box;
}

void TMapFormBase::AddStepButtons(const std::vector<TMapStep>& order) {
    for (const TMapStep step : order) {
        QPushButton* button = AddButton(StepCaption(step), {}, StepName(step));
        button->setMaximumWidth(40);
        connect(button, &QPushButton::clicked, this, [this, step] {
            RunEdit(QStringLiteral("Step in %1").arg(ActiveTabCaption()), [&] { return Step(step); });
        });
        FStepButtons.emplace_back(step, button);
    }
}

void TMapFormBase::FinishPanel(const QString& stayOnTopCaption) {
    FPanel->addStretch(1);
    FStayOnTop = AddCheckBox(stayOnTopCaption, {}, QStringLiteral("StayOnTopBox"));
    connect(FStayOnTop, &QCheckBox::clicked, this, &TMapFormBase::SetStayOnTop);
    FClose = AddButton(QStringLiteral("Close"), QStringLiteral("Close this window"),
                       QStringLiteral("CloseButton"));
    connect(FClose, &QPushButton::clicked, this, &QWidget::close);
    // Only now: the first tab added is made current before the buttons exist.
    connect(FTabs, &QTabWidget::currentChanged, this, [this] {
        if (TMapGridView* grid = ActiveGrid()) grid->setFocus();
        TabShown();
    });
}

QPushButton* TMapFormBase::StepButton(TMapStep step) const {
    for (const auto& [buttonStep, button] : FStepButtons)
        if (buttonStep == step) return button;
    return nullptr;
}

TMapGridView* TMapFormBase::ActiveGrid() const {
    return qobject_cast<TMapGridView*>(FTabs->currentWidget());
}

int TMapFormBase::ActiveTab() const {
    return FTabs->currentIndex();
}

void TMapFormBase::SetActiveTab(int tab) {
    FTabs->setCurrentIndex(tab);
}

QString TMapFormBase::ActiveTabCaption() const {
    return FTabs->tabText(FTabs->currentIndex());
}

TWindowSize TMapFormBase::Placement() const {
    return {x(), y(), width(), height()};
}

void TMapFormBase::ShowPlaced(std::string_view storedSize, bool stayOnTop) {
    adjustSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const TWindowSize placed = ToolWindowPosition(
        storedSize, width(), height(), TWindowSize{area.left(), area.top(), area.width(), area.height()});
    move(placed.Left, placed.Top);
    UpdateFromState();
    SetActiveTab(0);
    TabShown();
    SelectionFromPlot();
    FStayOnTop->setChecked(stayOnTop);
    setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
    show();
    if (TMapGridView* grid = ActiveGrid()) grid->setFocus();
}

void TMapFormBase::SetStayOnTop(bool stayOnTop) {
    const bool shown = isVisible();
    const QPoint place = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
    // Changing the flags hides the window; it comes back where it was.
    if (shown) {
        move(place);
        show();
    }
}

void TMapFormBase::StateChanged(TChangeSet changes) {
    if (changes.HasAny({TChange::Selection, TChange::Display}) && !FSyncing) SelectionFromPlot();
    if (!ConcernsWindow(changes)) return;
    UpdateFromState();
    RepaintGrids();
}

void TMapFormBase::RepaintGrids() {
    for (TMapGridView* grid : FGrids) grid->update();
}

void TMapFormBase::SelectionFromPlot() {
    // Cells of the other view name other cells: the grids keep their own.
    if (State().Display.View != FView) return;
    const std::optional<TMapSelection> selection = GridSelectionOf(State().Selection, FView);
    for (TMapGridView* grid : FGrids) grid->SetSelection(selection);
}

void TMapFormBase::GridSelectionMade(TMapGridView* grid) {
    const std::optional<TMapSelection> selection = grid->Selection();
    for (TMapGridView* other : FGrids) {
        if (other == grid) continue;
        other->SetSelection(selection);
        other->SetFocusCell(grid->FocusCell());
    }
    if (State().Display.View != FView) return;
    FSyncing = true;
    State().SelectionEditor().Replace(selection ? PlotCellsOf(*selection) : std::vector<TSelectionItem>());
    FDocument.Apply(TChange::Selection);
    FSyncing = false;
}

TMapEditResult TMapFormBase::RunEdit(const QString& action, const std::function<TMapEditResult()>& edit) {
    // The step is opened before the maps change, so that it keeps them as they were.
    const TMapAction step(FDocument, action.toStdString());
    const TMapEditResult result = edit();
    if (!result.Message.empty())
        FDocument.Prompts().ShowError(
            QString::fromUtf8(result.Message.data(), static_cast<qsizetype>(result.Message.size())));
    if (result.Accepted)
        FDocument.Apply(result.Changes);
    else
        RepaintGrids();
    return result;
}

void TMapFormBase::StartEditing(const QString& text, bool selectAll) {
    TMapGridView* grid = ActiveGrid();
    if (!grid || grid->Editing()) return;
    FShownText.reset();
    const QPoint focus = grid->FocusCell();
    if (focus.x() < 1 || focus.x() > MapSize || focus.y() < 1 || focus.y() > MapSize) return;
    grid->OpenEditor(text, selectAll);
}

void TMapFormBase::CommitEdit(const QString& text) {
    TMapGridView* grid = qobject_cast<TMapGridView*>(sender());
    if (!grid) grid = ActiveGrid();
    // The value as shown, committed unchanged, keeps the value as it is.
    if (FShownText && text == *FShownText) {
        grid->CloseEditor();
        return;
    }
    const TMapEditResult result =
        RunEdit(QStringLiteral("Typing in %1").arg(ActiveTabCaption()), [&] { return TypeValue(text); });
    // Text that is no number changes nothing and stays for correcting.
    if (result.Accepted)
        grid->CloseEditor();
    else
        QApplication::beep();
}

void TMapFormBase::CopyToClipboard(const std::string& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdString(text));
}

QString TMapFormBase::ClipboardText() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

void TMapFormBase::PasteMapClick() {
    const std::string text = ClipboardText().toStdString();
    RunEdit(QStringLiteral("Paste Map into %1").arg(ActiveTabCaption()), [&] { return PasteMap(text); });
}

void TMapFormBase::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->matches(QKeySequence::Undo)) {
        FDocument.Undo();
        return;
    }
    if (event->matches(QKeySequence::Redo) || (ctrl && event->key() == Qt::Key_Y)) {
        FDocument.Redo();
        return;
    }
    if (ctrl && event->key() == Qt::Key_C) {
        if (const std::optional<std::string> text = CopyCells()) CopyToClipboard(*text);
        return;
    }
    if (ctrl && event->key() == Qt::Key_V) {
        const std::string text = ClipboardText().toStdString();
        RunEdit(QStringLiteral("Paste into %1").arg(ActiveTabCaption()), [&] { return PasteCells(text); });
        return;
    }
    if (!IsPlainKey(*event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (const std::optional<TMapStep> step = StepOfKey(event->key())) {
        RunEdit(QStringLiteral("Step in %1").arg(ActiveTabCaption()), [&] { return Step(*step); });
        return;
    }
    switch (event->key()) {
        case Qt::Key_Delete:
            return;  // taken, so that nothing is cleared
        case Qt::Key_Escape:
            close();
            return;
        case Qt::Key_F2:
            if (const std::optional<QString> text = EditText()) {
                StartEditing(*text, true);
                FShownText = *text;
            }
            return;
        case Qt::Key_Minus:
            if (MinusStartsEditing() && EditText()) StartEditing(QStringLiteral("-"), false);
            return;
        default:
            break;
    }
    if (event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9) {
        if (EditText()) StartEditing(QString(QChar('0' + (event->key() - Qt::Key_0))), false);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TMapFormBase::closeEvent(QCloseEvent* event) {
    emit Closing(Placement(), FStayOnTop->isChecked());
    QWidget::closeEvent(event);
}

}  // namespace kelvane
