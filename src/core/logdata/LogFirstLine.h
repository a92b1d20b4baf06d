#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace kelvane {

// No device writes a header near this long: a longer first line (a logger file of
// NUL bytes, a binary) is no log, and is refused before more of it is read.
inline constexpr std::size_t MaxLogHeaderLength = std::size_t{64} << 10;

// Why such a file is not read, for the reader's message.
std::string LongFirstLineReason();

// A log's first line, for a look before it is read (the "Log File Options"
// preselection, a recent file's header test, the folder worker's test of a new
// file): without a byte-order mark and without its line end. Refuses at once,
// with error saying why, what is not a regular file (a named pipe or a device is
// never waited on), a file that cannot be read, and a first line longer than any
// header.
[[nodiscard]] bool ReadLogFirstLine(const std::filesystem::path& path, std::string& line, std::string& error);

}  // namespace kelvane
