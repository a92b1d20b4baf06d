#pragma once

#include <QDialog>
#include <vector>

#include "core/display/ColorTable.h"
#include "core/ground/SettingsValues.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kelvane {

class TKelvaneDocument;
class TColorPanelForm;

// "Color Adjustment": one row per entry of the active colour table, edited
// live; the plot recolours while a slider moves. Made on first use, hidden
// when closed and shown again the next time.
class TColorForm : public QDialog {
    Q_OBJECT

  public:
    explicit TColorForm(TKelvaneDocument& document, QWidget* parent = nullptr);

    // Placed, backed up and built afresh, then shown modally.
    int Execute();
    // The same without the modal loop, for pictures and tests.
    void Prepare();

    QRadioButton* HslButton() const { return FHsl; }
    QRadioButton* RgbButton() const { return FRgb; }
    QPushButton* ResetButton() const { return FReset; }
    QPushButton* CancelButton() const { return FCancel; }
    QPushButton* OkButton() const { return FOk; }
    // Says why an AFR typed into a row was not taken.
    QLabel* MessageLabel() const { return FMessage; }
    const std::vector<TColorPanelForm*>& Rows() const { return FRows; }

  signals:
    // The window closed: where it was and whether the rows were RGB.
    void Closing(kelvane::TWindowSize placement, bool rgbMode);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

  private:
    void BuildRows();
    void RowChanged(std::size_t index, const QString& afrText, TColor32 color);
    void ResetToDefaults();
    void CancelClick();
    void ScaleChanged();
    void Finish();

    TKelvaneDocument& FDocument;
    TColorTable FBackup;
    std::vector<TColorPanelForm*> FRows;
    QWidget* FRowArea = nullptr;
    QVBoxLayout* FRowLayout = nullptr;
    QRadioButton* FHsl = nullptr;
    QRadioButton* FRgb = nullptr;
    QPushButton* FReset = nullptr;
    QPushButton* FCancel = nullptr;
    QPushButton* FOk = nullptr;
    QLabel* FMessage = nullptr;
    bool FFinished = true;
};

}  // namespace kelvane
