#pragma once

#include <QWidget>
#include <string>

#include "core/adjust/FuelAdjustment.h"
#include "core/ground/SettingsValues.h"
#include "core/state/StateChange.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace kelvane {

class TKelvaneDocument;
struct TWindowSettings;

// What the fuel adjustment window leaves for the settings when it closes.
struct TLHAdjustValues {
    TWindowSize Placement;
    std::string TargetAfr;  // the box text as typed
    bool TargetMap = true;
    double VertWidth = 1;
    double HorizWidth = 1;
};

// "LH Map Adjust": fills the fuel adjustment factors from the logged AFR and
// a target, smooths the updated fuel map, and undoes, resets or cancels that
// work. The rules are the core's TFuelAdjustment; this window holds one for
// the time it is open, so every opening starts afresh.
class TLHAdjustForm : public QWidget {
    Q_OBJECT

  public:
    // settings: the "LH Adjust" values it opens with.
    TLHAdjustForm(TKelvaneDocument& document, const TWindowSettings& settings, QWidget* parent = nullptr);

    // Listens to the main window: fuel maps changed by anyone else (a map
    // window, the plot's keys, a loaded map) become what smoothing works from.
    void StateChanged(TChangeSet changes);

    double VertWidth() const { return FVertWidth; }
    double HorizWidth() const { return FHorizWidth; }
    const TFuelAdjustment& Adjustment() const { return FAdjustment; }
    TWindowSize Placement() const;

    QRadioButton* SelectedAreaButton() const { return FSelectedAreaButton; }
    QRadioButton* EntireMapButton() const { return FEntireMapButton; }
    QRadioButton* TargetAFRButton() const { return FTargetAFRButton; }
    QLineEdit* TargetAFRBox() const { return FTargetAFRBox; }
    QRadioButton* TargetMapButton() const { return FTargetMapButton; }
    QPushButton* TargetButton() const { return FTargetButton; }
    QPushButton* AdjustButton() const { return FAdjustButton; }
    QPushButton* AdjustResetButton() const { return FAdjustResetButton; }
    QSlider* VertTrackBar() const { return FVertTrackBar; }
    QLabel* VertLabel() const { return FVertLabel; }
    QSlider* HorizTrackBar() const { return FHorizTrackBar; }
    QLabel* HorizLabel() const { return FHorizLabel; }
    QPushButton* SmoothButton() const { return FSmoothButton; }
    QPushButton* SmoothResetButton() const { return FSmoothResetButton; }
    QLabel* StatusLabel() const { return FStatusLabel; }
    QPushButton* CopyButton() const { return FCopyButton; }
    QPushButton* ResetButton() const { return FResetButton; }
    QPushButton* DoneButton() const { return FDoneButton; }
    QPushButton* CancelButton() const { return FCancelButton; }

  signals:
    // "&View": the target AFR map in the fuel map window.
    void ViewTargetMapRequested();
    void Closing(const kelvane::TLHAdjustValues& values);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    TCellRegion Region() const;
    TFuelTarget Target() const;
    // Hands the core's changes to the main window, noting that they are this window's own.
    void Apply(const TAdjustResult& result);

    void AdjustButtonClick();
    void AdjustResetButtonClick();
    void VertTrackBarChange();
    void HorizTrackBarChange();
    void SmoothButtonClick();
    void SmoothResetButtonClick();
    void ResetButtonClick();
    void CancelButtonClick();
    void CopyButtonClick();
    void Smooth();

    TKelvaneDocument& FDocument;
    TKelvaneState& FState;
    TFuelAdjustment FAdjustment;
    double FVertWidth = 1;
    double FHorizWidth = 1;
    // Above zero, slider changes only update their labels.
    int FUpdateLock = 0;
    bool FApplying = false;

    QRadioButton* FSelectedAreaButton = nullptr;
    QRadioButton* FEntireMapButton = nullptr;
    QRadioButton* FTargetAFRButton = nullptr;
    QLineEdit* FTargetAFRBox = nullptr;
    QRadioButton* FTargetMapButton = nullptr;
    QPushButton* FTargetButton = nullptr;
    QPushButton* FAdjustButton = nullptr;
    QPushButton* FAdjustResetButton = nullptr;
    QSlider* FVertTrackBar = nullptr;
    QLabel* FVertLabel = nullptr;
    QSlider* FHorizTrackBar = nullptr;
    QLabel* FHorizLabel = nullptr;
    QPushButton* FSmoothButton = nullptr;
    QPushButton* FSmoothResetButton = nullptr;
    QLabel* FStatusLabel = nullptr;
    QPushButton* FCopyButton = nullptr;
    QPushButton* FResetButton = nullptr;
    QPushButton* FDoneButton = nullptr;
    QPushButton* FCancelButton = nullptr;
};

}  // namespace kelvane
