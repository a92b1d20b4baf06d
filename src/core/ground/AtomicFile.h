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

// Removes the temporaries a save of this file left when its process died (a
// save killed part way); those of a process still running may be its save under
// way and stay. Every save does this first; opening a file that may not be saved
// again soon (a new session's settings) does it too.
void RemoveStaleTemporaries(const std::filesystem::path& path);

// Reads a whole file as bytes; false when it cannot be opened or read, with
// reason (when given) saying why. False at once for anything but a regular
// file: a named pipe or a device would hold the program for ever.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* reason = nullptr);

// Whether path is a regular file this process can open for reading, found out
// without waiting on a pipe or a device; reason says why not ("not a regular
// file", or the system's reason such as "Permission denied").
bool CanReadFile(const std::filesystem::path& path, std::string& reason);

// The byte-order mark an editor may put before UTF-8 text.
inline constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
// Removes a leading byte-order mark; true when there was one.
bool DropByteOrderMark(std::string& bytes);

}  // namespace kelvane
