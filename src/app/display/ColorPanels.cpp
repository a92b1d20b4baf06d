#include "app/display/ColorPanels.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "core/display/ColorConversion.h"
#include "core/ground/SettingsValues.h"

namespace kelvane {

namespace {

void PaintBox(QLineEdit* box, TColor32 color) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(RedOf(color), GreenOf(color), BlueOf(color)));
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
}

}  // namespace

TColorPanelForm::TColorPanelForm(const std::array<TSliderSpec, 3>& sliders, QWidget* parent)
    : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFixedHeight(RowHeight);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setVerticalSpacing(0);
    FAfrBox = new QLineEdit(this);
    FAfrBox->setObjectName(QStringLiteral("AfrBox"));
    FAfrBox->setFixedWidth(56);
    FAfrBox->setAlignment(Qt::AlignCenter);
    FAfrBox->setAutoFillBackground(true);
    layout->addWidget(FAfrBox, 0, 0, 3, 1, Qt::AlignVCenter);
    for (int i = 0; i < 3; ++i) {
        const auto index = static_cast<std::size_t>(i);
        auto* caption = new QLabel(QString::fromUtf8(sliders[index].Caption), this);
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(QString::fromUtf8(sliders[index].Caption) + QStringLiteral("Slider"));
        slider->setRange(0, sliders[index].Maximum);
        slider->setMinimumWidth(220);
        auto* label = new QLabel(this);
        label->setMinimumWidth(36);
        layout->addWidget(caption, i, 1);
        layout->addWidget(slider, i, 2);
        layout->addWidget(label, i, 3);
        FSliders[index] = slider;
        FLabels[index] = label;
        connect(slider, &QSlider::valueChanged, this, &TColorPanelForm::RowChanged);
    }
    layout->setColumnStretch(2, 1);
    connect(FAfrBox, &QLineEdit::textChanged, this, &TColorPanelForm::RowChanged);
}

void TColorPanelForm::Build(const TColorTableEntry& entry, const std::array<int, 3>& positions) {
    FAfrBox->setText(QString::fromStdString(FormatNumber(entry.Value, 1)));
    for (std::size_t i = 0; i < 3; ++i) FSliders[i]->setValue(positions[i]);
    RowChanged();
    FBuilt = true;
}

void TColorPanelForm::RowChanged() {
    const TColor32 color = RowColor();
    PaintBox(FAfrBox, color);
    for (std::size_t i = 0; i < 3; ++i)
        FLabels[i]->setText(LabelText(static_cast<int>(i), FSliders[i]->value()));
    if (FBuilt) emit EntryChanged(FAfrBox->text(), color);
}

THSLPanelForm::THSLPanelForm(const TColorTableEntry& entry, QWidget* parent)
    : TColorPanelForm({{{"Hue", 360}, {"Sat", 100}, {"Bright", 100}}}, parent) {
    setObjectName(QStringLiteral("HSLPanel"));
    const THslSliders sliders = HslSlidersOf(entry.Color);
    Build(entry, {sliders.Hue, sliders.Sat, sliders.Bright});
}

TColor32 THSLPanelForm::RowColor() const {
    return ColorOfHslSliders({Slider(0)->value(), Slider(1)->value(), Slider(2)->value()});
}

QString THSLPanelForm::LabelText(int index, int position) const {
    return index == 0 ? QString::number(position) : QString::number(position) + QLatin1Char('%');
}

TRGBPanelForm::TRGBPanelForm(const TColorTableEntry& entry, QWidget* parent)
    : TColorPanelForm({{{"Red", 255}, {"Green", 255}, {"Blue", 255}}}, parent) {
    setObjectName(QStringLiteral("RGBPanel"));
    Build(entry, {RedOf(entry.Color), GreenOf(entry.Color), BlueOf(entry.Color)});
}

TColor32 TRGBPanelForm::RowColor() const {
    return MakeColor32(255, static_cast<std::uint8_t>(Slider(0)->value()),
                       static_cast<std::uint8_t>(Slider(1)->value()),
                       static_cast<std::uint8_t>(Slider(2)->value()));
}

QString TRGBPanelForm::LabelText(int, int position) const {
    return QString::number(position);
}

}  // namespace kelvane
