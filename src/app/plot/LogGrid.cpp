#include "app/plot/LogGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "core/state/KelvaneState.h"

namespace kelvane {

TLogGridModel::TLogGridModel(const TKelvaneState& state, TLogGridKind kind, QObject* parent)
    : QAbstractTableModel(parent), FState(state), FKind(kind), FColumns(CurrentColumns()) {}

std::vector<TLogGridColumn> TLogGridModel::CurrentColumns() const {
    if (FKind == TLogGridKind::Window) return LogWindowColumns();
    return MainGridColumns(FState.Logs.ColumnPresent, FState.Setup().LHConfig);
}

void TLogGridModel::Reset() {
    beginResetModel();
    FColumns = CurrentColumns();
    endResetModel();
}

int TLogGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    const std::size_t count = FState.Logs.Data.Count();
    return count == 0 ? EmptyGridRows : static_cast<int>(count);
}

int TLogGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FColumns.size());
}

Qt::ItemFlags TLogGridModel::flags(const QModelIndex&) const {
    return Qt::ItemIsEnabled;
}

QVariant TLogGridModel::data(const QModelIndex& index, int role) const {
    const TLogData& data = FState.Logs.Data;
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= data.Count()) {
        if (role == Qt::BackgroundRole) return QApplication::palette().brush(QPalette::Base);
        return {};
    }
    const TLogDataEntry& entry = data[static_cast<std::size_t>(index.row())];
    const QPalette palette = QApplication::palette();
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(FKind == TLogGridKind::Main
                                              ? MainGridText(entry, index.column(), FState.Setup().LHConfig)
                                              : LogWindowText(entry, index.column()));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        case Qt::BackgroundRole:
            if (entry.Selected)
                return FKind == TLogGridKind::Main ? palette.brush(QPalette::Highlight) : QBrush(Qt::black);
            return palette.brush(entry.Included ? QPalette::Base : QPalette::Button);
        case Qt::ForegroundRole:
            return palette.brush(entry.Selected ? QPalette::HighlightedText : QPalette::Text);
        default:
            return {};
    }
}

QVariant TLogGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || static_cast<std::size_t>(section) >= FColumns.size())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(FColumns[static_cast<std::size_t>(section)].Header);
    if (role == Qt::TextAlignmentRole && FKind == TLogGridKind::Window)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

namespace {

// The grids show the program's selection in their colours; the view's own
// focus frame and hover marks would only confuse it.
class TPlainCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~(QStyle::State_HasFocus | QStyle::State_Selected | QStyle::State_MouseOver);
        QStyledItemDelegate::paint(painter, plain, index);
    }
};

// The settings every view of the samples shares.
void SetUpSampleView(QTableView* view, int rowHeight) {
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    view->setItemDelegate(new TPlainCellDelegate(view));
    QHeaderView* rows = view->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* columns = view->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setSectionsClickable(false);
    columns->setHighlightSections(false);
    columns->setMinimumSectionSize(1);
}

}  // namespace

TLogGrid::TLogGrid(const TKelvaneState& state, TLogGridKind kind, QWidget* parent)
    : QTableView(parent), FState(state), FKind(kind), FModel(new TLogGridModel(state, kind, this)) {
    setObjectName(kind == TLogGridKind::Main ? QStringLiteral("LogGrid") : QStringLiteral("LogWindowGrid"));
    setModel(FModel);
    SetUpSampleView(this, RowHeight());
    if (kind == TLogGridKind::Main) {
        FTimeColumn = new QTableView(this);
        FTimeColumn->setObjectName(QStringLiteral("LogGridTime"));
        FTimeColumn->setModel(FModel);
        SetUpSampleView(FTimeColumn, RowHeight());
        FTimeColumn->setFocusPolicy(Qt::NoFocus);
        FTimeColumn->setFrameShape(QFrame::NoFrame);
        FTimeColumn->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        FTimeColumn->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        FTimeColumn->viewport()->installEventFilter(this);
        viewport()->stackUnder(FTimeColumn);
        connect(FTimeColumn->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
                &QAbstractSlider::setValue);
        connect(verticalScrollBar(), &QAbstractSlider::valueChanged, FTimeColumn->verticalScrollBar(),
                &QAbstractSlider::setValue);
    }
    SizeColumns();
}

int TLogGrid::RowHeight() const {
    return fontMetrics().height() + 2;
}

void TLogGrid::SizeColumns() {
    const std::vector<TLogGridColumn>& columns = FModel->Columns();
    const std::string timeSizing = TimeSizingText(FState.Logs.Data);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int column = static_cast<int>(c);
        setColumnHidden(column, !columns[c].Shown);
        const std::string& sizing = column == 0 ? timeSizing : columns[c].SizingText;
        // The section holds the grid line too.
        setColumnWidth(
            column, fontMetrics().horizontalAdvance(QString::fromStdString(sizing)) + GridColumnPadding + 1);
        if (FTimeColumn) FTimeColumn->setColumnHidden(column, column != 0);
    }
    if (FTimeColumn) FTimeColumn->setColumnWidth(0, columnWidth(0));
    PlaceTimeColumn();
}

std::vector<int> TLogGrid::ShownColumnWidths() const {
    std::vector<int> widths;
    for (int column = 0; column < FModel->columnCount(); ++column)
        if (!isColumnHidden(column)) widths.push_back(columnWidth(column) - 1);
    return widths;
}

void TLogGrid::StateChanged(TChangeSet changes) {
    // The engine setup names the load column; a new list brings new rows and columns.
    if (changes.HasAny(TChange::Samples | TChange::Axes)) {
        FModel->Reset();
        SizeColumns();
        return;
    }
    viewport()->update();
    if (FTimeColumn) FTimeColumn->viewport()->update();
}

int TLogGrid::TopSample() const {
    return verticalScrollBar()->value();
}

int TLogGrid::VisibleRows() const {
    return viewport()->height() / RowHeight();
}

void TLogGrid::ShowRow(int sample) {
    executeDelayedItemsLayout();  // the scroll range of a list just loaded
    verticalScrollBar()->setValue(GridTopSampleShowing(sample, TopSample(), VisibleRows()));
}

void TLogGrid::ShowTopSample(int sample) {
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(sample);
}

void TLogGrid::ClickAt(int row, Qt::KeyboardModifiers modifiers) {
    setFocus(Qt::MouseFocusReason);
    if (row < 0 || static_cast<std::size_t>(row) >= FState.Logs.Data.Count()) return;
    emit SampleClicked(row, modifiers);
}

void TLogGrid::mousePressEvent(QMouseEvent* event) {
    // The view's own press would move its current cell; the rules decide instead.
    if (event->button() == Qt::LeftButton)
        ClickAt(rowAt(event->position().toPoint().y()), event->modifiers());
}

void TLogGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

bool TLogGrid::eventFilter(QObject* watched, QEvent* event) {
    if (FTimeColumn && watched == FTimeColumn->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            ClickAt(FTimeColumn->rowAt(mouse->position().toPoint().y()), mouse->modifiers());
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void TLogGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            emit ClearSelectionRequested();
            event->accept();
            return;
        // The page keys scroll; the view has no current cell to move.
        case Qt::Key_PageUp:
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
            return;
        case Qt::Key_PageDown:
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
            return;
        case Qt::Key_Home:
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
            return;
        case Qt::Key_End:
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
            return;
        default:
            // The arrows step the selection, Ctrl+C copies it and Ctrl+A
            // selects all cells: the main window's keys, not the view's.
            event->ignore();
    }
}

void TLogGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    PlaceTimeColumn();
}

void TLogGrid::updateGeometries() {
    QTableView::updateGeometries();
    PlaceTimeColumn();
}

void TLogGrid::PlaceTimeColumn() {
    if (!FTimeColumn) return;
    FTimeColumn->setGeometry(frameWidth(), frameWidth(), columnWidth(0),
                             viewport()->height() + horizontalHeader()->height());
}

}  // namespace kelvane
