#include "app/platform/WindowLookup.h"

#include <QGuiApplication>

namespace kelvane {

std::unique_ptr<TWindowLookup> MakeWindowLookup() {
    if (QGuiApplication::platformName() == QStringLiteral("xcb"))
        if (std::unique_ptr<TWindowLookup> lookup = MakeX11WindowLookup()) return lookup;
    return std::make_unique<TNoWindowLookup>();
}

}  // namespace kelvane
