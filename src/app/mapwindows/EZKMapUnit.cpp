#include "app/mapwindows/EZKMapUnit.h"

#include <QCheckBox>
#include <QPushButton>
#include <array>

#include "app/document/KelvaneDocument.h"
#include "app/document/QtText.h"

namespace kelvane {

namespace {

constexpr std::array<TMapStep, 4> StepOrder{TMapStep::Plus, TMapStep::Minus, TMapStep::PlusPlus,
                                            TMapStep::MinusMinus};

}  // namespace

TEZKMapForm::TEZKMapForm(TKelvaneDocument& document, QWidget* parent)
    : TMapFormBase(document, TPlotView::EZK, parent) {
    setObjectName(QStringLiteral("EZKMapForm"));
    setWindowTitle(FromStd(IgnitionMapWindowCaption));
    for (const TIgnitionMapTab tab : IgnitionMapTabs) AddTab(FromStd(IgnitionMapTabCaption(tab)));

    AddCopyPaste(QStringLiteral("Copy map to clipboard"), QStringLiteral("Paste map from clipboard"));
    AddStepButtons({StepOrder.begin(), StepOrder.end()});
    FPercent = AddCheckBox(QStringLiteral("%"), {}, QStringLiteral("PercentBox"));
    connect(FPercent, &QCheckBox::clicked, this, &TEZKMapForm::ShowStepHints);
    FinishPanel(QStringLiteral("Stay On Top"));
    ShowStepHints();
}

void TEZKMapForm::ShowStepHints() {
    for (const TMapStep step : StepOrder)
        StepButton(step)->setToolTip(FromStd(IgnitionStepHint(step, FPercent->isChecked())));
}

TGridCellLook TEZKMapForm::CellLook(int tab, int column, int row) const {
    const TKelvaneState& state = State();
    if (row == 0 && column == 0) return {};
    if (row == 0)
        return TextLook(FromStd(AxisHeaderText(state.Axes.EZKRpm[static_cast<std::size_t>(column - 1)])),
                        true, 2);
    if (column == 0)
        return TextLook(FromStd(AxisHeaderText(state.Axes.EZKLoad[static_cast<std::size_t>(row - 1)])), true,
                        4);
    const double value =
        IgnitionTabMap(state.Ignition, static_cast<TIgnitionMapTab>(tab)).At(column - 1, row - 1);
    return TextLook(FromStd(IgnitionCellText(value)), true, 4);
}

void TEZKMapForm::TabShown() {
    for (const TMapStep step : StepOrder) StepButton(step)->setEnabled(IgnitionStepsEnabled(Tab()));
}

bool TEZKMapForm::ConcernsWindow(TChangeSet changes) const {
    return changes.HasAny({TChange::IgnitionMaps, TChange::Axes, TChange::Display});
}

TMapEditResult TEZKMapForm::Step(TMapStep step) {
    return StepIgnitionCells(State(), Tab(), ActiveGrid()->TargetCells(), step, FPercent->isChecked());
}

TMapEditResult TEZKMapForm::TypeValue(const QString& text) {
    return TypeIgnitionValue(State(), Tab(), ActiveGrid()->TargetCells(), text.toStdString());
}

TMapEditResult TEZKMapForm::PasteCells(const std::string& text) {
    return PasteIgnitionCells(State(), Tab(), ActiveGrid()->TargetCells(), text);
}

std::optional<std::string> TEZKMapForm::CopyCells() const {
    return CopyIgnitionCells(State().Ignition, Tab(), ActiveGrid()->TargetCells());
}

TMapEditResult TEZKMapForm::PasteMap(const std::string& text) {
    return PasteIgnitionMap(State(), Tab(), text);
}

std::string TEZKMapForm::CopyMap() const {
    return CopyIgnitionMap(State().Ignition, Tab());
}

std::optional<QString> TEZKMapForm::EditText() const {
    const TIgnitionMapTab tab = Tab();
    if (!IgnitionTypingAllowed(tab)) return std::nullopt;
    const QPoint focus = ActiveGrid()->FocusCell();
    if (focus.x() < 1 || focus.y() < 1) return std::nullopt;
    return FromStd(IgnitionCellText(IgnitionTabMap(State().Ignition, tab).At(focus.x() - 1, focus.y() - 1)));
}

}  // namespace kelvane
