#pragma once

#include "app/mapwindows/MapFormBase.h"
#include "core/display/ColorTable.h"
#include "core/mapwindows/MapCellTexts.h"

namespace kelvane {

// "LH Fuel Maps": the reference map, the adjustments, the updated map, the
// remainder (Primary Load Map only) and the target AFR map as editable grids.
class TFuelMapForm : public TMapFormBase {
    Q_OBJECT

  public:
    explicit TFuelMapForm(TKelvaneDocument& document, QWidget* parent = nullptr);

    TMapGridView* Grid(TFuelMapTab tab) const { return TMapFormBase::Grid(static_cast<int>(tab)); }
    TFuelMapTab Tab() const { return static_cast<TFuelMapTab>(ActiveTab()); }
    void SetTab(TFuelMapTab tab) { SetActiveTab(static_cast<int>(tab)); }
    QPushButton* ResetButton() const { return FReset; }
    QCheckBox* ShowColorBox() const { return FShowColor; }
    QCheckBox* ShowColor2Box() const { return FShowColor2; }
    const TColorTable& WindowScale() const { return FWindowScale; }

  protected:
    TGridCellLook CellLook(int tab, int column, int row) const override;
    void TabShown() override;
    void UpdateFromState() override;
    bool ConcernsWindow(TChangeSet changes) const override;
    TMapEditResult Step(TMapStep step) override;
    TMapEditResult TypeValue(const QString& text) override;
    TMapEditResult PasteCells(const std::string& text) override;
    std::optional<std::string> CopyCells() const override;
    TMapEditResult PasteMap(const std::string& text) override;
    std::string CopyMap() const override;
    std::optional<QString> EditText() const override;
    bool MinusStartsEditing() const override { return true; }

  private:
    void ResetClick();

    QPushButton* FReset = nullptr;
    QCheckBox* FShowColor = nullptr;
    QCheckBox* FShowColor2 = nullptr;
    // The scale "Show Color" colours with, set by the box last clicked.
    TColorTable FWindowScale = MapWindowDefaultColorTable();
};

}  // namespace kelvane
