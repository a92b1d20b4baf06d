#include "app/plot/MainImage.h"

#include <QPainter>

namespace kelvane {

TMainImage::TMainImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

void TMainImage::Redraw() {
    if (FRender && width() > 0 && height() > 0) FImage = FRender(size());
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

}  // namespace kelvane
