#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/maps/MapGrid.h"

class QLineEdit;

namespace kelvane {

// How one cell of a map grid is drawn. Header cells always take the face
// colour; a data cell without a background takes the window colour.
struct TGridCellLook {
    QString Text;
    std::optional<QColor> Background;
    bool AlignLeft = false;  // else right-aligned
    int Indent = 4;          // pixels from the aligned edge
};

inline TGridCellLook TextLook(QString text, bool alignLeft = false, int indent = 4) {
    TGridCellLook look;
    look.Text = std::move(text);
    look.AlignLeft = alignLeft;
    look.Indent = indent;
    return look;
}

// An owner-drawn 17 x 17 grid of the map windows: a header row and column
// (0) around the 16 x 16 map cells, no scroll bars, one rectangle of
// selected cells, a focused cell, and at most one borderless edit box laid
// over the focused cell. It knows nothing of maps: the window supplies each
// cell's look and decides what keys, clicks and edits do.
class TMapGridView : public QWidget {
    Q_OBJECT

  public:
    using TCellLookFunction = std::function<TGridCellLook(int column, int row)>;

    static constexpr int DefaultColumnWidth = 42;
    static constexpr int DefaultRowHeight = 17;

    explicit TMapGridView(QWidget* parent = nullptr);

    void SetCellLook(TCellLookFunction look);

    // The selected rectangle of map cells; nothing selected is allowed.
    const std::optional<TMapSelection>& Selection() const { return FSelection; }
    void SetSelection(const std::optional<TMapSelection>& selection);
    // The selection, or the focused cell when nothing is selected.
    TMapSelection TargetCells() const;
    QPoint FocusCell() const { return FFocus; }  // column, row
    void SetFocusCell(QPoint cell);

    int ColumnWidth() const;
    int RowHeight() const;
    QRect CellRect(int column, int row) const;
    // The cell under a point; (-1, -1) outside the grid.
    QPoint CellAt(QPoint point) const;

    QLineEdit* Editor() const { return FEditor; }
    bool Editing() const;
    // Lays the edit box over the focused cell with the text: the caret after
    // it, or all of it selected.
    void OpenEditor(const QString& text, bool selectAll);
    void CloseEditor();

    QSize sizeHint() const override;

  signals:
    // A click or a cursor key changed the selection.
    void SelectionMade();
    // Enter in the edit box; the window closes it when the text was taken.
    void EditCommitted(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PlaceEditor();
    void SelectTo(QPoint cell);

    TCellLookFunction FLook;
    std::optional<TMapSelection> FSelection;
    QPoint FFocus{1, 1};
    QPoint FAnchor{1, 1};
    bool FDragging = false;
    QLineEdit* FEditor = nullptr;
};

}  // namespace kelvane
