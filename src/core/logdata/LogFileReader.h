#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/logdata/FilterSettings.h"
#include "core/logdata/LogState.h"
#include "core/maps/EngineSetup.h"

namespace kelvane {

struct TLoadLogOptions {
    int AfrSmoothing = DefaultAfrSmoothing;  // current "AFR Smoothing" setting, 1 .. 6
    TLHConfig LHConfig = TLHConfig::Unset;   // decides the PlotMaf pass
    std::string SessionName;                 // for the caption; empty when no session is open

    // Optional: told the bytes parsed so far and the file's size every ProgressStep bytes
    // of data lines, the last time with done == total. Returning false cancels the load and
    // leaves the log state exactly as it was. With it the lines are parsed aside and join
    // the list only at the end, so events run from the callback see the list unchanged.
    std::function<bool(std::uint64_t done, std::uint64_t total)> Progress;
    std::uint64_t ProgressStep = std::uint64_t{1} << 20;
};

struct TLoadLogResult {
    bool Loaded = false;          // the file was read and its header accepted
    bool HeaderRejected = false;  // show Message in an error box with an OK button
    bool Cancelled = false;       // the progress callback stopped it; nothing changed
    std::string Message;
    std::size_t SamplesAdded = 0;
    // The list changed: the point filters must be re-applied (false when cancelled).
    bool FiltersDirty = true;
    bool ResetGraphRange = false;  // the data graph shows the whole list again
    std::string Caption;           // the main window's new caption
    std::string Status;            // status-bar panel 0
};

// Reads one log file and appends its accepted samples to the list (a file already open is
// removed first, so it moves to the end). Then smooths the AFR over the whole list, runs
// the PlotMaf pass and records the file in OpenFiles. Never shows anything. A cancelled
// load changes nothing (not even an already-open file's samples) and runs no pass.
TLoadLogResult LoadLogFile(TLogState& state, const std::filesystem::path& path,
                           const TLoadLogOptions& options);

// Removes every sample of the named file (name compared without regard to case), the
// file's facts and its OpenFiles pair. True when anything was removed.
bool RemoveLogFile(TLogState& state, std::string_view fileName);

// The log part of closing the plot: empties the list, OpenFiles and ColumnPresent.
void ClearLogState(TLogState& state);

// The OpenFiles value of a file: its size in bytes, ";", and its modification time as
// "YYYY-MM-DD hh:mm:ss.nnnnnnnnn" (UTC).
std::string OpenFileValue(std::uint64_t size, std::filesystem::file_time_type modified);

}  // namespace kelvane
