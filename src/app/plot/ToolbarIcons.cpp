#include "app/plot/ToolbarIcons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace kelvane {

namespace {

QPixmap LabelPixmap(const QString& label, QColor plate, QColor text) {
    constexpr int Width = 32;
    constexpr int Height = 24;
    QPixmap pixmap(Width, Height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(plate.darker(160), 1));
    painter.setBrush(plate);
    painter.drawRoundedRect(QRectF(0.5, 0.5, Width - 1, Height - 1), 4, 4);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(label.size() > 3 ? 9 : 11);
    painter.setFont(font);
    painter.setPen(text);
    painter.drawText(QRect(0, 0, Width, Height), Qt::AlignCenter, label);
    return pixmap;
}

}  // namespace

QIcon LabelIcon(const QString& label, QColor plate) {
    QIcon icon(LabelPixmap(label, plate, Qt::black));
    icon.addPixmap(LabelPixmap(label, QColor(225, 225, 225), QColor(150, 150, 150)), QIcon::Disabled);
    return icon;
}

}  // namespace kelvane
