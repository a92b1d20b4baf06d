#pragma once

#include <QDialog>
#include <optional>

#include "core/maps/EngineSetup.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace kelvane {

// The window's result: 1 for OK, 2 for Cancel (closing counts as Cancel).
enum : int { VXConfigurationOk = 1, VXConfigurationCancel = 2 };

// "Log File Options": which car configuration the logs were recorded with.
// OK is enabled only when the choice is complete.
class TVXConfigurationForm : public QDialog {
    Q_OBJECT

  public:
    explicit TVXConfigurationForm(QWidget* parent = nullptr);

    // Checks the choices the setup names; unset parts stay unchosen.
    void SetPreselection(const TEngineSetup& setup);
    // The three choices as engine setup codes (unset where nothing is chosen).
    TEngineSetup Choice() const;
    // Shows the window modally: VXConfigurationOk or VXConfigurationCancel.
    int ShowModalResult();

    QGroupBox* LHTypeGroup() const { return FLHTypeGroup; }
    QGroupBox* LHConfigGroup() const { return FLHConfigGroup; }
    QGroupBox* EZKGroup() const { return FEZKGroup; }
    QRadioButton* LH23Button() const { return FLH23; }
    QRadioButton* LH22Button() const { return FLH22; }
    QRadioButton* StandardMafButton() const { return FStandardMaf; }
    QRadioButton* AlphaButton() const { return FAlpha; }
    QRadioButton* HexaMafButton() const { return FHexaMaf; }
    QRadioButton* MapSystemButton() const { return FMapSystem; }
    QRadioButton* GTButton() const { return FGT; }
    QRadioButton* S4Button() const { return FS4; }
    QLabel* HintLabel() const { return FHintLabel; }
    QPushButton* OkButton() const { return FOkButton; }
    QPushButton* CancelButton() const { return FCancelButton; }

  private:
    void ChoiceClick();

    QGroupBox* FLHTypeGroup = nullptr;
    QGroupBox* FLHConfigGroup = nullptr;
    QGroupBox* FEZKGroup = nullptr;
    QRadioButton* FLH23 = nullptr;
    QRadioButton* FLH22 = nullptr;
    QRadioButton* FStandardMaf = nullptr;
    QRadioButton* FAlpha = nullptr;
    QRadioButton* FHexaMaf = nullptr;
    QRadioButton* FMapSystem = nullptr;
    QRadioButton* FGT = nullptr;
    QRadioButton* FS4 = nullptr;
    QLabel* FHintLabel = nullptr;
    QPushButton* FOkButton = nullptr;
    QPushButton* FCancelButton = nullptr;
};

// Shows the window with the preselection; the chosen setup on OK, nothing on Cancel.
std::optional<TEngineSetup> AskLogFileOptions(QWidget* parent, const TEngineSetup& preselection);

}  // namespace kelvane
