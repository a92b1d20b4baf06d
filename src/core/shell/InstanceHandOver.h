#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// The name a running copy listens under: one per user and data folder, so
// that copies sharing a settings file find each other and no others. Short
// and made of plain characters, as a local socket name must be.
std::string InstanceServerName(std::string_view userName, const std::filesystem::path& dataFolder);

// A later start's message to the running copy: one full path a line, then an
// empty line. No files at all still asks the running copy to come forward.
std::string EncodeHandOver(const std::vector<std::string>& files);

// The files of a message; nothing while the closing empty line has not come.
std::optional<std::vector<std::string>> DecodeHandOver(std::string_view bytes);

// The running copy's answer once it has taken the files.
inline constexpr std::string_view HandOverTaken = "taken\n";

}  // namespace kelvane
