#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <vector>

#include "core/plot/LogGrids.h"
#include "core/state/StateChange.h"

namespace kelvane {

struct TKelvaneState;

// The main window's log panel, or the shorter grid of the "Data Log" window.
enum class TLogGridKind { Main, Window };

// The samples as rows, asked for only as far as a view shows them: nothing
// is made per sample. Without samples the grid has empty rows.
class TLogGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    TLogGridModel(const TKelvaneState& state, TLogGridKind kind, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The list, its columns or the configuration changed.
    void Reset();
    const std::vector<TLogGridColumn>& Columns() const { return FColumns; }

  private:
    std::vector<TLogGridColumn> CurrentColumns() const;

    const TKelvaneState& FState;
    TLogGridKind FKind;
    std::vector<TLogGridColumn> FColumns;
};

// A grid of the samples that follows the selection: selected rows are
// highlighted, excluded ones greyed. Clicks and Esc are handed to the owner,
// which applies the selection rules; the view never selects anything itself.
// The main grid keeps its time column in view when it scrolls sideways.
class TLogGrid : public QTableView {
    Q_OBJECT

  public:
    TLogGrid(const TKelvaneState& state, TLogGridKind kind, QWidget* parent = nullptr);

    // Repaints (or rebuilds, for a new list or new columns) what the change touches.
    void StateChanged(TChangeSet changes);
    // Scrolls the sample into view, to about the middle when it is not in view already.
    void ShowRow(int sample);
    // Scrolls so that the sample is the top row.
    void ShowTopSample(int sample);
    int TopSample() const;
    // Rows wholly in view.
    int VisibleRows() const;
    int RowHeight() const;
    // The widths the columns stand for, each without its grid line; hidden ones left out.
    std::vector<int> ShownColumnWidths() const;
    TLogGridModel* Model() const { return FModel; }
    // The view over the time column that stays put (main grid only).
    QTableView* TimeColumn() const { return FTimeColumn; }

  signals:
    void SampleClicked(int index, Qt::KeyboardModifiers modifiers);
    void ClearSelectionRequested();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SizeColumns();
    void PlaceTimeColumn();
    void ClickAt(int row, Qt::KeyboardModifiers modifiers);

    const TKelvaneState& FState;
    TLogGridKind FKind;
    TLogGridModel* FModel = nullptr;
    QTableView* FTimeColumn = nullptr;
};

}  // namespace kelvane
