#include "app/mapwindows/FuelMapUnit.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>

#include "app/document/KelvaneDocument.h"
#include "app/document/QtText.h"

namespace kelvane {

TFuelMapForm::TFuelMapForm(TKelvaneDocument& document, QWidget* parent)
    : TMapFormBase(document, TPlotView::LH, parent) {
    setObjectName(QStringLiteral("FuelMapForm"));
    setWindowTitle(QStringLiteral("LH Fuel Maps"));
    for (const TFuelMapTab tab : FuelMapTabs) AddTab(FromStd(FuelMapTabCaption(tab)));

    AddCopyPaste(QStringLiteral("Copy entire map to clipboard (use ctrl-C to copy selected cells)"),
                 QStringLiteral("Paste entire map from clipboard (use ctrl-V to paste selected cells)"));
    AddStepButtons({TMapStep::Minus, TMapStep::Plus, TMapStep::MinusMinus, TMapStep::PlusPlus});
    for (const TMapStep step : {TMapStep::Minus, TMapStep::Plus, TMapStep::MinusMinus, TMapStep::PlusPlus})
        StepButton(step)->setToolTip(FromStd(FuelStepHint(step)));
    FReset = AddButton(QStringLiteral("Reset"), {}, QStringLiteral("ResetButton"));
    connect(FReset, &QPushButton::clicked, this, &TFuelMapForm::ResetClick);
    FShowColor = AddCheckBox(QStringLiteral("Show Color"),
                             QStringLiteral("Show color background for Reference and Updated Maps"),
                             QStringLiteral("ShowColorBox"));
    connect(FShowColor, &QCheckBox::clicked, this, [this] {
        FWindowScale = ShowColorScale(State().Fuel);
        RepaintGrids();
    });
    FShowColor2 = AddCheckBox(QStringLiteral("Show Color 2"), {}, QStringLiteral("ShowColor2Box"));
    connect(FShowColor2, &QCheckBox::clicked, this, [this] {
        FWindowScale = ShowColor2Scale();
        RepaintGrids();
    });
    FinishPanel(QStringLiteral("Stay on top"));
}

TGridCellLook TFuelMapForm::CellLook(int tab, int column, int row) const {
    const TKelvaneState& state = State();
    if (row == 0 && column == 0) return {};
    if (row == 0)
        return TextLook(FromStd(AxisHeaderText(state.Axes.LHRpm[static_cast<std::size_t>(column - 1)])));
    if (column == 0)
        return TextLook(FromStd(AxisHeaderText(state.Axes.LHLoad[static_cast<std::size_t>(row - 1)])));
    const auto mapTab = static_cast<TFuelMapTab>(tab);
    const double value = FuelTabMap(state.Fuel, mapTab).At(column - 1, row - 1);
    TGridCellLook look = TextLook(FromStd(FuelCellText(mapTab, value)));
    const TFuelCellColoring coloring{FShowColor->isChecked(), &FWindowScale, &Document().ColorTable(),
                                     state.Axes.FuelLimits};
    if (const std::optional<TColor32> color = FuelCellBackground(mapTab, value, coloring))
        look.Background = QColor::fromRgba(*color);
    return look;
}

void TFuelMapForm::TabShown() {
    const TFuelMapTab tab = Tab();
    for (const TMapStep step : {TMapStep::Minus, TMapStep::Plus, TMapStep::MinusMinus, TMapStep::PlusPlus})
        StepButton(step)->setEnabled(FuelStepButtonsEnabled(tab));
    PasteMapButton()->setEnabled(FuelPasteEnabled(tab));
    FReset->setEnabled(FuelResetEnabled(tab));
}

void TFuelMapForm::UpdateFromState() {
    const TLHMapSource source = State().Fuel.Source;
    setWindowTitle(FromStd(FuelMapWindowCaption(source)));
    const bool remainder = source == TLHMapSource::PrimaryLoad;
    if (!remainder && Tab() == TFuelMapTab::Remainder) SetTab(TFuelMapTab::Reference);
    Tabs()->setTabVisible(static_cast<int>(TFuelMapTab::Remainder), remainder);
}

bool TFuelMapForm::ConcernsWindow(TChangeSet changes) const {
    return changes.HasAny(
        {TChange::FuelMaps, TChange::TargetAfr, TChange::Axes, TChange::Display, TChange::Colors});
}

TMapEditResult TFuelMapForm::Step(TMapStep step) {
    return StepFuelCells(State(), Tab(), ActiveGrid()->TargetCells(), FuelStepSize(step));
}

TMapEditResult TFuelMapForm::TypeValue(const QString& text) {
    return TypeFuelValue(State(), Tab(), ActiveGrid()->TargetCells(), text.toStdString());
}

TMapEditResult TFuelMapForm::PasteCells(const std::string& text) {
    return PasteFuelCells(State(), Tab(), ActiveGrid()->TargetCells(), text);
}

std::optional<std::string> TFuelMapForm::CopyCells() const {
    return CopyFuelCells(State().Fuel, Tab(), ActiveGrid()->TargetCells());
}

TMapEditResult TFuelMapForm::PasteMap(const std::string& text) {
    return PasteFuelMap(State(), Tab(), text);
}

std::string TFuelMapForm::CopyMap() const {
    return CopyFuelCells(State().Fuel, Tab(), WholeMap);
}

std::optional<QString> TFuelMapForm::EditText() const {
    const TFuelMapTab tab = Tab();
    if (!FuelTypingAllowed(tab)) return std::nullopt;
    const QPoint focus = ActiveGrid()->FocusCell();
    if (focus.x() < 1 || focus.y() < 1) return std::nullopt;
    return FromStd(FuelEditText(tab, FuelTabMap(State().Fuel, tab).At(focus.x() - 1, focus.y() - 1)));
}

void TFuelMapForm::ResetClick() {
    const TFuelMapTab tab = Tab();
    RunEdit(QStringLiteral("Reset of %1").arg(ActiveTabCaption()),
            [&] { return ResetFuelTab(State(), tab); });
}

}  // namespace kelvane
