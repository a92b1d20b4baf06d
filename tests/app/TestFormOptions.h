#pragma once

#include <QString>
#include <filesystem>

#include "app/plot/MainUnit.h"

namespace kelvane {

// A main window for tests: scripted prompts, its data in the given folder,
// no start-up window.
inline TMainFormOptions TestFormOptions(TPrompts& prompts, const std::filesystem::path& commonRoot) {
    TMainFormOptions options;
    options.Prompts = &prompts;
    options.CommonRoot = QString::fromStdString(commonRoot.string());
    options.StartupWindow = false;
    return options;
}

}  // namespace kelvane
