#include "app/display/ColorUnit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "app/display/ColorPanels.h"
#include "app/document/KelvaneDocument.h"
#include "core/display/ColorTableSettings.h"
#include "core/ground/SettingsValues.h"

namespace kelvane {

namespace {

constexpr int RowSpacing = 67 - TColorPanelForm::RowHeight;

}  // namespace

TColorForm::TColorForm(TKelvaneDocument& document, QWidget* parent) : QDialog(parent), FDocument(document) {
    setObjectName(QStringLiteral("ColorForm"));
    setWindowTitle(QStringLiteral("Color Adjustment"));
    // Opened from the Options window, which stays on top: so must this one.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(RowSpacing);

    auto* top = new QHBoxLayout;
    auto* afr = new QLabel(QStringLiteral("AFR"), this);
    afr->setFixedWidth(62);
    afr->setAlignment(Qt::AlignCenter);
    top->addWidget(afr);
    top->addWidget(new QLabel(QStringLiteral("Color"), this));
    top->addStretch(1);
    FHsl = new QRadioButton(QStringLiteral("HSL"), this);
    FHsl->setObjectName(QStringLiteral("HslButton"));
    FHsl->setChecked(true);
    FRgb = new QRadioButton(QStringLiteral("RGB"), this);
    FRgb->setObjectName(QStringLiteral("RgbButton"));
    top->addWidget(FHsl);
    top->addWidget(FRgb);
    layout->addLayout(top);

    FRowArea = new QWidget(this);
    FRowLayout = new QVBoxLayout(FRowArea);
    FRowLayout->setContentsMargins(0, 0, 0, 0);
    FRowLayout->setSpacing(RowSpacing);
    layout->addWidget(FRowArea);

    FMessage = new QLabel(this);
    FMessage->setObjectName(QStringLiteral("MessageLabel"));
    FMessage->setWordWrap(true);
    FMessage->setStyleSheet(QStringLiteral("color: #b00000"));
    FMessage->hide();
    layout->addWidget(FMessage);

    auto* bottom = new QHBoxLayout;
    FReset = new QPushButton(QStringLiteral("Reset to defaults"), this);
    FReset->setObjectName(QStringLiteral("ResetButton"));
    QFont small = FReset->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    FReset->setFont(small);
    FReset->setAutoDefault(false);
    FCancel = new QPushButton(QStringLiteral("Cancel"), this);
    FCancel->setObjectName(QStringLiteral("CancelButton"));
    FCancel->setAutoDefault(false);
    FOk = new QPushButton(QStringLiteral("OK"), this);
    FOk->setObjectName(QStringLiteral("OkButton"));
    FOk->setAutoDefault(false);
    bottom->addWidget(FReset);
    bottom->addStretch(1);
    bottom->addWidget(FCancel);
    bottom->addWidget(FOk);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FHsl, &QRadioButton::toggled, this, [this](bool) { BuildRows(); });
    connect(FReset, &QPushButton::clicked, this, &TColorForm::ResetToDefaults);
    connect(FCancel, &QPushButton::clicked, this, &TColorForm::CancelClick);
    connect(FOk, &QPushButton::clicked, this, [this] { accept(); });
}

void TColorForm::Prepare() {
    FFinished = false;
    FBackup = FDocument.ColorScale().Table;
    FMessage->hide();
    const TWindowSettings& windows = FDocument.Windows();
    {
        const QSignalBlocker blocker(FHsl);
        FRgb->setChecked(windows.ColorWindowRgbMode);
        FHsl->setChecked(!windows.ColorWindowRgbMode);
    }
    BuildRows();
    adjustSize();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (windows.ColorWindow) {
        // Only the corner is taken; the window keeps its own size.
        const int left = std::max(0, std::min(windows.ColorWindow->Left, area.right() + 1 - width()));
        const int top = std::max(0, std::min(windows.ColorWindow->Top, area.bottom() + 1 - height()));
        move(left, top);
    } else {
        move(area.center() - rect().center());
    }
}

int TColorForm::Execute() {
    Prepare();
    return exec();
}

void TColorForm::BuildRows() {
    for (TColorPanelForm* row : FRows) delete row;
    FRows.clear();
    const TColorTable& table = FDocument.ColorScale().Table;
    for (std::size_t i = 0; i < table.size(); ++i) {
        TColorPanelForm* row = FRgb->isChecked()
                                   ? static_cast<TColorPanelForm*>(new TRGBPanelForm(table[i], FRowArea))
                                   : new THSLPanelForm(table[i], FRowArea);
        connect(row, &TColorPanelForm::EntryChanged, this,
                [this, i](const QString& text, TColor32 color) { RowChanged(i, text, color); });
        FRowLayout->addWidget(row);
        FRows.push_back(row);
    }
    adjustSize();
}

void TColorForm::RowChanged(std::size_t index, const QString& afrText, TColor32 color) {
    TColorScale& scale = FDocument.ColorScale();
    if (index >= scale.Table.size()) return;
    TColorTableEntry& entry = scale.Table[index];
    const double value = ParseNumber(afrText.toStdString(), TDecimalComma::Refused, 0.0);
    // Two entries of one value cannot both be stored: the entry keeps its own.
    if (ColorValueTaken(scale.Table, index, value)) {
        FMessage->setText(
            QStringLiteral("Another entry already has AFR %1; this entry keeps %2 until its value differs.")
                .arg(afrText.trimmed(), QString::fromStdString(ColorTableKeyText(entry.Value, 0))));
        FMessage->show();
    } else {
        entry.Value = value;
        FMessage->hide();
    }
    entry.Color = color;
    scale.TableNumber = 0;
    ScaleChanged();
}

void TColorForm::ResetToDefaults() {
    ResetColorTableToDefaults(FDocument.ColorScale().Table);
    FMessage->hide();
    BuildRows();
    ScaleChanged();
}

void TColorForm::CancelClick() {
    // The table comes back, its number does not: an edited table stays table 0.
    FDocument.ColorScale().Table = FBackup;
    ScaleChanged();
    reject();
}

void TColorForm::ScaleChanged() {
    FDocument.Apply(TChange::Colors);
}

void TColorForm::Finish() {
    if (FFinished) return;
    FFinished = true;
    const QRect frame = geometry();
    emit Closing(TWindowSize{frame.left(), frame.top(), frame.width(), frame.height()}, FRgb->isChecked());
}

void TColorForm::done(int result) {
    Finish();
    QDialog::done(result);
}

void TColorForm::closeEvent(QCloseEvent* event) {
    Finish();
    QDialog::closeEvent(event);
}

}  // namespace kelvane
