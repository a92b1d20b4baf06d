#pragma once

#include "app/mapwindows/MapFormBase.h"
#include "core/mapwindows/MapCellTexts.h"

namespace kelvane {

// "EZK Ignition Maps": the reference map, the adjustments (degrees added),
// the updated map and the WOT curve, in degrees with one decimal. Steps go
// in degrees, or with "%" in percent of each cell's reference value.
class TEZKMapForm : public TMapFormBase {
    Q_OBJECT

  public:
    explicit TEZKMapForm(TKelvaneDocument& document, QWidget* parent = nullptr);

    TMapGridView* Grid(TIgnitionMapTab tab) const { return TMapFormBase::Grid(static_cast<int>(tab)); }
    TIgnitionMapTab Tab() const { return static_cast<TIgnitionMapTab>(ActiveTab()); }
    void SetTab(TIgnitionMapTab tab) { SetActiveTab(static_cast<int>(tab)); }
    QCheckBox* PercentBox() const { return FPercent; }

  protected:
    TGridCellLook CellLook(int tab, int column, int row) const override;
    void TabShown() override;
    bool ConcernsWindow(TChangeSet changes) const override;
    TMapEditResult Step(TMapStep step) override;
    TMapEditResult TypeValue(const QString& text) override;
    TMapEditResult PasteCells(const std::string& text) override;
    std::optional<std::string> CopyCells() const override;
    TMapEditResult PasteMap(const std::string& text) override;
    std::string CopyMap() const override;
    std::optional<QString> EditText() const override;
    bool MinusStartsEditing() const override { return false; }

  private:
    void ShowStepHints();

    QCheckBox* FPercent = nullptr;
};

}  // namespace kelvane
