#pragma once

#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "core/ground/WriteFailures.h"
#include "core/projects/PendingSelection.h"
#include "core/shell/LogOpening.h"
#include "core/shell/Settings.h"
#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

struct TSessionApplyActions {
    // The question about adjusted maps and the base maps, before the plot is
    // closed. False when the user kept maps that could not be written: the
    // plot then stays as it is and nothing of the selection is applied.
    std::function<bool()> SaveBeforeClose;
    // Nothing: the plain log reader.
    TLogFileRead Read;
};

struct TSessionApplyResult {
    bool Applied = false;
    bool PlotClosed = false;
    TChangeSet Changes;
    // One result per log read, in the order read.
    std::vector<std::pair<std::filesystem::path, TLoadLogResult>> Files;
    // Settings files of the project left that could not be written.
    TWriteFailures SettingsFailures;
    // The session folder the folder worker watches from now on ("" for none).
    std::filesystem::path WatchFolder;
};

// Applies the project window's selection to the plot. The old project's
// settings are saved before anything of the new one is taken (the plot close
// puts the stored filters back and the new engine setup belongs to the new
// project). Logs of another session close the plot and clear its maps; in the
// same session logs no longer ticked leave it. The project's settings are
// loaded when the project changed or the plot was closed, then the requested
// engine setup is taken, the ticked logs not yet read (or changed on disk)
// are read, and the maps whose paths or sources changed are loaded. The view
// follows the logs' load columns.
TSessionApplyResult ApplySessionSelection(TKelvaneState& state, TSettingsStore& store,
                                          const TPendingSelection& selection,
                                          const TSessionApplyActions& actions);

// Which queued logs are read: every log of the session folder that is new or
// changed, or (while the project window decides which logs are ticked) only
// the open ones that changed on disk.
enum class TQueuedLogs { NewAndChanged, ChangedOpenOnly };

struct TQueuedLogsResult {
    TChangeSet Changes;
    std::vector<std::pair<std::filesystem::path, TLoadLogResult>> Files;
};

// Reads logs the folder worker queued, when they lie in the current session
// folder and differ from what the plot holds; a file already open is read
// again, replacing its samples.
TQueuedLogsResult ReadQueuedLogs(TKelvaneState& state, const std::vector<std::filesystem::path>& queued,
                                 TQueuedLogs which, const TLogFileRead& read = {});

}  // namespace kelvane
