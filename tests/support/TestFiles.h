#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kelvane {

// Writes bytes to a file as they are, for setting up a test.
inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

// The file's bytes, empty when it cannot be read.
inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace kelvane
