#include "app/mapwindows/MapGridView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/mapwindows/MapGridSelection.h"

namespace kelvane {

namespace {

const QColor GridLineColor(192, 192, 192);

bool InMap(QPoint cell) {
    return cell.x() >= 1 && cell.x() <= MapSize && cell.y() >= 1 && cell.y() <= MapSize;
}

bool Contains(const TMapSelection& selection, int column, int row) {
    return column >= selection.Left && column <= selection.Right && row >= selection.Top &&
           row <= selection.Bottom;
}

}  // namespace

TMapGridView::TMapGridView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FEditor = new QLineEdit(this);
    FEditor->setObjectName(QStringLiteral("CellEditor"));
    FEditor->setFrame(false);
    FEditor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FEditor->hide();
    FEditor->installEventFilter(this);
}

void TMapGridView::SetCellLook(TCellLookFunction look) {
    FLook = std::move(look);
    update();
}

void TMapGridView::SetSelection(const std::optional<TMapSelection>& selection) {
    FSelection = selection;
    if (selection) {
        FAnchor = QPoint(selection->Left, selection->Top);
        if (!Contains(*selection, FFocus.x(), FFocus.y())) FFocus = FAnchor;
    }
    update();
}

TMapSelection TMapGridView::TargetCells() const {
    if (FSelection) return *FSelection;
    return {FFocus.x(), FFocus.y(), FFocus.x(), FFocus.y()};
}

void TMapGridView::SetFocusCell(QPoint cell) {
    if (!InMap(cell)) return;
    FFocus = cell;
    update();
}

int TMapGridView::ColumnWidth() const {
    return std::max(1, width() / GridCells - 1);
}

int TMapGridView::RowHeight() const {
    return std::max(1, height() / GridCells - 1);
}

QRect TMapGridView::CellRect(int column, int row) const {
    const int w = ColumnWidth();
    const int h = RowHeight();
    return {column * (w + 1), row * (h + 1), w, h};
}

QPoint TMapGridView::CellAt(QPoint point) const {
    const int column = point.x() / (ColumnWidth() + 1);
    const int row = point.y() / (RowHeight() + 1);
    if (point.x() < 0 || point.y() < 0 || column >= GridCells || row >= GridCells) return {-1, -1};
    return {column, row};
}

bool TMapGridView::Editing() const {
    return FEditor->isVisible();
}

void TMapGridView::OpenEditor(const QString& text, bool selectAll) {
    FEditor->setText(text);
    PlaceEditor();
    FEditor->show();
    if (selectAll)
        FEditor->selectAll();
    else
        FEditor->setCursorPosition(static_cast<int>(text.size()));
    FEditor->setFocus();
}

void TMapGridView::CloseEditor() {
    if (!Editing()) return;
    const bool hadFocus = FEditor->hasFocus();
    FEditor->hide();
    FEditor->clear();
    if (hadFocus) setFocus();
}

QSize TMapGridView::sizeHint() const {
    return {GridCells * (DefaultColumnWidth + 1), GridCells * (DefaultRowHeight + 1)};
}

void TMapGridView::PlaceEditor() {
    FEditor->setGeometry(CellRect(FFocus.x(), FFocus.y()));
}

void TMapGridView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colors = palette();
    // The cells cover all of the pixel between them but one device pixel, so
    // the lines stay hairlines on a high-density screen.
    const qreal overlap = 1 - 1 / devicePixelRatioF();
    // Lines between the cells; the space the cells leave over is plain window.
    painter.fillRect(rect(), colors.color(QPalette::Base));
    painter.fillRect(QRect(0, 0, GridCells * (ColumnWidth() + 1) - 1, GridCells * (RowHeight() + 1) - 1),
                     GridLineColor);
    for (int row = 0; row < GridCells; ++row)
        for (int column = 0; column < GridCells; ++column) {
            const QRect cell = CellRect(column, row);
            const TGridCellLook look = FLook ? FLook(column, row) : TGridCellLook{};
            QColor background = colors.color(QPalette::Base);
            QColor text = colors.color(QPalette::Text);
            if (column == 0 || row == 0) {
                background = colors.color(QPalette::Button);
                text = colors.color(QPalette::WindowText);
            } else if (FSelection && Contains(*FSelection, column, row)) {
                background = colors.color(QPalette::Highlight);
                text = colors.color(QPalette::HighlightedText);
            } else if (look.Background) {
                background = *look.Background;
            }
            painter.fillRect(QRectF(cell).adjusted(0, 0, overlap, overlap), background);
            if (!look.Text.isEmpty()) {
                painter.setPen(text);
                const QRect inner =
                    cell.adjusted(look.AlignLeft ? look.Indent : 0, 1, look.AlignLeft ? 0 : -look.Indent, 0);
                painter.drawText(inner, Qt::AlignTop | (look.AlignLeft ? Qt::AlignLeft : Qt::AlignRight),
                                 look.Text);
            }
            if (QPoint(column, row) == FFocus && hasFocus()) {
                QPen pen(colors.color(QPalette::WindowText));
                pen.setStyle(Qt::DotLine);
                painter.setPen(pen);
                painter.drawRect(cell.adjusted(0, 0, -1, -1));
            }
        }
}

void TMapGridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    CloseEditor();
    setFocus();
    const QPoint cell = CellAt(event->position().toPoint());
    if (cell.x() < 0) return;
    if (const std::optional<TMapSelection> whole = HeaderPressSelection(cell.x(), cell.y())) {
        FFocus = QPoint(whole->Left, whole->Top);
        SetSelection(whole);
        FDragging = false;
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        SelectTo(cell);
    } else {
        FFocus = FAnchor = cell;
        FSelection = TMapSelection{cell.x(), cell.y(), cell.x(), cell.y()};
        update();
    }
    FDragging = true;
}

void TMapGridView::mouseMoveEvent(QMouseEvent* event) {
    if (!FDragging || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint cell = CellAt(event->position().toPoint());
    if (InMap(cell) && cell != FFocus) SelectTo(cell);
}

void TMapGridView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    FDragging = false;
    emit SelectionMade();
}

void TMapGridView::SelectTo(QPoint cell) {
    FFocus = cell;
    FSelection = GridRectangle(FAnchor.x(), FAnchor.y(), cell.x(), cell.y());
    update();
}

void TMapGridView::keyPressEvent(QKeyEvent* event) {
    QPoint next = FFocus;
    switch (event->key()) {
        case Qt::Key_Left:
            next.rx() -= 1;
            break;
        case Qt::Key_Right:
            next.rx() += 1;
            break;
        case Qt::Key_Up:
            next.ry() -= 1;
            break;
        case Qt::Key_Down:
            next.ry() += 1;
            break;
        default:
            event->ignore();  // the window's keys
            return;
    }
    next = QPoint(std::clamp(next.x(), 1, MapSize), std::clamp(next.y(), 1, MapSize));
    if (event->modifiers() & Qt::ShiftModifier) {
        SelectTo(next);
    } else {
        FFocus = FAnchor = next;
        FSelection = TMapSelection{next.x(), next.y(), next.x(), next.y()};
        update();
    }
    emit SelectionMade();
}

void TMapGridView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (Editing()) PlaceEditor();
}

bool TMapGridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FEditor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit EditCommitted(FEditor->text());
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            CloseEditor();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kelvane
