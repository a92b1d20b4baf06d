#include "app/adjust/EZKAdjustUnit.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/adjust/BusyCursor.h"
#include "app/document/KelvaneDocument.h"
#include "app/document/Prompts.h"
#include "app/document/QtText.h"
#include "core/ground/SettingsValues.h"
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

}  // namespace

// ---- TUpDownEdit ---------------------------------------------------------

TUpDownEdit::TUpDownEdit(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), FMinimum(minimum), FMaximum(maximum) {
    setAccelerated(false);
    setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00.00")) + 30);
}

void TUpDownEdit::SetText(const QString& text) {
    lineEdit()->setText(text);
}

QValidator::State TUpDownEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

double TUpDownEdit::Number() const {
    return ParseNumber(text().toStdString(), TDecimalComma::Refused, FMinimum);
}

void TUpDownEdit::stepBy(int steps) {
    const double from = std::nearbyint(std::clamp(Number(), double(FMinimum), double(FMaximum)));
    const int to = std::clamp(static_cast<int>(from) + steps, FMinimum, FMaximum);
    SetText(QString::number(to));
}

QAbstractSpinBox::StepEnabled TUpDownEdit::stepEnabled() const {
    const double number = Number();
    StepEnabled enabled = StepNone;
    if (number < FMaximum) enabled |= StepUpEnabled;
    if (number > FMinimum) enabled |= StepDownEnabled;
    return enabled;
}

// ---- TEZKAdjustForm ------------------------------------------------------

TEZKAdjustForm::TEZKAdjustForm(TKelvaneDocument& document, const TWindowSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      FDocument(document),
      FState(document.State()),
      FAdjustment(document.State()) {
    setObjectName(QStringLiteral("EZKAdjustForm"));
    setWindowTitle(QStringLiteral("EZK Map Adjust"));
    CreateControls();
    FPassTimer = new QTimer(this);
    FPassTimer->setSingleShot(true);
    connect(FPassTimer, &QTimer::timeout, this, [this] {
        if (FNextStep == TStep::Announce)
            AnnouncePass();
        else
            RunPass();
    });

    FMaxCylsBox->SetText(FromStd(settings.EZKAdjustMaxCyls));
    FMaxRetardBox->SetText(FromStd(settings.EZKAdjustMaxRetard));
    const bool selected = FState.Selection.IsCells() && FState.Selection.View == TPlotView::EZK;
    (selected ? FSelectedAreaButton : FEntireMapButton)->setChecked(true);
    SetControlsForPasses(false);
    ShowStatus();
}

TEZKAdjustForm::~TEZKAdjustForm() = default;

void TEZKAdjustForm::CreateControls() {
    auto* selection = new QGroupBox(QStringLiteral("Selection"), this);
    FSelectedAreaButton = new QRadioButton(QStringLiteral("Selected Area"), selection);
    FSelectedAreaButton->setObjectName(QStringLiteral("SelectedAreaButton"));
    FEntireMapButton = new QRadioButton(QStringLiteral("Entire Map"), selection);
    FEntireMapButton->setObjectName(QStringLiteral("EntireMapButton"));
    auto* selectionLayout = new QVBoxLayout(selection);
    selectionLayout->addWidget(FSelectedAreaButton);
    selectionLayout->addWidget(FEntireMapButton);

    auto* threshold = new QGroupBox(QStringLiteral("Knock Threshold"), this);
    FMaxCylsBox = new TUpDownEdit(0, 8, threshold);
    FMaxCylsBox->setObjectName(QStringLiteral("MaxCylsBox"));
    FMaxCylsBox->SetText(QStringLiteral("3"));
    FMaxRetardBox = new TUpDownEdit(0, 9, threshold);
    FMaxRetardBox->setObjectName(QStringLiteral("MaxRetardBox"));
    FMaxRetardBox->SetText(QStringLiteral("1"));
    auto* limits = new QHBoxLayout;
    limits->addWidget(FMaxCylsBox);
    limits->addWidget(new QLabel(QStringLiteral("Cyl's,  or "), threshold));
    limits->addWidget(FMaxRetardBox);
    limits->addWidget(new QLabel(QStringLiteral("deg"), threshold));
    limits->addStretch(1);
    auto* thresholdLayout = new QVBoxLayout(threshold);
    thresholdLayout->addWidget(new QLabel(QStringLiteral("Adjust Map if retard is more than:"), threshold));
    thresholdLayout->addLayout(limits);

    FStatusMemo = new QPlainTextEdit(this);
    FStatusMemo->setObjectName(QStringLiteral("StatusMemo"));
    FStatusMemo->setReadOnly(true);
    FStatusMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    FStatusMemo->setMinimumHeight(8 * FStatusMemo->fontMetrics().lineSpacing());

    FGoButton = Button(QStringLiteral("&Adjust"), QStringLiteral("GoButton"), this);
    FStopButton = Button(QStringLiteral("&Stop"), QStringLiteral("StopButton"), this,
                         QStringLiteral("Stop the adjustment after the current pass"));
    FResetButton = Button(QStringLiteral("&Reset"), QStringLiteral("ResetButton"), this);
    FCopyButton = Button(QStringLiteral("Copy"), QStringLiteral("CopyButton"), this,
                         QStringLiteral("Copy updated map to Clipboard"));
    FCloseButton = Button(QStringLiteral("&Close"), QStringLiteral("CloseButton"), this);

    auto* top = new QHBoxLayout;
    top->addWidget(selection);
    top->addWidget(threshold, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FGoButton);
    buttons->addWidget(FStopButton);
    buttons->addWidget(FResetButton);
    buttons->addWidget(FCopyButton);
    buttons->addStretch(1);
    buttons->addWidget(FCloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(FStatusMemo, 1);
    layout->addLayout(buttons);
    resize(sizeHint().width() + 40, sizeHint().height());

    connect(FGoButton, &QPushButton::clicked, this, &TEZKAdjustForm::GoButtonClick);
    connect(FStopButton, &QPushButton::clicked, this, &TEZKAdjustForm::StopButtonClick);
    connect(FResetButton, &QPushButton::clicked, this, &TEZKAdjustForm::ResetButtonClick);
    connect(FCopyButton, &QPushButton::clicked, this, &TEZKAdjustForm::CopyButtonClick);
    connect(FCloseButton, &QPushButton::clicked, this, &QWidget::close);
}

void TEZKAdjustForm::Apply(TChangeSet changes) {
    FDocument.Apply(changes);
}

void TEZKAdjustForm::ShowStatus(const std::string& pending) {
    QStringList lines;
    for (const std::string& line : FAdjustment.StatusLines()) lines << FromStd(line);
    if (!pending.empty()) lines << FromStd(pending);
    FStatusMemo->setPlainText(lines.join(QLatin1Char('\n')));
    FStatusMemo->verticalScrollBar()->setValue(FStatusMemo->verticalScrollBar()->maximum());
}

void TEZKAdjustForm::SetControlsForPasses(bool running) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{FSelectedAreaButton, FEntireMapButton, FMaxCylsBox, FMaxRetardBox,
                                         FGoButton, FResetButton, FCopyButton, FCloseButton})
        control->setEnabled(!running);
    FStopButton->setEnabled(running);
}

void TEZKAdjustForm::GoButtonClick() {
    if (PassesRunning()) return;
    const TIgnitionLimitsCheck check =
        CheckIgnitionLimits(FMaxCylsBox->text().toStdString(), FMaxRetardBox->text().toStdString());
    if (!check.Ok) {
        FDocument.Prompts().ShowError(FromStd(check.Message));
        (check.Box == TIgnitionLimitBox::MaxCylinders ? FMaxCylsBox : FMaxRetardBox)->setFocus();
        return;
    }
    const TCellRegion region =
        AdjustmentRegion(FState.Selection, TPlotView::EZK, FSelectedAreaButton->isChecked());
    // Without log data there is nothing to measure, and nothing is said.
    if (!FAdjustment.Start(region, check.Limits)) return;
    FBusy = std::make_unique<TBusyCursor>(Qt::BusyCursor);
    FStopWanted = false;
    SetControlsForPasses(true);
    emit PassesStarted();
    AnnouncePass();
}

void TEZKAdjustForm::AnnouncePass() {
    ShowStatus(FAdjustment.NextPassLine());
    // The line is painted before the pass takes the time it takes.
    FNextStep = TStep::Run;
    FPassTimer->start(0);
}

void TEZKAdjustForm::RunPass() {
    const TIgnitionPass pass = FAdjustment.RunPass();
    Apply(pass.Changes);
    if (!pass.Finished && FStopWanted) Apply(FAdjustment.Stop().Changes);
    ShowStatus();
    if (!FAdjustment.Running()) {
        EndPasses();
        return;
    }
    FNextStep = TStep::Announce;
    FPassTimer->start(FPassWait);
}

void TEZKAdjustForm::StopButtonClick() {
    FStopWanted = true;
    // Waiting between passes: the current pass is over, so the passes end now.
    if (FNextStep == TStep::Announce) StopPasses();
}

void TEZKAdjustForm::StopPasses() {
    if (!PassesRunning()) return;
    FPassTimer->stop();
    Apply(FAdjustment.Stop().Changes);
    ShowStatus();
    EndPasses();
}

void TEZKAdjustForm::EndPasses() {
    FPassTimer->stop();
    FNextStep = TStep::Announce;
    FBusy.reset();
    SetControlsForPasses(false);
    emit PassesEnded();
}

void TEZKAdjustForm::ResetButtonClick() {
    Apply(FAdjustment.Reset().Changes);
}

void TEZKAdjustForm::CopyButtonClick() {
    const std::optional<std::string> text = CopyUpdatedIgnitionMap(FState);
    if (text && QGuiApplication::clipboard())
        QGuiApplication::clipboard()->setText(QString::fromStdString(*text));
}

TWindowSize TEZKAdjustForm::Placement() const {
    const QRect frame = geometry();
    return {frame.left(), frame.top(), frame.width(), frame.height()};
}

void TEZKAdjustForm::closeEvent(QCloseEvent* event) {
    // Closing in the middle of the passes ends them first, with their final line.
    StopPasses();
    emit Closing({Placement(), FMaxCylsBox->text().toStdString(), FMaxRetardBox->text().toStdString()});
    QWidget::closeEvent(event);
}

}  // namespace kelvane
