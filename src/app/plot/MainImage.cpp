#include "app/plot/MainImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

namespace kelvane {

TMainImage::TMainImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(200, 150);
}

void TMainImage::Redraw() {
    FRedrawPending = false;
    if (FRender && width() > 0 && height() > 0) FImage = FRender(size());
    update();
}

void TMainImage::SetImage(QImage image) {
    FImage = std::move(image);
    update();
}

void TMainImage::SetCursorLayer(const QImage* layer, QPoint origin) {
    FCursor = layer;
    FCursorOrigin = origin;
    update();
}

void TMainImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (FImage.isNull()) {
        painter.fillRect(rect(), Qt::white);
    } else if (FImage.deviceIndependentSize() == QSizeF(size())) {
        // The plot's images carry their device pixel ratio: drawn at window
        // pixels, they land one to one on the screen's device pixels.
        painter.drawImage(0, 0, FImage);
        if (FCursor && !FCursor->isNull()) painter.drawImage(FCursorOrigin, *FCursor);
    } else {
        // A resize whose image is still being made: the last one stretched,
        // rather than a blank strip along the new edge.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(rect(), FImage);
    }
}

void TMainImage::leaveEvent(QEvent*) {
    emit MouseLeft();
}

void TMainImage::wheelEvent(QWheelEvent* event) {
    emit Wheel(event->position().toPoint(), event->angleDelta().y(), event->modifiers());
    event->accept();
}

void TMainImage::resizeEvent(QResizeEvent*) {
    // A live resize sends many sizes in a row: the new image is made once
    // the events have been handled, for the size the widget then has.
    if (FRedrawPending) return;
    FRedrawPending = true;
    QTimer::singleShot(0, this, [this] {
        if (FRedrawPending) Redraw();
    });
}

void TMainImage::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(event->position().toPoint(), event->button(), event->modifiers());
}

void TMainImage::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(event->position().toPoint(), event->buttons());
}

void TMainImage::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseUp(event->position().toPoint(), event->button());
}

}  // namespace kelvane
