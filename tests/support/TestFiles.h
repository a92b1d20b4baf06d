#pragma once

#include <cstdint>
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

// length bytes of a file from offset on; fewer where the file ends.
inline std::string TextAt(const std::filesystem::path& path, std::uint64_t offset, std::size_t length) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset));
    std::string text(length, '\0');
    file.read(text.data(), static_cast<std::streamsize>(length));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return text;
}

}  // namespace kelvane
