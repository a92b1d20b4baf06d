#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kelvane {

// Replaces (or creates) a file with the given bytes through a temporary file
// in the same folder and a rename, so a crash or a full disk never leaves a
// half-written file behind. On failure the old file is untouched, the
// temporary is removed, and errorText (when given) says why.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                       std::string* errorText = nullptr);

// Reads a whole file as bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

}  // namespace kelvane
