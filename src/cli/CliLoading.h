#pragma once

#include <filesystem>
#include <string>

#include "cli/CliOptions.h"
#include "core/maps/MapGrid.h"
#include "core/state/KelvaneState.h"

namespace kelvane::cli {

// A regular file that can be opened for reading.
bool IsReadableFile(const std::filesystem::path& path);

// Opens the files through the very function the program's open commands
// use, then brings the derived data up to date as the window does. False
// when any file was rejected, could not be read, or had every data line
// skipped; the others are loaded all the same. Skipped lines are told on
// standard error either way.
bool LoadLogs(TKelvaneState& state, const TCliOptions& options);

// Reads a map text file of the given kind (LH: integers; EZK: degrees with
// decimals). False, with the reason on standard error, when the file cannot
// be read, its name does not end in ".txt" or it holds fewer than 16 map lines.
enum class TMapTextKind { LH, EZK };
bool ReadMapTextFile(const std::filesystem::path& path, TMapTextKind kind, TMapGrid& grid);

}  // namespace kelvane::cli
