#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

namespace kelvane {

// The main image: shows the composed plot and asks for a new one when its
// size changes.
class TMainImage : public QWidget {
    Q_OBJECT

  public:
    using TRender = std::function<QImage(QSize)>;

    explicit TMainImage(QWidget* parent = nullptr);

    void SetRender(TRender render) { FRender = std::move(render); }
    // Draws the plot again at the widget's size.
    void Redraw();
    const QImage& Image() const { return FImage; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    TRender FRender;
    QImage FImage;
};

}  // namespace kelvane
