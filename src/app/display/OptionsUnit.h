#pragma once

#include <QWidget>
#include <array>
#include <utility>
#include <vector>

#include "core/ground/SettingsValues.h"
#include "core/shell/OptionsRules.h"
#include "core/state/StateChange.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QToolButton;

namespace kelvane {

class TKelvaneDocument;

// The small pair of arrows beside a value box.
class TUpDown : public QWidget {
    Q_OBJECT

  public:
    explicit TUpDown(QWidget* parent = nullptr);
    QToolButton* UpButton() const { return FUp; }
    QToolButton* DownButton() const { return FDown; }

  signals:
    // +1 for up, -1 for down.
    void Stepped(int direction);

  private:
    QToolButton* FUp = nullptr;
    QToolButton* FDown = nullptr;
};

// "Options": the plot's display, scale, filter and knock settings. Every
// change takes effect at once through the main window's change flow;
// "Cancel" gives back the scale limits, the point size and the filter values.
// Destroyed when closed.
class TOptionsForm : public QWidget {
    Q_OBJECT

  public:
    enum TPage { DisplayPage = 0, ScalePage = 1, FiltersPage = 2, IgnitionPage = 3 };

    TOptionsForm(TKelvaneDocument& document, QWidget* parent = nullptr);

    // Fills the pages from the settings and takes the copy "Cancel" gives back.
    void ShowOptions();
    // Refills the display checks when the main window changed them.
    void StateChanged(TChangeSet changes);

    QTabWidget* Pages() const { return FPages; }
    QPushButton* OkButton() const { return FOk; }
    QPushButton* CancelButton() const { return FCancel; }
    QToolButton* ColorButton() const { return FColorButton; }

    // Display page.
    QLineEdit* PointSizeBox() const { return FPointSize; }
    TUpDown* PointSizeUpDown() const { return FPointSizeUpDown; }
    QCheckBox* PlotO2AdjBox() const { return FPlotO2Adj; }
    QCheckBox* PlotAfrBox() const { return FPlotAfr; }
    QCheckBox* ShowAfrScaleBox() const { return FShowAfrScale; }
    QRadioButton* LHPlotButton() const { return FLHPlot; }
    QRadioButton* EZKPlotButton() const { return FEZKPlot; }
    QCheckBox* ShowKnocksBox() const { return FShowKnocks; }
    QCheckBox* IncludeAdjustmentsBox() const { return FIncludeAdjustments; }
    QCheckBox* ShowReferenceMapBox() const { return FShowReference; }
    QCheckBox* ShowAdjustmentMapBox() const { return FShowAdjustments; }
    QCheckBox* ShowUpdatedMapBox() const { return FShowUpdated; }
    QSlider* FogSlider() const { return FFogSlider; }
    QLabel* FogLabel() const { return FFogLabel; }

    // Scale page.
    QLineEdit* MinRpmBox() const { return FMinRpm; }
    QLineEdit* MaxRpmBox() const { return FMaxRpm; }
    QLineEdit* MinMafBox() const { return FMinMaf; }
    QLineEdit* MaxMafBox() const { return FMaxMaf; }
    QRadioButton* AutoScaleButton() const { return FAutoScale; }
    QRadioButton* FullScaleButton() const { return FFullScale; }
    QRadioButton* SelectScaleButton() const { return FSelectScale; }
    QRadioButton* S4Button() const { return FS4; }
    QRadioButton* GTButton() const { return FGT; }
    QRadioButton* LH22Button() const { return FLH22; }
    QRadioButton* LH23Button() const { return FLH23; }
    QRadioButton* ConfigButton(TLHConfig config) const;

    // Filters page.
    QCheckBox* EnableFiltersBox() const { return FEnableFilters; }
    QCheckBox* MaxAfrBox() const { return FMaxAfrOn; }
    QLineEdit* MaxAfrValue() const { return FMaxAfr; }
    QCheckBox* RpmChangeBox() const { return FRpmChangeOn; }
    QLineEdit* RpmChangeValue() const { return FRpmChange; }
    QCheckBox* MafChangeBox() const { return FMafChangeOn; }
    QLineEdit* MafChangeValue() const { return FMafChange; }
    QLineEdit* IgnorePreviousValue() const { return FIgnorePrevious; }
    QLineEdit* IgnoreFollowingValue() const { return FIgnoreFollowing; }
    QCheckBox* IdleBox() const { return FIdle; }
    QCheckBox* CruiseBox() const { return FCruise; }
    QCheckBox* WotBox() const { return FWot; }
    QLineEdit* AfrSmoothingBox() const { return FAfrSmoothing; }
    QLineEdit* AdjustSmoothingBox() const { return FAdjustSmoothing; }
    QRadioButton* ThisPlotOnlyButton() const { return FThisPlotOnly; }
    QRadioButton* SaveAsDefaultsButton() const { return FSaveAsDefaults; }

    // Ignition page.
    QLineEdit* KnockCylindersBox(int threshold) const {
        return FKnockCylinders.at(static_cast<std::size_t>(threshold));
    }
    QLineEdit* KnockRetardBox(int threshold) const {
        return FKnockRetard.at(static_cast<std::size_t>(threshold));
    }
    QSlider* KnockAlphaSlider() const { return FKnockSlider; }
    QLabel* KnockAlphaLabel() const { return FKnockLabel; }

    // The up-down beside a value box (nothing for a box without one).
    TUpDown* UpDownOf(QLineEdit* box) const;

  signals:
    // Closing: where the window was, its page and the "Save as defaults" choice.
    void Closing(kelvane::TWindowSize placement, int page, bool saveAsDefaults);
    // "Colors...": the Color Adjustment window is wanted.
    void ColorsRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* CreateDisplayPage();
    QWidget* CreateScalePage();
    QWidget* CreateFiltersPage();
    QWidget* CreateIgnitionPage();
    // A value box with an up-down that steps it by the limits.
    QWidget* SteppedBox(QLineEdit*& box, const TUpDownLimits& limits, const char* name);

    void FillDisplayAndScale();
    void FillDisplayChecks();
    void FillFilters();
    void SetScaleBoxesEnabled(bool enabled);
    // Handlers; none acts while the window fills itself or inside another one.
    bool Quiet() const { return FLoading || FNesting > 0 || !FShown; }
    void DisplayChanged();
    void OverlayClicked(QCheckBox* box);
    void ScaleBoxEdited();
    void ScaleModeClicked();
    void FiltersChanged();
    void AfrSmoothingChanged();
    void AdjustSmoothingChanged();
    void KnockChanged(int threshold);
    void FogMoved(int position);
    void KnockAlphaMoved(int position);
    void OkClick();
    void CancelClick();
    TLHConfig ChosenConfig() const;
    TFilterPage FilterPageOfControls() const;

    TKelvaneDocument& FDocument;
    TOptionsCancelCopy FCancelCopy;
    std::vector<std::pair<QLineEdit*, TUpDown*>> FUpDowns;
    // Set once the user picks an LH version, configuration or EZK version:
    // only then do the buttons write the engine setup.
    bool FSetupChosen = false;
    bool FLoading = true;
    int FNesting = 0;
    bool FShown = false;
    bool FClosed = false;

    QTabWidget* FPages = nullptr;
    QPushButton* FOk = nullptr;
    QPushButton* FCancel = nullptr;
    QToolButton* FColorButton = nullptr;

    QLineEdit* FPointSize = nullptr;
    TUpDown* FPointSizeUpDown = nullptr;
    QCheckBox* FPlotO2Adj = nullptr;
    QCheckBox* FPlotAfr = nullptr;
    QCheckBox* FShowAfrScale = nullptr;
    QRadioButton* FLHPlot = nullptr;
    QRadioButton* FEZKPlot = nullptr;
    QCheckBox* FShowKnocks = nullptr;
    QCheckBox* FIncludeAdjustments = nullptr;
    QCheckBox* FShowReference = nullptr;
    QCheckBox* FShowAdjustments = nullptr;
    QCheckBox* FShowUpdated = nullptr;
    QSlider* FFogSlider = nullptr;
    QLabel* FFogLabel = nullptr;

    QLineEdit* FMinRpm = nullptr;
    QLineEdit* FMaxRpm = nullptr;
    QLineEdit* FMinMaf = nullptr;
    QLineEdit* FMaxMaf = nullptr;
    QRadioButton* FAutoScale = nullptr;
    QRadioButton* FFullScale = nullptr;
    QRadioButton* FSelectScale = nullptr;
    QRadioButton* FS4 = nullptr;
    QRadioButton* FGT = nullptr;
    QRadioButton* FLH22 = nullptr;
    QRadioButton* FLH23 = nullptr;
    std::array<QRadioButton*, 4> FConfigs{};  // MAF, HexaMAF, VX-Alpha, VX MAP
    QWidget* FIgnitionPage = nullptr;

    QCheckBox* FEnableFilters = nullptr;
    QCheckBox* FMaxAfrOn = nullptr;
    QLineEdit* FMaxAfr = nullptr;
    QCheckBox* FRpmChangeOn = nullptr;
    QLineEdit* FRpmChange = nullptr;
    QCheckBox* FMafChangeOn = nullptr;
    QLineEdit* FMafChange = nullptr;
    QLineEdit* FIgnorePrevious = nullptr;
    QLineEdit* FIgnoreFollowing = nullptr;
    QCheckBox* FIdle = nullptr;
    QCheckBox* FCruise = nullptr;
    QCheckBox* FWot = nullptr;
    QLineEdit* FAfrSmoothing = nullptr;
    QLineEdit* FAdjustSmoothing = nullptr;
    QRadioButton* FThisPlotOnly = nullptr;
    QRadioButton* FSaveAsDefaults = nullptr;

    std::array<QLineEdit*, 2> FKnockCylinders{};
    std::array<QLineEdit*, 2> FKnockRetard{};
    QSlider* FKnockSlider = nullptr;
    QLabel* FKnockLabel = nullptr;
};

}  // namespace kelvane
