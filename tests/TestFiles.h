#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "core/shell/FileDefs.h"

namespace kelvane {

// Writes bytes to a file as they are, for setting up a test.
inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

// The file's text, empty when it cannot be read.
inline std::string ReadText(const std::filesystem::path& path) {
    std::string text;
    ReadFileText(path, text);
    return text;
}

}  // namespace kelvane
