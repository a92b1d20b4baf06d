#pragma once

#include <string>
#include <vector>

#include "cli/CliOptions.h"

namespace kelvane::cli {

// Each command prints its result to standard output and its complaints to
// standard error, and returns the exit status: 0 on success, 1 when a file
// was rejected, unreadable, left no sample (every data line skipped) or not
// of the kind the command needs. Skipped data lines are told on standard error.
int RunLog(const TCliOptions& options);
int RunCells(const TCliOptions& options);
int RunBin(const TCliOptions& options);
int RunMap(const TCliOptions& options);
// The adjustments also return 1 when the reference or target map cannot be
// read; adjust-ignition returns 2, with the window's message, for limits the
// window refuses.
int RunAdjustFuel(const TCliOptions& options);
int RunAdjustIgnition(const TCliOptions& options);
// simulate parses its own options: it reads maps and writes a log, unlike
// the commands above; 2 for a usage error.
int RunSimulate(const std::vector<std::string>& arguments);
extern const char* const SimulateUsageText;

}  // namespace kelvane::cli
