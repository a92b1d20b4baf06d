#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "core/logdata/LogFileReader.h"
#include "core/maps/EngineSetup.h"
#include "core/shell/Settings.h"
#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// Reads one log into the state's logs; the window wraps the plain reader in
// a progress dialog.
using TLogFileRead =
    std::function<TLoadLogResult(TLogState&, const std::filesystem::path&, const TLoadLogOptions&)>;

struct TOpenLogsOptions {
    // The engine setup chosen in the "Log File Options" window; nothing keeps
    // the setup the settings give.
    std::optional<TEngineSetup> ChosenSetup;
    // The settings are loaded again from here after the files were read;
    // nothing keeps the settings as they are (the command-line tool).
    TSettingsStore* Store = nullptr;
    // Each file read is put first in the recent-files list.
    bool AddToRecentFiles = false;
    // Nothing: the plain reader.
    TLogFileRead Read;
};

struct TOpenLogsResult {
    // One result per file tried, in the order read.
    std::vector<std::pair<std::filesystem::path, TLoadLogResult>> Files;
    bool AnyLoaded = false;
    bool Cancelled = false;  // the user stopped the whole open
    TChangeSet Changes;
};

// The order the program reads chosen logs in: full paths, sorted by name.
std::vector<std::filesystem::path> LogOpenOrder(const std::vector<std::filesystem::path>& files);

// Opens logs into the plot, as the open commands and the command line do:
// the chosen setup taken, the files read in LogOpenOrder (a cancel stops the
// rest), the settings loaded again (an edited target AFR map kept), the
// PlotMaf pass run for the setup, the axes and plot ranges set up, and in
// the automatic scale mode the plot fitted to the samples.
TOpenLogsResult OpenLogs(TKelvaneState& state, const std::vector<std::filesystem::path>& files,
                         const TOpenLogsOptions& options);

// Takes one open file's samples out of the plot and brings the rest up to
// date as a load does (AFR smoothing, the PlotMaf pass). Nothing changes, and
// the set is empty, when no such file is open.
TChangeSet CloseLogFile(TKelvaneState& state, const std::string& fileName);

// Rebuilds the axes for the engine setup and takes the plot ranges from the
// settings, fitted to the samples in the automatic scale mode; with LH 2.2
// the view is the fuel map's (a Display change).
TChangeSet SetUpAxes(TKelvaneState& state);

// After a change of the engine setup: the samples' PlotMaf follows the LH
// configuration, the axes and plot ranges are set up again and the filters
// run again over the samples, which may now lie in other cells.
TChangeSet SetUpForEngineSetup(TKelvaneState& state);

// The log part of closing the plot: logs gone, the session name cleared, the
// stored filters active again and the plot ranges from the settings.
TChangeSet CloseLogs(TKelvaneState& state);

// A new plot starts with no maps, no bin images and no engine setup; the
// target AFR map stays, as it is not one of the plot's maps.
TChangeSet ClearMapsAndConfiguration(TKelvaneState& state);

}  // namespace kelvane
