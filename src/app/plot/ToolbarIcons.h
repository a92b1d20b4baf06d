#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace kelvane {

// A toolbar icon drawn from a short label on a tinted plate, so the toolbar
// needs no image files.
QIcon LabelIcon(const QString& label, QColor plate);

}  // namespace kelvane
