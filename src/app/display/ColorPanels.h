#pragma once

#include <QFrame>
#include <array>

#include "core/display/ColorTable.h"

class QLabel;
class QLineEdit;
class QSlider;

namespace kelvane {

// One row of the Color Adjustment window: the entry's AFR box, painted in
// the row's colour, and three sliders with their value labels. The HSL and
// RGB rows differ only in what the sliders mean.
class TColorPanelForm : public QFrame {
    Q_OBJECT

  public:
    static constexpr int RowHeight = 65;

    QLineEdit* AfrBox() const { return FAfrBox; }
    QSlider* Slider(int index) const { return FSliders.at(static_cast<std::size_t>(index)); }
    QLabel* ValueLabel(int index) const { return FLabels.at(static_cast<std::size_t>(index)); }
    // The colour the sliders give.
    virtual TColor32 RowColor() const = 0;

  signals:
    // A slider moved or the AFR box changed, after the row was built.
    void EntryChanged(const QString& afrText, kelvane::TColor32 color);

  protected:
    struct TSliderSpec {
        const char* Caption;
        int Maximum;
    };
    TColorPanelForm(const std::array<TSliderSpec, 3>& sliders, QWidget* parent);
    // Fills the row from an entry; the change signal waits until this is done.
    void Build(const TColorTableEntry& entry, const std::array<int, 3>& positions);
    virtual QString LabelText(int index, int position) const = 0;

  private:
    void RowChanged();

    QLineEdit* FAfrBox = nullptr;
    std::array<QSlider*, 3> FSliders{};
    std::array<QLabel*, 3> FLabels{};
    bool FBuilt = false;
};

// Hue 0..360, saturation and brightness 0..100 per cent.
class THSLPanelForm : public TColorPanelForm {
    Q_OBJECT

  public:
    THSLPanelForm(const TColorTableEntry& entry, QWidget* parent = nullptr);
    TColor32 RowColor() const override;

  protected:
    QString LabelText(int index, int position) const override;
};

// Red, green and blue 0..255.
class TRGBPanelForm : public TColorPanelForm {
    Q_OBJECT

  public:
    TRGBPanelForm(const TColorTableEntry& entry, QWidget* parent = nullptr);
    TColor32 RowColor() const override;

  protected:
    QString LabelText(int index, int position) const override;
};

}  // namespace kelvane
