#include "app/adjust/LHAdjustUnit.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/adjust/BusyCursor.h"
#include "app/document/KelvaneDocument.h"
#include "app/document/QtText.h"
#include "core/shell/MapClipboard.h"
#include "core/shell/SettingsWindows.h"

namespace kelvane {

namespace {

QPushButton* Button(const QString& caption, const QString& name, QWidget* parent, const QString& hint = {}) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

QRadioButton* Radio(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}

QSlider* TrackBar(Qt::Orientation orientation, const QString& name, QWidget* parent) {
    auto* slider = new QSlider(orientation, parent);
    slider->setObjectName(name);
    slider->setRange(0, SmoothingSliderMax);
    slider->setPageStep(2);
    slider->setTickInterval(1);
    slider->setTickPosition(orientation == Qt::Vertical ? QSlider::TicksRight : QSlider::TicksBelow);
    return slider;
}

}  // namespace

TLHAdjustForm::TLHAdjustForm(TKelvaneDocument& document, const TWindowSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      FDocument(document),
      FState(document.State()),
      FAdjustment(document.State()) {
    connect(&document, &TKelvaneDocument::Changed, this, &TLHAdjustForm::StateChanged);
    setObjectName(QStringLiteral("LHAdjustForm"));
    setWindowTitle(QStringLiteral("LH Map Adjust"));
    CreateControls();
    FStatusLabel->clear();

    // As the window opens: the sliders at both widths 1.0, their labels set, no smoothing.
    ++FUpdateLock;
    FTargetAFRBox->setText(FromStd(settings.LHAdjustTargetAfr));
    (settings.LHAdjustTargetMap ? FTargetMapButton : FTargetAFRButton)->setChecked(true);
    FVertTrackBar->setValue(VertPositionOfWidth(1.0));
    FHorizTrackBar->setValue(HorizPositionOfWidth(1.0));
    VertTrackBarChange();
    HorizTrackBarChange();
    // "Selected Area" when the plot has cells of the fuel map selected.
    const bool selected = FState.Selection.IsCells() && FState.Selection.View == TPlotView::LH;
    (selected ? FSelectedAreaButton : FEntireMapButton)->setChecked(true);
    FAdjustResetButton->setEnabled(false);
    FSmoothResetButton->setEnabled(false);
    FStatusLabel->setText(FromStd(FuelAdjustPromptText));
    --FUpdateLock;
}

void TLHAdjustForm::CreateControls() {
    auto* selection = new QGroupBox(QStringLiteral("Selection"), this);
    FSelectedAreaButton =
        Radio(QStringLiteral("Selected Area"), QStringLiteral("SelectedAreaButton"), selection);
    FEntireMapButton = Radio(QStringLiteral("Entire Map"), QStringLiteral("EntireMapButton"), selection);
    auto* selectionLayout = new QVBoxLayout(selection);
    selectionLayout->addWidget(FSelectedAreaButton);
    selectionLayout->addWidget(FEntireMapButton);

    auto* target = new QGroupBox(QStringLiteral("Target AFR"), this);
    FTargetAFRButton = Radio(QStringLiteral("Target AFR:"), QStringLiteral("TargetAFRButton"), target);
    FTargetAFRBox = new QLineEdit(QStringLiteral("14.7"), target);
    FTargetAFRBox->setObjectName(QStringLiteral("TargetAFRBox"));
    FTargetAFRBox->setMaximumWidth(60);
    FTargetMapButton = Radio(QStringLiteral("Use target map"), QStringLiteral("TargetMapButton"), target);
    FTargetButton = Button(QStringLiteral("&View"), QStringLiteral("TargetButton"), target);
    auto* targetLayout = new QGridLayout(target);
    targetLayout->addWidget(FTargetAFRButton, 0, 0);
    targetLayout->addWidget(FTargetAFRBox, 0, 1);
    targetLayout->addWidget(FTargetMapButton, 1, 0);
    targetLayout->addWidget(FTargetButton, 1, 1);

    FAdjustButton = Button(QStringLiteral("&Adjust"), QStringLiteral("AdjustButton"), this);
    FAdjustResetButton = Button(QStringLiteral("&Undo"), QStringLiteral("AdjustResetButton"), this,
                                QStringLiteral("Undo effect of last adjustment"));

    auto* smoothing = new QGroupBox(QStringLiteral("Smoothing"), this);
    FVertTrackBar = TrackBar(Qt::Vertical, QStringLiteral("VertTrackBar"), smoothing);
    // Position 0 at the top, as the widths run from 10 at the top to 1 at the bottom.
    FVertTrackBar->setInvertedAppearance(true);
    FVertTrackBar->setInvertedControls(true);
    FVertTrackBar->setMinimumHeight(110);
    FVertLabel = new QLabel(smoothing);
    FVertLabel->setObjectName(QStringLiteral("VertLabel"));
    FHorizTrackBar = TrackBar(Qt::Horizontal, QStringLiteral("HorizTrackBar"), smoothing);
    FHorizTrackBar->setMinimumWidth(150);
    FHorizLabel = new QLabel(smoothing);
    FHorizLabel->setObjectName(QStringLiteral("HorizLabel"));
    FHorizLabel->setMinimumWidth(
        FHorizLabel->fontMetrics().horizontalAdvance(QStringLiteral("Horiz = 10.0")));
    FSmoothButton = Button(QStringLiteral("&Smooth"), QStringLiteral("SmoothButton"), smoothing);
    FSmoothResetButton = Button(QStringLiteral("U&ndo"), QStringLiteral("SmoothResetButton"), smoothing,
                                QStringLiteral("Undo effect of last smoothing"));
    auto* smoothButtons = new QHBoxLayout;
    smoothButtons->addWidget(FSmoothButton);
    smoothButtons->addWidget(FSmoothResetButton);
    smoothButtons->addStretch(1);
    auto* smoothingLayout = new QGridLayout(smoothing);
    smoothingLayout->addWidget(FVertTrackBar, 0, 0, 3, 1);
    smoothingLayout->addWidget(FVertLabel, 0, 1, 1, 2);
    smoothingLayout->addWidget(FHorizTrackBar, 1, 1);
    smoothingLayout->addWidget(FHorizLabel, 1, 2);
    smoothingLayout->addLayout(smoothButtons, 2, 1, 1, 2);
    smoothingLayout->setColumnStretch(1, 1);

    FStatusLabel = new QLabel(this);
    FStatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    FStatusLabel->setFrameShape(QFrame::StyledPanel);
    FStatusLabel->setFrameShadow(QFrame::Sunken);

    FCopyButton = Button(QStringLiteral("&Copy"), QStringLiteral("CopyButton"), this,
                         QStringLiteral("Copy updated map to Clipboard"));
    FResetButton = Button(QStringLiteral("Reset All"), QStringLiteral("ResetButton"), this);
    FDoneButton = Button(QStringLiteral("&Done"), QStringLiteral("DoneButton"), this,
                         QStringLiteral("Close this window"));
    FCancelButton = Button(QStringLiteral("Cancel"), QStringLiteral("CancelButton"), this,
                           QStringLiteral("Reset adjustments to zero"));

    auto* top = new QHBoxLayout;
    top->addWidget(selection);
    top->addWidget(target, 1);
    auto* adjustRow = new QHBoxLayout;
    adjustRow->addWidget(FAdjustButton);
    adjustRow->addWidget(FAdjustResetButton);
    adjustRow->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(FCopyButton);
    bottom->addWidget(FResetButton);
    bottom->addStretch(1);
    bottom->addWidget(FDoneButton);
    bottom->addWidget(FCancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(adjustRow);
    layout->addWidget(smoothing);
    layout->addWidget(FStatusLabel);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FTargetButton, &QPushButton::clicked, this, &TLHAdjustForm::ViewTargetMapRequested);
    connect(FAdjustButton, &QPushButton::clicked, this, &TLHAdjustForm::AdjustButtonClick);
    connect(FAdjustResetButton, &QPushButton::clicked, this, &TLHAdjustForm::AdjustResetButtonClick);
    connect(FVertTrackBar, &QSlider::valueChanged, this, &TLHAdjustForm::VertTrackBarChange);
    connect(FHorizTrackBar, &QSlider::valueChanged, this, &TLHAdjustForm::HorizTrackBarChange);
    connect(FSmoothButton, &QPushButton::clicked, this, &TLHAdjustForm::SmoothButtonClick);
    connect(FSmoothResetButton, &QPushButton::clicked, this, &TLHAdjustForm::SmoothResetButtonClick);
    connect(FCopyButton, &QPushButton::clicked, this, &TLHAdjustForm::CopyButtonClick);
    connect(FResetButton, &QPushButton::clicked, this, &TLHAdjustForm::ResetButtonClick);
    connect(FDoneButton, &QPushButton::clicked, this, &QWidget::close);
    connect(FCancelButton, &QPushButton::clicked, this, &TLHAdjustForm::CancelButtonClick);
}

TCellRegion TLHAdjustForm::Region() const {
    return AdjustmentRegion(FState.Selection, TPlotView::LH, FSelectedAreaButton->isChecked());
}

TFuelTarget TLHAdjustForm::Target() const {
    return {FTargetMapButton->isChecked(), TargetAfrFromText(FTargetAFRBox->text().toStdString())};
}

void TLHAdjustForm::Apply(const TAdjustResult& result) {
    const TMapAction action(FDocument, "Fuel Adjustment");
    FApplying = true;
    FDocument.Apply(result.Changes);
    FApplying = false;
}

void TLHAdjustForm::StateChanged(TChangeSet changes) {
    if (!FApplying && changes.Has(TChange::FuelMaps)) FAdjustment.TakeSmoothSource();
}

void TLHAdjustForm::AdjustButtonClick() {
    FAdjustResetButton->setEnabled(true);
    {
        const TBusyCursor busy;
        Apply(FAdjustment.Adjust(Region(), Target()));
    }
    FStatusLabel->setText(FromStd(AdjustmentCompleteText));
}

void TLHAdjustForm::AdjustResetButtonClick() {
    FAdjustResetButton->setEnabled(false);
    Apply(FAdjustment.UndoAdjustment());
}

void TLHAdjustForm::VertTrackBarChange() {
    FVertWidth = VertWidthOfPosition(FVertTrackBar->value());
    FVertLabel->setText(FromStd(VertLabelText(FVertWidth)));
    if (FUpdateLock == 0) Smooth();
}

void TLHAdjustForm::HorizTrackBarChange() {
    FHorizWidth = HorizWidthOfPosition(FHorizTrackBar->value());
    FHorizLabel->setText(FromStd(HorizLabelText(FHorizWidth)));
    if (FUpdateLock == 0) Smooth();
}

void TLHAdjustForm::Smooth() {
    const TBusyCursor busy;
    Apply(FAdjustment.Smooth(Region(), FVertWidth, FHorizWidth));
}

void TLHAdjustForm::SmoothButtonClick() {
    FSmoothResetButton->setEnabled(true);
    Smooth();
    FStatusLabel->setText(FromStd(SmoothingCompleteText));
}

void TLHAdjustForm::SmoothResetButtonClick() {
    FSmoothResetButton->setEnabled(false);
    Apply(FAdjustment.UndoSmoothing());
}

void TLHAdjustForm::ResetButtonClick() {
    ++FUpdateLock;
    FVertTrackBar->setValue(VertPositionOfWidth(1.0));
    FHorizTrackBar->setValue(HorizPositionOfWidth(1.0));
    --FUpdateLock;
    Apply(FAdjustment.ResetAll());
}

void TLHAdjustForm::CancelButtonClick() {
    Apply(FAdjustment.Cancel());
    close();
}

void TLHAdjustForm::CopyButtonClick() {
    const std::optional<std::string> text = CopyUpdatedFuelMap(FState);
    if (text && QGuiApplication::clipboard())
        QGuiApplication::clipboard()->setText(QString::fromStdString(*text));
}

TWindowSize TLHAdjustForm::Placement() const {
    const QRect frame = geometry();
    return {frame.left(), frame.top(), frame.width(), frame.height()};
}

void TLHAdjustForm::closeEvent(QCloseEvent* event) {
    emit Closing({Placement(), FTargetAFRBox->text().toStdString(), FTargetMapButton->isChecked(), FVertWidth,
                  FHorizWidth});
    QWidget::closeEvent(event);
}

}  // namespace kelvane
