#include "app/platform/WindowLookup.h"

#include <QGuiApplication>

namespace kelvane {

std::unique_ptr<TWindowLookup> MakeWindowLookup() {
#ifdef _WIN32
    // Every window on the desktop is listed, whatever Qt platform shows ours.
    return MakeWin32WindowLookup();
#else
    if (QGuiApplication::platformName() == QStringLiteral("xcb"))
        if (std::unique_ptr<TWindowLookup> lookup = MakeX11WindowLookup()) return lookup;
    return std::make_unique<TNoWindowLookup>();
#endif
}

}  // namespace kelvane
