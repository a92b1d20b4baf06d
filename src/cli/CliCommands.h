#pragma once

#include "cli/CliOptions.h"

namespace kelvane::cli {

// Each command prints its result to standard output and its complaints to
// standard error, and returns the exit status: 0 on success, 1 when a file
// was rejected, unreadable or not of the kind the command needs.
int RunLog(const TCliOptions& options);
int RunCells(const TCliOptions& options);
int RunBin(const TCliOptions& options);
int RunMap(const TCliOptions& options);

}  // namespace kelvane::cli
