#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/logdata/OpenFilesList.h"

namespace kelvane {

// The main window's caption: "Kelvane " and, when there is anything to name, the session
// and the open files grouped by folder between "   [" and "]".
std::string CaptionText(const TOpenFiles& openFiles, std::string_view sessionName);

// Status-bar panel 0: "<files> files open, <samples> data points".
std::string StatusText(std::size_t fileCount, std::size_t sampleCount);

}  // namespace kelvane
