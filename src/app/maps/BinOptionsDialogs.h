#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "core/maps/BinMapChooser.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kelvane {

// "LH 2.3 Bin File Options" or "EZK Bin File Options": asks which map of a bin
// image was in use. Fixed size; it shrinks when there is no notice to show.
class TBinOptionsForm : public QDialog {
    Q_OBJECT

  public:
    // An empty notice hides the notice group.
    TBinOptionsForm(TBinDialogKind kind, const QString& notice, QWidget* parent = nullptr);

    TBinDialogKind Kind() const { return FKind; }
    // The choice clicked, or NoChoice while none was.
    TBinMapChoice Choice() const;

    QGroupBox* SelectionGroup() const { return FSelectionGroup; }
    QRadioButton* ChoiceButton(int index) const { return FChoiceButtons.at(static_cast<std::size_t>(index)); }
    QGroupBox* NoticeGroup() const { return FNoticeGroup; }
    QLabel* NoticePicture() const { return FNoticePicture; }
    QLabel* NoticeLabel() const { return FNoticeLabel; }
    QLabel* HintLabel() const { return FHintLabel; }  // the LH dialog only
    QPushButton* OkButton() const { return FOkButton; }
    QPushButton* CancelButton() const { return FCancelButton; }

  private:
    void ChoiceClick();

    TBinDialogKind FKind;
    QGroupBox* FSelectionGroup = nullptr;
    std::array<QRadioButton*, 3> FChoiceButtons{};
    QGroupBox* FNoticeGroup = nullptr;
    QLabel* FNoticePicture = nullptr;
    QLabel* FNoticeLabel = nullptr;
    QLabel* FHintLabel = nullptr;
    QPushButton* FOkButton = nullptr;
    QPushButton* FCancelButton = nullptr;
};

// Answers the map loader's question with the modal bin options dialogs,
// centred on the given window.
class TBinOptionsChooser : public TBinMapChooser {
  public:
    explicit TBinOptionsChooser(QWidget* parent) : FParent(parent) {}
    TBinMapChoice ChooseMap(TBinDialogKind kind, const std::string& notice) override;

  private:
    QWidget* FParent;
};

}  // namespace kelvane
