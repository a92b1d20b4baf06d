#pragma once

#include <QWidget>

#include "core/ground/SettingsValues.h"
#include "core/state/StateChange.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace kelvane {

struct TKelvaneState;
class TLogGrid;

// "Data Log": the samples with the measured and the smoothed AFR side by
// side. It follows the selection as the main window's log panel does, and
// hands clicks on its rows to the main window.
class TLogDataForm : public QWidget {
    Q_OBJECT

  public:
    TLogDataForm(const TKelvaneState& state, bool stayOnTop, QWidget* parent = nullptr);

    void StateChanged(TChangeSet changes);
    // Scrolls so that the sample is the top row.
    void ShowTopSample(int sample);

    TLogGrid* Grid() const { return FGrid; }
    QCheckBox* StayOnTopBox() const { return FStayOnTop; }
    QLabel* NoteLabel() const { return FNote; }
    QPushButton* CloseButton() const { return FCloseButton; }
    TWindowSize Placement() const;

  signals:
    void SampleClicked(int index, Qt::KeyboardModifiers modifiers);
    void ClearSelectionRequested();
    // The window is closing: its placement and "Stay On Top" choice, to be stored.
    void Closing(kelvane::TWindowSize placement, bool stayOnTop);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void SetStayOnTop(bool stayOnTop);

    TLogGrid* FGrid = nullptr;
    QCheckBox* FStayOnTop = nullptr;
    QLabel* FNote = nullptr;
    QPushButton* FCloseButton = nullptr;
};

}  // namespace kelvane
