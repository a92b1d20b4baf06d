#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

namespace kelvane {

// The main image: shows the composed plot, asks for a new one when its size
// changes, and hands the mouse on to its owner.
class TMainImage : public QWidget {
    Q_OBJECT

  public:
    using TRender = std::function<QImage(QSize)>;

    explicit TMainImage(QWidget* parent = nullptr);

    void SetRender(TRender render) { FRender = std::move(render); }
    // Draws the plot again at the widget's size.
    void Redraw();
    // True while a resize waits for its new image; the last one is shown
    // scaled to the widget meanwhile.
    bool RedrawPending() const { return FRedrawPending; }
    // Shows an image composed elsewhere (a part of the plot redrawn alone).
    void SetImage(QImage image);
    const QImage& Image() const { return FImage; }
    // The cursor layer is painted over the image at each paint, so that the
    // hover marks change without composing the plot again. The layer is the
    // owner's; it must outlive this widget or be replaced first.
    void SetCursorLayer(const QImage* layer, QPoint origin);

  signals:
    void MouseDown(QPoint position, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void MouseMove(QPoint position, Qt::MouseButtons buttons);
    void MouseUp(QPoint position, Qt::MouseButton button);
    void MouseLeft();
    void Wheel(QPoint position, int angleDelta, Qt::KeyboardModifiers modifiers);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    TRender FRender;
    QImage FImage;
    bool FRedrawPending = false;
    const QImage* FCursor = nullptr;
    QPoint FCursorOrigin;
};

}  // namespace kelvane
