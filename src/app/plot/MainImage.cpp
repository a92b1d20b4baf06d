#include "app/plot/MainImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace kelvane {

TMainImage::TMainImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(200, 150);
}

void TMainImage::Redraw() {
    if (FRender && width() > 0 && height() > 0) FImage = FRender(size());
    update();
}

void TMainImage::SetImage(QImage image) {
    FImage = std::move(image);
    update();
}

void TMainImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!FImage.isNull()) painter.drawImage(0, 0, FImage);
}

void TMainImage::resizeEvent(QResizeEvent*) {
    Redraw();
}

void TMainImage::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(event->position().toPoint(), event->button());
}

void TMainImage::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(event->position().toPoint(), event->buttons());
}

void TMainImage::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseUp(event->position().toPoint(), event->button());
}

}  // namespace kelvane
